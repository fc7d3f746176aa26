// Opening the target, starting the launcher, and the combination test.
#include <windows.h>

#include <cstdint>
#include <vector>

#include "app/PallendoForm.h"
#include "pairing/CombinationTest.h"
#include "pairing/TestCopy.h"
#include "shell/Boxes.h"
#include "shell/Failure.h"
#include "shell/FileSystem.h"
#include "shell/PlatformError.h"
#include "shell/ShellActions.h"
#include "shell/Text.h"

TestNames NamesOfTest(const TPallendoForm& form) {
    TestNames names;
    names.target = FileNameOf(form.TargetFileName1);
    names.launcher = FileNameOf(form.TargetExeName1);
    // Blanks name no program; the shell would make something of them all the same.
    if (Trim(form.TargetExeName1).empty()) Fail(std::wstring(kEmptyFileNameText));
    names.copy = WithoutBlanks(FileNameOf(form.Edit1.text()));
    // A target text ending in a separator, or of blanks only, names no file to copy.
    if (names.copy.empty()) Fail(std::wstring(kEmptyFileNameText));
    const std::wstring launcherField = WithoutGroupingQuotes(form.ComboBox2.text());
    names.displayName =
        FileNameOf(form.Edit1.text()) + L"(" + BaseNameOf(FileNameOf(launcherField)) + L")";
    return names;
}

namespace {

// A folder this run creates in the temporary folder: whatever lies in it is a test copy this run
// made, so copying over and deleting there never touches a file of the user's. ERROR_SUCCESS, or
// the platform's code when no folder could be created (an existing one is never taken over).
DWORD CreateRunFolder(std::wstring& created) {
    const std::wstring temp = TempFolder();
    if (temp.empty()) return ::GetLastError() ? ::GetLastError() : ERROR_PATH_NOT_FOUND;
    const std::wstring base = JoinPath(temp, L"Pallendo-" + DecimalText(::GetCurrentProcessId()));
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const std::wstring candidate = attempt == 0 ? base : base + L"-" + DecimalText(attempt);
        if (::CreateDirectoryW(candidate.c_str(), nullptr)) {
            created = candidate;
            return ERROR_SUCCESS;
        }
        const DWORD error = ::GetLastError();
        if (error != ERROR_ALREADY_EXISTS) return error;
    }
    return ERROR_ALREADY_EXISTS;
}

}  // namespace

void TPallendoForm::ButtonOpenDefault1Click() {
    Open(Edit1.text());
}

void TPallendoForm::ButtonExe2Click() {
    const std::wstring launcher = WithoutGroupingQuotes(ComboBox2.text());
    if (!launcher.empty()) Open(launcher);
}

namespace {

// A copy carries its original's attributes; a read-only one must lose that mark to go.
bool DeleteCopy(const std::wstring& copy) {
    const DWORD attributes = ::GetFileAttributesW(copy.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        ::SetFileAttributesW(copy.c_str(), attributes & ~DWORD{FILE_ATTRIBUTE_READONLY});
    return ::DeleteFileW(copy.c_str()) != FALSE;
}

}  // namespace

void TPallendoForm::deleteTestCopies() {
    std::vector<std::wstring> kept;
    std::vector<std::wstring> candidates = testCopies_;
    // Before the first copy, the name is the file start-up reserved.
    if (testCopyFolder_.empty()) candidates.push_back(TempFileName1);
    for (const std::wstring& copy : candidates) {
        if (copy.empty() || !FileExists(copy)) continue;
        // The user may have taken a copy as the target: it is theirs now.
        if (SamePath(copy, TargetFileName1) || !DeleteCopy(copy)) kept.push_back(copy);
    }
    testCopies_ = std::move(kept);
}

void TPallendoForm::discardTestCopy() {
    deleteTestCopies();
    // Only an empty folder goes: anything else in it is still held or is the user's target.
    if (!testCopyFolder_.empty() && ::RemoveDirectoryW(testCopyFolder_.c_str()))
        testCopyFolder_.clear();
}

DWORD TPallendoForm::prepareTestCopyFolder() {
    if (!testCopyFolder_.empty() && FolderExists(testCopyFolder_)) return ERROR_SUCCESS;
    testCopyFolder_.clear();
    return CreateRunFolder(testCopyFolder_);
}

void TPallendoForm::testFailed(DWORD code, const std::wstring& targetName,
                               const std::wstring& launcherName) {
    // A copy the user cancelled needs no box: they know.
    if (code != ERROR_CANCELLED)
        MessageDialog(L"実行できませんでした " + DecimalText(code) + L"\r\n" +
                      SystemErrorText(code) + L"\r\n" + TargetExeName1 + L"\r\n" + TargetFileName1);
    testedPair_.reset();
    SetPanelEnabled(GridPanel6, false);
    ButtonCreate3.setImageIndex(-1);
    setMessage(targetName + L" を " + launcherName + L" で開けませんでした");
}

void TPallendoForm::ButtonTest12Click() {
    deleteTestCopies();
    const TestNames names = NamesOfTest(*this);
    if (const DWORD folder = prepareTestCopyFolder(); folder != ERROR_SUCCESS)
        return testFailed(folder, names.target, names.launcher);
    TempFileName1 = JoinPath(testCopyFolder_, names.copy);
    if (const DWORD copied = makeTestCopy(); copied != ERROR_SUCCESS)
        return testFailed(copied, names.target, names.launcher);
    // Quoted always, as the dedicated shortcut quotes it: one argument also for a batch file,
    // whose command interpreter would split it at blanks and at & ^ ( ) , ; =.
    const std::uint32_t result = StartThroughShell(hwnd, TargetExeName1, Quote(TempFileName1));
    if (result <= 32) return testFailed(result, names.target, names.launcher);
    testPassed(names);
}

// The copy at TempFileName1. A copy taken as the target is the user's file now: it is tried as
// it is, and never deleted.
DWORD TPallendoForm::makeTestCopy() {
    if (SamePath(TempFileName1, TargetFileName1)) {
        std::erase_if(testCopies_,
                      [this](const std::wstring& copy) { return SamePath(copy, TempFileName1); });
        return ERROR_SUCCESS;
    }
    const DWORD copied = CopyTestFile(hwnd, TargetFileName1, TempFileName1);
    if (copied == ERROR_SUCCESS) testCopies_.push_back(TempFileName1);
    return copied;
}

void TPallendoForm::testPassed(const TestNames& names) {
    testedPair_.emplace(TargetFileName1, TargetExeName1);
    SetPanelEnabled(GridPanel6, true);
    ButtonCreate3.setImageIndex(1);
    setMessage(names.target + L" を " + names.launcher + L" で開きました");
    ShortCut1.clear();
    Edit3.setText(names.displayName);
    ButtonOpenFolder3.setEnabled(true);
    ButtonProperties3.setEnabled(false);
    ButtonExeLink3.setEnabled(false);
    if (ButtonCreate3.enabled()) ButtonCreate3.setFocus();
}
