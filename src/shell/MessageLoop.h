#pragma once
// The program's message loops: the main one, and the pumping of waiting messages that the clock
// and long work do. Both give the main window's keys the handling of a dialog box.
#include <windows.h>

#include <functional>

// A look at a key before the window's controls and dialog keys get it; true when it was taken.
using KeyPreview = std::function<bool(const MSG&)>;

// The window whose dialog keys (Tab, Enter, arrows) and keyboard shortcuts (`accelerators`,
// may be null) the message loops handle, after `preview` (may be empty) has seen the key. The
// keys of a dialog box of the program that is open go to that box.
void SetDialogKeysWindow(HWND window, HACCEL accelerators = nullptr, KeyPreview preview = {});
// No window's dialog keys any more, when they were this window's.
void ForgetDialogKeysWindow(HWND window);
// The window whose dialog keys the loops handle: the program's main window while it lives.
HWND DialogKeysWindow();

// Gives `control` the keyboard focus, as the dialog keys would. In the dialog-keys window Enter
// presses the focused push button and nothing else, so only that button looks like the default
// one; with the focus on any other control, none does.
void FocusControl(HWND control);

// Handles the window messages that are waiting, then returns. WM_QUIT is left for the outer loop.
void ProcessMessages();
// Runs the message loop until WM_QUIT; returns its exit code.
int RunMessageLoop();
