#pragma once
// What the program asks about windows: their text, their class, and the windows of a parent, a
// thread or the desktop. The platform's enumerations run through callbacks that cannot throw.
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

// The window's text as it holds it (for a control of another process, whose text lives there,
// send WM_GETTEXT instead).
std::wstring WindowText(HWND window);
std::wstring ClassName(HWND window);
// True when the window's class has this name, letter case ignored ("Button", "#32770").
bool HasClass(HWND window, std::wstring_view className);
// Every window below the parent, its children's children too, in the platform's order.
std::vector<HWND> ChildWindows(HWND parent);
// The top-level windows of a thread.
std::vector<HWND> ThreadWindows(DWORD threadId);
// Every top-level window on the desktop.
std::vector<HWND> TopLevelWindows();
