#pragma once
// Date and time texts in the user's locale.
#include <windows.h>

#include <string>
#include <string_view>

std::wstring LocaleDateSeparator();
std::wstring LocaleTimeSeparator();
// "yyyy/mm/dd" + gap + "HH:NN" (and ":SS" with seconds), with the given separators.
std::wstring FormatDateTime(const SYSTEMTIME& time, std::wstring_view dateSeparator,
                            std::wstring_view timeSeparator, std::wstring_view gap,
                            bool withSeconds);
// The status-bar clock: "yyyy/mm/dd  HH:NN" with the locale's separators.
std::wstring ClockText(const SYSTEMTIME& time);
