#pragma once
// The version dialog: laid out like the platform's message box, over a gradient background.
#include <windows.h>

#include <cstdint>
#include <string>

// The dialog's ten lines, each followed by "\r\n", with the values of this moment.
std::wstring VersionDialogText();
// Shows the dialog modally over the owner; returns when the user has closed it.
void ShowVersionDialog(HWND owner);
// The same with another text in place of the ten lines.
void ShowVersionDialog(HWND owner, const std::wstring& text);
// Fills the dialog's client area with a gradient from white to a new random colour, left to
// right for an odd colour value, top to bottom for an even one. Returns the colour (0x00BBGGRR).
std::uint32_t PaintVersionBackground(HWND dialog, HDC dc);
