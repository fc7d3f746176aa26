#pragma once
// Where the settings file lives: <application data>\<folder>\<exe base>\<exe base>.ini.
#include <string>
#include <string_view>

#include "shell/ProgramIdentity.h"

// The folder name every caller passes: the maker's.
inline constexpr std::wstring_view kSettingsFolderName = kMakerName;

// The per-user settings file of the running executable; creates nothing. Relative to the
// current folder when the application-data folder is unknown.
std::wstring SettingsFilePath(std::wstring_view folderName);
// The same for another executable (the product, seen from a test or a benchmark).
std::wstring SettingsFilePath(std::wstring_view folderName, std::wstring_view executablePath);
// The file next to the executable, written when the per-user folder cannot be made.
std::wstring FallbackSettingsPath();
