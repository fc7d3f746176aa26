#pragma once
// The font of the program's own windows (the main window and the copy's progress): Meiryo UI
// of 12 pixels at 96 DPI.
#include <string_view>

#include "shell/Handles.h"

UniqueFont CreateFormFont(int dpi);
// The width of a line of text in `font`, in pixels, measured in memory (no window involved).
int TextWidth(HFONT font, std::wstring_view text);
