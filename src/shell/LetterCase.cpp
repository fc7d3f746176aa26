#include "shell/LetterCase.h"

#include <windows.h>

bool SameIgnoringCase(std::wstring_view a, std::wstring_view b) {
    return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                  static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// The ordinal comparison ignores case by mapping both texts to upper case without a locale.
std::wstring CaseKey(std::wstring_view text) {
    std::wstring key(text);
    if (!key.empty())
        ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, text.data(),
                        static_cast<int>(text.size()), key.data(), static_cast<int>(key.size()),
                        nullptr, nullptr, 0);
    return key;
}

std::wstring LowerCased(std::wstring_view text) {
    if (text.empty()) return {};
    constexpr DWORD kFlags = LCMAP_LOWERCASE | LCMAP_LINGUISTIC_CASING;
    const int size = static_cast<int>(text.size());
    const int length = ::LCMapStringW(LOCALE_USER_DEFAULT, kFlags, text.data(), size, nullptr, 0);
    if (length <= 0) return std::wstring(text);
    std::wstring lower(static_cast<std::size_t>(length), L'\0');
    ::LCMapStringW(LOCALE_USER_DEFAULT, kFlags, text.data(), size, lower.data(), length);
    return lower;
}
