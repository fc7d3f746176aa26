// Files reaching the window: real WM_DROPFILES messages carrying a drop the test builds, and the
// first command-line argument at start-up (in the test's own window and in a started product).
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include "pairing/CombinationTest.h"
#include "shell/Text.h"
#include "shortcuts/ShellLink.h"
#include "support/FormFixture.h"
#include "support/LinkFiles.h"
#include "support/OutsideDriver.h"

namespace {

// A dedicated shortcut, as the program writes it (it quotes the paths itself).
void SaveDedicatedLink(const std::wstring& linkPath, const std::wstring& program,
                       const std::wstring& document) {
    SaveLink(WriteShellLink(CreateShellLink(), program, document), linkPath);
}

// A shortcut as the file manager makes one: the target's plain path, no arguments.
void SavePlainLink(const std::wstring& linkPath, const std::wstring& target) {
    Microsoft::WRL::ComPtr<IShellLinkW> link = CreateShellLink();
    ASSERT_TRUE(SUCCEEDED(link->SetPath(target.c_str())));
    SaveLink(link, linkPath);
}

class FileIntake : public FormFixture {
protected:
    FileIntake() : folder(L"intake") {}
    void SetUp() override {
        FormFixture::SetUp();  // COM first: the links are made through the link object
        for (const wchar_t* name : {L"report.docx", L"VIEWER.EXE", L"other.exe", L"run.bat"})
            WriteBytes(folder / name, "x");
        WriteBytes(folder / L"fake.lnk", "not a link");
        SaveDedicatedLink(folder / L"report.docx(VIEWER).lnk", folder / L"VIEWER.EXE",
                          folder / L"report.docx");
        SavePlainLink(folder / L"Report.LnK", folder / L"report.docx");
        SavePlainLink(folder / L"Viewer.lnk", folder / L"VIEWER.EXE");
    }
    std::wstring shownMessage() const { return form->message(); }

    TestFolder folder;
};

struct DropCase {
    const char* name;
    std::vector<std::wstring> files;  // names in the test folder, or full paths
    std::wstring edit1;               // "<doc>" for the report's path, "=" for unchanged
    std::wstring combo;               // "<viewer>" for VIEWER.EXE's path, "=" for unchanged
    std::wstring message;
};

TEST_F(FileIntake, ADropFillsOneSideOfThePairAndResetsThePanel) {
    const std::wstring doc = folder / L"report.docx", viewer = folder / L"VIEWER.EXE";
    const std::wstring longName = std::wstring(240, L'a') + L".txt";
    const std::wstring longPath = folder / longName;
    ASSERT_GT(longPath.size(), 255u);
    const DropCase cases[] = {
        {"a document", {L"report.docx"}, L"<doc>", L"=", L"report.docx を受取りました"},
        {"a program in capitals", {L"VIEWER.EXE"}, L"=", L"<viewer>", L"VIEWER.EXE を受取りました"},
        {"a dedicated shortcut",
         {L"report.docx(VIEWER).lnk"},
         L"<doc>",
         L"<viewer>",
         L"report.docx(VIEWER).lnk を受取りました"},
        {"a shortcut to a document", {L"Report.LnK"}, L"<doc>", L"=", L"Report.LnK を受取りました"},
        {"a shortcut to a program",
         {L"Viewer.lnk"},
         L"=",
         L"<viewer>",
         L"Viewer.lnk を受取りました"},
        {"a batch file", {L"run.bat"}, folder / L"run.bat", L"=", L"run.bat を受取りました"},
        {"three files",
         {L"report.docx", L"VIEWER.EXE", L"run.bat"},
         L"<doc>",
         L"=",
         L"report.docx を受取りました"},
        {"a file that only looks like a link",
         {L"fake.lnk"},
         folder / L"fake.lnk",
         L"=",
         L"fake.lnk を受取りました"},
        {"a path longer than 255 characters",
         {longPath},
         longPath,
         L"=",
         longName + L" を受取りました"},
    };
    for (const DropCase& c : cases) {
        SCOPED_TRACE(c.name);
        TPallendoForm& f = createForm();
        f.Edit1.setText(L"C:\\before\\kept.txt");
        f.ComboBox2.setText(L"C:\\before\\other.exe");
        f.ComboBox2Change();
        f.testPassed(NamesOfTest(f));
        f.activatePage(PageId::File);
        std::vector<std::wstring> paths;
        for (const std::wstring& name : c.files)
            paths.push_back(IsRootedName(name) ? name : folder / name);

        EXPECT_TRUE(dropFiles(paths)) << "the drop is released";
        auto expect = [](const std::wstring& wanted, const std::wstring& before,
                         const std::wstring& tag, const std::wstring& value) {
            return wanted == L"=" ? before : wanted == tag ? value : wanted;
        };
        EXPECT_EQ(f.Edit1.text(), expect(c.edit1, L"C:\\before\\kept.txt", L"<doc>", doc));
        EXPECT_EQ(f.ComboBox2.text(),
                  expect(c.combo, L"C:\\before\\other.exe", L"<viewer>", viewer));
        EXPECT_EQ(shownMessage(), c.message);
        EXPECT_EQ(f.activePage(), PageId::Edit);
        if (c.combo != L"=") {
            EXPECT_TRUE(f.ButtonComboBox2Clear.enabled());
            EXPECT_TRUE(f.ButtonSelectExe2.enabled());
        }
        if (c.edit1 != L"=") {
            EXPECT_TRUE(f.ButtonEdit1Clear.enabled());
        }
        EXPECT_TRUE(f.ButtonTest12.enabled());
        EXPECT_EQ(f.ButtonTest12.imageIndex(), 0);
        EXPECT_FALSE(f.GridPanel6.enabled());
        EXPECT_FALSE(f.Edit3.enabled());
        EXPECT_EQ(f.Edit3.text(), L"");
        EXPECT_EQ(f.ButtonCreate3.imageIndex(), -1);
        EXPECT_TRUE(prompter.asked.empty());
        discardForm();
    }
}

TEST_F(FileIntake, ADropThatLeavesASideEmptyWithdrawsTheTestButton) {
    TPallendoForm& f = createForm();
    f.ButtonTest12.setEnabled(true);
    f.ButtonTest12.setImageIndex(0);
    EXPECT_TRUE(dropFiles({folder / L"report.docx"}));
    EXPECT_EQ(f.Edit1.text(), folder / L"report.docx");
    EXPECT_FALSE(f.ButtonTest12.enabled());
    EXPECT_EQ(f.ButtonTest12.imageIndex(), -1);

    // The clear-history entry in the launcher field names no launcher either.
    f.ComboBox2.setText(L"(履歴をクリア)");
    EXPECT_TRUE(dropFiles({folder / L"run.bat"}));
    EXPECT_FALSE(f.ButtonTest12.enabled());
}

TEST_F(FileIntake, APathWithAForbiddenCharacterIsReportedAndTheWindowGoesOn) {
    TPallendoForm& f = createForm();
    f.Edit1.setText(L"C:\\before\\kept.txt");
    f.setMessage(L"earlier");
    EXPECT_TRUE(dropFiles({L"C:\\docs\\a|b.txt"}))
        << "the drop is released on the failure path too";
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].text, L"パスに無効な文字が含まれています.");
    EXPECT_EQ(prompter.asked[0].flags, static_cast<UINT>(MB_OK | MB_ICONSTOP));
    EXPECT_EQ(f.Edit1.text(), L"C:\\before\\kept.txt");
    EXPECT_EQ(shownMessage(), L"earlier");
    // The window still takes the next drop.
    EXPECT_TRUE(dropFiles({folder / L"report.docx"}));
    EXPECT_EQ(f.Edit1.text(), folder / L"report.docx");
}

