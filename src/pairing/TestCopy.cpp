#include "pairing/TestCopy.h"

#include "shell/AppInfo.h"

DWORD CopyTestFile(HWND, const std::wstring& from, const std::wstring& to) {
    if (::CopyFileW(from.c_str(), to.c_str(), FALSE)) return ERROR_SUCCESS;
    const DWORD error = ::GetLastError();
    // Whatever the failed copy left behind goes, but never the file it was copying.
    if (!SamePath(from, to)) ::DeleteFileW(to.c_str());
    return error == ERROR_SUCCESS ? ERROR_GEN_FAILURE : error;
}
