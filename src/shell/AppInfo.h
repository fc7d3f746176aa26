#pragma once
// The program's identity, as every box and message shows it.
#include <string>
#include <string_view>

inline constexpr std::wstring_view kApplicationTitle = L"パレンド";
inline constexpr std::wstring_view kVersionText = L"V1.1";

// Full path of the running executable.
std::wstring ExecutablePath();
// The user's temporary folder in its long form (normally ending with a separator); "" when unknown.
std::wstring TempFolder();
// True when a file (not a folder) exists at the path; a symbolic link counts when its target
// exists.
bool FileExists(std::wstring_view path);
bool FolderExists(std::wstring_view path);
