#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include "shell/ShellActions.h"
#include "shell/Text.h"
#include "ShortcutFixture.h"

namespace {

class DedicatedPanel : public ShortcutFixture {};

TEST_F(DedicatedPanel, EnterInTheDisplayNameMovesOnWithoutACharacter) {
    TPallendoForm& f = createForm();
    passTestOfNewDocument(L"a.txt", "a");
    f.Edit3.setFocus();
    // Through the message loop, as a key press arrives.
    ::PostMessageW(f.Edit3.hwnd, WM_KEYDOWN, VK_RETURN, 0);
    ::PostMessageW(f.Edit3.hwnd, WM_CHAR, L'\r', 0);
    PumpMessages();
    EXPECT_TRUE(f.ButtonCreate3.focused());
    EXPECT_EQ(f.Edit3.text(), L"a.txt(probe)");
    EXPECT_TRUE(prompter.asked.empty());  // Enter is no click on the default button
    // Every other character reaches the field unfiltered.
    ::SendMessageW(f.Edit3.hwnd, WM_CHAR, L'*', 0);
    EXPECT_EQ(f.Edit3.text(), L"*a.txt(probe)");
}

TEST_F(DedicatedPanel, TypingEnablesClearOnlyWhileTheFieldIsEnabled) {
    TPallendoForm& f = createForm();
    // Start-up closes the whole panel, the field with it, until a test succeeds; here only the
    // field is opened again.
    ASSERT_FALSE(f.Edit3.enabled());
    f.Edit3.setEnabled(true);
    ASSERT_FALSE(f.ButtonEdit3Clear.enabled());
    f.Edit3.setText(L"名前");
    EXPECT_TRUE(f.ButtonEdit3Clear.enabled());
    EXPECT_FALSE(f.ButtonCreate3.enabled());
    EXPECT_FALSE(f.ButtonOpenFolder3.enabled());
    // An empty text does not take it back.
    f.Edit3.setText(L"");
    EXPECT_TRUE(f.ButtonEdit3Clear.enabled());

    f.ButtonEdit3Clear.setEnabled(false);
    f.Edit3.setEnabled(false);
    f.Edit3.setText(L"別名");
    EXPECT_FALSE(f.ButtonEdit3Clear.enabled());
}

// After clearing the name the link is still there: its folder opens with it selected, whatever
// the radio buttons say. Once it is gone, the chosen folder opens, properties do nothing and
// starting reports the shell's failure.
TEST_F(DedicatedPanel, ButtonsActOnTheLastLinkAndFallBackWhenItIsGone) {
    TPallendoForm& f = createForm();
    const std::wstring link = linkIn(CSIDL_DESKTOP, L"memo.txt(probe).lnk");
    passTestOfNewDocument(L"memo.txt", "memo");
    f.ButtonCreate3.click();
    ASSERT_TRUE(Exists(link));

    f.ButtonEdit3Clear.click();
    EXPECT_EQ(f.Edit3.text(), L"");
    EXPECT_TRUE(f.Edit3.focused());
    EXPECT_EQ(f.message(), L"");
    EXPECT_FALSE(f.ButtonEdit3Clear.enabled());
    EXPECT_TRUE(f.ButtonOpenFolder3.enabled());
    EXPECT_FALSE(f.ButtonProperties3.enabled());
    EXPECT_FALSE(f.ButtonExeLink3.enabled());
    EXPECT_EQ(f.ShortCut1, link);

    f.RadioButtonDeskTop1.setChecked(false);
    f.RadioButtonStartUp3.setChecked(true);
    {
        ExplorerWatch explorer;
        f.ButtonOpenFolder3.click();
        // The link's own folder, not the chosen one. Wine's file manager opens the folder of
        // "/select," but leaves the link unselected, so the selection is not checked here.
        EXPECT_EQ(explorer.waitForWindowCaption(), FolderCaption(GetSpecialFolder(CSIDL_DESKTOP)));
    }

    ::DeleteFileW(link.c_str());
    {
        ExplorerWatch explorer;
        f.ButtonOpenFolder3.click();
        EXPECT_EQ(explorer.waitForWindowCaption(), FolderCaption(GetSpecialFolder(CSIDL_STARTUP)));
    }
    f.ButtonProperties3.setEnabled(true);
    f.ButtonExeLink3.setEnabled(true);
    prompter.clear();
    f.ButtonProperties3.click();
    EXPECT_TRUE(prompter.asked.empty());
    f.ButtonExeLink3.click();
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].text.rfind(L"Open Failed ", 0), 0u)
        << WideToUtf8(prompter.asked[0].text);
    EXPECT_EQ(f.message(), L"memo.txt(probe).lnk を 起動しました");
}

bool UnderWine() {
    return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

TEST_F(DedicatedPanel, PropertiesShowTheLinksSheet) {
    TPallendoForm& f = createForm();
    linkIn(CSIDL_DESKTOP, L"sheet.txt(probe).lnk");
    passTestOfNewDocument(L"sheet.txt", "sheet");
    f.ButtonCreate3.click();
    prompter.clear();
    BoxAnswerer sheet({IDCANCEL});
    f.ButtonProperties3.click();
    EXPECT_TRUE(prompter.asked.empty());  // no failure notice
    // Wine's SHObjectProperties only reports success; Windows shows the link's sheet.
    if (UnderWine()) return;
    ASSERT_TRUE(PumpUntil([&] { return !sheet.captions.empty(); }));
    EXPECT_NE(sheet.captions[0].find(L"sheet.txt(probe)"), std::wstring::npos)
        << WideToUtf8(sheet.captions[0]);
}

// The program's purpose end to end: the dedicated shortcut opens the document, whose path holds
// blanks and Japanese, with the chosen launcher as one argument.
TEST_F(DedicatedPanel, DedicatedShortcutStartsTheLauncherWithTheDocument) {
    TPallendoForm& f = createForm();
    TestFolder folder(L"end to end");
    const std::wstring document = folder / L"週報 第 3 版.txt";
    WriteBytes(document, "report");
    const std::wstring link = linkIn(CSIDL_PROGRAMS, L"週報 第 3 版.txt(probe).lnk");
    Probe probe;
    f.activatePage(PageId::Edit);
    f.Edit1.setText(document);
    f.ComboBox2.setText(Probe::path());
    f.ComboBox2Change();
    f.ButtonTest12.click();
    const auto tested = probe.waitForArguments();
    ASSERT_TRUE(tested.has_value()) << "the combination test started nothing";
    ASSERT_EQ(tested->size(), 1u);
    EXPECT_EQ(ReadBytes((*tested)[0]), "report") << "the probe opened the test copy";
    probe.forget();
    ASSERT_TRUE(f.ButtonCreate3.enabled());
    f.RadioButtonStartMenu2.setChecked(true);
    f.RadioButtonDeskTop1.setChecked(false);
    f.ButtonCreate3.click();
    ASSERT_TRUE(Exists(link));
    EXPECT_EQ(f.message(), L"スタートメニュー に 週報 第 3 版.txt(probe).lnk を作成しました");

    f.ButtonExeLink3.click();
    const auto arguments = probe.waitForArguments();
    ASSERT_TRUE(arguments.has_value());
    EXPECT_EQ(*arguments, std::vector<std::wstring>{document}) << WideToUtf8(probe.commandLine());
    EXPECT_EQ(f.message(), L"週報 第 3 版.txt(probe).lnk を 起動しました");
}

}  // namespace