TEST_F(FileIntake, ADroppedProgramKeepsTheLauncherItReplacesInTheHistory) {
    const std::wstring clear = L"(履歴をクリア)";
    struct Case {
        const char* name;
        std::wstring shown;
        std::vector<std::wstring> history;
    };
    const Case cases[] = {
        {"another program, not in the list",
         L"C:\\before\\other.exe",
         {L"C:\\before\\other.exe", L"C:\\history.exe", clear}},
        {"a program the list holds in other letter case",
         L"C:\\HISTORY.EXE",
         {L"C:\\history.exe", clear}},
        {"an empty launcher field", L"", {L"C:\\history.exe", clear}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TPallendoForm& f = createForm();
        f.Edit1.setText(L"C:\\before\\kept.txt");
        f.ComboBox2.add(L"C:\\history.exe");
        f.ComboBox2.add(clear);
        f.ComboBox2.setText(c.shown);
        EXPECT_TRUE(dropFiles({folder / L"VIEWER.EXE"}));
        EXPECT_EQ(f.ComboBox2.text(), folder / L"VIEWER.EXE");
        EXPECT_EQ(f.ComboBox2.items(), c.history);
        EXPECT_EQ(f.Edit1.text(), L"C:\\before\\kept.txt");
        EXPECT_EQ(f.TargetExeName1, folder / L"VIEWER.EXE") << "the field handling ran";
        EXPECT_TRUE(f.ButtonExe2.enabled());
        discardForm();
    }
}

struct ArgumentCase {
    const char* name;
    std::wstring argument;
    std::wstring edit1, combo;  // after the start
    std::wstring message;
};

TEST_F(FileIntake, TheFirstArgumentStartsAFreshPair) {
    const std::wstring doc = folder / L"report.docx", viewer = folder / L"VIEWER.EXE";
    const ArgumentCase cases[] = {
        {"a document", doc, doc, L"", L"report.docx を受取りました"},
        {"a program", viewer, L"", viewer, L"VIEWER.EXE を受取りました"},
        {"a dedicated shortcut", folder / L"report.docx(VIEWER).lnk", doc, viewer,
         L"report.docx(VIEWER).lnk を受取りました"},
        {"a shortcut to a program", folder / L"Viewer.lnk", L"", viewer,
         L"Viewer.lnk を受取りました"},
        {"a shortcut to a document", folder / L"Report.LnK", doc, L"",
         L"Report.LnK を受取りました"},
        {"no argument", L"", L"C:\\restored.txt", L"C:\\restored.exe", L""},
    };
    for (const ArgumentCase& c : cases) {
        SCOPED_TRACE(c.name);
        // The settings file restores a whole pair and a history.
        createForm();
        form->Edit1.setText(L"C:\\restored.txt");
        form->ComboBox2.setText(L"C:\\restored.exe");
        form->ComboBox2.add(L"C:\\history.exe");
        closeForm();
        form.reset();
        FormOptions options;
        if (!c.argument.empty()) options.arguments = {c.argument, folder / L"ignored.txt"};
        TPallendoForm& f = createForm(options);
        EXPECT_EQ(f.Edit1.text(), c.edit1);
        EXPECT_EQ(f.ComboBox2.text(), c.combo);
        EXPECT_EQ(f.ComboBox2.items(), std::vector<std::wstring>{L"C:\\history.exe"});
        EXPECT_EQ(shownMessage(), c.message);
        // The buttons follow the pair the start ended with.
        const bool paired = !c.edit1.empty() && !c.combo.empty();
        EXPECT_EQ(f.ButtonEdit1Clear.enabled(), !c.edit1.empty());
        EXPECT_EQ(f.ButtonComboBox2Clear.enabled(), !c.combo.empty());
        EXPECT_EQ(f.ButtonTest12.enabled(), paired);
        EXPECT_EQ(f.ButtonTest12.imageIndex(), paired ? 0 : -1);
        EXPECT_TRUE(::GetWindowLongW(f.hwnd, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
        EXPECT_TRUE(prompter.asked.empty());
        discardForm();
    }
}

TEST_F(FileIntake, AForbiddenCharacterOnTheCommandLineIsReportedAndDropsStillWork) {
    TPallendoForm& f = createForm(FormOptions{.arguments = {L"C:\\docs\\a<b>.txt"}});
    ASSERT_EQ(prompter.texts(L"box"),
              std::vector<std::wstring>{L"パスに無効な文字が含まれています."});
    EXPECT_EQ(f.Edit1.text(), L"");
    EXPECT_EQ(shownMessage(), L"");
    EXPECT_TRUE(::GetWindowLongW(f.hwnd, GWL_EXSTYLE) & WS_EX_ACCEPTFILES)
        << "the window takes drops all the same";
}

TEST_F(FileIntake, TheProductTakesTheFileItWasStartedWith) {
    // The product keeps its own settings file; the test puts back what it found.
    const std::wstring productSettings = ProductSettingsFile();
    const bool hadSettings = Exists(productSettings);
    const std::string before = ReadBytes(productSettings);
    const std::wstring doc = folder / L"report.docx";
    {
        RunningPallendo product({doc});
        ASSERT_NE(product.window(), nullptr);
        EXPECT_EQ(RunningPallendo::text(product.Edit1()), doc);
        EXPECT_EQ(RunningPallendo::text(product.ComboBox2()), L"");
        EXPECT_TRUE(product.enabled(product.control(WC_BUTTONW, L"クリア", 0)));
        EXPECT_EQ(product.statusText(1), L"report.docx を受取りました");
        EXPECT_TRUE(product.closeAndWait());
    }
    {
        // A folder as a batch file's "%~dp0" gives it: its backslash escapes no quote.
        TestFolder files(L"My Files");
        const std::wstring given = files.path() + L"\\";
        RunningPallendo product({given});
        ASSERT_NE(product.window(), nullptr) << WideToUtf8(product.describeWindows());
        EXPECT_EQ(RunningPallendo::text(product.Edit1()), given);
        EXPECT_TRUE(product.closeAndWait());
    }
    {
        // A refused argument is reported, and drops are taken all the same.
        RunningPallendo product({folder / L"a<b>.txt"});
        HWND box = product.waitForBox();
        ASSERT_NE(box, nullptr) << WideToUtf8(product.describeWindows());
        EXPECT_EQ(RunningPallendo::boxText(box), L"パスに無効な文字が含まれています.");
        RunningPallendo::answer(box, IDOK);
        ASSERT_NE(product.window(), nullptr);
        product.drop({doc});
        EXPECT_EQ(RunningPallendo::text(product.Edit1()), doc);
        EXPECT_TRUE(product.closeAndWait());
    }
    if (hadSettings) {
        WriteBytes(productSettings, before);
    } else {
        ::DeleteFileW(productSettings.c_str());
    }
}

}  // namespace
