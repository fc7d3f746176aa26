#pragma once
// The texts of the version dialog that come from the platform: the file version and the time
// in Ukraine.
#include <windows.h>

#include <string>
#include <string_view>

// "major.minor.build.revision" of the file's version resource; "" for a file without one.
std::wstring FileVersionText(std::wstring_view path);

// Two lines: the greeting, then the date and time in Ukraine, "d mmmm yyyy aaaa hh:nn", with
// the Ukrainian month and weekday names. `localNow` is a local time in `zone`.
std::wstring UkraineTimeText(const SYSTEMTIME& localNow, const TIME_ZONE_INFORMATION& zone);
// The same for the clock's current time in the user's own time zone.
std::wstring UkraineTimeText();
