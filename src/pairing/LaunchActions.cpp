// Opening the target, starting the launcher, and the combination test.
#include <windows.h>
#include <shellapi.h>

#include <cstdint>

#include "app/PallendoForm.h"
#include "pairing/TestCopy.h"
#include "shell/AppInfo.h"
#include "shell/Shell.h"
#include "shell/Text.h"

namespace {

// True when both texts name the same file: their full paths match, letter case ignored.
bool SamePath(const std::wstring& a, const std::wstring& b) {
    auto full = [](const std::wstring& path) {
        wchar_t buffer[MAX_PATH * 2] = {};
        const DWORD length = ::GetFullPathNameW(path.c_str(), MAX_PATH * 2, buffer, nullptr);
        return (length == 0 || length >= MAX_PATH * 2) ? path : std::wstring(buffer, length);
    };
    if (a.empty() || b.empty()) return false;
    const std::wstring fa = full(a), fb = full(b);
    return ::CompareStringOrdinal(fa.c_str(), static_cast<int>(fa.size()), fb.c_str(),
                                  static_cast<int>(fb.size()), TRUE) == CSTR_EQUAL;
}

// A folder of this run's own in the temporary folder: whatever lies in it is a test copy this
// run made, so copying over and deleting there never touches a file of the user's.
std::wstring CreateRunFolder() {
    const std::wstring base =
        JoinPath(TempFolder(), L"Pallendo-" + DecimalText(::GetCurrentProcessId()));
    std::wstring candidate;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        candidate = attempt == 0 ? base : base + L"-" + DecimalText(attempt);
        if (::CreateDirectoryW(candidate.c_str(), nullptr)) return candidate;
        if (::GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    // Not creatable: the copy will fail, and the launch alone judges the test.
    return candidate;
}

}  // namespace

void TPallendoForm::ButtonOpenDefault1Click() {
    Open(Edit1.text());
}

void TPallendoForm::ButtonExe2Click() {
    const std::wstring launcher = ComboBox2.text();
    if (!launcher.empty()) Open(launcher);
}

void TPallendoForm::DiscardTestCopy() {
    if (FileExists(TempFileName1)) ::DeleteFileW(TempFileName1.c_str());
    // Only an empty folder goes: anything else in it is still held or was put there by the user.
    if (!testCopyFolder_.empty() && ::RemoveDirectoryW(testCopyFolder_.c_str()))
        testCopyFolder_.clear();
}

void TPallendoForm::ButtonTest12Click() {
    auto closeFailedTest = [this] {
        SetPanelEnabled(GridPanel6, false);
        ButtonCreate3.setImageIndex(-1);
        StatusBar1.setPanelText(1, FileNameOf(TargetFileName1) + L" を " +
                                       FileNameOf(TargetExeName1) + L" で開けませんでした");
    };
    auto reportFailure = [this](DWORD code) {
        MessageDialog(L"実行できませんでした " + DecimalText(code) + L"\r\n" +
                      SystemErrorText(code) + L"\r\n" + TargetExeName1 + L"\r\n" + TargetFileName1);
    };
    // The user may have taken an earlier copy as the target: it then stays for this test.
    if (!SamePath(TempFileName1, TargetFileName1) && FileExists(TempFileName1))
        ::DeleteFileW(TempFileName1.c_str());
    const std::wstring copyName = WithoutBlanks(FileNameOf(Edit1.text()));
    if (testCopyFolder_.empty() || !FolderExists(testCopyFolder_))
        testCopyFolder_ = CreateRunFolder();
    TempFileName1 = JoinPath(testCopyFolder_, copyName);
    const DWORD copied = SamePath(TempFileName1, TargetFileName1)
                             ? ERROR_SUCCESS
                             : CopyTestFile(hwnd, TargetFileName1, TempFileName1);
    if (copied != ERROR_SUCCESS) {
        // A cancel was the user's own choice: the panel says it, without a box.
        if (copied != ERROR_CANCELLED) reportFailure(copied);
        closeFailedTest();
        return;
    }

    // The copy's path is one argument, also when the temporary folder's path holds blanks.
    const std::wstring parameter =
        TempFileName1.find(L' ') == std::wstring::npos ? TempFileName1 : Quote(TempFileName1);
    const auto result = reinterpret_cast<std::uintptr_t>(::ShellExecuteW(
        hwnd, L"open", TargetExeName1.c_str(), parameter.c_str(), nullptr, SW_SHOWNORMAL));
    const auto code = static_cast<DWORD>(result);

    if (result > 32) {
        SetPanelEnabled(GridPanel6, true);
        ButtonCreate3.setImageIndex(1);
        StatusBar1.setPanelText(1, FileNameOf(TargetFileName1) + L" を " +
                                       FileNameOf(TargetExeName1) + L" で開きました");
        ShortCut1.clear();
        Edit3.setText(FileNameOf(Edit1.text()) + L"(" + BaseNameOf(FileNameOf(ComboBox2.text())) +
                      L")");
        ButtonOpenFolder3.setEnabled(true);
        ButtonProperties3.setEnabled(false);
        ButtonExeLink3.setEnabled(false);
        if (ButtonCreate3.enabled()) ButtonCreate3.setFocus();
        return;
    }
    reportFailure(code);
    closeFailedTest();
}
