#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <regex>

#include "shell/Clock.h"
#include "shell/FileSystem.h"
#include "shell/ShellActions.h"
#include "shell/Text.h"
#include "ShortcutFixture.h"

namespace {

using Texts = std::vector<std::wstring>;

std::wstring SystemFolder() {
    wchar_t folder[MAX_PATH] = {};
    ::GetSystemDirectoryW(folder, MAX_PATH);
    return folder;
}

std::wstring ToLower(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(towlower(c));
    return text;
}

class ShortcutPlacement : public ShortcutFixture {};

const std::wregex kStampPattern(
    LR"(\d{4}/\d\d/\d\d \d\d:\d\d:\d\d Created by pallendo_shortcuts_tests V1\.1)");

const std::wstring kQuestionEnd =
    L"は既に存在します。更新しますか？\r\n\r\n[はい]: 更新する, [いいえ]: 削除する, [キャンセル]: "
    L"取消し\r\n";

// The panel's buttons that placing a shortcut switches.
struct ButtonStates {
    bool openFolder, properties, exeLink, create;
    bool operator==(const ButtonStates&) const = default;
};
ButtonStates States(const TPallendoForm& f) {
    return {f.ButtonOpenFolder3.enabled(), f.ButtonProperties3.enabled(),
            f.ButtonExeLink3.enabled(), f.ButtonCreate3.enabled()};
}

// The own shortcut's whole round on the Desktop: create, update with a new stamp, delete to the
// trash.
TEST_F(ShortcutPlacement, OwnShortcutOnTheDesktopIsCreatedUpdatedAndDeleted) {
    TPallendoForm& f = createForm();
    const std::wstring desktop = GetSpecialFolder(CSIDL_DESKTOP);
    const std::wstring link = linkIn(CSIDL_DESKTOP, L"パレンド.lnk");
    f.activatePage(PageId::File);

    UseClock([] { return At(2024, 5, 10, 14, 3, 7); });
    prompter.boxAnswers = {IDNO};  // do not open the folder
    f.ButtonDeskTop1.click();
    ASSERT_EQ(prompter.asked.size(), 2u) << WideToUtf8(prompter.asked.back().text);
    EXPECT_EQ(prompter.asked[0].kind, L"message");
    EXPECT_EQ(prompter.asked[0].text,
              L"フォルダ デスクトップ に\r\n" + link + L"\r\nを作成しました");
    EXPECT_EQ(prompter.asked[1].text, L"フォルダ デスクトップ を開きますか？");
    EXPECT_EQ(prompter.asked[1].flags, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(f.message(), L"デスクトップ に パレンド.lnk を作成しました");
    EXPECT_EQ(f.ShortCut1, link);
    LinkFields fields = ReadLink(link);
    EXPECT_EQ(fields.path, ExecutablePath());
    EXPECT_EQ(fields.arguments, L"");
    EXPECT_EQ(fields.workingDirectory, TempFolder());
    EXPECT_EQ(fields.description, L"2024/05/10 14:03:07 Created by pallendo_shortcuts_tests V1.1");
    // A File-page operation leaves the dedicated panel off.
    EXPECT_FALSE(f.GridPanel6.enabled());
    EXPECT_EQ(States(f), (ButtonStates{false, false, false, false}));
    EXPECT_EQ(f.ButtonCreate3.imageIndex(), -1);

    UseClock([] { return At(2024, 5, 10, 14, 5, 59); });
    prompter.clear();
    prompter.boxAnswers = {IDYES, IDNO};  // update, do not open the folder
    f.ButtonDeskTop1.click();
    ASSERT_EQ(prompter.asked.size(), 3u);
    EXPECT_EQ(prompter.asked[0].text,
              L"フォルダ デスクトップ に\r\n" + link + L"\r\n" + kQuestionEnd);
    EXPECT_EQ(prompter.asked[0].flags, static_cast<UINT>(MB_YESNOCANCEL | MB_ICONQUESTION));
    EXPECT_EQ(prompter.asked[0].caption, L"パレンド");
    EXPECT_EQ(prompter.asked[1].text,
              L"フォルダ デスクトップ の\r\n" + link + L"\r\nを更新しました");
    EXPECT_EQ(f.message(), L"デスクトップ の パレンド.lnk を更新しました");
    EXPECT_EQ(ReadLink(link).description,
              L"2024/05/10 14:05:59 Created by pallendo_shortcuts_tests V1.1");

    // Delete, then open the folder: the link is gone, so the desktop folder itself opens.
    const int trashedBefore = TrashedCount(L"パレンド.lnk");
    prompter.clear();
    prompter.boxAnswers = {IDNO, IDYES};
    {
        BoxAnswerer trashConfirmation({IDYES});  // Wine asks before it moves a file to the trash
        ExplorerWatch explorer;
        f.ButtonDeskTop1.click();
        EXPECT_EQ(explorer.waitForWindowCaption(), FolderCaption(desktop));
    }
    EXPECT_FALSE(Exists(link));
    EXPECT_EQ(TrashedCount(L"パレンド.lnk"), trashedBefore + 1);
    EXPECT_EQ(prompter.texts(),
              (Texts{L"フォルダ デスクトップ に\r\n" + link + L"\r\n" + kQuestionEnd,
                     L"フォルダ デスクトップ から\r\n" + link + L"\r\nを削除しました",
                     L"フォルダ デスクトップ を開きますか？"}));
    EXPECT_EQ(f.message(), L"デスクトップ から パレンド.lnk を削除しました");
    EXPECT_EQ(f.ShortCut1, L"");
    EXPECT_FALSE(f.ButtonProperties3.enabled());
    EXPECT_FALSE(f.ButtonExeLink3.enabled());
}

// Each File-page button registers the own shortcut in its folder, opens the folder with the
// link selected, and removes the link again.
TEST_F(ShortcutPlacement, FilePageButtonsRegisterAndRemoveInTheirFolders) {
    TPallendoForm& f = createForm();
    f.activatePage(PageId::File);
    struct Case {
        Button* button;
        int csidl;
        std::wstring label;
    };
    const Case cases[] = {
        {&f.ButtonSendTo1, CSIDL_SENDTO, L"「送る」"},
        {&f.ButtonDeskTop1, CSIDL_DESKTOP, L"デスクトップ"},
        {&f.ButtonStartMenu1, CSIDL_PROGRAMS, L"スタートメニュー"},
        {&f.ButtonStartUp1, CSIDL_STARTUP, L"スタートアップ"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(WideToUtf8(c.label));
        const std::wstring folder = GetSpecialFolder(c.csidl);
        const std::wstring link = linkIn(c.csidl, L"パレンド.lnk");
        prompter.clear();
        prompter.boxAnswers = {IDYES};  // open the folder
        {
            ExplorerWatch explorer;
            c.button->click();
            EXPECT_EQ(explorer.waitForWindowCaption(), FolderCaption(folder));
        }
        EXPECT_EQ(prompter.texts(),
                  (Texts{L"フォルダ " + c.label + L" に\r\n" + link + L"\r\nを作成しました",
                         L"フォルダ " + c.label + L" を開きますか？"}));
        EXPECT_EQ(f.message(), c.label + L" に パレンド.lnk を作成しました");
        const LinkFields fields = ReadLink(link);
        EXPECT_EQ(fields.path, ExecutablePath());
        EXPECT_EQ(fields.arguments, L"");
        EXPECT_EQ(fields.workingDirectory, TempFolder());
        EXPECT_TRUE(std::regex_match(fields.description, kStampPattern))
            << WideToUtf8(fields.description);

        prompter.clear();
        prompter.boxAnswers = {IDNO, IDNO};  // delete, do not open the folder
        {
            BoxAnswerer trashConfirmation({IDYES});
            c.button->click();
        }
        EXPECT_FALSE(Exists(link));
        EXPECT_EQ(f.message(), c.label + L" から パレンド.lnk を削除しました");
        EXPECT_EQ(f.ShortCut1, L"");
    }
}

// The dedicated shortcut's name: the display name, or the document and launcher names, and
// the own name when the launcher is this program.
TEST_F(ShortcutPlacement, DedicatedShortcutNamesFollowTheDisplayName) {
    TPallendoForm& f = createForm();
    TestFolder folder(L"naming");
    const std::wstring document = folder / L"report.docx";
    const std::wstring viewer = folder / L"viewer.exe";
    WriteBytes(document, "doc");
    ASSERT_TRUE(::CopyFileW(Probe::path().c_str(), viewer.c_str(), FALSE));
    struct Case {
        std::wstring launcher, displayName, fileName, shownName;
        std::wstring linkTarget = launcher;
    };
    const Case cases[] = {
        {viewer, L"", L"report.docx(viewer).lnk", L"report.docx(viewer)"},
        {viewer, L"Weekly report", L"Weekly report.lnk", L"Weekly report"},
        {viewer, L"a.lnk", L"a.lnk.lnk", L"a.lnk"},
        // This program as launcher makes its own shortcut, with the document all the same.
        {ExecutablePath(), L"表示名", L"パレンド.lnk", L"表示名"},
        // A bare program name, as the stock launchers are: the link object finds the program.
        {L"notepad.exe", L"", L"report.docx(notepad).lnk", L"report.docx(notepad)",
         SystemFolder() + L"\\notepad.exe"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(WideToUtf8(c.fileName));
        const std::wstring link = linkIn(CSIDL_DESKTOP, c.fileName);
        passTest(document, c.launcher);
        f.Edit3.setText(c.displayName);
        prompter.clear();
        f.ButtonCreate3.click();
        EXPECT_EQ(f.ShortCut1, link);
        EXPECT_EQ(f.Edit3.text(), c.shownName);
        // The Edit page's button never asks about the folder and keeps its panel on.
        EXPECT_EQ(prompter.texts(),
                  (Texts{L"フォルダ デスクトップ に\r\n" + link + L"\r\nを作成しました"}));
        EXPECT_EQ(f.message(), L"デスクトップ に " + c.fileName + L" を作成しました");
        EXPECT_TRUE(f.GridPanel6.enabled());
        EXPECT_EQ(States(f), (ButtonStates{true, true, true, true}));
        const LinkFields fields = ReadLink(link);
        EXPECT_EQ(ToLower(fields.path), ToLower(c.linkTarget));
        EXPECT_EQ(fields.arguments, L"\"" + document + L"\"");
        ::DeleteFileW(link.c_str());
    }
}

// A display name stays one file name inside the chosen folder.
TEST_F(ShortcutPlacement, DisplayNamesThatLeaveTheFolderOrHideTheLinkAreRefused) {
    TPallendoForm& f = createForm();
    const std::wstring document = writeDocument(L"memo.txt", "memo");
    const std::wstring desktop = GetSpecialFolder(CSIDL_DESKTOP);
    auto desktopFiles = [&] { return NamesMatching(JoinPath(desktop, L"*")); };
    const Texts refused{L"表示名に \\ / : * ? \" < > | は使えません."};
    struct Case {
        std::wstring displayName;
        bool accepted;
    };
    const Case cases[] = {
        {L"C:メモ", false},  {L"\\メモ", false},  {L"メモ:隠し", false},
        {L"a*b?", false},    {L"下/メモ", false}, {L"\"メモ\"", false},
        {L"<メモ>|", false}, {L"メモ.", true},  // a trailing dot stays inside the name: メモ..lnk
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(WideToUtf8(c.displayName));
        passTest(document, Probe::path());
        f.Edit3.setText(c.displayName);
        const std::wstring link = c.accepted ? linkIn(CSIDL_DESKTOP, c.displayName + L".lnk") : L"";
        const Texts before = desktopFiles();
        prompter.clear();
        f.ButtonCreate3.click();
        if (c.accepted) {
            EXPECT_EQ(f.ShortCut1, link);
            EXPECT_TRUE(Exists(link));
            continue;
        }
        EXPECT_EQ(prompter.texts(), refused);
        EXPECT_EQ(prompter.asked[0].kind, L"box");
        EXPECT_EQ(f.ShortCut1, L"");
        EXPECT_EQ(f.Edit3.text(), c.displayName);
        EXPECT_EQ(desktopFiles(), before);
        EXPECT_FALSE(Exists(L"C:\\メモ.lnk"));
        EXPECT_FALSE(Exists(L"C:メモ.lnk"));
    }
}

// Cancel writes and deletes nothing; a declined trash confirmation keeps the link and says so.
TEST_F(ShortcutPlacement, CancelAndDeclinedDeletionKeepTheLink) {
    TPallendoForm& f = createForm();
    const std::wstring link = linkIn(CSIDL_DESKTOP, L"memo.txt(probe).lnk");
    passTestOfNewDocument(L"memo.txt", "memo");
    // With no destination checked the Desktop is used, and the label is empty.
    f.RadioButtonDeskTop1.setChecked(false);
    f.ButtonCreate3.click();
    ASSERT_TRUE(Exists(link));
    EXPECT_EQ(prompter.texts(), (Texts{L"フォルダ  に\r\n" + link + L"\r\nを作成しました"}));
    const std::string bytes = ReadBytes(link);

    // The panel in a state that placing would change.
    f.ButtonProperties3.setEnabled(false);
    f.ButtonExeLink3.setEnabled(false);
    f.ButtonOpenFolder3.setEnabled(false);
    f.setMessage(L"前の表示");
    f.Edit3.setText(L"");
    f.ShortCut1.clear();
    prompter.clear();
    prompter.boxAnswers = {IDCANCEL};
    f.ButtonCreate3.click();
    EXPECT_EQ(prompter.texts(), (Texts{L"フォルダ  に\r\n" + link + L"\r\n" + kQuestionEnd}));
    EXPECT_EQ(ReadBytes(link), bytes);
    EXPECT_EQ(States(f), (ButtonStates{false, false, false, true}));
    EXPECT_EQ(f.message(), L"前の表示");
    EXPECT_EQ(f.ShortCut1, link);
    EXPECT_EQ(f.Edit3.text(), L"memo.txt(probe)");

    prompter.clear();
    prompter.boxAnswers = {IDNO};
    {
        BoxAnswerer trashConfirmation({IDNO});
        f.ButtonCreate3.click();
    }
    EXPECT_TRUE(Exists(link));
    EXPECT_EQ(prompter.texts(),
              (Texts{L"フォルダ  に\r\n" + link + L"\r\n" + kQuestionEnd, L"Operations Aborted.",
                     L"フォルダ  から\r\n" + link + L"\r\nを削除できませんでした"}));
    EXPECT_EQ(f.message(), L" から memo.txt(probe).lnk を削除できませんでした");
    EXPECT_EQ(f.ShortCut1, link);
    EXPECT_EQ(States(f), (ButtonStates{true, true, true, true}));
}

// A link that cannot be saved raises the error and leaves every button as it was.
TEST_F(ShortcutPlacement, FailedSaveRaisesNotCreatedAndChangesNoButton) {
    TPallendoForm& f = createForm();
    const std::wstring document = passTestOfNewDocument(L"plan.txt", "plan");
    f.RadioButtonDeskTop1.setChecked(false);
    f.RadioButtonStartUp3.setChecked(true);
    // A folder where the link would go: the save cannot write a file there.
    const std::wstring link = GetSpecialFolder(CSIDL_STARTUP) + L"plan.lnk";
    ASSERT_TRUE(::CreateDirectoryW(link.c_str(), nullptr));
    f.Edit3.setText(L"plan");
    f.setMessage(L"前の表示");
    const ButtonStates before = States(f);
    f.ButtonCreate3.click();
    ASSERT_EQ(prompter.asked.size(), 1u);
    const std::wstring& error = prompter.asked[0].text;
    const std::wstring start = L"フォルダ スタートアップ に\r\n" + Probe::path() + L"\r\n" +
                               document + L"\r\n" + link + L"\r\nを作成できませんでした HRESULT=-";
    EXPECT_EQ(error.substr(0, start.size()), start) << WideToUtf8(error);
    EXPECT_EQ(prompter.asked[0].flags, static_cast<UINT>(MB_OK | MB_ICONSTOP));
    EXPECT_TRUE(FolderExists(link)) << "no link was written";
    ::RemoveDirectoryW(link.c_str());
    EXPECT_EQ(States(f), before);
    EXPECT_EQ(f.message(), L"前の表示");
    EXPECT_EQ(f.ShortCut1, link);
    EXPECT_EQ(f.Edit3.text(), L"plan");
}

}  // namespace
