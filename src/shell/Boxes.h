#pragma once
// The platform's message boxes and the program's notices, with the application title, and the
// application error box through which every failure reaches the user.
#include <windows.h>

#include <string_view>

// The hidden top-level window that owns the program's boxes when no window of it is active.
HWND ApplicationWindow();
// The owner of a box: the program's active window, else the application window.
HWND BoxOwner();
// A modal message with the application title and one "OK" button.
void MessageDialog(std::wstring_view message);
// The same, closable with Esc and its close box too ("Operations Aborted.").
void CancellableMessageDialog(std::wstring_view message);
// The platform message box with the application title. The box disables its owner (the active
// window) itself and gives the activation back to it; every other window of the program is
// disabled while it is open.
int ApplicationMessageBox(std::wstring_view text, UINT flags);
// The application error box: ends any mouse capture, applies the "." rule, shows MB_ICONSTOP.
void ShowApplicationError(std::wstring_view message);
