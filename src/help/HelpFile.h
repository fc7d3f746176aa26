#pragma once
// The help file: named after the executable with ".chm", looked for in the executable's folder
// and in every folder above it, up to the root of its drive or share.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Where the help file of the executable at the path may lie, nearest first.
std::vector<std::wstring> HelpFileCandidates(std::wstring_view executablePath);
// The nearest existing help file, or nothing.
std::optional<std::wstring> FindHelpFile(std::wstring_view executablePath);
// Opens the nearest help file through the shell, or says that there is none.
void ShowHelpFile(std::wstring_view executablePath);
