#include "shell/MessageLoop.h"

#include <commctrl.h>

#include "shell/Guarded.h"
#include "shell/WindowQueries.h"

namespace {

struct DialogKeys {
    HWND window = nullptr;
    HACCEL accelerators = nullptr;
    KeyPreview preview;
};

DialogKeys& Keys() {
    static DialogKeys keys;
    return keys;
}

bool IsPushButton(HWND window) {
    const LONG type = ::GetWindowLongW(window, GWL_STYLE) & BS_TYPEMASK;
    return HasClass(window, WC_BUTTONW) && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
}

// A dialog box of the program (the version dialog, a message box) handles its own keys, also
// when its messages are handled outside its own loop (the clock's tick pumps them).
bool TakenByOpenDialog(MSG& msg) {
    HWND root = msg.hwnd ? ::GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    return root && root != Keys().window && HasClass(root, L"#32770") &&
           ::IsDialogMessageW(root, &msg);
}

// Enter presses the focused push button, as in a dialog box.
bool PressedFocusedButton(const MSG& msg) {
    if (msg.message != WM_KEYDOWN || msg.wParam != VK_RETURN || msg.hwnd != ::GetFocus() ||
        !IsPushButton(msg.hwnd))
        return false;
    ::SendMessageW(::GetParent(msg.hwnd), WM_COMMAND,
                   MAKEWPARAM(::GetDlgCtrlID(msg.hwnd), BN_CLICKED),
                   reinterpret_cast<LPARAM>(msg.hwnd));
    return true;
}

// The main window's keys: its preview, its keyboard shortcuts, then the dialog keys.
bool TakenByMainWindow(MSG& msg) {
    const DialogKeys& keys = Keys();
    if (!keys.window || !::IsWindow(keys.window)) return false;
    if (msg.hwnd != keys.window && !::IsChild(keys.window, msg.hwnd)) return false;
    if (keys.preview && Guarded([&]() -> LRESULT { return keys.preview(msg); })) return true;
    if (keys.accelerators && ::TranslateAcceleratorW(keys.window, keys.accelerators, &msg))
        return true;
    return PressedFocusedButton(msg) || ::IsDialogMessageW(keys.window, &msg);
}

bool InDialogKeysWindow(HWND window) {
    HWND keys = Keys().window;
    return keys && window && (window == keys || ::IsChild(keys, window));
}

// The dialog manager's Tab makes the push button it reaches the default one and takes the look
// from the others; a focus moved any other way (by the program, by a click) would leave the look
// on a button that Enter no longer presses. In a dialog box WM_NEXTDLGCTL would move the look
// along; this window is none, so the look follows the focus here.
void FollowFocusWithDefaultLook() {
    HWND window = Keys().window;
    if (!window || !::IsWindow(window)) return;
    HWND focus = ::GetFocus();
    for (HWND child : ChildWindows(window)) {
        if (!IsPushButton(child)) continue;
        const LONG style = ::GetWindowLongW(child, GWL_STYLE);
        const LONG wanted = child == focus ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        if ((style & BS_TYPEMASK) != wanted)
            ::SendMessageW(child, BM_SETSTYLE, (style & 0xFFFF & ~BS_TYPEMASK) | wanted, TRUE);
    }
}

void Dispatch(MSG& msg) {
    if (!TakenByOpenDialog(msg) && !TakenByMainWindow(msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    // A click gives the control under it the focus without the dialog keys' knowledge, and how
    // Tab passes the look on is the platform's own affair: after either the look is put right.
    const bool tab = msg.message == WM_KEYDOWN && msg.wParam == VK_TAB;
    if ((tab || msg.message == WM_LBUTTONDOWN) && InDialogKeysWindow(msg.hwnd))
        FollowFocusWithDefaultLook();
}

}  // namespace

void SetDialogKeysWindow(HWND window, HACCEL accelerators, KeyPreview preview) {
    Keys() = {window, accelerators, std::move(preview)};
}

void ForgetDialogKeysWindow(HWND window) {
    if (Keys().window == window) Keys() = {};
}

HWND DialogKeysWindow() {
    return Keys().window;
}

void FocusControl(HWND control) {
    ::SetFocus(control);
    if (InDialogKeysWindow(control)) FollowFocusWithDefaultLook();
}

void ProcessMessages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));  // the outer loop must still see it
            return;
        }
        Dispatch(msg);
    }
}

int RunMessageLoop() {
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) Dispatch(msg);
    return static_cast<int>(msg.wParam);
}
