#include "shell/MessageLoop.h"

#include "shell/Guarded.h"
#include "shell/WindowQueries.h"

namespace {

struct DialogKeys {
    HWND window = nullptr;
    HACCEL accelerators = nullptr;
    KeyPreview preview;
    HWND defaultLook = nullptr;  // the push button that looks like the default one, if any
};

DialogKeys& Keys() {
    static DialogKeys keys;
    return keys;
}

UINT DialogCode(HWND control) {
    return static_cast<UINT>(::SendMessageW(control, WM_GETDLGCODE, 0, 0));
}

// As the dialog manager tells one: by what the control says of itself.
bool IsPushButton(HWND window) {
    return DialogCode(window) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON);
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

void SetButtonType(HWND button, LONG type) {
    const LONG style = ::GetWindowLongW(button, GWL_STYLE);
    if ((style & BS_TYPEMASK) != type)
        ::SendMessageW(button, BM_SETSTYLE, (style & 0xFFFF & ~BS_TYPEMASK) | type, TRUE);
}

// The dialog manager's Tab makes the push button it reaches the default one and takes the look
// from the others; a focus moved any other way (by the program, by a click) would leave the look
// on a button that Enter no longer presses. In a dialog box WM_NEXTDLGCTL would move the look
// along; this window is none, so the look follows the focus here. Only the button known to hold
// the look is looked at, not every control: the program moves the focus at every change of a
// filled-in field.
void FollowFocusWithDefaultLook() {
    DialogKeys& keys = Keys();
    HWND focus = ::GetFocus();
    const bool button = InDialogKeysWindow(focus) && IsPushButton(focus);
    HWND looked = keys.defaultLook;
    if (looked && looked != focus && ::IsWindow(looked) &&
        (DialogCode(looked) & DLGC_DEFPUSHBUTTON))
        SetButtonType(looked, BS_PUSHBUTTON);
    if (button) SetButtonType(focus, BS_DEFPUSHBUTTON);
    keys.defaultLook = button ? focus : nullptr;
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
