#include "shell/Shell.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <vector>

#include "shell/AppInfo.h"
#include "shell/Handles.h"
#include "shell/Prompter.h"
#include "shell/Text.h"

namespace {

constexpr wchar_t kApplicationWindowClass[] = L"TPallendoApplication";

std::wstring Title() {
    return std::wstring(kApplicationTitle);
}

HWND& DialogKeysWindow() {
    static HWND window = nullptr;
    return window;
}

HACCEL& DialogKeysAccelerators() {
    static HACCEL accelerators = nullptr;
    return accelerators;
}

KeyPreview& DialogKeysPreview() {
    static KeyPreview preview;
    return preview;
}

// The owner of a box: the program's active window, else the application window.
HWND BoxOwner() {
    HWND active = ::GetActiveWindow();
    return active ? active : ApplicationWindow();
}

std::uint32_t ShellCode(HINSTANCE result) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(result));
}

struct OtherWindows {
    HWND except;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectEnabled(HWND window, LPARAM param) {
    auto* others = reinterpret_cast<OtherWindows*>(param);
    if (window != others->except && ::IsWindowVisible(window) && ::IsWindowEnabled(window))
        others->found.push_back(window);
    return TRUE;
}

// The owner of the shell's own boxes: the program's main window, else the usual box owner.
HWND ShellBoxOwner() {
    HWND main = DialogKeysWindow();
    return main && ::IsWindow(main) ? main : BoxOwner();
}

}  // namespace

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

std::wstring GetSpecialFolder(int csidl) {
    UniqueItemIdList list;
    const HRESULT hr = ::SHGetSpecialFolderLocation(ApplicationWindow(), csidl, list.put());
    if (hr != S_OK)
        Fail(L"GetSpecialFolder Failed HRESULT=" + SignedText(static_cast<std::uint32_t>(hr)));
    wchar_t buffer[MAX_PATH + 1] = {};
    if (!::SHGetPathFromIDListW(list.get(), buffer)) return {};
    std::wstring path(buffer);
    if (path.empty() || path.back() != L'\\') path += L'\\';
    return path;
}

