#pragma once
// The current local time, through one function that tests can fix, and times made from their
// parts.
#include <windows.h>

#include <functional>

SYSTEMTIME LocalNow();
// Replaces the clock; an empty function restores the real one.
void UseClock(std::function<SYSTEMTIME()> clock);

// The time of the day at the given hour, minute, second and millisecond; the day of the week is
// left 0, which the platform's conversions ignore.
SYSTEMTIME SystemTimeOf(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                        int milli = 0);
