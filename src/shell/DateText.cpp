#include "shell/DateText.h"

#include <cstdio>

namespace {
std::wstring LocaleText(LCTYPE type, const wchar_t* fallback) {
    wchar_t buffer[16] = {};
    if (::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, buffer, 16) <= 1) return fallback;
    return buffer;
}

std::wstring TwoDigits(int value) {
    wchar_t buffer[8];
    std::swprintf(buffer, 8, L"%02d", value);
    return buffer;
}
}  // namespace

std::wstring LocaleDateSeparator() {
    return LocaleText(LOCALE_SDATE, L"/");
}
std::wstring LocaleTimeSeparator() {
    return LocaleText(LOCALE_STIME, L":");
}

std::wstring FormatDateTime(const SYSTEMTIME& t, std::wstring_view dateSeparator,
                            std::wstring_view timeSeparator, std::wstring_view gap,
                            bool withSeconds) {
    wchar_t year[8];
    std::swprintf(year, 8, L"%04d", t.wYear);
    std::wstring text = year;
    text.append(dateSeparator)
        .append(TwoDigits(t.wMonth))
        .append(dateSeparator)
        .append(TwoDigits(t.wDay));
    text.append(gap).append(TwoDigits(t.wHour)).append(timeSeparator).append(TwoDigits(t.wMinute));
    if (withSeconds) text.append(timeSeparator).append(TwoDigits(t.wSecond));
    return text;
}

std::wstring ClockText(const SYSTEMTIME& time) {
    return FormatDateTime(time, LocaleDateSeparator(), LocaleTimeSeparator(), L"  ", false);
}
