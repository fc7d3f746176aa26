#include <windows.h>
#include <commctrl.h>

#include <oleacc.h>
#include <shlobj.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "app/ControlTable.h"
#include "shell/Boxes.h"
#include "shell/Clock.h"
#include "shell/DateText.h"
#include "shell/FileSystem.h"
#include "shell/ShellActions.h"
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
    for (const ControlRow& row : ControlTable())
        if (row.control(form).hwnd == window) return std::wstring(row.name);
    return L"?";
}

// The name assistive technology gives a control; "" when there is none.
std::wstring AccessibleName(HWND control) {
    Microsoft::WRL::ComPtr<IAccessible> object;
    if (FAILED(::AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT),
                                            IID_PPV_ARGS(&object))))
        return L"<no object>";
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    if (FAILED(object->get_accName(self, &name)) || !name) return {};
    std::wstring result(name, ::SysStringLen(name));
    ::SysFreeString(name);
    return result;
}

// The tab stops in the order Tab visits them, from the first one of the page shown.
std::vector<std::wstring> TabWalk(TPallendoForm& f) {
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
    return walked;
}

// A key pressed on the focused control and handled by the message loop; Ctrl and Shift are
// held in the thread's key state while it is handled.
void PressKey(UINT key, bool control = false, bool shift = false) {
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = keys[VK_LCONTROL] = control ? 0x80 : 0;
    keys[VK_SHIFT] = keys[VK_LSHIFT] = shift ? 0x80 : 0;
    ::SetKeyboardState(keys);
    HWND focus = ::GetFocus();
    ::PostMessageW(focus, WM_KEYDOWN, key, 1);
    ::PostMessageW(focus, WM_KEYUP, key, 0xC0000001);
    PumpMessages();
    keys[VK_CONTROL] = keys[VK_LCONTROL] = keys[VK_SHIFT] = keys[VK_LSHIFT] = 0;
    ::SetKeyboardState(keys);
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
    {L"CheckBoxAddHistory1", L"Button", L"履歴に「メモ帳」「ペイント」を追加", 0, true, false,
     true},
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
    TPallendoForm& f = createForm();
    ASSERT_EQ(ControlTable().size(), std::size(kExpected));
    HWND pages[] = {f.TsFile1.hwnd, f.TsEdit1.hwnd, f.TsHelp1.hwnd};
    for (const Expected& e : kExpected) {
        SCOPED_TRACE(WideToUtf8(e.name));
        const ControlRow* row = nullptr;
        for (const ControlRow& s : ControlTable())
            if (s.name == e.name) row = &s;
        ASSERT_NE(row, nullptr);
        HWND control = row->control(f).hwnd;
        ASSERT_TRUE(::IsWindow(control));
        EXPECT_EQ(ClassName(control), e.cls);
        EXPECT_EQ(row->control(f).text(), e.caption);
        EXPECT_EQ(::GetParent(control), pages[e.page]);
        EXPECT_EQ(row->control(f).enabled(), e.enabled);
        EXPECT_EQ(::SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED, e.checked);
        EXPECT_EQ(row->handCursor, e.hand);
    }
    EXPECT_EQ(ClassName(f.hwnd), L"TPallendoForm");
}

