#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "help/VersionText.h"
#include "support/TestSupport.h"

namespace {

SYSTEMTIME Shifted(const SYSTEMTIME& time, int minutes) {
    FILETIME file{};
    ::SystemTimeToFileTime(&time, &file);
    ULARGE_INTEGER ticks{{file.dwLowDateTime, file.dwHighDateTime}};
    ticks.QuadPart += static_cast<long long>(minutes) * 60 * 10'000'000;
    file = {ticks.LowPart, ticks.HighPart};
    SYSTEMTIME shifted{};
    ::FileTimeToSystemTime(&file, &shifted);
    return shifted;
}

TIME_ZONE_INFORMATION FixedZone(int utcOffsetMinutes) {
    TIME_ZONE_INFORMATION zone{};
    zone.Bias = -utcOffsetMinutes;
    return zone;
}

// A zone with daylight time: `dstStart` and `dstEnd` in Windows' "n-th weekday of the month" form.
TIME_ZONE_INFORMATION DaylightZone(int utcOffsetMinutes, SYSTEMTIME dstStart, SYSTEMTIME dstEnd) {
    TIME_ZONE_INFORMATION zone = FixedZone(utcOffsetMinutes);
    zone.DaylightBias = -60;
    zone.DaylightDate = dstStart;
    zone.StandardDate = dstEnd;
    return zone;
}

SYSTEMTIME Rule(int month, int weekOfMonth, int hour) {
    SYSTEMTIME rule{};
    rule.wMonth = static_cast<WORD>(month);
    rule.wDay = static_cast<WORD>(weekOfMonth);  // 5: the last one
    rule.wDayOfWeek = 0;                         // Sunday
    rule.wHour = static_cast<WORD>(hour);
    return rule;
}

// Central Europe: daylight time from the last Sunday of March 02:00 to the last Sunday of October
// 03:00.
const TIME_ZONE_INFORMATION kCentralEurope = DaylightZone(60, Rule(3, 5, 2), Rule(10, 5, 3));
// New Zealand: daylight time from the last Sunday of September to the first Sunday of April.
const TIME_ZONE_INFORMATION kNewZealand = DaylightZone(720, Rule(9, 5, 2), Rule(4, 1, 3));

struct UkraineCase {
    const char* what;
    SYSTEMTIME utc;
    TIME_ZONE_INFORMATION zone;
    int localOffsetMinutes;  // the zone's offset from UTC at that instant
    const wchar_t* expected;
};

const wchar_t kSummer[] =
    L"Peace for Ukraine\r\n10 травня 2024 пʼятниця 17:05, Ukraine Standard Time (in Daylight "
    L"Saving Time)";
const wchar_t kWinter[] =
    L"Peace For Ukraine\r\n15 січня 2024 понеділок 12:00, Ukraine Standard Time";

// The month is in the form that follows a day number (genitive), the weekday in the nominative,
// as the uk-UA locale gives them. Wine writes Friday with
// U+02BC (ʼ); a Windows build may use another apostrophe there.
const UkraineCase kUkraineCases[] = {
    {"summer", At(2024, 5, 10, 14, 5), FixedZone(0), 0, kSummer},
    {"winter", At(2024, 1, 15, 10, 0), FixedZone(0), 0, kWinter},
    {"start of daylight time exactly", At(2024, 3, 31, 1, 0, 0, 0), FixedZone(0), 0,
     L"Peace For Ukraine\r\n31 березня 2024 неділя 03:00, Ukraine Standard Time"},
    {"a millisecond after the start", At(2024, 3, 31, 1, 0, 0, 1), FixedZone(0), 0,
     L"Peace for Ukraine\r\n31 березня 2024 неділя 04:00, Ukraine Standard Time (in Daylight "
     L"Saving Time)"},
    // Daylight time ends at 04:00 summer time, 03:00 on the standard clock (01:00 UTC).
    {"a minute before the end", At(2024, 10, 27, 0, 59), FixedZone(0), 0,
     L"Peace for Ukraine\r\n27 жовтня 2024 неділя 03:59, Ukraine Standard Time (in Daylight "
     L"Saving Time)"},
    {"the end exactly", At(2024, 10, 27, 1, 0), FixedZone(0), 0,
     L"Peace For Ukraine\r\n27 жовтня 2024 неділя 03:00, Ukraine Standard Time"},
    {"half an hour after the end", At(2024, 10, 27, 1, 30), FixedZone(0), 0,
     L"Peace For Ukraine\r\n27 жовтня 2024 неділя 03:30, Ukraine Standard Time"},
    {"2025 before its start on 30 March", At(2025, 3, 30, 0, 59), FixedZone(0), 0,
     L"Peace For Ukraine\r\n30 березня 2025 неділя 02:59, Ukraine Standard Time"},
    {"2025 after its start on 30 March", At(2025, 3, 30, 1, 0, 0, 1), FixedZone(0), 0,
     L"Peace for Ukraine\r\n30 березня 2025 неділя 04:00, Ukraine Standard Time (in Daylight "
     L"Saving Time)"},
    {"UTC-10", At(2024, 5, 10, 14, 5), FixedZone(-600), -600, kSummer},
    {"UTC+9", At(2024, 5, 10, 14, 5), FixedZone(540), 540, kSummer},
    {"UTC+13, already the next day there", At(2024, 5, 10, 14, 5), FixedZone(780), 780, kSummer},
    {"local daylight time", At(2024, 5, 10, 14, 5), kCentralEurope, 120, kSummer},
    {"local standard time", At(2024, 1, 15, 10, 0), kCentralEurope, 60, kWinter},
    // 02:30 happens twice in Central Europe that night; it counts as standard time (01:30 UTC).
    {"the repeated local hour", At(2024, 10, 27, 1, 30), kCentralEurope, 60,
     L"Peace For Ukraine\r\n27 жовтня 2024 неділя 03:30, Ukraine Standard Time"},
    {"southern daylight time over new year", At(2024, 1, 15, 10, 0), kNewZealand, 780, kWinter},
    {"southern standard time", At(2024, 5, 10, 14, 5), kNewZealand, 720, kSummer},
};

TEST(UkraineTime, IsTheSameInstantInUkraineWhateverTheLocalZone) {
    for (const UkraineCase& c : kUkraineCases) {
        const SYSTEMTIME local = Shifted(c.utc, c.localOffsetMinutes);
        EXPECT_EQ(UkraineTimeText(local, c.zone), c.expected) << c.what;
    }
}

// Days since 1 January 2000 of a file's last change, in local time.
long long LocalDaysOfLastWrite(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    FILETIME local{};
    ::FileTimeToLocalFileTime(&data.ftLastWriteTime, &local);
    FILETIME epoch{};
    const SYSTEMTIME start = At(2000, 1, 1, 0, 0);
    ::SystemTimeToFileTime(&start, &epoch);
    const auto ticks = [](FILETIME f) {
        return (static_cast<long long>(f.dwHighDateTime) << 32) | f.dwLowDateTime;
    };
    return (ticks(local) - ticks(epoch)) / (24LL * 3600 * 10'000'000);
}

TEST(FileVersion, OfTheProductCarriesItsBuildDateAndTime) {
    const std::wstring product = ProductPath();
    const std::wstring text = FileVersionText(product);
    unsigned major = 0, minor = 0, days = 0, halfSeconds = 0;
    wchar_t rest = 0;
    ASSERT_EQ(
        ::swscanf(text.c_str(), L"%u.%u.%u.%u%lc", &major, &minor, &days, &halfSeconds, &rest), 4)
        << text.c_str();
    EXPECT_EQ(major, 1u);
    EXPECT_EQ(minor, 1u);
    // Stamped when the build began, linked a little later.
    EXPECT_LE(std::llabs(static_cast<long long>(days) - LocalDaysOfLastWrite(product)), 1)
        << text.c_str();
    EXPECT_LT(halfSeconds, 43200u);
}

TEST(FileVersion, IsEmptyForAFileWithoutAVersionResource) {
    TestFolder folder(L"version");
    WriteBytes(folder / L"plain.txt", "no resources here");
    EXPECT_EQ(FileVersionText(folder / L"plain.txt"), L"");
    EXPECT_EQ(FileVersionText(Probe::path()), L"");
    EXPECT_EQ(FileVersionText(folder / L"missing.exe"), L"");
}

}  // namespace
