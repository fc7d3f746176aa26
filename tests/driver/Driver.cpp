// Drives a running パレンド from outside, the way a user or the shell would: finds its window,
// switches pages, reports where the window is, closes it. Used by scripts/screenshot and
// scripts/package, which read what it prints.
//   driver wait [seconds]   waits for the main window to be shown and idle; prints "x y w h"
//   driver page <n>         shows page n (0 File, 1 Edit, 2 Help) as a click on its tab does
//   driver click <caption>  presses the main window's button with this caption
//   driver box [seconds]    waits for a box of the program's; prints "x y w h"
//   driver ok               presses OK in the program's box
//   driver close            asks the window to close, as its close box does
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <exception>
#include <iterator>
#include <string>

#include "app/Pages.h"
#include "support/OutsideDriver.h"

namespace {

using std::chrono::milliseconds;

// The window is looked for once, not waited for.
constexpr milliseconds kAtOnce{0};

milliseconds Seconds(double seconds) {
    return std::chrono::duration_cast<milliseconds>(std::chrono::duration<double>(seconds));
}

// The seconds given after the command, 30 when none are.
milliseconds DeadlineArgument(int argc, wchar_t** argv) {
    return Seconds(argc > 2 ? std::wcstod(argv[2], nullptr) : 30.0);
}

void PrintRectangle(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
}

// Paints the window and its controls at once, so the screen holds what a capture should show.
void Repaint(HWND window) {
    ::RedrawWindow(window, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

int Wait(RunningPallendo& program, milliseconds deadline) {
    HWND window = program.window(deadline);
    if (!window) {
        std::fprintf(stderr, "no window appeared\n");
        return 1;
    }
    PrintRectangle(window);
    return 0;
}

int ShowPage(RunningPallendo& program, long tab) {
    const auto page = std::find_if(std::begin(kPages), std::end(kPages),
                                   [tab](PageId p) { return TabIndexOf(p) == tab; });
    HWND window = program.window(kAtOnce);
    if (!window || !program.control(WC_TABCONTROLW) || page == std::end(kPages)) {
        std::fprintf(stderr, "no tab control\n");
        return 1;
    }
    program.showPage(*page);
    Repaint(window);
    program.settle();
    return 0;
}

int Click(RunningPallendo& program, const std::wstring& caption) {
    HWND button = program.window(kAtOnce) ? program.control(WC_BUTTONW, caption) : nullptr;
    if (!button) {
        std::fprintf(stderr, "no such button\n");
        return 1;
    }
    program.click(button);
    return 0;
}

int WaitBox(RunningPallendo& program, milliseconds deadline) {
    HWND box = program.window(deadline) ? program.waitForBox(deadline) : nullptr;
    if (!box) {
        std::fprintf(stderr, "no box appeared\n");
        return 1;
    }
    program.settle();
    Repaint(box);
    PrintRectangle(box);
    return 0;
}

int PressOk(RunningPallendo& program) {
    HWND box = program.window(kAtOnce) ? program.box() : nullptr;
    if (!box || !::GetDlgItem(box, IDOK)) return 1;
    RunningPallendo::answer(box, IDOK);
    return 0;
}

int Close(RunningPallendo& program) {
    if (!program.window(kAtOnce)) return 1;
    program.close();
    return 0;
}

int Run(int argc, wchar_t** argv) {
    const std::wstring command = argc > 1 ? argv[1] : L"";
    RunningPallendo program{AlreadyRunning{}};
    if (command == L"wait") return Wait(program, DeadlineArgument(argc, argv));
    if (command == L"page" && argc > 2) return ShowPage(program, std::wcstol(argv[2], nullptr, 10));
    if (command == L"click" && argc > 2) return Click(program, argv[2]);
    if (command == L"box") return WaitBox(program, DeadlineArgument(argc, argv));
    if (command == L"ok") return PressOk(program);
    if (command == L"close") return Close(program);
    std::fprintf(stderr,
                 "usage: driver wait [seconds] | page <n> | click <caption> | box [seconds] | ok | "
                 "close\n");
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    try {
        return Run(argc, argv);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "%s\n", failure.what());
        return 1;
    }
}
