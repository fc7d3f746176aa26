#pragma once
// What the program asks of the shell: special folders, opening files, folders, pages and
// programs, the properties sheet, and the recycle bin. The actions a user started report their
// own failure in a notice and return normally.
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

// The file-system path of a special folder, ending in a backslash; "" for a folder without a path.
// Raises "GetSpecialFolder Failed HRESULT=<signed>" when the platform refuses the id.
std::wstring GetSpecialFolder(int csidl);
// Starts a file, folder, page or program with the shell's "open" verb, with a parameter text
// (none when empty); the shell's result code, which is greater than 32 when it started.
std::uint32_t StartThroughShell(HWND owner, std::wstring_view file, std::wstring_view parameters);
// Opens a file, folder, URL or program; reports its own failure.
void Open(std::wstring_view path);
// Starts a program with a parameter text; reports its own failure.
void OpenBy(std::wstring_view program, std::wstring_view parameters);
// The file selected in a window of its folder when it exists, else the folder opened.
void ShowInFolder(std::wstring_view file, std::wstring_view folder);
// The shell's properties sheet of a file; reports its own failure.
void ShowProperties(std::wstring_view path);
// Moves a file to the recycle bin; true when it is gone or was never there.
bool DeleteToRecycleBin(std::wstring_view path);
