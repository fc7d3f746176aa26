#include <windows.h>

#include <gtest/gtest.h>

#include <optional>

#include "PairingFixture.h"
#include "shell/FileSystem.h"
#include "shell/Handles.h"
#include "shell/PlatformError.h"
#include "shell/Text.h"

namespace {

using Args = std::vector<std::wstring>;

std::wstring DecodeOem(const std::string& bytes) {
    const int size = static_cast<int>(bytes.size());
    const int length = ::MultiByteToWideChar(CP_OEMCP, 0, bytes.data(), size, nullptr, 0);
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_OEMCP, 0, bytes.data(), size, text.data(), length);
    return text;
}

// A batch-file launcher that appends the %1 it was started with to its log, one line a start:
// the command interpreter runs it, so an argument it splits or a command hidden in a name shows.
class RecordingBatch {
public:
    RecordingBatch() : folder_(L"batch launcher") {
        WriteBytes(path(), "@echo off\r\necho %1>>\"" + WideToUtf8(log()) + "\"\r\n");
    }
    std::wstring path() const { return folder_ / L"record.bat"; }
    std::wstring log() const { return folder_ / L"record.log"; }
    std::vector<std::wstring> recordedLines() const {
        const std::wstring text = DecodeOem(ReadBytes(log()));
        std::vector<std::wstring> lines;
        std::size_t start = 0;
        for (std::size_t end; (end = text.find(L"\r\n", start)) != std::wstring::npos;
             start = end + 2)
            lines.push_back(text.substr(start, end - start));
        return lines;
    }
    // The log once it holds at least n lines (what it holds when the deadline passes).
    std::vector<std::wstring> waitForLines(std::size_t n) const {
        PumpUntil([&] { return recordedLines().size() >= n; });
        return recordedLines();
    }

private:
    TestFolder folder_;
};

class LaunchActions : public PairingFixture {
protected:
    // Runs the test and expects the launcher to have got the new copy's path as its one argument.
    std::wstring expectCopyLaunched(std::optional<Probe>& probe) {
        const Args args = runTest(probe);
        EXPECT_EQ(args, Args{form->TempFileName1});
        return form->TempFileName1;
    }
};

