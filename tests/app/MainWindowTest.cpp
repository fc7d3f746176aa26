#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "app/ControlTable.h"
#include "shell/AppInfo.h"
#include "shell/Clock.h"
#include "shell/DateText.h"
#include "shell/Shell.h"
#include "shell/Text.h"
#include "support/FormFixture.h"

namespace {

class MainWindow : public FormFixture {};

std::wstring ClassName(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

std::wstring NameOf(TPallendoForm& form, HWND window) {
    for (const ControlSpec& spec : ControlTable())
        if (spec.control(form).hwnd == window) return std::wstring(spec.name);
    return L"?";
}

struct Expected {
    const wchar_t* name;
    const wchar_t* cls;
    const wchar_t* caption;
    int page;  // 0 File, 1 Edit, 2 Help
    bool enabled, checked, hand;
};

// The window as its design describes it, control by control.
const Expected kExpected[] = {
    {L"GroupBox1", L"Button", L"このプログラムのショートカット", 0, true, false, false},
    {L"GroupBox2", L"Button", L"設定", 0, true, false, false},
    {L"ButtonSendTo1", L"Button", L"「送る」に登録・削除", 0, true, false, true},
    {L"ButtonDeskTop1", L"Button", L"デスクトップに登録・削除", 0, true, false, true},
    {L"ButtonStartMenu1", L"Button", L"スタートメニューに登録・削除", 0, true, false, true},
    {L"ButtonStartUp1", L"Button", L"スタートアップに登録・削除", 0, true, false, true},
    {L"CheckBoxCloseQuery1", L"Button", L"終了時に確認", 0, true, false, true},
    {L"CheckBoxSaveStatus1", L"Button", L"終了時の設定を保存", 0, true, true, true},
    {L"CheckBoxAddHistory1", L"Button", L"履歴に「メモ帳」「ペイント」を追加", 0, true, false, true},
    {L"ButtonDefApp1", L"Button", L"既定のアプリの選択", 0, true, false, true},
    {L"GroupBox4", L"Button", L"起動の組合せ", 1, true, false, false},
    {L"Label1", L"Static", L"対象ファイル（文書・画像等）", 1, true, false, false},
    {L"ButtonEdit1Clear", L"Button", L"クリア", 1, false, false, true},
    {L"ButtonSelectFile1", L"Button", L"参照", 1, true, false, true},
    {L"Edit1", L"Edit", L"", 1, true, false, false},
    {L"ButtonOpenDefault1", L"Button", L"既定で開く", 1, false, false, true},
    {L"Label2", L"Static", L"起動プログラム（*.exe）", 1, true, false, false},
    {L"ButtonComboBox2Clear", L"Button", L"クリア", 1, false, false, true},
    {L"ButtonSelectExe2", L"Button", L"参照", 1, true, false, true},
    {L"ComboBox2", L"ComboBox", L"", 1, true, false, false},
    {L"ButtonExe2", L"Button", L"単体で起動", 1, false, false, true},
    {L"ButtonTest12", L"Button", L"組合せテスト", 1, false, false, true},
    {L"GroupBox6", L"Button", L"専用ショートカットを作成", 1, true, false, false},
    {L"RadioButtonDeskTop1", L"Button", L"デスクトップ", 1, false, true, true},
    {L"RadioButtonStartMenu2", L"Button", L"スタートメニュー", 1, false, false, true},
    {L"RadioButtonStartUp3", L"Button", L"スタートアップ", 1, false, false, true},
    {L"ButtonOpenFolder3", L"Button", L"作成先を開く", 1, false, false, true},
    // Start-up's field handling closes the whole dedicated-shortcut panel, its label and field too.
    {L"Label3", L"Static", L"表示名", 1, false, false, false},
    {L"ButtonEdit3Clear", L"Button", L"クリア", 1, false, false, false},
    {L"ButtonCreate3", L"Button", L"作成", 1, false, false, true},
    {L"ButtonProperties3", L"Button", L"プロパティを表示", 1, false, false, true},
    {L"Edit3", L"Edit", L"", 1, false, false, false},
    {L"ButtonExeLink3", L"Button", L"起動", 1, false, false, false},
    {L"Button4", L"Button", L"ヘルプ表示", 2, true, false, true},
    {L"Button5", L"Button", L"バージョン情報", 2, true, false, true},
    {L"Button6", L"Button", L"プロパティ表示", 2, true, false, true},
    {L"Button7", L"Button", L"開発支援", 2, true, false, true},
    {L"Button8", L"Button", L"ホームページ", 2, true, false, true},
};

TEST_F(MainWindow, EveryControlHasItsKindCaptionPageAndInitialState) {
    TPallendoForm& f = CreateForm();
    ASSERT_EQ(ControlTable().size(), std::size(kExpected));
    HWND pages[] = {f.TsFile1.hwnd, f.TsEdit1.hwnd, f.TsHelp1.hwnd};
    for (const Expected& e : kExpected) {
        SCOPED_TRACE(WideToUtf8(e.name));
        const ControlSpec* spec = nullptr;
        for (const ControlSpec& s : ControlTable())
            if (s.name == e.name) spec = &s;
        ASSERT_NE(spec, nullptr);
        HWND control = spec->control(f).hwnd;
        ASSERT_TRUE(::IsWindow(control));
        EXPECT_EQ(ClassName(control), e.cls);
        EXPECT_EQ(spec->control(f).text(), e.caption);
        EXPECT_EQ(::GetParent(control), pages[e.page]);
        EXPECT_EQ(spec->control(f).enabled(), e.enabled);
        EXPECT_EQ(::SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED, e.checked);
        EXPECT_EQ(spec->handCursor, e.hand);
    }
    EXPECT_EQ(ClassName(f.hwnd), L"TPallendoForm");
}

TEST_F(MainWindow, WindowPagesStatusBarAndImagesStartAsDesigned) {
    TPallendoForm& f = CreateForm();
    wchar_t caption[64] = {};
    ::GetWindowTextW(f.hwnd, caption, 64);
    EXPECT_STREQ(caption, L"パレンド");
    EXPECT_EQ(ClassName(f.PageControl1.hwnd), L"SysTabControl32");
    EXPECT_EQ(TabCtrl_GetItemCount(f.PageControl1.hwnd), 3);
    EXPECT_EQ(f.PageControl1.activeIndex(), 1);
    EXPECT_TRUE(f.TsEdit1.showing());
    EXPECT_FALSE(f.TsFile1.showing());
    EXPECT_FALSE(::GetWindowLongW(f.PageControl1.hwnd, GWL_STYLE) & WS_TABSTOP);
    EXPECT_EQ(ClassName(f.StatusBar1.hwnd), L"msctls_statusbar32");
    int parts[2] = {};
    ASSERT_EQ(::SendMessageW(f.StatusBar1.hwnd, SB_GETPARTS, 2, reinterpret_cast<LPARAM>(parts)), 2);
    EXPECT_EQ(parts[0], f.Scale(120));
    EXPECT_EQ(parts[1] - parts[0], f.Scale(500));
    EXPECT_EQ(f.ImageList3.count(), 2);
    EXPECT_EQ(f.ImageList1.count(), 0);
    EXPECT_EQ(f.ButtonTest12.imageIndex(), -1);
    EXPECT_EQ(f.ButtonCreate3.imageIndex(), -1);
    EXPECT_TRUE(::GetWindowLongW(f.hwnd, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    EXPECT_EQ(::GetWindow(f.hwnd, GW_OWNER), nullptr);
    EXPECT_TRUE(::GetWindowLongW(f.hwnd, GWL_EXSTYLE) & WS_EX_APPWINDOW);
}

TEST_F(MainWindow, TabWalksEachPageInItsOrder) {
    TPallendoForm& f = CreateForm();
    for (const ControlSpec& spec : ControlTable()) spec.control(f).setEnabled(true);
    const std::vector<std::wstring> orders[] = {
        {L"ButtonSendTo1", L"ButtonDeskTop1", L"ButtonStartMenu1", L"ButtonStartUp1", L"CheckBoxCloseQuery1",
         L"CheckBoxSaveStatus1", L"CheckBoxAddHistory1", L"ButtonDefApp1"},
        {L"ButtonEdit1Clear", L"ButtonSelectFile1", L"Edit1", L"ButtonOpenDefault1", L"ButtonComboBox2Clear",
         L"ButtonSelectExe2", L"ComboBox2", L"ButtonExe2", L"ButtonTest12", L"RadioButtonDeskTop1",
         L"RadioButtonStartMenu2", L"ButtonEdit3Clear", L"Edit3", L"ButtonCreate3", L"ButtonOpenFolder3",
         L"ButtonProperties3", L"ButtonExeLink3", L"RadioButtonStartUp3"},
        {L"Button4", L"Button5", L"Button6", L"Button7", L"Button8"},
    };
    for (int page = 0; page < 3; ++page) {
        f.ActivatePage(page);
        SCOPED_TRACE(page);
        std::vector<std::wstring> walked;
        HWND first = ::GetNextDlgTabItem(f.hwnd, nullptr, FALSE);
        for (HWND at = first; at && walked.size() < 40;) {
            HWND control = at;
            wchar_t cls[32] = {};
            ::GetClassNameW(::GetParent(at), cls, 32);
            if (lstrcmpiW(cls, L"ComboBox") == 0) control = ::GetParent(at);  // the combo's own edit
            walked.push_back(NameOf(f, control));
            at = ::GetNextDlgTabItem(f.hwnd, at, FALSE);
            if (at == first) break;
        }
        EXPECT_EQ(walked, orders[page]);
    }
}

TEST_F(MainWindow, TabAndEnterWorkThroughTheMessageLoop) {
    TPallendoForm& f = CreateForm();
    f.ButtonSelectFile1.setFocus();
    ::PostMessageW(f.ButtonSelectFile1.hwnd, WM_KEYDOWN, VK_TAB, 0);
    PumpMessages();
    EXPECT_TRUE(f.Edit1.focused());
}

TEST_F(MainWindow, TabsShareThreeQuartersOfTheRow) {
    TPallendoForm& f = CreateForm();
    ::SetWindowPos(f.PageControl1.hwnd, nullptr, 0, 0, 600, 200, SWP_NOMOVE | SWP_NOZORDER);
    f.FormResize();
    EXPECT_EQ(f.PageControl1.tabWidth(), 150);
}

TEST_F(MainWindow, UpperGroupTakesSixtyPercentOfTheEditPage) {
    TPallendoForm& f = CreateForm();
    for (int height : {250, 251}) {
        ::SetWindowPos(f.TsEdit1.hwnd, nullptr, 0, 0, 500, height, SWP_NOMOVE | SWP_NOZORDER);
        RECT upper{}, lower{};
        ::GetWindowRect(f.GroupBox4.hwnd, &upper);
        ::GetWindowRect(f.GroupBox6.hwnd, &lower);
        EXPECT_EQ(upper.bottom - upper.top, 150) << height;
        EXPECT_EQ(lower.bottom - lower.top, height - 150) << height;
    }
}

TEST_F(MainWindow, ClockShowsDateTwoBlanksAndTwentyFourHourTime) {
    SYSTEMTIME t{};
    t.wYear = 2025, t.wMonth = 1, t.wDay = 1, t.wHour = 13, t.wMinute = 7, t.wSecond = 59;
    EXPECT_EQ(ClockText(t), L"2025/01/01  13:07");
    SYSTEMTIME morning = t;
    morning.wYear = 2024, morning.wMonth = 5, morning.wDay = 10, morning.wHour = 9, morning.wMinute = 5;
    UseClock([morning] { return morning; });
    TPallendoForm& f = CreateForm();
    EXPECT_EQ(f.StatusBar1.panelText(0), L"2024/05/10  09:05");
    UseClock({});
}

TEST_F(MainWindow, SwitchingPagesEmptiesTheMessagePanelOnly) {
    TPallendoForm& f = CreateForm();
    f.StatusBar1.setPanelText(1, L"report.docx を設定しました");
    const std::wstring clock = f.StatusBar1.panelText(0);
    TabCtrl_SetCurFocus(f.PageControl1.hwnd, 0);  // as a click on the tab does
    PumpMessages();
    EXPECT_EQ(f.PageControl1.activeIndex(), 0);
    EXPECT_TRUE(f.TsFile1.showing());
    EXPECT_EQ(f.StatusBar1.panelText(1), L"");
    EXPECT_EQ(f.StatusBar1.panelText(0), clock);
}

TEST_F(MainWindow, PanelSwitchReachesEveryControlDirectlyInIt) {
    TPallendoForm& f = CreateForm();
    f.SetPanelEnabled(f.GridPanel6, true);
    EXPECT_TRUE(f.GridPanel6.enabled());
    for (const GridCell& cell : f.GridPanel6.cells()) EXPECT_TRUE(cell.control->enabled());
    f.SetPanelEnabled(f.GridPanel6, false);
    EXPECT_FALSE(f.GridPanel6.enabled());
    for (const GridCell& cell : f.GridPanel6.cells()) EXPECT_FALSE(cell.control->enabled());
    EXPECT_TRUE(f.Edit1.enabled());  // other panels keep their states
}

TEST_F(MainWindow, AnsweringNoKeepsTheWindowAndItsTemporaryFile) {
    TPallendoForm& f = CreateForm();
    const std::wstring temp = f.TempFileName1;
    EXPECT_TRUE(FileExists(temp));
    EXPECT_EQ(FileNamePart(temp).substr(0, 3), L"tmp");
    f.CheckBoxCloseQuery1.setChecked(true);
    prompter.boxAnswers = {IDNO};
    EXPECT_FALSE(f.Close());
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].text, L"終了してよいですか？");
    EXPECT_EQ(prompter.asked[0].flags, 0x24u);
    EXPECT_TRUE(FileExists(temp));
    prompter.boxAnswers = {IDYES};
    EXPECT_TRUE(f.Close());
    EXPECT_FALSE(FileExists(temp));
}

TEST_F(MainWindow, UncheckedConfirmationClosesWithoutAsking) {
    TPallendoForm& f = CreateForm();
    const std::wstring temp = f.TempFileName1;
    EXPECT_TRUE(f.Close());
    EXPECT_TRUE(prompter.asked.empty());
    EXPECT_FALSE(FileExists(temp));
}

TEST_F(MainWindow, SessionEndNeverAsksAndALaterCloseAsksAgain) {
    TPallendoForm& f = CreateForm();
    f.CheckBoxCloseQuery1.setChecked(true);
    const std::wstring temp = f.TempFileName1;
    EXPECT_EQ(::SendMessageW(f.hwnd, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), 1);
    EXPECT_TRUE(prompter.asked.empty());
    EXPECT_FALSE(f.FQueryEndSession);
    EXPECT_FALSE(FileExists(temp));
    EXPECT_TRUE(::IsWindow(f.hwnd));  // another program may still cancel the end of the session
    prompter.boxAnswers = {IDNO};
    EXPECT_FALSE(f.Close());
    EXPECT_EQ(prompter.texts(L"box"), std::vector<std::wstring>{L"終了してよいですか？"});
}

TEST_F(MainWindow, StartUpFailureSkipsTheRemainingStepsButTheWindowRuns) {
    wchar_t tmp[MAX_PATH] = {}, temp[MAX_PATH] = {};
    ::GetEnvironmentVariableW(L"TMP", tmp, MAX_PATH);
    ::GetEnvironmentVariableW(L"TEMP", temp, MAX_PATH);
    TestFolder folder(L"startup");
    const std::wstring missing = folder / L"no such folder";
    ::SetEnvironmentVariableW(L"TMP", missing.c_str());
    ::SetEnvironmentVariableW(L"TEMP", missing.c_str());
    TPallendoForm& f = CreateForm();
    ::SetEnvironmentVariableW(L"TMP", tmp[0] ? tmp : nullptr);
    ::SetEnvironmentVariableW(L"TEMP", temp[0] ? temp : nullptr);
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].flags, static_cast<UINT>(MB_OK | MB_ICONSTOP));
    EXPECT_FALSE(prompter.asked[0].text.empty());
    EXPECT_TRUE(f.TempFileName1.empty());
    EXPECT_FALSE(::GetWindowLongW(f.hwnd, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);  // the last step never ran
    EXPECT_TRUE(::IsWindowVisible(f.hwnd));
    EXPECT_EQ(f.PageControl1.activeIndex(), 1);  // the steps before the failure did run
}

}  // namespace
