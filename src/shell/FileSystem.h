#pragma once
// What the program asks of the file system: its own path, the temporary folder, whether files
// and folders exist, the full long form of a path, and folders made on demand.
#include <string>
#include <string_view>

// Full path of the running executable.
std::wstring ExecutablePath();
// The user's temporary folder in its long form (normally ending with a separator); "" when unknown.
std::wstring TempFolder();
// True when a file (not a folder) exists at the path; a symbolic link counts when its target
// exists.
bool FileExists(std::wstring_view path);
bool FolderExists(std::wstring_view path);
// The path fully qualified and, when it exists, in its long form (a short 8.3 spelling is
// written out); the text itself when the platform cannot qualify it.
std::wstring FullLongPath(std::wstring_view path);
// True when both texts name the same file: their full long paths match, letter case ignored.
bool SamePath(std::wstring_view a, std::wstring_view b);
// Creates the folder and every missing parent; true when the folder exists afterwards.
bool CreateFolderTree(const std::wstring& folder);
