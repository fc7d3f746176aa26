#include "help/VersionText.h"

#include <cstdint>
#include <cstdio>
#include <vector>

#include "shell/Clock.h"
#include "shell/SystemLibrary.h"

namespace {

constexpr wchar_t kVersionLibrary[] = L"version.dll";

// Instants and wall-clock times as milliseconds since 1601, so that minutes can be added.
using Millis = std::int64_t;
constexpr Millis kMinute = 60'000;
constexpr Millis kDay = 24 * 60 * kMinute;

Millis ToMillis(SYSTEMTIME time) {
    time.wDayOfWeek = 0;
    FILETIME file{};
    ::SystemTimeToFileTime(&time, &file);
    return static_cast<Millis>(
        (static_cast<std::uint64_t>(file.dwHighDateTime) << 32 | file.dwLowDateTime) / 10'000);
}

SYSTEMTIME FromMillis(Millis millis) {
    const std::uint64_t ticks = static_cast<std::uint64_t>(millis) * 10'000;
    const FILETIME file{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    SYSTEMTIME time{};
    ::FileTimeToSystemTime(&file, &time);
    return time;
}

Millis Date(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
            int milli = 0) {
    return ToMillis(SystemTimeOf(year, month, day, hour, minute, second, milli));
}

int DaysInMonth(int year, int month) {
    const int next = month == 12 ? Date(year + 1, 1, 1) / kDay : Date(year, month + 1, 1) / kDay;
    return static_cast<int>(next - Date(year, month, 1) / kDay);
}

// A zone's change of clock in the given year, as a wall-clock time: either a fixed date, or
// "the n-th (5: last) weekday of the month" at a time of day.
Millis Transition(const SYSTEMTIME& rule, int year) {
    if (rule.wYear != 0)
        return Date(year, rule.wMonth, rule.wDay, rule.wHour, rule.wMinute, rule.wSecond,
                    rule.wMilliseconds);
    const int firstWeekday = FromMillis(Date(year, rule.wMonth, 1)).wDayOfWeek;
    int day = 1 + (rule.wDayOfWeek - firstWeekday + 7) % 7 + (rule.wDay - 1) * 7;
    while (day > DaysInMonth(year, rule.wMonth)) day -= 7;
    return Date(year, rule.wMonth, day, rule.wHour, rule.wMinute, rule.wSecond, rule.wMilliseconds);
}

// Whether a wall-clock time of the zone lies in its daylight time. The hour repeated when
// daylight time ends counts as standard time.
bool InDaylightTime(Millis wallClock, int year, const TIME_ZONE_INFORMATION& zone) {
    if (zone.DaylightDate.wMonth == 0 || zone.StandardDate.wMonth == 0) return false;
    const Millis start = Transition(zone.DaylightDate, year);
    const Millis end =
        Transition(zone.StandardDate, year) - (zone.StandardBias - zone.DaylightBias) * kMinute;
    if (start < end) return start <= wallClock && wallClock < end;
    return wallClock >= start ||
           wallClock < end;  // the southern hemisphere: daylight over new year
}

// The last Sunday of the month at the given hour.
Millis LastSunday(int year, int month, int hour) {
    Millis day = Date(year, month, DaysInMonth(year, month), 23, 59, 59, 999);
    while (FromMillis(day).wDayOfWeek != 0) day -= kDay;
    const SYSTEMTIME sunday = FromMillis(day);
    return Date(sunday.wYear, sunday.wMonth, sunday.wDay, hour);
}

// Ukrainian (Ukraine), or the user's own locale where the platform does not know that one.
LCID UkrainianLocale() {
    constexpr LCID kUkrainian =
        MAKELCID(MAKELANGID(LANG_UKRAINIAN, SUBLANG_UKRAINIAN_UKRAINE), SORT_DEFAULT);
    return ::IsValidLocale(kUkrainian, LCID_SUPPORTED) ? kUkrainian : LOCALE_USER_DEFAULT;
}

std::wstring LocaleName(LCTYPE type) {
    wchar_t buffer[80] = {};
    ::GetLocaleInfoW(UkrainianLocale(), type, buffer, 80);
    return buffer;
}

std::wstring FormatUkraineTime(const SYSTEMTIME& t) {
    // The platform's date formatting gives the month's form after a day number ("10 травня").
    wchar_t date[80] = {};
    ::GetDateFormatW(UkrainianLocale(), 0, &t, L"d MMMM yyyy", date, 80);
    // LOCALE_SDAYNAME1 is Monday; SYSTEMTIME counts from Sunday.
    const std::wstring weekday = LocaleName(LOCALE_SDAYNAME1 + (t.wDayOfWeek + 6) % 7);
    wchar_t clock[16];
    std::swprintf(clock, 16, L"%02u:%02u", t.wHour, t.wMinute);
    return std::wstring(date) + L" " + weekday + L" " + clock;
}

}  // namespace

std::wstring FileVersionText(std::wstring_view path) {
    static auto* const sizeOf = SystemFunction<decltype(::GetFileVersionInfoSizeW)>(
        kVersionLibrary, "GetFileVersionInfoSizeW");
    static auto* const infoOf =
        SystemFunction<decltype(::GetFileVersionInfoW)>(kVersionLibrary, "GetFileVersionInfoW");
    static auto* const query =
        SystemFunction<decltype(::VerQueryValueW)>(kVersionLibrary, "VerQueryValueW");
    if (!sizeOf || !infoOf || !query) return {};
    const std::wstring file(path);
    DWORD ignored = 0;
    const DWORD size = sizeOf(file.c_str(), &ignored);
    if (size == 0) return {};
    std::vector<std::byte> data(size);
    if (!infoOf(file.c_str(), 0, size, data.data())) return {};
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!query(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) || info == nullptr ||
        length < sizeof(VS_FIXEDFILEINFO))
        return {};
    wchar_t text[32];
    std::swprintf(text, 32, L"%u.%u.%u.%u", HIWORD(info->dwFileVersionMS),
                  LOWORD(info->dwFileVersionMS), HIWORD(info->dwFileVersionLS),
                  LOWORD(info->dwFileVersionLS));
    return text;
}

std::wstring UkraineTimeText(const SYSTEMTIME& localNow, const TIME_ZONE_INFORMATION& zone) {
    const Millis now = ToMillis(localNow);
    const LONG bias = zone.Bias + (InDaylightTime(now, localNow.wYear, zone) ? zone.DaylightBias
                                                                             : zone.StandardBias);
    const Millis utc = now + bias * kMinute;
    // Ukraine standard time is UTC+2; its daylight time is compared on that clock.
    const Millis standard = utc + 120 * kMinute;
    const int year = FromMillis(standard).wYear;
    const Millis start = LastSunday(year, 3, 3);
    // Daylight time ends at 04:00 summer time, which is 03:00 on the standard clock.
    const Millis end = LastSunday(year, 10, 3);
    if (start < standard && standard < end)
        return L"Peace for Ukraine\r\n" + FormatUkraineTime(FromMillis(standard + 60 * kMinute)) +
               L", Ukraine Standard Time (in Daylight Saving Time)";
    return L"Peace For Ukraine\r\n" + FormatUkraineTime(FromMillis(standard)) +
           L", Ukraine Standard Time";
}

std::wstring UkraineTimeText() {
    const SYSTEMTIME now = LocalNow();
    TIME_ZONE_INFORMATION zone{};
    if (!::GetTimeZoneInformationForYear(now.wYear, nullptr, &zone))
        ::GetTimeZoneInformation(&zone);
    return UkraineTimeText(now, zone);
}
