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

void Dispatch(MSG& msg) {
    if (TakenByOpenDialog(msg) || TakenByMainWindow(msg)) return;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
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
