#include <windows.h>

#include <gtest/gtest.h>

#include <optional>

#include "PairingFixture.h"
#include "shell/AppInfo.h"
#include "shell/Shell.h"
#include "shell/Text.h"

namespace {

using Args = std::vector<std::wstring>;

class LaunchActions : public PairingFixture {
protected:
    // Runs the combination test and waits for the probe the launcher is.
    Args RunTest(std::optional<Probe>& probe) {
        probe.emplace();
        form->ButtonTest12.click();
        const auto args = probe->WaitForArguments();
        EXPECT_TRUE(args.has_value()) << "the launcher was not started";
        return args.value_or(Args{L"<none>"});
    }
    // Runs the test and expects the launcher to have got the new copy's path as its one argument.
    std::wstring ExpectCopyLaunched(std::optional<Probe>& probe) {
        const Args args = RunTest(probe);
        EXPECT_EQ(args, Args{form->TempFileName1});
        return form->TempFileName1;
    }
};

TEST_F(LaunchActions, TheTestOpensACopyOfTheTargetWithTheLauncherAsOneArgument) {
    TestFolder documents(L"documents");
    const std::wstring target = documents / L"Quarterly report.txt";
    WriteBytes(target, "figures of the quarter\r\n");
    TestFolder blankTemp(L"temp with blanks");

    for (const bool blanks : {false, true}) {
        SCOPED_TRACE(blanks ? "temporary folder with blanks" : "usual temporary folder");
        std::optional<TempFolderOverride> temp;
        if (blanks) temp.emplace(blankTemp.path());
        const std::wstring tempFolder = TempFolder();
        TPallendoForm& f = CreateForm();
        f.Edit1.setText(target);
        SetLauncher(Probe::Path());
        ASSERT_TRUE(f.ButtonTest12.enabled());

        std::optional<Probe> probe;
        const Args args = RunTest(probe);
        const std::wstring copy = f.TempFileName1;
        EXPECT_EQ(args, Args{copy});
        EXPECT_EQ(FileNamePart(copy), L"Quarterlyreport.txt");
        EXPECT_EQ(copy.rfind(tempFolder, 0), 0u) << WideToUtf8(copy);
        EXPECT_EQ(ReadBytes(copy), "figures of the quarter\r\n");
        EXPECT_EQ(copy.find(L' ') != std::wstring::npos, blanks);
        // A path without blanks reaches the launcher as it is.
        if (!blanks) {
            EXPECT_EQ(probe->CommandLine().find(L'"' + copy), std::wstring::npos);
        }

        EXPECT_TRUE(f.GridPanel6.enabled());
        EXPECT_TRUE(f.RadioButtonDeskTop1.enabled());
        EXPECT_EQ(f.ButtonCreate3.imageIndex(), 1);
        EXPECT_EQ(Message(), L"Quarterly report.txt を probe.exe で開きました");
        EXPECT_EQ(f.ShortCut1, L"");
        EXPECT_EQ(f.Edit3.text(), L"Quarterly report.txt(probe)");
        EXPECT_TRUE(f.ButtonOpenFolder3.enabled());
        EXPECT_FALSE(f.ButtonProperties3.enabled());
        EXPECT_FALSE(f.ButtonExeLink3.enabled());
        if (f.ButtonCreate3.enabled()) {
            EXPECT_EQ(Focus(), f.ButtonCreate3.hwnd);
        }
        EXPECT_EQ(History(), Args{});  // the test leaves the history alone

        CloseForm();
        EXPECT_FALSE(Exists(copy));
        EXPECT_FALSE(Exists(FolderPart(copy)));  // this run's own folder goes with it
        EXPECT_TRUE(Exists(target));
    }
}

TEST_F(LaunchActions, FailuresAreReportedAndCloseThePanel) {
    TestFolder folder(L"failures");
    const std::wstring missingTarget = folder / L"not there.txt";
    const std::wstring present = folder / L"present.txt";
    WriteBytes(present, "x");
    const std::wstring missingLauncher = folder / L"missing.exe";
    struct Case {
        const char* what;
        std::wstring target, launcher;
    };
    // A copy that cannot be made is a failed test with the copy's code; nothing is started.
    const Case cases[] = {{"target missing", missingTarget, Probe::Path()},
                          {"launcher missing", present, missingLauncher}};
    TPallendoForm& f = CreateForm();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        prompter.clear();
        f.Edit1.setText(c.target);
        SetLauncher(c.launcher);
        Probe probe;
        f.ButtonTest12.click();
        const std::wstring expected = L"実行できませんでした 2\r\n" + SystemErrorText(2) +
                                      L"\r\n" + c.launcher + L"\r\n" + c.target;
        EXPECT_EQ(prompter.texts(L"message"), Args{expected});
        EXPECT_FALSE(f.GridPanel6.enabled());
        EXPECT_FALSE(f.ButtonOpenFolder3.enabled());
        EXPECT_EQ(f.ButtonCreate3.imageIndex(), -1);
        EXPECT_TRUE(f.ButtonTest12.enabled());
        EXPECT_EQ(Message(), FileNamePart(c.target) + L" を " + FileNamePart(c.launcher) +
                                 L" で開けませんでした");
        EXPECT_TRUE(c.target == present || !Exists(f.TempFileName1));
        EXPECT_FALSE(probe.Recorded());
    }
    std::optional<Probe> probe;

