#include "shell/Boxes.h"

#include <string>
#include <vector>

#include "shell/Handles.h"
#include "shell/MessageLoop.h"
#include "shell/ProgramIdentity.h"
#include "shell/Prompter.h"
#include "shell/Text.h"
#include "shell/WindowQueries.h"

namespace {

constexpr wchar_t kApplicationWindowClass[] = L"TPallendoApplication";

std::wstring Title() {
    return std::wstring(kApplicationTitle);
}

// The program's windows that a box disables while it is open: the visible, enabled ones other
// than its owner, which the box disables and enables itself.
std::vector<HWND> OtherEnabledWindows(HWND owner) {
    std::vector<HWND> others;
    for (HWND window : ThreadWindows(::GetCurrentThreadId()))
        if (window != owner && ::IsWindowVisible(window) && ::IsWindowEnabled(window))
            others.push_back(window);
    return others;
}

}  // namespace

HWND BoxOwner() {
    HWND active = ::GetActiveWindow();
    return active ? active : ApplicationWindow();
}

HWND ApplicationWindow() {
    static HWND window = [] {
        WNDCLASSEXW wc{sizeof(wc)};
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = kApplicationWindowClass;
        ::RegisterClassExW(&wc);
        return ::CreateWindowExW(WS_EX_TOOLWINDOW, kApplicationWindowClass, Title().c_str(),
                                 WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance, nullptr);
    }();
    return window;
}

void MessageDialog(std::wstring_view message) {
    CurrentPrompter().showMessage(BoxOwner(), Title(), std::wstring(message), false);
}

void CancellableMessageDialog(std::wstring_view message) {
    CurrentPrompter().showMessage(BoxOwner(), Title(), std::wstring(message), true);
}

int ApplicationMessageBox(std::wstring_view text, UINT flags) {
    HWND owner = BoxOwner();
    HWND focus = ::GetFocus();
    // The box disables and re-enables its owner itself: a box whose owner was disabled before it
    // opened leaves it disabled, and the activation passes to another program when it closes.
    // Every other window of the program is disabled here.
    const std::vector<HWND> disabled = OtherEnabledWindows(owner);
    for (HWND window : disabled) ::EnableWindow(window, FALSE);
    int answer = IDCANCEL;
    {
        const ScopeExit enableAgain([&disabled] {
            for (HWND window : disabled) ::EnableWindow(window, TRUE);
        });
        answer = CurrentPrompter().askBox(owner, Title(), std::wstring(text), flags);
    }
    if (owner && ::IsWindow(owner) && owner != ApplicationWindow()) ::SetActiveWindow(owner);
    if (focus && ::IsWindow(focus)) FocusControl(focus);
    return answer;
}

void ShowApplicationError(std::wstring_view message) {
    if (HWND capture = ::GetCapture()) ::SendMessageW(capture, WM_CANCELMODE, 0, 0);
    ApplicationMessageBox(ErrorBoxText(message), MB_OK | MB_ICONSTOP);
}
