// Drives a running パレンド from outside, the way a user or the shell would: finds its window,
// switches pages, reports where the window is, closes it. Used by scripts/screenshot.
//   driver wait [seconds]   waits for the main window to be shown and idle; prints "x y w h"
//   driver page <n>         shows page n (0 File, 1 Edit, 2 Help) as a click on its tab does
//   driver click <caption>  presses the main window's button with this caption
//   driver box [seconds]    waits for a box of the program's; prints "x y w h"
//   driver ok               presses OK in the program's box
//   driver close            asks the window to close, as its close box does
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

HWND MainWindow() {
    HWND window = ::FindWindowW(L"TPallendoForm", nullptr);
    return window && ::IsWindowVisible(window) ? window : nullptr;
}

bool WaitIdle(HWND window) {
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 10000, &result) != 0;
}

int Wait(double seconds) {
    const ULONGLONG deadline = ::GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
    HWND window = nullptr;
    while (!(window = MainWindow())) {
        if (::GetTickCount64() > deadline) {
            std::fprintf(stderr, "no window appeared\n");
            return 1;
        }
        ::Sleep(50);
    }
    WaitIdle(window);
    RECT r{};
    ::GetWindowRect(window, &r);
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    return 0;
}

int ShowPage(int index) {
    HWND window = MainWindow();
    HWND tabs = window ? ::FindWindowExW(window, nullptr, WC_TABCONTROLW, nullptr) : nullptr;
    if (!tabs) {
        std::fprintf(stderr, "no tab control\n");
        return 1;
    }
    ::SendMessageW(tabs, TCM_SETCURFOCUS, index, 0);
    ::RedrawWindow(window, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    WaitIdle(window);
    return 0;
}

HWND FindButton(HWND parent, const std::wstring& caption) {
    struct Search {
        const std::wstring* caption;
        HWND found;
    } search{&caption, nullptr};
    ::EnumChildWindows(
        parent,
        [](HWND child, LPARAM context) -> BOOL {
            auto* s = reinterpret_cast<Search*>(context);
            wchar_t text[256] = {};
            ::GetWindowTextW(child, text, 256);
            if (*s->caption != text) return TRUE;
            s->found = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

int Click(const std::wstring& caption) {
    HWND window = MainWindow();
    HWND button = window ? FindButton(window, caption) : nullptr;
    if (!button) {
        std::fprintf(stderr, "no such button\n");
        return 1;
    }
    // Without waiting: a click that opens a box returns only when the box closes.
    ::SendNotifyMessageW(button, BM_CLICK, 0, 0);
    return 0;
}

HWND ProgramBox() {
    HWND window = MainWindow();
    if (!window) return nullptr;
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    for (HWND box = ::FindWindowExW(nullptr, nullptr, L"#32770", nullptr); box;
         box = ::FindWindowExW(nullptr, box, L"#32770", nullptr)) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(box, &owner);
        if (owner == process && ::IsWindowVisible(box)) return box;
    }
    return nullptr;
}

int WaitBox(double seconds) {
    const ULONGLONG deadline = ::GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
    HWND box = nullptr;
    while (!(box = ProgramBox())) {
        if (::GetTickCount64() > deadline) {
            std::fprintf(stderr, "no box appeared\n");
            return 1;
        }
        ::Sleep(50);
    }
    WaitIdle(box);
    ::RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RECT r{};
    ::GetWindowRect(box, &r);
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    return 0;
}

int PressOk() {
    HWND box = ProgramBox();
    HWND ok = box ? ::GetDlgItem(box, IDOK) : nullptr;
    if (!ok) return 1;
    ::SendNotifyMessageW(ok, BM_CLICK, 0, 0);
    return 0;
}

int CloseWindow() {
    HWND window = MainWindow();
    if (!window) return 1;
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"wait") return Wait(argc > 2 ? std::wcstod(argv[2], nullptr) : 30.0);
    if (command == L"page" && argc > 2) return ShowPage(std::wcstol(argv[2], nullptr, 10));
    if (command == L"click" && argc > 2) return Click(argv[2]);
    if (command == L"box") return WaitBox(argc > 2 ? std::wcstod(argv[2], nullptr) : 30.0);
    if (command == L"ok") return PressOk();
    if (command == L"close") return CloseWindow();
    std::fprintf(stderr, "usage: driver wait [seconds] | page <n> | click <caption> | box [seconds] | ok | close\n");
    return 2;
}
