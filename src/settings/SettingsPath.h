#pragma once
// Where the settings file lives: <application data>\<folder>\<exe base>\<exe base>.ini.
#include <string>
#include <string_view>

// The folder name every caller passes.
inline constexpr std::wstring_view kSettingsFolderName = L"Hollowmere";

// The per-user settings file of the running executable; creates nothing. Relative to the
// current folder when the application-data folder is unknown.
std::wstring SettingsFilePath(std::wstring_view folderName);
// The file next to the executable, written when the per-user folder cannot be made.
std::wstring FallbackSettingsPath();
// Creates the folder and every missing parent; true when the folder exists afterwards.
bool CreateFolderTree(const std::wstring& folder);