    // A target the path rules refuse stops the test before anything is started.
    const std::wstring earlier = folder / L"earlier.txt";
    WriteBytes(earlier, "x");
    f.Edit1.setText(earlier);
    SetLauncher(Probe::Path());
    RunTest(probe);
    const std::wstring earlierCopy = f.TempFileName1;
    ASSERT_TRUE(Exists(earlierCopy));
    prompter.clear();
    f.Edit1.setText(folder / L"a|b.txt");
    f.ButtonTest12.click();
    EXPECT_EQ(prompter.texts(L"box"), Args{L"パスに無効な文字が含まれています."});
    EXPECT_EQ(f.TempFileName1, earlierCopy);
    EXPECT_FALSE(Exists(earlierCopy));
}

TEST_F(LaunchActions, ALauncherFieldEmptiedByTheOptionStillStartsTheLastLauncher) {
    TestFolder folder(L"emptied");
    const std::wstring target = folder / L"a.txt";
    WriteBytes(target, "a");
    TPallendoForm& f = CreateForm();
    f.Edit1.setText(target);
    SetLauncher(Probe::Path());
    f.ComboBox2.add(L"notepad.exe");
    f.ComboBox2.add(L"mspaint.exe");
    f.ComboBox2.add(L"(履歴をクリア)");
    ::SendMessageW(f.CheckBoxAddHistory1.hwnd, BM_SETCHECK, BST_CHECKED, 0);
    f.CheckBoxAddHistory1.setChecked(false);
    ASSERT_EQ(f.ComboBox2.text(), L"");
    ASSERT_TRUE(f.ButtonTest12.enabled());

    std::optional<Probe> probe;
    ExpectCopyLaunched(probe);
    EXPECT_EQ(f.Edit3.text(), L"a.txt()");
}

TEST_F(LaunchActions, TestCopiesNeverTouchTheUsersFilesAndOnlyTheLastOneLives) {
    TestFolder documents(L"own-files");
    const std::wstring temp = TempFolder();
    // The user's own files in the temporary folder: a document, and one named like a test copy.
    const std::wstring inTemp = JoinPath(temp, L"PairingOwnDocument.txt");
    const std::wstring sameName = JoinPath(temp, L"Quarterlyreport.txt");
    WriteBytes(inTemp, "the user's document");
    WriteBytes(sameName, "the user's other file");
    const std::wstring report = documents / L"Quarterly report.txt";
    WriteBytes(report, "report");

    TPallendoForm& f = CreateForm();
    const std::wstring reserved = f.TempFileName1;
    SetLauncher(Probe::Path());
    std::optional<Probe> probe;

    f.Edit1.setText(inTemp);
    const std::wstring first = ExpectCopyLaunched(probe);
    EXPECT_NE(first, inTemp);
    EXPECT_FALSE(Exists(reserved));  // the file reserved at start-up made way for the first copy
    EXPECT_EQ(ReadBytes(first), "the user's document");
    ExpectCopyLaunched(probe);

    f.Edit1.setText(report);
    const std::wstring second = ExpectCopyLaunched(probe);
    EXPECT_FALSE(Exists(first));
    EXPECT_EQ(ReadBytes(second), "report");
    EXPECT_NE(second, sameName);

    // The last copy itself taken as the target is kept for its own test.
    f.Edit1.setText(second);
    EXPECT_EQ(ExpectCopyLaunched(probe), second);
    EXPECT_EQ(ReadBytes(second), "report");

    EXPECT_EQ(ReadBytes(inTemp), "the user's document");
    EXPECT_EQ(ReadBytes(sameName), "the user's other file");
    CloseForm();
    EXPECT_FALSE(Exists(second));
    EXPECT_FALSE(Exists(FolderPart(second)));
    EXPECT_EQ(ReadBytes(inTemp), "the user's document");
    EXPECT_EQ(ReadBytes(sameName), "the user's other file");
    ::DeleteFileW(inTemp.c_str());
    ::DeleteFileW(sameName.c_str());
}

TEST_F(LaunchActions, OpenDefaultAndLauncherAloneStartWithoutArguments) {
    TPallendoForm& f = CreateForm();
    std::optional<Probe> probe;

    probe.emplace();
    f.Edit1.setText(Probe::Path());  // a program is its own default
    f.ButtonOpenDefault1.click();
    EXPECT_EQ(probe->WaitForArguments(), Args{});

    probe.emplace();
    SetLauncher(Probe::Path());
    f.ButtonExe2.click();
    EXPECT_EQ(probe->WaitForArguments(), Args{});

    SetLauncher(L"");
    f.ButtonExe2Click();  // nothing to start
    EXPECT_TRUE(prompter.asked.empty());
    EXPECT_EQ(Message(), L"");
}

}  // namespace
