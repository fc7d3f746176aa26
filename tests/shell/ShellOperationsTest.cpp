#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include "shell/Boxes.h"
#include "shell/Failure.h"
#include "shell/FileSystem.h"
#include "shell/PlatformError.h"
#include "shell/ProgramScope.h"
#include "shell/ShellActions.h"
#include "support/TestSupport.h"

namespace {

class ShellOperations : public ::testing::Test {
protected:
    static void SetUpTestSuite() { static const ProgramScope program; }
    ScriptedPrompter prompter;
};

TEST_F(ShellOperations, SystemErrorTextHasNoTrailingStopOrBreak) {
    const std::wstring text = SystemErrorText(ERROR_FILE_NOT_FOUND);
    ASSERT_FALSE(text.empty());
    EXPECT_NE(text.back(), L'.');
    EXPECT_NE(text.back(), L'\n');
    EXPECT_NE(text.back(), L' ');
    EXPECT_EQ(SystemErrorText(0x7FFFFFF0u), L"");
}

TEST_F(ShellOperations, AFailedResultWithoutTextStillNamesItsCode) {
    EXPECT_EQ(PlatformFailureText(ERROR_FILE_NOT_FOUND), SystemErrorText(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(PlatformFailureText(static_cast<HRESULT>(0x8004FFF0u)), L"HRESULT=-2147155984");
}

TEST_F(ShellOperations, SpecialFolderEndsInOneBackslash) {
    const std::wstring desktop = GetSpecialFolder(CSIDL_DESKTOP);
    ASSERT_GE(desktop.size(), 4u);
    EXPECT_EQ(desktop.back(), L'\\');
    EXPECT_NE(desktop[desktop.size() - 2], L'\\');
    EXPECT_TRUE(FolderExists(desktop));
}

TEST_F(ShellOperations, RefusedSpecialFolderRaisesTheSignedResult) {
    try {
        GetSpecialFolder(0x7FFF);
        FAIL() << "no failure raised";
    } catch (const Failure& failure) {
        const std::wstring prefix = L"GetSpecialFolder Failed HRESULT=-";
        EXPECT_EQ(failure.message().substr(0, prefix.size()), prefix) << failure.message().c_str();
    }
}

TEST_F(ShellOperations, OpenOfAMissingFileReportsCode2) {
    TestFolder folder(L"open");
    const std::wstring missing = folder / L"missing.txt";
    Open(missing);
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].kind, L"message");
    EXPECT_EQ(prompter.asked[0].caption, L"パレンド");
    EXPECT_EQ(prompter.asked[0].text,
              L"Open Failed 2\r\n" + SystemErrorText(2) + L"\r\n" + missing);
}

TEST_F(ShellOperations, OpenByOfAMissingProgramNamesProgramAndParameters) {
    TestFolder folder(L"openby");
    const std::wstring missing = folder / L"nothing.exe";
    OpenBy(missing, L"/x \"y\"");
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].text,
              L"OpenBy Failed 2\r\n" + SystemErrorText(2) + L"\r\n" + missing + L"\r\n/x \"y\"");
}

TEST_F(ShellOperations, PathsCompareByTheirFullFormAndANameNoDiskHoldsIsTakenAsItIs) {
    TestFolder folder(L"same-path");
    const std::wstring file = folder / L"Report.txt";
    WriteBytes(file, "x");
    const std::wstring longName = folder / (std::wstring(300, L'a') + L".txt");
    const std::wstring hugeName =
        folder / (std::wstring(32000 - folder.path().size() - 5, L'a') + L".txt");
    struct Case {
        const char* name;
        std::wstring a, b;
        bool same;
    } const cases[] = {
        {"letter case", file, folder / L"REPORT.TXT", true},
        {"a dot folder", file, folder / L".\\Report.txt", true},
        {"another file", file, folder / L"Other.txt", false},
        {"a name longer than any disk holds", longName, longName, true},
        {"32,000 characters", hugeName, hugeName, true},
        {"one long name against another", longName, hugeName, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SamePath(c.a, c.b), c.same);
    }
    EXPECT_EQ(FullLongPath(hugeName), hugeName);
}

TEST_F(ShellOperations, DeletingNothingSucceedsSilently) {
    TestFolder folder(L"delete-nothing");
    EXPECT_TRUE(DeleteToRecycleBin(L""));
    EXPECT_TRUE(DeleteToRecycleBin(folder / L"missing.txt"));
    EXPECT_TRUE(DeleteToRecycleBin(folder.path()));
    EXPECT_TRUE(Exists(folder.path()));
    EXPECT_TRUE(prompter.asked.empty());
}

TEST_F(ShellOperations, DeletedFileLandsInTheTrash) {
    TestFolder folder(L"delete");
    const std::wstring name = L"trash-me-" + std::to_wstring(::GetTickCount()) + L".txt";
    const std::wstring file = folder / name;
    WriteBytes(file, "bye");
    // The shell may ask for confirmation first (Wine does); the answer is yes.
    BoxAnswerer answerer({IDYES});
    EXPECT_TRUE(DeleteToRecycleBin(file));
    EXPECT_FALSE(Exists(file));
    EXPECT_TRUE(Exists(TrashFolder() + L"\\" + name))
        << "not found in " << WideToUtf8(TrashFolder());
    EXPECT_TRUE(prompter.asked.empty());

    // A path relative to the current folder goes to the trash too, not away for good.
    const std::wstring relative = L"relative-" + name;
    WriteBytes(folder / relative, "bye");
    wchar_t current[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, current);
    ::SetCurrentDirectoryW(folder.path().c_str());
    answerer.answers.push_back(IDYES);
    EXPECT_TRUE(DeleteToRecycleBin(relative));
    ::SetCurrentDirectoryW(current);
    EXPECT_FALSE(Exists(folder / relative));
    EXPECT_TRUE(Exists(TrashFolder() + L"\\" + relative));
}

TEST_F(ShellOperations, DeclinedConfirmationReportsOperationsAborted) {
    TestFolder folder(L"delete-declined");
    const std::wstring file = folder / L"keep.txt";
    WriteBytes(file, "stay");
    BoxAnswerer answerer({IDNO});
    EXPECT_FALSE(DeleteToRecycleBin(file));
    EXPECT_TRUE(Exists(file));
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].kind, L"cancellable message");
    EXPECT_EQ(prompter.asked[0].text, L"Operations Aborted.");
}

TEST_F(ShellOperations, ErrorBoxShowsTheMessageWithItsStopAsAStopBox) {
    ShowApplicationError(L"GetSpecialFolder Failed HRESULT=-2147467259");
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].text, L"GetSpecialFolder Failed HRESULT=-2147467259.");
    EXPECT_EQ(prompter.asked[0].flags, static_cast<UINT>(MB_OK | MB_ICONSTOP));
    EXPECT_EQ(prompter.asked[0].caption, L"パレンド");
}

// The real boxes, answered from a hook as a person would answer them.
TEST(RealBoxes, MessageBoxAndTaskDialogShowTheirTextsAndAnswer) {
    BoxAnswerer answerer({IDNO, IDOK});
    EXPECT_EQ(ApplicationMessageBox(L"終了してよいですか？", MB_YESNO | MB_ICONQUESTION), IDNO);
    MessageDialog(L"one\r\n\r\ntwo");
    ASSERT_EQ(answerer.captions.size(), 2u);
    EXPECT_EQ(answerer.captions[0], L"パレンド");
    EXPECT_NE(answerer.texts[0].find(L"終了してよいですか？"), std::wstring::npos);
    EXPECT_EQ(answerer.captions[1], L"パレンド");
}

}  // namespace