TEST_F(LaunchActions, TheTestOpensACopyOfTheTargetWithTheLauncherAsOneArgument) {
    TestFolder documents(L"documents");
    const std::wstring target = documents / L"Quarterly report.txt";
    WriteBytes(target, "figures of the quarter\r\n");
    TestFolder blankTemp(L"temp with blanks");
    wchar_t shortTemp[MAX_PATH] = {};
    ASSERT_NE(::GetShortPathNameW(blankTemp.path().c_str(), shortTemp, MAX_PATH), 0u);
    ASSERT_NE(std::wstring(shortTemp).find(L'~'), std::wstring::npos) << "no short spelling";

    struct Case {
        const char* name;
        std::wstring temp;  // TMP and TEMP; empty: as they are
        bool blanks;
    } const cases[] = {
        {"usual temporary folder", L"", false},
        {"temporary folder with blanks", blankTemp.path(), true},
        // The launcher is handed the long form, whatever spelling the environment gives.
        {"temporary folder given by its short spelling", shortTemp, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const bool blanks = c.blanks;
        std::optional<TempFolderOverride> temp;
        if (!c.temp.empty()) temp.emplace(c.temp);
        const std::wstring tempFolder = TempFolder();
        if (blanks) {
            EXPECT_EQ(tempFolder, blankTemp.path() + L"\\");
        }
        TPallendoForm& f = pairWithProbe(target);
        ASSERT_TRUE(f.ButtonTest12.enabled());

        std::optional<Probe> probe;
        const Args args = runTest(probe);
        const std::wstring copy = f.TempFileName1;
        EXPECT_EQ(args, Args{copy});
        EXPECT_EQ(FileNamePart(copy), L"Quarterlyreport.txt");
        EXPECT_EQ(copy.rfind(tempFolder, 0), 0u) << WideToUtf8(copy);
        EXPECT_EQ(ReadBytes(copy), "figures of the quarter\r\n");
        EXPECT_EQ(copy.find(L' ') != std::wstring::npos, blanks);
        // Quoted always, with or without blanks, as the dedicated shortcut quotes it.
        EXPECT_NE(probe->commandLine().find(L'"' + copy + L'"'), std::wstring::npos);

        EXPECT_TRUE(f.GridPanel6.enabled());
        EXPECT_TRUE(f.RadioButtonDeskTop1.enabled());
        EXPECT_EQ(f.ButtonCreate3.imageIndex(), 1);
        EXPECT_EQ(shownMessage(), L"Quarterly report.txt を probe.exe で開きました");
        EXPECT_EQ(f.ShortCut1, L"");
        EXPECT_EQ(f.Edit3.text(), L"Quarterly report.txt(probe)");
        EXPECT_TRUE(f.ButtonOpenFolder3.enabled());
        EXPECT_FALSE(f.ButtonProperties3.enabled());
        EXPECT_FALSE(f.ButtonExeLink3.enabled());
        if (f.ButtonCreate3.enabled()) {
            EXPECT_EQ(focusedControl(), f.ButtonCreate3.hwnd);
        }
        EXPECT_EQ(historyEntries(), Args{});  // the test leaves the history alone

        closeForm();
        EXPECT_FALSE(Exists(copy));
        EXPECT_FALSE(Exists(FolderPart(copy)));  // this run's own folder goes with it
        EXPECT_TRUE(Exists(target));
    }
}

TEST_F(LaunchActions, FailuresAreReportedAndCloseThePanel) {
    TestFolder folder(L"failures");
    const std::wstring missingTarget = folder / L"not there.txt";
    TPallendoForm& f = pairWithProbe(missingTarget);

    // A copy that cannot be made is a failed test: nothing is started.
    std::optional<Probe> probe;
    probe.emplace();
    f.ButtonTest12.click();
    EXPECT_EQ(prompter.texts(L"message"), Args{L"実行できませんでした 2\r\n" + SystemErrorText(2) +
                                               L"\r\n" + Probe::path() + L"\r\n" + missingTarget});
    EXPECT_EQ(shownMessage(), L"not there.txt を probe.exe で開けませんでした");
    EXPECT_FALSE(f.GridPanel6.enabled());
    EXPECT_FALSE(Exists(f.TempFileName1));
    prompter.clear();
    const std::wstring present = folder / L"there.txt";
    WriteBytes(present, "x");
    f.Edit1.setText(present);
    runTest(probe);
    f.Edit1.setText(missingTarget);

    const std::wstring missingLauncher = folder / L"missing.exe";
    setLauncher(missingLauncher);
    f.ButtonTest12.click();
    const std::wstring expected = L"実行できませんでした 2\r\n" + SystemErrorText(2) + L"\r\n" +
                                  missingLauncher + L"\r\n" + missingTarget;
    EXPECT_EQ(prompter.texts(L"message"), Args{expected});
    EXPECT_FALSE(f.GridPanel6.enabled());
    EXPECT_FALSE(f.ButtonOpenFolder3.enabled());
    EXPECT_EQ(f.ButtonCreate3.imageIndex(), -1);
    EXPECT_TRUE(f.ButtonTest12.enabled());
    EXPECT_EQ(shownMessage(), L"not there.txt を missing.exe で開けませんでした");

    // A target the path rules refuse stops the test before anything is started.
    const std::wstring earlier = folder / L"earlier.txt";
    WriteBytes(earlier, "x");
    f.Edit1.setText(earlier);
    setLauncher(Probe::path());
    runTest(probe);
    const std::wstring earlierCopy = f.TempFileName1;
    ASSERT_TRUE(Exists(earlierCopy));
    prompter.clear();
    f.Edit1.setText(folder / L"a|b.txt");
    f.ButtonTest12.click();
    EXPECT_EQ(prompter.texts(L"box"), Args{L"パスに無効な文字が含まれています."});
    EXPECT_EQ(f.TempFileName1, earlierCopy);
    EXPECT_FALSE(Exists(earlierCopy));
}

TEST_F(LaunchActions, UncheckingTheStockOptionKeepsTheLauncherTheUserChose) {
    TestFolder folder(L"emptied");
    const std::wstring target = folder / L"a.txt";
    WriteBytes(target, "a");
    TPallendoForm& f = pairWithProbe(target);  // a launcher typed or browsed, never remembered
    f.ComboBox2.add(L"notepad.exe");
    f.ComboBox2.add(L"mspaint.exe");
    f.ComboBox2.add(L"(履歴をクリア)");
    ::SendMessageW(f.CheckBoxAddHistory1.hwnd, BM_SETCHECK, BST_CHECKED, 0);
    f.CheckBoxAddHistory1.setChecked(false);
    EXPECT_EQ(historyEntries(), Args{});
    ASSERT_EQ(f.ComboBox2.text(), Probe::path());
    ASSERT_TRUE(f.ButtonTest12.enabled());

    std::optional<Probe> probe;
    expectCopyLaunched(probe);
    EXPECT_EQ(f.Edit3.text(), L"a.txt(probe)");
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

    TPallendoForm& f = createForm();
    const std::wstring reserved = f.TempFileName1;
    setLauncher(Probe::path());
    std::optional<Probe> probe;

    f.Edit1.setText(inTemp);
    const std::wstring first = expectCopyLaunched(probe);
    EXPECT_NE(first, inTemp);
    EXPECT_FALSE(Exists(reserved));  // the file reserved at start-up made way for the first copy
    EXPECT_EQ(ReadBytes(first), "the user's document");
    expectCopyLaunched(probe);

    f.Edit1.setText(report);
    const std::wstring second = expectCopyLaunched(probe);
    EXPECT_FALSE(Exists(first));
    EXPECT_EQ(ReadBytes(second), "report");
    EXPECT_NE(second, sameName);

    // The last copy itself taken as the target is kept for its own test.
    f.Edit1.setText(second);
    EXPECT_EQ(expectCopyLaunched(probe), second);
    EXPECT_EQ(ReadBytes(second), "report");

    EXPECT_EQ(ReadBytes(inTemp), "the user's document");
    EXPECT_EQ(ReadBytes(sameName), "the user's other file");
    closeForm();
    // The copy the user took as the target is theirs now: the close leaves it.
    EXPECT_EQ(ReadBytes(second), "report");
    RemoveTree(FolderPart(second));
    EXPECT_EQ(ReadBytes(inTemp), "the user's document");
    EXPECT_EQ(ReadBytes(sameName), "the user's other file");
    ::DeleteFileW(inTemp.c_str());
    ::DeleteFileW(sameName.c_str());
}

TEST_F(LaunchActions, EveryTargetNameReachesTheLauncherAsOneArgument) {
    TestFolder documents(L"target names");
    RecordingBatch batch;
    TPallendoForm& f = createForm();
    const wchar_t* names[] = {L"R&D.txt", L"x&y^z.txt", L"報告 書 (案).txt", L"a,b;c=d.txt"};
    std::size_t batchRuns = 0;
    for (const wchar_t* name : names) {
        SCOPED_TRACE(WideToUtf8(name));
        const std::wstring target = documents / name;
        WriteBytes(target, "content");
        f.Edit1.setText(target);

        setLauncher(Probe::path());
        std::optional<Probe> probe;
        const std::wstring copy = expectCopyLaunched(probe);
        EXPECT_EQ(ReadBytes(copy), "content");
        EXPECT_EQ(f.Edit3.text(), std::wstring(name) + L"(probe)");

        // Under the command interpreter & ^ ( ) , ; = and blanks stay inside the one argument.
        setLauncher(batch.path());
        f.ButtonTest12.click();
        const std::vector<std::wstring> lines = batch.waitForLines(++batchRuns);
        ASSERT_EQ(lines.size(), batchRuns) << "the batch file ran " << lines.size() << " times";
        EXPECT_EQ(lines.back(), Quote(f.TempFileName1));
        EXPECT_EQ(shownMessage(), std::wstring(name) + L" を record.bat で開きました");
    }
}

TEST_F(LaunchActions, LauncherTextsEitherWorkOrStopBeforeAnythingStarts) {
    TestFolder documents(L"launcher texts");
    const std::wstring target = documents / L"memo.txt";
    WriteBytes(target, "memo");
    struct Case {
        const char* what;
        std::wstring launcher;
        std::wstring refusal;  // the error box's text; empty when the probe starts
    };
    const std::wstring probe = Probe::path();
    const std::wstring invalid = L"パスに無効な文字が含まれています.";
    const Case cases[] = {
        {"pasted with quotes", L'"' + probe + L'"', L""},
        {"quotes and blanks around", L"  \"" + probe + L"\" ", L""},
        {"a bare name", L"probe.exe", L""},  // found in the working folder
        {"quotes that group only a part", L'"' + probe + L"\" \"x\"", invalid},
        {"angle brackets", FolderPart(probe) + L"\\a<b>.exe", invalid},
        {"a bar", FolderPart(probe) + L"\\a|b.exe", invalid},
        {"blanks only", L"   ", L"ファイル名が空です."},
    };
    TPallendoForm& f = createForm();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        prompter.clear();
        f.Edit1.setText(target);
        setLauncher(c.launcher);
        ASSERT_TRUE(f.ButtonTest12.enabled());
        Probe record;
        f.ButtonTest12.click();
        if (c.refusal.empty()) {
            EXPECT_EQ(record.waitForArguments(), Args{f.TempFileName1});
            EXPECT_TRUE(prompter.asked.empty());
            EXPECT_TRUE(f.GridPanel6.enabled());
            EXPECT_EQ(shownMessage(), L"memo.txt を probe.exe で開きました");
            EXPECT_EQ(f.Edit3.text(), L"memo.txt(probe)");
            continue;
        }
        EXPECT_EQ(prompter.texts(L"box"), Args{c.refusal});
        EXPECT_TRUE(prompter.texts(L"message").empty());
        // Never half open: no button of the panel without a tested pair behind it.
        EXPECT_FALSE(f.GridPanel6.enabled());
        EXPECT_FALSE(f.ButtonCreate3.enabled());
        EXPECT_FALSE(f.ButtonProperties3.enabled());
        EXPECT_FALSE(f.ButtonExeLink3.enabled());
        PumpMessages();
        EXPECT_FALSE(record.waitForArguments(std::chrono::milliseconds(0)).has_value())
            << "something was started";
    }
}

