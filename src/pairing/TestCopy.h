#pragma once
// The combination test's copy of the target file.
#include <windows.h>

#include <string>

// Copies the target to the test copy's path; ERROR_SUCCESS, ERROR_CANCELLED when the user
// cancelled, or the platform's error code. Nothing of a failed or cancelled copy is left.
DWORD CopyTestFile(HWND owner, const std::wstring& from, const std::wstring& to);
