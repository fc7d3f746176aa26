// The window as the platform sees it: its classes, its creation, its window procedures and the
// messages it handles; the program's entry.
#include "app/PallendoForm.h"

#include <commctrl.h>

#include "app/ControlTable.h"
#include "resources/ResourceIds.h"
#include "shell/Guarded.h"
#include "shell/MessageLoop.h"
#include "shell/ProgramIdentity.h"
#include "shell/ProgramScope.h"
#include "shell/StartupSteps.h"
#include "shell/Text.h"

namespace {

HICON ProgramIcon(int size) {
    return static_cast<HICON>(::LoadImageW(
        ::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PALLENDO), IMAGE_ICON, size, size, 0));
}

void RegisterClasses(WNDPROC formProc, WNDPROC pageProc, const wchar_t* pageClass) {
    static bool registered = false;
    if (registered) return;
    WNDCLASSEXW wc{sizeof(wc)};
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = formProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kFormClass;
    wc.hIcon = ProgramIcon(::GetSystemMetrics(SM_CXICON));
    wc.hIconSm = ProgramIcon(16);
    ::RegisterClassExW(&wc);
    wc.lpfnWndProc = pageProc;
    wc.lpszClassName = pageClass;
    wc.hIcon = wc.hIconSm = nullptr;
    wc.style = CS_DBLCLKS;
    ::RegisterClassExW(&wc);
    registered = true;
}

const ControlRow* RowOfWindow(HWND control) {
    return control ? RowOfId(::GetDlgCtrlID(control)) : nullptr;
}

}  // namespace

std::vector<std::wstring> ProcessArguments() {
    return SplitCommandLine(::GetCommandLineW());
}

TPallendoForm::TPallendoForm(FormOptions options) : options_(std::move(options)) {
    RegisterClasses(&windowProc, &pageProc, kPageClass);
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    // Composited: the window and its controls are painted double-buffered, without flicker.
    const DWORD exStyle = WS_EX_APPWINDOW | WS_EX_CONTROLPARENT | WS_EX_COMPOSITED;
    const SIZE frame = designFrameSize(style, exStyle, static_cast<int>(::GetDpiForSystem()));
    // Unowned and with WS_EX_APPWINDOW: the window itself has the taskbar button.
    ::CreateWindowExW(exStyle, kFormClass, kApplicationTitle.data(), style, CW_USEDEFAULT,
                      CW_USEDEFAULT, frame.cx, frame.cy, nullptr, nullptr,
                      ::GetModuleHandleW(nullptr), this);
    SetDialogKeysWindow(hwnd, accelerators_.get(),
                        [this](const MSG& msg) { return previewKey(msg); });
}

TPallendoForm::~TPallendoForm() {
    if (hwnd && ::IsWindow(hwnd)) ::DestroyWindow(hwnd);
}

void TPallendoForm::show() {
    // The first activation puts the focus where start-up wants it.
    lastFocus_ = startUpFocus();
    const int command = initialWindowState == WindowState::Maximised   ? SW_SHOWMAXIMIZED
                        : initialWindowState == WindowState::Minimised ? SW_SHOWMINIMIZED
                                                                       : SW_SHOWNORMAL;
    ::ShowWindow(hwnd, command);
    ::UpdateWindow(hwnd);
}

bool TPallendoForm::close() {
    ::SendMessageW(hwnd, WM_CLOSE, 0, 0);
    return !::IsWindow(hwnd);
}

LRESULT CALLBACK TPallendoForm::windowProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) noexcept {
    if (message == WM_NCCREATE) {
        auto* form =
            static_cast<TPallendoForm*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        form->hwnd = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<TPallendoForm*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!form) return ::DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ForgetDialogKeysWindow(window);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        form->hwnd = nullptr;
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    return Guarded([&] { return form->handleMessage(message, wParam, lParam); });
}