TEST_F(LaunchActions, TheCopyGoesOnlyIntoAFolderThisRunCreated) {
    TestFolder documents(L"run folder");
    const std::wstring target = documents / L"plan.txt";
    WriteBytes(target, "the plan");
    // A folder of the name this run would choose is already there, holding a file of the
    // copy's name: it belongs to someone else.
    const std::wstring taken =
        JoinPath(TempFolder(), L"Pallendo-" + std::to_wstring(::GetCurrentProcessId()));
    ASSERT_TRUE(::CreateDirectoryW(taken.c_str(), nullptr));
    const std::wstring foreign = JoinPath(taken, L"plan.txt");
    WriteBytes(foreign, "someone else's plan");

    TPallendoForm& f = pairWithProbe(target);
    {
        // No folder can be made where the temporary folder is not there: the copy goes nowhere.
        TestFolder parent(L"gone temp");
        TempFolderOverride temp(parent / L"missing");
        f.ButtonTest12.click();
        const DWORD code = ERROR_PATH_NOT_FOUND;
        EXPECT_EQ(prompter.texts(L"message"),
                  Args{L"実行できませんでした " + std::to_wstring(code) + L"\r\n" +
                       SystemErrorText(code) + L"\r\n" + Probe::path() + L"\r\n" + target});
        EXPECT_FALSE(f.GridPanel6.enabled());
        EXPECT_EQ(shownMessage(), L"plan.txt を probe.exe で開けませんでした");
    }
    std::optional<Probe> probe;
    const std::wstring copy = expectCopyLaunched(probe);
    EXPECT_NE(SamePath(FolderPart(copy), taken), true) << WideToUtf8(copy);
    EXPECT_EQ(ReadBytes(copy), "the plan");
    closeForm();
    EXPECT_FALSE(Exists(copy));
    EXPECT_EQ(ReadBytes(foreign), "someone else's plan");
    RemoveTree(taken);
}

