#pragma once
// The thin layer over the platform shell and its message boxes that the rest of the program uses.
#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

// The hidden top-level window that owns the program's boxes when no window of it is active.
HWND ApplicationWindow();

// The file-system path of a special folder, ending in a backslash; "" for a folder without a path.
// Raises "GetSpecialFolder Failed HRESULT=<signed>" when the platform refuses the id.
std::wstring GetSpecialFolder(int csidl);
// Opens a file, folder, URL or program with the shell's "open" verb; reports its own failure.
void Open(std::wstring_view path);
// Starts a program with a parameter text; reports its own failure.
void OpenBy(std::wstring_view program, std::wstring_view parameters);
// The shell's properties sheet of a file; reports its own failure.
void ShowProperties(std::wstring_view path);
// Moves a file to the recycle bin; true when it is gone or was never there.
bool DeleteToRecycleBin(std::wstring_view path);
// A modal message with the application title and one "OK" button.
void MessageDialog(std::wstring_view message);
// The same, closable with Esc and its close box too ("Operations Aborted.").
void CancellableMessageDialog(std::wstring_view message);
// The platform message box with the application title. The box disables its owner (the active
// window) itself and gives the activation back to it; every other window of the program is
// disabled while it is open.
int ApplicationMessageBox(std::wstring_view text, UINT flags);
// The platform's text for an error code, without trailing blanks, line breaks and full stops.
std::wstring SystemErrorText(DWORD code);
// The platform's text for a failed result, or "HRESULT=<signed code>" when it has none.
std::wstring PlatformFailureText(HRESULT hr);
// The application error box: ends any mouse capture, applies the "." rule, shows MB_ICONSTOP.
void ShowApplicationError(std::wstring_view message);

// Handles the window messages that are waiting, then returns.
void ProcessMessages();
// A look at a key before the window's controls and dialog keys get it; true when it was taken.
using KeyPreview = std::function<bool(const MSG&)>;
// The window whose dialog keys (Tab, Enter, arrows) and keyboard shortcuts (`accelerators`,
// may be null) the message loops handle, after `preview` (may be empty) has seen the key. The
// keys of a dialog box of the program that is open go to that box.
void SetDialogKeysWindow(HWND window, HACCEL accelerators = nullptr, KeyPreview preview = {});
// No window's dialog keys any more, when they were this window's.
void ForgetDialogKeysWindow(HWND window);
// Runs the message loop until WM_QUIT; returns its exit code.
int RunMessageLoop();

// Runs a callback body so that no exception crosses back into the platform: a failure goes to
// the application error box and `fallback` is returned.
template <typename Body>
LRESULT Guarded(Body&& body, LRESULT fallback = 0) noexcept;

void ReportEscapedException(const std::exception* error) noexcept;

#include "shell/Failure.h"

template <typename Body>
LRESULT Guarded(Body&& body, LRESULT fallback) noexcept {
    try {
        return body();
    } catch (const Failure& failure) {
        try {
            ShowApplicationError(failure.message());
        } catch (...) {
        }
    } catch (const std::exception& error) {
        ReportEscapedException(&error);
    } catch (...) {
        ReportEscapedException(nullptr);
    }
    return fallback;
}