TEST_F(MainWindow, WindowPagesStatusBarAndImagesStartAsDesigned) {
    TPallendoForm& f = createForm();
    wchar_t caption[64] = {};
    ::GetWindowTextW(f.hwnd, caption, 64);
    EXPECT_STREQ(caption, L"パレンド");
    EXPECT_EQ(ClassName(f.PageControl1.hwnd), L"SysTabControl32");
    EXPECT_EQ(TabCtrl_GetItemCount(f.PageControl1.hwnd), 3);
    EXPECT_EQ(f.activePage(), PageId::Edit);
    EXPECT_TRUE(f.TsEdit1.showing());
    EXPECT_FALSE(f.TsFile1.showing());
    EXPECT_FALSE(::GetWindowLongW(f.PageControl1.hwnd, GWL_STYLE) & WS_TABSTOP);
    EXPECT_EQ(ClassName(f.StatusBar1.hwnd), L"msctls_statusbar32");
    int parts[2] = {};
    ASSERT_EQ(::SendMessageW(f.StatusBar1.hwnd, SB_GETPARTS, 2, reinterpret_cast<LPARAM>(parts)),
              2);
    EXPECT_EQ(parts[0], f.scale(120));
    EXPECT_EQ(parts[1] - parts[0], f.scale(500));
    EXPECT_EQ(f.ImageList3.count(), 2);
    EXPECT_EQ(f.ImageList1.count(), 0);
    EXPECT_EQ(f.ButtonTest12.imageIndex(), -1);
    EXPECT_EQ(f.ButtonCreate3.imageIndex(), -1);
    EXPECT_TRUE(::GetWindowLongW(f.hwnd, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    EXPECT_EQ(::GetWindow(f.hwnd, GW_OWNER), nullptr);
    EXPECT_TRUE(::GetWindowLongW(f.hwnd, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    EXPECT_TRUE(::GetWindowLongW(f.hwnd, GWL_EXSTYLE) & WS_EX_COMPOSITED) << "double-buffered";
    EXPECT_EQ(::ImageList_GetBkColor(f.ImageList3.handle()), 15790320u);
}

TEST_F(MainWindow, TabWalksEachPageInItsOrder) {
    TPallendoForm& f = createForm();
    for (const ControlRow& row : ControlTable()) row.control(f).setEnabled(true);
    const std::vector<std::wstring> orders[] = {
        {L"ButtonSendTo1", L"ButtonDeskTop1", L"ButtonStartMenu1", L"ButtonStartUp1",
         L"CheckBoxCloseQuery1", L"CheckBoxSaveStatus1", L"CheckBoxAddHistory1", L"ButtonDefApp1"},
        // The destination group is one tab stop: its checked button.
        {L"ButtonEdit1Clear", L"ButtonSelectFile1", L"Edit1", L"ButtonOpenDefault1",
         L"ButtonComboBox2Clear", L"ButtonSelectExe2", L"ComboBox2", L"ButtonExe2", L"ButtonTest12",
         L"RadioButtonDeskTop1", L"ButtonEdit3Clear", L"Edit3", L"ButtonCreate3",
         L"ButtonOpenFolder3", L"ButtonProperties3", L"ButtonExeLink3"},
        {L"Button4", L"Button5", L"Button6", L"Button7", L"Button8"},
    };
    for (PageId page : kPages) {
        f.activatePage(page);
        SCOPED_TRACE(TabIndexOf(page));
        EXPECT_EQ(TabWalk(f), orders[TabIndexOf(page)]);
    }
    // Another choice moves the group's tab stop to its own place in the order.
    ::SendMessageW(f.RadioButtonStartUp3.hwnd, BM_CLICK, 0, 0);
    std::vector<std::wstring> edit = orders[1];
    std::erase(edit, L"RadioButtonDeskTop1");
    edit.push_back(L"RadioButtonStartUp3");
    f.activatePage(PageId::Edit);
    EXPECT_EQ(TabWalk(f), edit);
}

TEST_F(MainWindow, TheDestinationChangesByClickAndArrowKeysNeverByFocusAlone) {
    TPallendoForm& f = createForm();
    f.SetPanelEnabled(f.GridPanel6, true);
    RadioButton* group[] = {&f.RadioButtonDeskTop1, &f.RadioButtonStartMenu2,
                            &f.RadioButtonStartUp3};
    auto checkedOne = [&] {
        std::wstring checked;
        for (RadioButton* radio : group) {
            const bool tabStop = ::GetWindowLongW(radio->hwnd, GWL_STYLE) & WS_TABSTOP;
            EXPECT_EQ(tabStop, radio->checked()) << "only the checked button is a tab stop";
            if (radio->checked()) checked += NameOf(f, radio->hwnd);
        }
        return checked;
    };
    EXPECT_EQ(checkedOne(), L"RadioButtonDeskTop1");
    f.ButtonTest12.setEnabled(true);
    f.ButtonTest12.setFocus();
    PressKey(VK_TAB);
    EXPECT_TRUE(f.RadioButtonDeskTop1.focused()) << "Tab enters the group at its choice";

    const struct {
        UINT key;
        const wchar_t* chosen;
    } steps[] = {{VK_RIGHT, L"RadioButtonStartMenu2"},
                 {VK_DOWN, L"RadioButtonStartUp3"},
                 {VK_RIGHT, L"RadioButtonDeskTop1"},
                 {VK_LEFT, L"RadioButtonStartUp3"},
                 {VK_UP, L"RadioButtonStartMenu2"}};
    for (const auto& step : steps) {
        SCOPED_TRACE(WideToUtf8(step.chosen));
        PressKey(step.key);
        EXPECT_EQ(checkedOne(), step.chosen);
        EXPECT_EQ(NameOf(f, ::GetFocus()), step.chosen) << "the focus follows the choice";
    }

    // The focus alone, on an unchecked button, chooses nothing.
    f.RadioButtonDeskTop1.setFocus();
    PumpMessages();
    EXPECT_EQ(checkedOne(), L"RadioButtonStartMenu2");
    // A click does.
    ::SendMessageW(f.RadioButtonStartUp3.hwnd, BM_CLICK, 0, 0);
    EXPECT_EQ(checkedOne(), L"RadioButtonStartUp3");
}

// The push buttons that look like the default one, by name.
std::vector<std::wstring> DefaultLooking(TPallendoForm& f) {
    std::vector<std::wstring> names;
    for (const ControlRow& row : ControlTable()) {
        HWND control = row.control(f).hwnd;
        if (ClassName(control) == L"Button" &&
            (::GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
            names.emplace_back(row.name);
    }
    return names;
}

TEST_F(MainWindow, OnlyTheButtonEnterPressesLooksLikeTheDefault) {
    TPallendoForm& f = createForm();
    f.ComboBox2.setText(L"C:\\Tools\\viewer.exe");
    f.ComboBox2Change();
    f.Edit1.setText(L"C:\\Docs\\report.txt");
    const auto click = [](HWND control) {
        ::PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        ::PostMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        PumpMessages();
    };
    const auto enter = [](HWND field) {
        ::PostMessageW(field, WM_KEYDOWN, VK_RETURN, 0);
        ::PostMessageW(field, WM_CHAR, L'\r', 0);
        PumpMessages();
    };
    const struct {
        const char* step;
        std::function<void()> act;
        const wchar_t* focused;
        std::vector<std::wstring> looksDefault;
    } steps[] = {
        {"Tab onto a button", [&] { f.Edit1.setFocus(); PressKey(VK_TAB); },
         L"ButtonOpenDefault1", {L"ButtonOpenDefault1"}},
        {"a click into a field", [&] { click(f.Edit1.hwnd); }, L"Edit1", {}},
        {"Shift+Tab back onto the clear button",
         [&] { PressKey(VK_TAB, false, true); PressKey(VK_TAB, false, true); },
         L"ButtonEdit1Clear", {L"ButtonEdit1Clear"}},
        {"the clear button sends the focus into its field", [&] { PressKey(VK_SPACE); },
         L"Edit1", {}},
        {"Tab onto a button, then a click on another",
         [&] { PressKey(VK_TAB); click(f.ButtonExe2.hwnd); },
         L"ButtonExe2", {L"ButtonExe2"}},
        {"Enter in the display name moves on to the create button",
         [&] {
             f.SetPanelEnabled(f.GridPanel6, true);  // as a passed test leaves it
             f.Edit3.setFocus();
             enter(f.Edit3.hwnd);
         },
         L"ButtonCreate3", {L"ButtonCreate3"}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.step);
        step.act();
        EXPECT_EQ(NameOf(f, ::GetFocus()), step.focused);
        EXPECT_EQ(DefaultLooking(f), step.looksDefault);
    }
    // Another page: the button left behind gives up the look, the one focused there takes it.
    PressKey(VK_TAB, true);
    EXPECT_EQ(DefaultLooking(f), std::vector<std::wstring>{NameOf(f, ::GetFocus())});
}

TEST_F(MainWindow, PageKeysCycleThePagesAsAClickOnTheTabDoes) {
    TPallendoForm& f = createForm();
    const struct {
        UINT key;
        bool shift;
        PageId page;
    } steps[] = {{VK_TAB, false, PageId::Help},  {VK_TAB, false, PageId::File},
                 {VK_TAB, false, PageId::Edit},  {VK_TAB, true, PageId::File},
                 {VK_NEXT, false, PageId::Edit}, {VK_PRIOR, false, PageId::File},
                 {VK_PRIOR, false, PageId::Help}};
    for (const auto& step : steps) {
        SCOPED_TRACE(TabIndexOf(step.page));
        f.setMessage(L"report.docx を設定しました");
        PressKey(step.key, true, step.shift);
        EXPECT_EQ(f.activePage(), step.page);
        EXPECT_TRUE(f.pageOf(step.page).showing());
        EXPECT_EQ(f.message(), L"") << "the page change ran";
        HWND focus = ::GetFocus();
        EXPECT_TRUE(focus && ::IsChild(f.pageOf(step.page).hwnd, focus))
            << "the focus is on the page shown";
    }
    // Back on a page, the focus is where it was on that page.
    f.activatePage(PageId::Edit);
    f.ButtonSelectExe2.setFocus();
    PressKey(VK_TAB, true);
    PressKey(VK_TAB, true, true);
    EXPECT_TRUE(f.ButtonSelectExe2.focused());
}

TEST_F(MainWindow, TheFocusStartsInTheTargetFieldAndComesBackAfterAnotherWindow) {
    TPallendoForm& f = createForm();
    EXPECT_EQ(::GetFocus(), f.Edit1.hwnd);

    // A half-typed launcher is not remembered when another window is activated.
    COMBOBOXINFO info{sizeof(info)};
    ::GetComboBoxInfo(f.ComboBox2.hwnd, &info);
    ::SetFocus(info.hwndItem);
    for (wchar_t c : std::wstring(L"C:\\Tools\\hal")) ::SendMessageW(info.hwndItem, WM_CHAR, c, 1);
    PumpMessages();
    HWND other = ::CreateWindowExW(0, L"Static", L"other", WS_POPUP | WS_VISIBLE | WS_CAPTION, 0, 0,
                                   200, 100, nullptr, nullptr, nullptr, nullptr);
    ::SetActiveWindow(other);
    PumpMessages();
    ASSERT_NE(::GetActiveWindow(), f.hwnd);
    ::SetActiveWindow(f.hwnd);
    PumpMessages();
    ::DestroyWindow(other);
    EXPECT_EQ(::GetFocus(), info.hwndItem) << "the focus is back in the launcher field";
    EXPECT_EQ(f.ComboBox2.find(L"C:\\Tools\\hal"), -1);

    // Leaving the field for another control remembers it.
    PressKey(VK_TAB);
    EXPECT_TRUE(f.ButtonExe2.focused());
    EXPECT_EQ(f.ComboBox2.find(L"C:\\Tools\\hal"), 0);
}

TEST_F(MainWindow, StartUpThatFilledBothFieldsPutsTheFocusOnTheTest) {
    const std::wstring settings = settingsFile();
    ::SHCreateDirectoryExW(nullptr, settings.substr(0, settings.rfind(L'\\')).c_str(), nullptr);
    WriteBytes(settings, "[OPTION]\r\nFileName=C:\\Docs\\a.txt\r\nExeName=C:\\Tools\\v.exe\r\n");
    TPallendoForm& f = createForm();
    ASSERT_TRUE(f.ButtonTest12.enabled());
    EXPECT_EQ(::GetFocus(), f.ButtonTest12.hwnd);
}

TEST_F(MainWindow, FieldsAreNamedByTheLabelJustBeforeThemAndButtonsByTheirCaptions) {
    TPallendoForm& f = createForm();
    const std::pair<Label*, Control*> named[] = {
        {&f.Label1, &f.Edit1}, {&f.Label2, &f.ComboBox2}, {&f.Label3, &f.Edit3}};
    for (const auto& [label, field] : named) {
        SCOPED_TRACE(WideToUtf8(label->text()));
        EXPECT_EQ(::GetWindow(field->hwnd, GW_HWNDPREV), label->hwnd);
        EXPECT_FALSE(::GetWindowLongW(label->hwnd, GWL_STYLE) & WS_TABSTOP);
        const std::wstring name = AccessibleName(field->hwnd);
        // Wine's accessibility layer names a combo box by nothing; Windows' names it, as the
        // edit fields, by the label before it.
        if (field != &f.ComboBox2 || !name.empty()) {
            EXPECT_EQ(name, label->text());
        }
    }
    for (const ControlRow& row : ControlTable()) {
        if (row.kind != ControlKind::Button) continue;
        SCOPED_TRACE(WideToUtf8(std::wstring(row.name)));
        EXPECT_EQ(AccessibleName(row.control(f).hwnd), row.caption) << "a button by its caption";
    }
}

TEST_F(MainWindow, ADpiChangeWhileStartUpPlacesTheHiddenWindowKeepsItsRectangle) {
    TPallendoForm& f = createForm({}, false);
    RECT placed{};
    ::GetWindowRect(f.hwnd, &placed);
    auto changeDpi = [&](int dpi, RECT suggested) {
        ::SendMessageW(f.hwnd, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                       reinterpret_cast<LPARAM>(&suggested));
    };
    changeDpi(144, RECT{placed.left, placed.top, placed.left + (placed.right - placed.left) * 3 / 2,
                        placed.top + (placed.bottom - placed.top) * 3 / 2});
    RECT after{};
    ::GetWindowRect(f.hwnd, &after);
    EXPECT_TRUE(::EqualRect(&after, &placed)) << "the placed rectangle does not grow";
    EXPECT_EQ(f.dpi(), 144) << "the window shows at the new scale";
    EXPECT_EQ(f.ImageList3.size(), 24);
    EXPECT_EQ(::ImageList_GetBkColor(f.ImageList3.handle()), 15790320u);

    // A shown window moved to a monitor of another scale takes the suggested rectangle.
    f.show();
    PumpMessages();
    const RECT suggested{10, 20, 610, 420};
    changeDpi(96, suggested);
    ::GetWindowRect(f.hwnd, &after);
    EXPECT_TRUE(::EqualRect(&after, &suggested));
    EXPECT_EQ(f.dpi(), 96);
}

// What start-up does to the controls it makes: the messages they get while the window is
// created, noted by a hook on the thread.
struct StartUpTrace {
    std::map<HWND, int> moves, fonts;
    static StartUpTrace* current;
    static LRESULT CALLBACK hook(int code, WPARAM wParam, LPARAM lParam) {
        const auto& call = *reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && current) {
            if (call.message == WM_SETFONT) ++current->fonts[call.hwnd];
            const auto* pos = reinterpret_cast<const WINDOWPOS*>(call.lParam);
            if (call.message == WM_WINDOWPOSCHANGED &&
                (pos->flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE))
                ++current->moves[call.hwnd];
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }
};
StartUpTrace* StartUpTrace::current = nullptr;

TEST_F(MainWindow, StartUpMakesEachControlWhereItStaysAndWithItsFont) {
    // A window placed at another size than its design, as a settings file restores it.
    CreateFolderTree(FolderPart(settingsFile()));
    WriteBytes(settingsFile(), "[POSITION]\r\nLeft=40\r\nTop=30\r\nRight=760\r\nBottom=540\r\n");
    StartUpTrace trace;
    StartUpTrace::current = &trace;
    HHOOK hook =
        ::SetWindowsHookExW(WH_CALLWNDPROC, &StartUpTrace::hook, nullptr, ::GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    TPallendoForm& f = createForm({}, false);
    ::UnhookWindowsHookEx(hook);
    StartUpTrace::current = nullptr;

    RECT frame{};
    ::GetWindowRect(f.hwnd, &frame);
    ASSERT_EQ(frame.right - frame.left, 720) << "the window has its restored size";
    for (const ControlRow& row : ControlTable()) {
        SCOPED_TRACE(WideToUtf8(std::wstring(row.name)));
        HWND control = row.control(f).hwnd;
        EXPECT_EQ(trace.fonts[control], 1) << "the font is given once, when it is made";
        // The combo box fits its own height to its font and its list.
        if (row.kind == ControlKind::ComboBox) continue;
        RECT shown{};
        ::GetWindowRect(control, &shown);
        ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&shown), 2);
        const RECT laidOut = row.control(f).placed();
        EXPECT_FALSE(::IsRectEmpty(&shown));
        EXPECT_TRUE(::EqualRect(&shown, &laidOut)) << "where the layout puts it";
        // Only a caption wider than its check box's design width widens it, once it can be
        // measured.
        EXPECT_LE(trace.moves[control], row.fit == CellFit::Centered ? 1 : 0)
            << "made where the layout keeps it";
    }
}

// The layout measures a caption itself and asks the check box only when the caption comes near
// its design width: either way no caption is cut off, at any scale.
TEST_F(MainWindow, ACheckBoxIsAsWideAsItsWholeCaptionOrItsCellAtEveryScale) {
    TPallendoForm& f = createForm({}, false);
    RECT placed{};
    ::GetWindowRect(f.hwnd, &placed);
    int widened = 0;
    for (const int dpi : {96, 144, 192}) {
        SCOPED_TRACE(dpi);
        ::SendMessageW(f.hwnd, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                       reinterpret_cast<LPARAM>(&placed));
        for (const ControlRow& row : ControlTable()) {
            if (row.fit != CellFit::Centered) continue;
            SCOPED_TRACE(WideToUtf8(std::wstring(row.name)));
            HWND box = row.control(f).hwnd;
            SIZE ideal{};
            ASSERT_TRUE(::SendMessageW(box, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal)));
            RECT cell = PanelOf(f, row.panel)->cellRect(row.row, row.column, row.rowSpan,
                                                        row.columnSpan);
            const int margin = ::MulDiv(row.margin, dpi, 96);
            ::InflateRect(&cell, -margin, -margin);
            const RECT shown = row.control(f).placed();
            const int width = shown.right - shown.left;
            EXPECT_TRUE(width >= ideal.cx || width == cell.right - cell.left)
                << width << " wide, the caption needs " << ideal.cx;
            if (width > ::MulDiv(row.fixedSize.cx, dpi, 96)) ++widened;
            RECT window{};
            ::GetWindowRect(box, &window);
            EXPECT_EQ(window.right - window.left, width);
        }
    }
    EXPECT_GT(widened, 0) << "a caption wider than its design width widens its check box";
}

TEST_F(MainWindow, ABoxIsModalToTheWindowAndGivesBackActivationAndFocus) {
    TPallendoForm& f = createForm();
    HWND other = ::CreateWindowExW(0, L"Static", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                   nullptr, nullptr, nullptr, nullptr);
    ::SetActiveWindow(f.hwnd);
    f.ComboBox2.setFocus();
    PumpMessages();
    HWND focus = ::GetFocus();
    UsePrompter(nullptr);  // the platform's own box
    BoxAnswerer answerer({IDNO});
    HWND owner = nullptr;
    bool mainEnabled = true, otherEnabled = true;
    answerer.onShow = [&](HWND box) {
        owner = ::GetWindow(box, GW_OWNER);
        mainEnabled = ::IsWindowEnabled(f.hwnd);
        otherEnabled = ::IsWindowEnabled(other);
    };
    EXPECT_EQ(ApplicationMessageBox(L"終了してよいですか？", MB_YESNO | MB_ICONQUESTION), IDNO);
    UsePrompter(&prompter);
    PumpMessages();
    EXPECT_EQ(owner, f.hwnd);
    EXPECT_FALSE(mainEnabled) << "the box disables its owner";
    EXPECT_FALSE(otherEnabled) << "and the program's other windows";
    EXPECT_TRUE(::IsWindowEnabled(f.hwnd));
    EXPECT_TRUE(::IsWindowEnabled(other));
    EXPECT_EQ(::GetActiveWindow(), f.hwnd);
    EXPECT_EQ(::GetFocus(), focus);

    // The task dialog of a message gives the focus back too.
    answerer.onShow = [&](HWND box) { owner = ::GetWindow(box, GW_OWNER); };
    answerer.answers = {IDOK};
    UsePrompter(nullptr);
    MessageDialog(L"report.docx を設定しました");
    UsePrompter(&prompter);
    PumpMessages();
    EXPECT_EQ(owner, f.hwnd);
    EXPECT_EQ(::GetActiveWindow(), f.hwnd);
    EXPECT_EQ(::GetFocus(), focus);
    ::DestroyWindow(other);
}

TEST_F(MainWindow, TheShellsDeleteConfirmationIsModalToTheWindow) {
    TPallendoForm& f = createForm();
    TestFolder folder(L"modal delete");
    const std::wstring file = folder / L"gone.txt";
    WriteBytes(file, "x");
    BoxAnswerer answerer({IDYES});
    HWND owner = nullptr;
    bool mainEnabled = true;
    answerer.onShow = [&](HWND box) {
        owner = ::GetWindow(box, GW_OWNER);
        mainEnabled = ::IsWindowEnabled(f.hwnd);
    };
    EXPECT_TRUE(DeleteToRecycleBin(file));
    // Wine asks before a file goes to the trash; Windows may not ask at all.
    if (answerer.texts.empty()) GTEST_SKIP() << "the shell asked nothing";
    EXPECT_EQ(owner, f.hwnd);
    EXPECT_FALSE(mainEnabled);
    EXPECT_TRUE(::IsWindowEnabled(f.hwnd));
}

TEST_F(MainWindow, TabAndEnterWorkThroughTheMessageLoop) {
    TPallendoForm& f = createForm();
    f.ButtonSelectFile1.setFocus();
    ::PostMessageW(f.ButtonSelectFile1.hwnd, WM_KEYDOWN, VK_TAB, 0);
    PumpMessages();
    EXPECT_TRUE(f.Edit1.focused());
}

TEST_F(MainWindow, TabsShareThreeQuartersOfTheRow) {
    TPallendoForm& f = createForm();
    ::SetWindowPos(f.PageControl1.hwnd, nullptr, 0, 0, 600, 200, SWP_NOMOVE | SWP_NOZORDER);
    f.FormResize();
    EXPECT_EQ(f.PageControl1.tabWidth(), 150);
}

TEST_F(MainWindow, UpperGroupTakesSixtyPercentOfTheEditPage) {
    TPallendoForm& f = createForm();
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
    morning.wYear = 2024, morning.wMonth = 5, morning.wDay = 10, morning.wHour = 9,
    morning.wMinute = 5;
    UseClock([morning] { return morning; });
    TPallendoForm& f = createForm();
    EXPECT_EQ(f.clock(), L"2024/05/10  09:05");
    UseClock({});
}

TEST_F(MainWindow, SwitchingPagesEmptiesTheMessagePanelOnly) {
    TPallendoForm& f = createForm();
    f.setMessage(L"report.docx を設定しました");
    const std::wstring clock = f.clock();
    TabCtrl_SetCurFocus(f.PageControl1.hwnd, 0);  // as a click on the tab does
    PumpMessages();
    EXPECT_EQ(f.activePage(), PageId::File);
    EXPECT_TRUE(f.TsFile1.showing());
    EXPECT_EQ(f.message(), L"");
    EXPECT_EQ(f.clock(), clock);
}

TEST_F(MainWindow, PanelSwitchReachesEveryControlDirectlyInIt) {
    TPallendoForm& f = createForm();
    f.SetPanelEnabled(f.GridPanel6, true);
    EXPECT_TRUE(f.GridPanel6.enabled());
    for (const GridCell& cell : f.GridPanel6.cells()) EXPECT_TRUE(cell.control->enabled());
    f.SetPanelEnabled(f.GridPanel6, false);
    EXPECT_FALSE(f.GridPanel6.enabled());
    for (const GridCell& cell : f.GridPanel6.cells()) EXPECT_FALSE(cell.control->enabled());
    EXPECT_TRUE(f.Edit1.enabled());  // other panels keep their states
}

TEST_F(MainWindow, AnsweringNoKeepsTheWindowAndItsTemporaryFile) {
    TPallendoForm& f = createForm();
    const std::wstring temp = f.TempFileName1;
    EXPECT_TRUE(FileExists(temp));
    EXPECT_EQ(FileNamePart(temp).substr(0, 3), L"tmp");
    f.CheckBoxCloseQuery1.setChecked(true);
    prompter.boxAnswers = {IDNO};
    EXPECT_FALSE(f.close());
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].text, L"終了してよいですか？");
    EXPECT_EQ(prompter.asked[0].flags, 0x24u);
    EXPECT_TRUE(FileExists(temp));
    prompter.boxAnswers = {IDYES};
    EXPECT_TRUE(f.close());
    EXPECT_FALSE(FileExists(temp));
}

TEST_F(MainWindow, UncheckedConfirmationClosesWithoutAsking) {
    TPallendoForm& f = createForm();
    const std::wstring temp = f.TempFileName1;
    EXPECT_TRUE(f.close());
    EXPECT_TRUE(prompter.asked.empty());
    EXPECT_FALSE(FileExists(temp));
}

TEST_F(MainWindow, SessionEndNeverAsksAndALaterCloseAsksAgain) {
    TPallendoForm& f = createForm();
    f.CheckBoxCloseQuery1.setChecked(true);
    const std::wstring temp = f.TempFileName1;
    EXPECT_EQ(::SendMessageW(f.hwnd, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), 1);
    EXPECT_TRUE(prompter.asked.empty());
    EXPECT_FALSE(f.FQueryEndSession);
    EXPECT_FALSE(FileExists(temp));
    EXPECT_TRUE(::IsWindow(f.hwnd));  // another program may still cancel the end of the session
    prompter.boxAnswers = {IDNO};
    EXPECT_FALSE(f.close());
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
    TPallendoForm& f = createForm();
    ::SetEnvironmentVariableW(L"TMP", tmp[0] ? tmp : nullptr);
    ::SetEnvironmentVariableW(L"TEMP", temp[0] ? temp : nullptr);
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].flags, static_cast<UINT>(MB_OK | MB_ICONSTOP));
    EXPECT_FALSE(prompter.asked[0].text.empty());
    EXPECT_TRUE(f.TempFileName1.empty());
    EXPECT_FALSE(::GetWindowLongW(f.hwnd, GWL_EXSTYLE) &
                 WS_EX_ACCEPTFILES);  // the last step never ran
    EXPECT_TRUE(::IsWindowVisible(f.hwnd));
    EXPECT_EQ(f.activePage(), PageId::Edit);  // the steps before the failure did run
    // The controls are made and laid out all the same, in their design state.
    for (const ControlRow& row : ControlTable()) {
        SCOPED_TRACE(WideToUtf8(std::wstring(row.name)));
        RECT shown{};
        ASSERT_TRUE(::GetWindowRect(row.control(f).hwnd, &shown));
        EXPECT_FALSE(::IsRectEmpty(&shown));
    }
    EXPECT_TRUE(f.CheckBoxSaveStatus1.checked());
    EXPECT_EQ(TabWalk(f).front(), L"ButtonSelectFile1");
}

}  // namespace