TEST_F(LaunchActions, TheCloseDeletesEveryCopyThisRunMadeButNeverTheTarget) {
    TestFolder documents(L"every copy");
    const std::wstring first = documents / L"first.txt";
    const std::wstring second = documents / L"Quarterly report.txt";
    WriteBytes(first, "first");
    WriteBytes(second, "second");
    TPallendoForm& f = createForm();
    setLauncher(Probe::path());
    std::optional<Probe> probe;

    f.Edit1.setText(first);
    const std::wstring firstCopy = expectCopyLaunched(probe);
    // A launcher that still holds its copy keeps the next test from deleting it.
    UniqueFile held(::CreateFileW(firstCopy.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    f.Edit1.setText(second);
    const std::wstring secondCopy = expectCopyLaunched(probe);
    EXPECT_TRUE(Exists(firstCopy));
    held.reset();

    // The copy taken as the target under its short spelling is the same file, and is kept.
    wchar_t shortPath[MAX_PATH] = {};
    ASSERT_NE(::GetShortPathNameW(secondCopy.c_str(), shortPath, MAX_PATH), 0u);
    ASSERT_NE(std::wstring(shortPath), secondCopy) << "no short spelling to try";
    f.Edit1.setText(shortPath);
    expectCopyLaunched(probe);
    EXPECT_EQ(ReadBytes(secondCopy), "second");

    closeForm();
    EXPECT_FALSE(Exists(firstCopy));
    EXPECT_EQ(ReadBytes(secondCopy), "second");
    RemoveTree(FolderPart(secondCopy));
}

TEST_F(LaunchActions, AReadOnlyTargetsCopyIsReplacedByTheNextTestAndGoesAtTheClose) {
    TestFolder documents(L"read-only");
    const std::wstring target = documents / L"locked.txt";
    WriteBytes(target, "kept as it is");
    ASSERT_TRUE(::SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY));
    pairWithProbe(target);
    std::optional<Probe> probe;
    const std::wstring copy = expectCopyLaunched(probe);
    EXPECT_TRUE(::GetFileAttributesW(copy.c_str()) & FILE_ATTRIBUTE_READONLY)
        << "the copy carries its original's attributes";
    expectCopyLaunched(probe);
    EXPECT_TRUE(prompter.texts(L"message").empty()) << "the second test replaced the copy";
    closeForm();
    EXPECT_FALSE(Exists(copy));
    EXPECT_FALSE(Exists(FolderPart(copy)));
    EXPECT_EQ(ReadBytes(target), "kept as it is");
    ::SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(LaunchActions, OpenDefaultAndLauncherAloneStartWithoutArguments) {
    TPallendoForm& f = createForm();
    std::optional<Probe> probe;

    probe.emplace();
    f.Edit1.setText(Probe::path());  // a program is its own default
    f.ButtonOpenDefault1.click();
    EXPECT_EQ(probe->waitForArguments(), Args{});

    probe.emplace();
    setLauncher(Probe::path());
    f.ButtonExe2.click();
    EXPECT_EQ(probe->waitForArguments(), Args{});

    setLauncher(L"");
    f.ButtonExe2Click();  // nothing to start
    EXPECT_TRUE(prompter.asked.empty());
    EXPECT_EQ(shownMessage(), L"");
}

}  // namespace
