// A tiny launcher for tests: it appends the command line it received, and each argument as the
// platform splits it, to the file that PALLENDO_PROBE_LOG names (UTF-16), then exits.
#include <windows.h>
#include <shellapi.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    wchar_t logPath[MAX_PATH * 4] = {};
    if (!::GetEnvironmentVariableW(L"PALLENDO_PROBE_LOG", logPath, MAX_PATH * 4)) return 1;
    std::wstring record = L"commandline=" + std::wstring(::GetCommandLineW()) + L"\n";
    int count = 0;
    LPWSTR* args = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    for (int i = 1; args && i < count; ++i) record += L"arg=" + std::wstring(args[i]) + L"\n";
    ::LocalFree(args);
    record += L"end\n";
    // Written in one go under a temporary name, then renamed, so a reader never sees half a record.
    const std::wstring partial = std::wstring(logPath) + L".partial";
    HANDLE file =
        ::CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 2;
    DWORD written = 0;
    ::WriteFile(file, record.data(), static_cast<DWORD>(record.size() * sizeof(wchar_t)), &written,
                nullptr);
    ::CloseHandle(file);
    ::MoveFileExW(partial.c_str(), logPath, MOVEFILE_REPLACE_EXISTING);
    return 0;
}
