#include "shell/Clock.h"

namespace {
std::function<SYSTEMTIME()>& ClockSource() {
    static std::function<SYSTEMTIME()> source;
    return source;
}
}  // namespace

SYSTEMTIME LocalNow() {
    if (ClockSource()) return ClockSource()();
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return now;
}

void UseClock(std::function<SYSTEMTIME()> clock) {
    ClockSource() = std::move(clock);
}

SYSTEMTIME SystemTimeOf(int year, int month, int day, int hour, int minute, int second, int milli) {
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(year);
    time.wMonth = static_cast<WORD>(month);
    time.wDay = static_cast<WORD>(day);
    time.wHour = static_cast<WORD>(hour);
    time.wMinute = static_cast<WORD>(minute);
    time.wSecond = static_cast<WORD>(second);
    time.wMilliseconds = static_cast<WORD>(milli);
    return time;
}
