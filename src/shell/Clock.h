#pragma once
// The current local time, through one function that tests can fix.
#include <windows.h>

#include <functional>

SYSTEMTIME LocalNow();
// Replaces the clock; an empty function restores the real one.
void UseClock(std::function<SYSTEMTIME()> clock);