void Open(std::wstring_view path) {
    const std::wstring file(path);
    const std::uint32_t code =
        ShellCode(::ShellExecuteW(nullptr, L"open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (code > 32) return;
    MessageDialog(L"Open Failed " + DecimalText(code) + L"\r\n" + SystemErrorText(code) + L"\r\n" +
                  file);
}

void OpenBy(std::wstring_view program, std::wstring_view parameters) {
    const std::wstring file(program), params(parameters);
    const std::uint32_t code = ShellCode(
        ::ShellExecuteW(nullptr, L"open", file.c_str(), params.c_str(), nullptr, SW_SHOWNORMAL));
    if (code > 32) return;
    MessageDialog(L"OpenBy Failed " + DecimalText(code) + L"\r\n" + SystemErrorText(code) +
                  L"\r\n" + file + L"\r\n" + params);
}

void ShowProperties(std::wstring_view path) {
    const std::wstring object(path);
    if (::SHObjectProperties(nullptr, SHOP_FILEPATH, object.c_str(), nullptr)) return;
    MessageDialog(L"プロパティを表示できませんでした\r\n" + object);
}

bool DeleteToRecycleBin(std::wstring_view path) {
    if (path.empty() || !FileExists(path)) return true;
    // The shell deletes a path that is not fully qualified for good, bypassing the recycle bin.
    std::wstring from = FullLongPath(path);
    from.push_back(L'\0');  // the list ends with two NULs: this one and the string's own
    SHFILEOPSTRUCTW request{};
    // The shell's confirmation is modal to the main window: no second action starts behind it.
    request.hwnd = ShellBoxOwner();
    request.wFunc = FO_DELETE;
    request.pFrom = from.c_str();
    request.fFlags = FOF_ALLOWUNDO;
    request.fAnyOperationsAborted = FALSE;
    if (::SHFileOperationW(&request) != 0) {
        MessageDialog(L"Delete \"" + FileNamePart(path) + L"\" Failed.");
        ProcessMessages();
        return false;
    }
    if (request.fAnyOperationsAborted) {
        CancellableMessageDialog(L"Operations Aborted.");
        ProcessMessages();
        return false;
    }
    return true;
}

void MessageDialog(std::wstring_view message) {
    CurrentPrompter().ShowMessage(BoxOwner(), Title(), std::wstring(message), false);
}

void CancellableMessageDialog(std::wstring_view message) {
    CurrentPrompter().ShowMessage(BoxOwner(), Title(), std::wstring(message), true);
}

int ApplicationMessageBox(std::wstring_view text, UINT flags) {
    HWND owner = BoxOwner();
    HWND focus = ::GetFocus();
    // The box disables and re-enables its owner itself: a box whose owner was disabled before it
    // opened leaves it disabled, and the activation passes to another program when it closes.
    // Every other window of the program is disabled here.
    OtherWindows others{owner, {}};
    ::EnumThreadWindows(::GetCurrentThreadId(), CollectEnabled, reinterpret_cast<LPARAM>(&others));
    const std::vector<HWND>& disabled = others.found;
    for (HWND window : disabled) ::EnableWindow(window, FALSE);
    int answer = IDCANCEL;
    try {
        answer = CurrentPrompter().AskBox(owner, Title(), std::wstring(text), flags);
    } catch (...) {
        for (HWND window : disabled) ::EnableWindow(window, TRUE);
        throw;
    }
    for (HWND window : disabled) ::EnableWindow(window, TRUE);
    if (owner && ::IsWindow(owner) && owner != ApplicationWindow()) ::SetActiveWindow(owner);
    if (focus && ::IsWindow(focus)) ::SetFocus(focus);
    return answer;
}

std::wstring PlatformFailureText(HRESULT hr) {
    const std::wstring text = SystemErrorText(static_cast<DWORD>(hr));
    return text.empty() ? L"HRESULT=" + SignedText(static_cast<std::uint32_t>(hr)) : text;
}

std::wstring SystemErrorText(DWORD code) {
    wchar_t* raw = nullptr;
    const DWORD flags = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS |
                        FORMAT_MESSAGE_ARGUMENT_ARRAY | FORMAT_MESSAGE_ALLOCATE_BUFFER;
    const DWORD length =
        ::FormatMessageW(flags, nullptr, code, 0, reinterpret_cast<wchar_t*>(&raw), 0, nullptr);
    UniqueLocalBuffer owner(raw);
    if (length == 0 || raw == nullptr) return {};
    std::wstring text(raw, length);
    while (!text.empty() && (text.back() <= L' ' || text.back() == L'.')) text.pop_back();
    return text;
}

void ShowApplicationError(std::wstring_view message) {
    if (HWND capture = ::GetCapture()) ::SendMessageW(capture, WM_CANCELMODE, 0, 0);
    ApplicationMessageBox(ErrorBoxText(message), MB_OK | MB_ICONSTOP);
}

void ReportEscapedException(const std::exception* error) noexcept {
    try {
        std::wstring text = L"Unexpected error";
        if (error) {
            const std::string what = error->what();
            text += L": " + std::wstring(what.begin(), what.end());
        }
        ShowApplicationError(text);
    } catch (...) {
    }
}

void SetDialogKeysWindow(HWND window, HACCEL accelerators, KeyPreview preview) {
    DialogKeysWindow() = window;
    DialogKeysAccelerators() = accelerators;
    DialogKeysPreview() = std::move(preview);
}

void ForgetDialogKeysWindow(HWND window) {
    if (DialogKeysWindow() == window) SetDialogKeysWindow(nullptr);
}

namespace {
bool IsPushButton(HWND window) {
    wchar_t cls[16] = {};
    ::GetClassNameW(window, cls, 16);
    const LONG type = ::GetWindowLongW(window, GWL_STYLE) & BS_TYPEMASK;
    return ::lstrcmpiW(cls, WC_BUTTONW) == 0 && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
}

bool IsDialogBox(HWND window) {
    wchar_t cls[16] = {};
    ::GetClassNameW(window, cls, 16);
    return ::lstrcmpW(cls, L"#32770") == 0;
}

void Dispatch(MSG& msg) {
    // A dialog box of the program (the version dialog, a message box) handles its own keys, also
    // when these messages are handled outside its own loop (the clock's tick pumps them).
    if (HWND root = msg.hwnd ? ::GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
        root && root != DialogKeysWindow() && IsDialogBox(root) && ::IsDialogMessageW(root, &msg))
        return;
    HWND dialog = DialogKeysWindow();
    if (dialog && ::IsWindow(dialog)) {
        const bool ours = msg.hwnd == dialog || ::IsChild(dialog, msg.hwnd);
        if (const KeyPreview& preview = DialogKeysPreview();
            ours && preview && Guarded([&]() -> LRESULT { return preview(msg); }))
            return;
        HACCEL accelerators = DialogKeysAccelerators();
        if (accelerators && ours && ::TranslateAcceleratorW(dialog, accelerators, &msg)) return;
        // Enter presses the focused push button, as in a dialog box.
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN && msg.hwnd == ::GetFocus() &&
            ::IsChild(dialog, msg.hwnd) && IsPushButton(msg.hwnd)) {
            ::SendMessageW(::GetParent(msg.hwnd), WM_COMMAND,
                           MAKEWPARAM(::GetDlgCtrlID(msg.hwnd), BN_CLICKED),
                           reinterpret_cast<LPARAM>(msg.hwnd));
            return;
        }
        if (::IsDialogMessageW(dialog, &msg)) return;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
}
}  // namespace

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
