#pragma once
// The font of the program's own windows (the main window and the copy's progress): Meiryo UI
// of 12 pixels at 96 DPI.
#include "shell/Handles.h"

UniqueFont CreateFormFont(int dpi);
