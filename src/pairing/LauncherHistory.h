#pragma once
// The entries of the launcher history that the program itself puts there.
#include <string_view>

// Picking it empties the history; it is recognised with its exact letter case.
inline constexpr std::wstring_view kClearHistoryEntry = L"(履歴をクリア)";
// The two stock launchers that the history option keeps in the list.
inline constexpr std::wstring_view kStockLaunchers[] = {L"notepad.exe", L"mspaint.exe"};

// True when the launcher field's text names a launcher: neither empty nor the clear-history entry.
inline bool HoldsLauncher(std::wstring_view text) {
    return !text.empty() && text != kClearHistoryEntry;
}
