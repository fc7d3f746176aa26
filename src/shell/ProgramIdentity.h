#pragma once
// The program's identity: its name, version and maker, as the resource script, every box and
// every message show them. The macros are read by the resource compiler too.
#define PALLENDO_TITLE "パレンド"
#define PALLENDO_NAME "Pallendo"
#define PALLENDO_VERSION_MAJOR 1
#define PALLENDO_VERSION_MINOR 1
#define PALLENDO_VERSION_TEXT "V1.1"
#define PALLENDO_MAKER "Hollowmere"

#ifndef RC_INVOKED
#include <string_view>

#define PALLENDO_WIDE_TEXT(text) L##text
#define PALLENDO_WIDE(text) PALLENDO_WIDE_TEXT(text)

inline constexpr std::wstring_view kApplicationTitle = PALLENDO_WIDE(PALLENDO_TITLE);
inline constexpr std::wstring_view kVersionText = PALLENDO_WIDE(PALLENDO_VERSION_TEXT);
// The maker: the folder of the per-user settings is named after it.
inline constexpr std::wstring_view kMakerName = PALLENDO_WIDE(PALLENDO_MAKER);
inline constexpr std::wstring_view kRightsNotice =
    L"Copyright (C) 2024 " PALLENDO_WIDE(PALLENDO_MAKER) L". All rights reserved.";
inline constexpr std::wstring_view kContactAddress = L"pallendo@hollowmere.example.jp";
// The page about this program (開発支援) and the maker's home page (ホームページ).
inline constexpr std::wstring_view kProductPageUrl = L"https://hollowmere.example.jp/pallendo/";
inline constexpr std::wstring_view kHomePageUrl = L"https://hollowmere.example.jp/";
inline constexpr std::wstring_view kDefaultAppsPage = L"ms-settings:defaultapps";
#endif
