#pragma once
// The maker's fixed texts, in one place: the version dialog and the Help page show the same ones.
#include <string_view>

inline constexpr std::wstring_view kRightsNotice =
    L"Copyright (C) 2024 Hollowmere. All rights reserved.";
inline constexpr std::wstring_view kContactAddress = L"pallendo@hollowmere.example.jp";
// The page about this program (開発支援) and the maker's home page (ホームページ).
inline constexpr std::wstring_view kProductPageUrl = L"https://hollowmere.example.jp/pallendo/";
inline constexpr std::wstring_view kHomePageUrl = L"https://hollowmere.example.jp/";
inline constexpr std::wstring_view kDefaultAppsPage = L"ms-settings:defaultapps";