// The pages hold the controls: what the controls tell their parent goes to the window.
LRESULT CALLBACK TPallendoForm::pageProc(HWND page, UINT message, WPARAM wParam,
                                         LPARAM lParam) noexcept {
    HWND main = ::GetAncestor(page, GA_ROOT);
    auto* form = reinterpret_cast<TPallendoForm*>(::GetWindowLongPtrW(main, GWLP_USERDATA));
    if (!form) return ::DefWindowProcW(page, message, wParam, lParam);
    return Guarded([&]() -> LRESULT {
        switch (message) {
        case WM_COMMAND: return form->handleCommand(wParam, lParam);
        case WM_NOTIFY: return ::SendMessageW(main, message, wParam, lParam);
        case WM_SETCURSOR:
            if (form->handleSetCursor(reinterpret_cast<HWND>(wParam))) return TRUE;
            break;
        case WM_SIZE:
            if (page == form->TsEdit1.hwnd) form->TsEdit1Resize();
            return 0;
        }
        return ::DefWindowProcW(page, message, wParam, lParam);
    });
}

LRESULT TPallendoForm::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: onCreate(); return 0;
    case WM_SIZE:
        if (created_ && (LOWORD(lParam) != laidOut_.cx || HIWORD(lParam) != laidOut_.cy)) layout();
        return 0;
    case WM_COMMAND: return handleCommand(wParam, lParam);
    case WM_NOTIFY: onNotify(*reinterpret_cast<const NMHDR*>(lParam)); return 0;
    case WM_ACTIVATE: onActivate(wParam); return 0;
    case WM_SETFOCUS:
        // The frame itself never keeps the focus (a closing box gives it to its owner).
        restoreFocus();
        return 0;
    case WM_TIMER:
        if (wParam == kTimer1) Timer1Timer();
        return 0;
    case WM_CLOSE: onClose(); return 0;
    case WM_QUERYENDSESSION: return WMQueryEndSession();
    case WM_DROPFILES:
        ::DefWindowProcW(hwnd, message, wParam, lParam);
        WMDropFiles(reinterpret_cast<HDROP>(wParam));
        return 0;
    case WM_DPICHANGED:
        onDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_DESTROY:
        ::KillTimer(hwnd, kTimer1);
        if (options_.quitOnDestroy) ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

void TPallendoForm::onCreate() {
    dpi_ = static_cast<int>(::GetDpiForWindow(hwnd));
    sizeClientForDpi();
    createFrameControls();
    applyDpi(dpi_);
    MarkStartup("pages, tabs, status bar, image lists and font");
    // Start-up places the window where it was and makes the controls there, in their place
    // for that size; also when a failure skips the remaining start-up steps.
    const ScopeExit made([this] { makeControls(); });
    FormCreate();  // a failure here skips the remaining start-up steps; the window opens
}

// A control's notification goes to the control itself, which runs what is bound to it; a
// command without a control is one of the window's keyboard shortcuts.
LRESULT TPallendoForm::handleCommand(WPARAM wParam, LPARAM lParam) {
    if (lParam == 0) {
        if (HIWORD(wParam) == 1) pageKey(LOWORD(wParam));
        return 0;
    }
    if (const ControlRow* row = RowOfId(LOWORD(wParam))) row->control(*this).notify(HIWORD(wParam));
    return 0;
}

bool TPallendoForm::handleSetCursor(HWND over) {
    const ControlRow* row = RowOfWindow(over);
    if (!row || !row->handCursor) return false;
    ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
    return true;
}

void TPallendoForm::onClose() {
    bool canClose = true;
    FormCloseQuery(canClose);
    if (canClose) ::DestroyWindow(hwnd);
}

int RunPallendo() {
    const ProgramScope program;
    MarkStartup("COM and common controls");
    TPallendoForm form(FormOptions{.arguments = ProcessArguments(), .quitOnDestroy = true});
    form.show();
    MarkStartup("window shown");
    return RunMessageLoop();
}
