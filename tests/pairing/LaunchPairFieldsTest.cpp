#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "PairingFixture.h"
#include "pairing/CombinationTest.h"
#include "shell/ShellActions.h"
#include "shell/Text.h"

namespace {

class LaunchPairFields : public PairingFixture {};

struct FieldCase {
    const wchar_t* target;
    const wchar_t* launcher;
    bool targetButtons;  // ButtonEdit1Clear and ButtonOpenDefault1
    bool test;           // ButtonTest12 with image 0
};

// Blanks count as filled; no file needs to exist.
const FieldCase kFieldCases[] = {
    {L"", L"", false, false},
    {L"", L"C:\\Tools\\viewer.exe", false, false},
    {L"   ", L"", true, false},
    {L"   ", L"C:\\Tools\\viewer.exe", true, true},
    {L"C:\\nowhere\\report.txt", L"", true, false},
    {L"C:\\nowhere\\report.txt", L"  ", true, true},
};

TEST_F(LaunchPairFields, BothFieldsFilledEnableTheTestWhateverTheyHold) {
    TPallendoForm& f = createForm();
    for (const FieldCase& c : kFieldCases) {
        SCOPED_TRACE(testing::Message() << WideToUtf8(c.target) << " / " << WideToUtf8(c.launcher));
        f.Edit1.setText(L"x");  // a change, whatever the case's target
        setLauncher(c.launcher);
        f.Edit1.setText(c.target);
        EXPECT_EQ(f.TargetFileName1, c.target);
        EXPECT_EQ(f.TargetExeName1, c.launcher);
        EXPECT_EQ(f.ButtonEdit1Clear.enabled(), c.targetButtons);
        EXPECT_EQ(f.ButtonOpenDefault1.enabled(), c.targetButtons);
        EXPECT_EQ(f.ButtonTest12.enabled(), c.test);
        EXPECT_EQ(f.ButtonTest12.imageIndex(), c.test ? 0 : -1);
        EXPECT_EQ(f.ButtonTest12.showsImage(), c.test);
        if (c.test) {
            EXPECT_EQ(focusedControl(), f.ButtonTest12.hwnd);
        } else {
            EXPECT_FALSE(f.GridPanel6.enabled());
        }
    }
}

TEST_F(LaunchPairFields, TargetShowsItsTypesIconEvenWhenTheFileDoesNotExist) {
    TPallendoForm& f = createForm();
    f.Edit1.setText(L"C:\\nowhere\\report.txt");
    EXPECT_EQ(f.ImageList1.count(), 1);
    EXPECT_EQ(f.ButtonOpenDefault1.imageIndex(), 0);
    EXPECT_TRUE(f.ButtonOpenDefault1.showsImage());
    f.setMessage(L"earlier");
    f.Edit1.setText(L"");
    EXPECT_EQ(f.ImageList1.count(), 0);
    EXPECT_EQ(f.ButtonOpenDefault1.imageIndex(), -1);
    EXPECT_FALSE(f.ButtonOpenDefault1.showsImage());
    EXPECT_EQ(shownMessage(), L"");
}

TEST_F(LaunchPairFields, LauncherIconOnlyForProgramsButTheButtonAlwaysEnabled) {
    TestFolder folder(L"launcher-icons");
    const std::wstring batch = folder / L"run.bat";
    WriteBytes(batch, "@echo off\r\n");
    TPallendoForm& f = createForm();
    f.setMessage(L"kept");

    setLauncher(ProductPath());  // a program with an icon of its own
    EXPECT_TRUE(f.ButtonExe2.enabled());
    EXPECT_TRUE(f.ButtonComboBox2Clear.enabled());
    EXPECT_EQ(f.ImageList2.count(), 1);
    EXPECT_EQ(f.ButtonExe2.imageIndex(), 0);
    EXPECT_TRUE(f.ButtonExe2.showsImage());

    for (const std::wstring& launcher : {batch, std::wstring(L"C:\\nowhere\\viewer.exe")}) {
        SCOPED_TRACE(WideToUtf8(launcher));
        setLauncher(launcher);
        EXPECT_TRUE(f.ButtonExe2.enabled());
        EXPECT_EQ(f.ImageList2.count(), 0);
        EXPECT_EQ(f.ButtonExe2.imageIndex(), -1);
        EXPECT_FALSE(f.ButtonExe2.showsImage());
    }
    EXPECT_EQ(shownMessage(), L"kept");  // a non-empty launcher leaves the message panel alone

    setLauncher(L"");
    EXPECT_FALSE(f.ButtonExe2.enabled());
    EXPECT_FALSE(f.ButtonComboBox2Clear.enabled());
    EXPECT_EQ(shownMessage(), L"");
}

TEST_F(LaunchPairFields, FocusMovesToTheTestOnlyForAFilledInTargetWhileTheWindowIsShowing) {
    TPallendoForm& f = createForm({}, false);
    setLauncher(L"C:\\Tools\\viewer.exe");
    f.Edit1.setText(L"C:\\Docs\\a.txt");
    EXPECT_TRUE(f.ButtonTest12.enabled());
    EXPECT_NE(focusedControl(), f.ButtonTest12.hwnd);

    f.show();
    PumpMessages();
    f.Edit1.setText(L"");
    f.Edit1.setFocus();
    // The user's own typing keeps the focus: every character lands in the field.
    TypeInto(f.Edit1.hwnd, L"b c");
    EXPECT_EQ(f.Edit1.text(), L"b c");
    EXPECT_EQ(focusedControl(), f.Edit1.hwnd);
    // A target the program fills in hands the focus on to the test.
    f.Edit1.setText(L"C:\\Docs\\b.txt");
    EXPECT_EQ(focusedControl(), f.ButtonTest12.hwnd);

    // The launcher's change handling never moves the focus.
    f.ComboBox2.setFocus();
    TypeInto(launcherEdit(), L"x");
    EXPECT_EQ(f.TargetExeName1, f.ComboBox2.text());
    EXPECT_TRUE(f.ButtonTest12.enabled());
    EXPECT_EQ(focusedControl(), f.ComboBox2.hwnd);
}

TEST_F(LaunchPairFields, ClearButtonsCloseTheTestAndTheShortcutPanel) {
    TPallendoForm& f = createForm();
    auto openPanel = [&] {
        f.Edit1.setText(L"C:\\Docs\\a.txt");
        setLauncher(L"C:\\Tools\\viewer.exe");
        f.testPassed(NamesOfTest(f));
        f.ShortCut1 = L"C:\\Desktop\\a.lnk";  // as after 作成
    };

    // Each clear button empties its side of the pair; either way the test and the panel close.
    struct Case {
        const char* what;
        Button* clear;
        HWND focus;
        std::wstring message;
        std::function<void()> expectItsSideEmpty;
    };
    const Case cases[] = {
        {"the launcher's", &f.ButtonComboBox2Clear, f.ComboBox2.hwnd,
         L"a.txt を viewer.exe で開きました",
         [&] {
             EXPECT_EQ(f.ComboBox2.text(), L"");
             EXPECT_EQ(f.TargetExeName1,
                       L"C:\\Tools\\viewer.exe");  // its change handling did not run
             EXPECT_FALSE(f.ButtonComboBox2Clear.enabled());
             EXPECT_FALSE(f.ButtonExe2.enabled());
             EXPECT_EQ(f.ImageList2.count(), 0);
             EXPECT_EQ(f.ButtonTest12.imageIndex(), -1);
             EXPECT_FALSE(f.ButtonOpenFolder3.enabled());
             EXPECT_TRUE(f.ButtonOpenDefault1.enabled());
         }},
        {"the target's", &f.ButtonEdit1Clear, f.Edit1.hwnd, L"",
         [&] {
             EXPECT_EQ(f.Edit1.text(), L"");
             EXPECT_EQ(f.TargetFileName1, L"");
             EXPECT_FALSE(f.ButtonEdit1Clear.enabled());
             EXPECT_FALSE(f.ButtonOpenDefault1.enabled());
             EXPECT_EQ(f.ImageList1.count(), 0);
             EXPECT_FALSE(f.RadioButtonDeskTop1.enabled());
             EXPECT_TRUE(f.ButtonExe2.enabled());
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        openPanel();
        c.clear->click();
        c.expectItsSideEmpty();
        EXPECT_FALSE(f.ButtonTest12.enabled());
        EXPECT_FALSE(f.GridPanel6.enabled());
        EXPECT_EQ(f.ButtonCreate3.imageIndex(), -1);
        EXPECT_EQ(f.ShortCut1, L"");
        EXPECT_EQ(f.Edit3.text(), L"");
        EXPECT_EQ(focusedControl(), c.focus);
        EXPECT_EQ(shownMessage(), c.message);
    }
}

TEST_F(LaunchPairFields, ThePanelStaysOpenOnlyForThePairThatPassedTheTest) {
    TestFolder folder(L"tested pair");
    const std::wstring a = folder / L"a.txt";
    const std::wstring b = folder / L"b.txt";
    WriteBytes(a, "a");
    WriteBytes(b, "b");
    TPallendoForm& f = createForm();
    f.ComboBox2.add(Probe::path());
    f.ComboBox2.add(L"C:\\Tools\\other.exe");
    auto passTest = [&] {
        f.Edit1.setText(a);
        setLauncher(Probe::path());
        std::optional<Probe> probe;
        runTest(probe);
        ASSERT_TRUE(f.GridPanel6.enabled());
    };
    struct Change {
        const char* what;
        std::function<void()> change;
        bool stillOpen;
    };
    const Change changes[] = {
        {"the same entry picked twice",
         [&] {
             pick(0);
             pick(0);
         },
         true},
        {"the same target set again", [&] { f.Edit1.setText(a); }, true},
        {"another launcher", [&] { setLauncher(L"C:\\Tools\\other.exe"); }, false},
        {"another launcher picked", [&] { pick(1); }, false},
        {"another target", [&] { f.Edit1.setText(b); }, false},
        {"a character typed", [&] { TypeInto(f.Edit1.hwnd, L"x"); }, false},
    };
    for (const Change& c : changes) {
        SCOPED_TRACE(c.what);
        passTest();
        c.change();
        EXPECT_EQ(f.GridPanel6.enabled(), c.stillOpen);
        EXPECT_EQ(f.ButtonCreate3.enabled(), c.stillOpen);
        EXPECT_EQ(f.ButtonCreate3.imageIndex(), c.stillOpen ? 1 : -1);
        EXPECT_TRUE(f.ButtonTest12.enabled()) << "the new pair can be tested";
    }
    // Going back to the tested pair does not open the panel again: only a test does.
    passTest();
    f.Edit1.setText(b);
    f.Edit1.setText(a);
    EXPECT_FALSE(f.GridPanel6.enabled());
}

TEST_F(LaunchPairFields, BrowsingForTheTargetStartsAtTheDesktopThenAtTheFieldsFolder) {
    TestFolder folder(L"browse-target");
    const std::wstring chosen = folder / L"My Notes.txt";
    WriteBytes(chosen, "notes");
    TPallendoForm& f = createForm();

    prompter.fileAnswers = {std::nullopt};
    f.ButtonSelectFile1.click();
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].kind, L"file");
    EXPECT_EQ(prompter.asked[0].file.startFolder, GetSpecialFolder(CSIDL_DESKTOP));
    EXPECT_TRUE(prompter.asked[0].file.fileTypes.empty());
    EXPECT_EQ(f.Edit1.text(), L"");  // cancelled: nothing changed
    EXPECT_FALSE(f.ButtonEdit1Clear.enabled());

    prompter.fileAnswers = {chosen, chosen};
    f.ButtonSelectFile1.click();
    EXPECT_EQ(f.Edit1.text(), chosen);
    EXPECT_EQ(f.TargetFileName1, chosen);
    EXPECT_TRUE(f.ButtonEdit1Clear.enabled());
    EXPECT_TRUE(f.ButtonOpenDefault1.enabled());
    EXPECT_EQ(shownMessage(), L"My Notes.txt を設定しました");

    // The same file again changes no text, and the message still says it was set.
    f.setMessage(L"");
    f.ButtonSelectFile1.click();
    EXPECT_EQ(prompter.asked.back().file.startFolder, folder.path());
    EXPECT_EQ(shownMessage(), L"My Notes.txt を設定しました");
}

TEST_F(LaunchPairFields, BrowsingForTheLauncherRemembersTheOneItReplaces) {
    TestFolder folder(L"browse-launcher");
    const std::wstring chosen = folder / L"viewer.exe";
    WriteBytes(chosen, "MZ");
    TPallendoForm& f = createForm();
    setLauncher(L"notepad.exe");
    f.setMessage(L"");

    prompter.fileAnswers = {chosen};
    f.ButtonSelectExe2.click();
    ASSERT_EQ(prompter.asked.size(), 1u);
    const FileDialogRequest& request = prompter.asked[0].file;
    EXPECT_EQ(request.startFolder, L"");  // a bare program name: the platform chooses
    ASSERT_EQ(request.fileTypes.size(), 3u);
    EXPECT_EQ(request.fileTypes[0].name, L"実行プログラム(*.exe)");
    EXPECT_EQ(request.fileTypes[0].mask, L"*.exe");
    EXPECT_EQ(request.fileTypes[1].name, L"バッチファイル(*.bat)");
    EXPECT_EQ(request.fileTypes[1].mask, L"*.bat");
    EXPECT_EQ(request.fileTypes[2].name, L"全てのファイル");
    EXPECT_EQ(request.fileTypes[2].mask, L"*.*");
    EXPECT_EQ(request.defaultExtension, L"exe");

    EXPECT_EQ(f.ComboBox2.text(), chosen);
    EXPECT_EQ(f.TargetExeName1, chosen);
    EXPECT_EQ(historyEntries(), std::vector<std::wstring>{L"notepad.exe"});
    EXPECT_TRUE(f.ButtonComboBox2Clear.enabled());
    EXPECT_TRUE(f.ButtonExe2.enabled());
    // Enabled even with no target, as the browse always does.
    EXPECT_EQ(f.Edit1.text(), L"");
    EXPECT_TRUE(f.ButtonTest12.enabled());
    EXPECT_EQ(f.ButtonTest12.imageIndex(), 0);
    EXPECT_EQ(shownMessage(), L"viewer.exe を設定しました");

    prompter.fileAnswers = {std::nullopt};
    f.ButtonSelectExe2.click();
    EXPECT_EQ(prompter.asked.back().file.startFolder, folder.path());
    EXPECT_EQ(f.ComboBox2.text(), chosen);
    EXPECT_EQ(historyEntries().size(), 1u);
}

TEST_F(LaunchPairFields, BrowseFromAFieldThatNamesNoFolderStopsBeforeTheDialog) {
    TPallendoForm& f = createForm();
    struct Case {
        const wchar_t* text;
        const wchar_t* error;
    };
    for (const Case& c : {Case{L"   ", L"ファイル名が空です."},
                          Case{L"C:\\Docs\\a|b.txt", L"ファイル名に無効な文字が含まれています."}}) {
        SCOPED_TRACE(WideToUtf8(c.text));
        prompter.clear();
        f.Edit1.setText(c.text);
        setLauncher(c.text);
        f.setMessage(L"before");
        f.ButtonSelectFile1.click();
        f.ButtonSelectExe2.click();
        EXPECT_EQ(prompter.texts(L"file").size(), 0u);
        EXPECT_EQ(prompter.texts(L"box"), (std::vector<std::wstring>{c.error, c.error}));
        EXPECT_EQ(f.Edit1.text(), c.text);
        EXPECT_EQ(f.ComboBox2.text(), c.text);
        EXPECT_TRUE(historyEntries().empty());
        EXPECT_EQ(shownMessage(), L"before");
    }
}

// The product's own file dialog, opened and cancelled by a hook as a user's Cancel would.
TEST_F(LaunchPairFields, TheShellsItemDialogOpensAndItsCancelChangesNothing) {
    TPallendoForm& f = createForm();
    setLauncher(L"notepad.exe");
    Prompter* scripted = UsePrompter(nullptr);
    {
        BoxAnswerer answerer({IDCANCEL});
        f.ButtonSelectExe2.click();
        EXPECT_EQ(answerer.captions.size(), 1u);
    }
    UsePrompter(scripted);
    EXPECT_EQ(f.ComboBox2.text(), L"notepad.exe");
    EXPECT_TRUE(historyEntries().empty());
    EXPECT_TRUE(prompter.asked.empty());  // and no error box either
}

}  // namespace
