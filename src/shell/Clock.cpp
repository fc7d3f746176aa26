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
