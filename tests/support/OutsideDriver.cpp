#include "support/OutsideDriver.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cwctype>
#include <stdexcept>

#include "settings/SettingsPath.h"
#include "support/TestSupport.h"

namespace {

using Clock = std::chrono::steady_clock;

std::wstring QuotedCommandLine(const std::wstring& program,
                               const std::vector<std::wstring>& arguments) {
    std::wstring line = L"\"" + program + L"\"";
    for (const std::wstring& argument : arguments) line += L" \"" + argument + L"\"";
    return line;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[128] = {};
    ::GetClassNameW(window, name, 128);
    return name;
}

bool SameClass(const std::wstring& a, const std::wstring& b) {
    return ::CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

std::vector<HWND> TopLevelWindowsOf(DWORD processId) {
    struct Search {
        DWORD processId;
        std::vector<HWND> found;
    } search{processId, {}};
    ::EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            auto* s = reinterpret_cast<Search*>(context);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            if (owner == s->processId && ::IsWindowVisible(window)) s->found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<HWND> ChildrenOf(HWND parent) {
    std::vector<HWND> children;
    ::EnumChildWindows(
        parent,
        [](HWND child, LPARAM context) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(context)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&children));
    return children;
}

void PostKey(HWND target, UINT key) {
    ::PostMessageW(target, WM_KEYDOWN, key, 1);
    ::PostMessageW(target, WM_KEYUP, key, 0xC0000001);
}

// Memory inside the driven process, for messages that carry a pointer.
class RemoteBuffer {
public:
    RemoteBuffer(HANDLE process, size_t bytes) : process_(process) {
        address_ =
            ::VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        if (!address_) throw std::runtime_error("VirtualAllocEx failed");
    }
    ~RemoteBuffer() {
        if (address_ && !kept_) ::VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    }
    void* address() const { return address_; }
    void Write(const void* data, size_t bytes) {
        ::WriteProcessMemory(process_, address_, data, bytes, nullptr);
    }
    void Read(void* data, size_t bytes) const {
        ::ReadProcessMemory(process_, address_, data, bytes, nullptr);
    }
    void Keep() { kept_ = true; }

private:
    HANDLE process_;
    void* address_ = nullptr;
    bool kept_ = false;
};

// The host's path of a file in the prefix (Wine's own conversion).
std::string UnixPath(const std::wstring& path) {
    using Convert = char*(CDECL*)(const wchar_t*);
    auto convert = reinterpret_cast<Convert>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!convert) return {};
    char* converted = convert(path.c_str());
    std::string result = converted ? converted : "";
    ::HeapFree(::GetProcessHeap(), 0, converted);
    return result;
}

// Runs xdotool on the host and waits until it is done. Wine starts a host program but gives no
// handle to wait on, so the shell around it leaves xdotool's exit status in a file.
bool RunXdotool(const std::string& arguments) {
    static int counter = 0;
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring marker = std::wstring(temp) + L"pallendo-xdotool-" +
                                std::to_wstring(::GetCurrentProcessId()) + L"-" +
                                std::to_wstring(++counter) + L".status";
    ::DeleteFileW(marker.c_str());
    const std::string script = "xdotool " + arguments + "; echo $? > '" + UnixPath(marker) + "'";
    std::wstring line = L"\"Z:\\bin\\sh\" -c \"" + Utf8ToWide(script) + L"\"";
    STARTUPINFOW startup{sizeof(startup)};
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(L"Z:\\bin\\sh", line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &started))
        return false;
    if (started.hThread) ::CloseHandle(started.hThread);
    if (started.hProcess) ::CloseHandle(started.hProcess);
    const auto end = Clock::now() + std::chrono::seconds(30);
    while (Clock::now() < end && ReadBytes(marker).empty()) ::Sleep(20);
    const std::string status = ReadBytes(marker);
    ::DeleteFileW(marker.c_str());
    return status.rfind("0", 0) == 0;
}

}  // namespace

RunningPallendo::RunningPallendo(const std::vector<std::wstring>& arguments,
                                 const std::wstring& program) {
    const std::wstring path = program.empty() ? ProductPath() : program;
    std::wstring line = QuotedCommandLine(path, arguments);
    STARTUPINFOW startup{sizeof(startup)};
    if (!::CreateProcessW(path.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info_))
        throw std::runtime_error("the program could not be started");
}

RunningPallendo::~RunningPallendo() {
    if (::WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
        ::TerminateProcess(info_.hProcess, 1);
        ::WaitForSingleObject(info_.hProcess, 10000);
    }
    ::CloseHandle(info_.hThread);
    ::CloseHandle(info_.hProcess);
}

HWND RunningPallendo::Window(std::chrono::milliseconds deadline) {
    if (window_ && ::IsWindow(window_)) return window_;
    const auto end = Clock::now() + deadline;
    while (Clock::now() < end) {
        for (HWND window : TopLevelWindowsOf(info_.dwProcessId)) {
            if (SameClass(ClassOf(window), L"TPallendoForm")) {
                window_ = window;
                Settle();
                return window_;
            }
        }
        if (::WaitForSingleObject(info_.hProcess, 50) == WAIT_OBJECT_0) return nullptr;
    }
    return nullptr;
}

void RunningPallendo::Settle() {
    DWORD_PTR result = 0;
    if (window_) ::SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result);
}

HWND RunningPallendo::Control(const std::wstring& className, const std::wstring& caption, int nth) {
    for (HWND child : ChildrenOf(Window())) {
        if (!SameClass(ClassOf(child), className)) continue;
        if (!caption.empty() && Text(child) != caption) continue;
        if (nth-- == 0) return child;
    }
    return nullptr;
}

void RunningPallendo::ShowPage(int index) {
    ::SendMessageW(Control(WC_TABCONTROLW), TCM_SETCURFOCUS, index, 0);
    Settle();
}

void RunningPallendo::Click(HWND button) {
    // Delivered like a sent message, without waiting: a click that opens a box returns only when
    // the box closes.
    ::SendNotifyMessageW(button, BM_CLICK, 0, 0);
}

bool RunningPallendo::ClickAndWait(HWND button) {
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_NORMAL, 30000, &result) != 0;
}

void RunningPallendo::Type(HWND field, const std::wstring& text) {
    // A drop-down combo box is typed into through its edit field. Clicks and characters are sent,
    // so each is handled before the next; Tab goes through the program's message loop, as a key
    // does.
    if (HWND inner = ::FindWindowExW(field, nullptr, WC_EDITW, nullptr)) field = inner;
    ::SendMessageW(field, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    ::SendMessageW(field, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    ::SendMessageW(field, EM_SETSEL, 0, -1);
    if (text.empty()) ::SendMessageW(field, WM_CLEAR, 0, 0);
    for (wchar_t c : text) ::SendMessageW(field, WM_CHAR, c, 1);
    PostKey(field, VK_TAB);
    const auto end = Clock::now() + std::chrono::seconds(30);
    while (Clock::now() < end && FocusedControl() == field) ::Sleep(10);
    Settle();
}

HWND RunningPallendo::FocusedControl() const {
    GUITHREADINFO gui{sizeof(gui)};
    return ::GetGUIThreadInfo(info_.dwThreadId, &gui) ? gui.hwndFocus : nullptr;
}

std::wstring RunningPallendo::Text(HWND control) {
    DWORD_PTR length = 0;
    ::SendMessageTimeoutW(control, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 10000, &length);
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    ::SendMessageTimeoutW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                          SMTO_NORMAL, 10000, &copied);
    text.resize(copied);
    return text;
}

std::wstring RunningPallendo::StatusText(int panel) {
    HWND bar = Control(STATUSCLASSNAMEW);
    const auto length = LOWORD(::SendMessageW(bar, SB_GETTEXTLENGTHW, panel, 0));
    RemoteBuffer buffer(info_.hProcess, (length + 1) * sizeof(wchar_t));
    ::SendMessageW(bar, SB_GETTEXTW, panel, reinterpret_cast<LPARAM>(buffer.address()));
    std::wstring text(length, L'\0');
    buffer.Read(text.data(), length * sizeof(wchar_t));
    // Panels are centred with a leading tab.
    if (!text.empty() && text[0] == L'\t') text.erase(0, 1);
    return text;
}

std::wstring RunningPallendo::DescribeWindows() const {
    std::wstring text;
    ::EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            auto* s = reinterpret_cast<std::pair<DWORD, std::wstring*>*>(context);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            if (owner == s->first)
                *s->second += ClassOf(window) + L" [" + Text(window) + L"] " +
                              (::IsWindowVisible(window) ? L"visible" : L"hidden") + L"\n";
            return TRUE;
        },
        reinterpret_cast<LPARAM>(new std::pair<DWORD, std::wstring*>(info_.dwProcessId, &text)));
    return text;
}

HWND RunningPallendo::WaitForBox(std::chrono::milliseconds deadline) {
    const auto end = Clock::now() + deadline;
    while (Clock::now() < end) {
        for (HWND window : TopLevelWindowsOf(info_.dwProcessId))
            if (ClassOf(window) == L"#32770") return window;
        ::Sleep(20);
    }
    return nullptr;
}

std::wstring RunningPallendo::BoxText(HWND box) {
    std::wstring joined;
    for (HWND child : ChildrenOf(box)) {
        if (!SameClass(ClassOf(child), WC_STATICW)) continue;
        const std::wstring text = Text(child);
        if (text.empty()) continue;
        if (!joined.empty()) joined += L"|";
        joined += text;
    }
    return joined;
}

void RunningPallendo::Answer(HWND box, int buttonId) {
    HWND button = ::GetDlgItem(box, buttonId);
    if (!button) throw std::runtime_error("the box has no such button");
    ::PostMessageW(button, BM_CLICK, 0, 0);
}

bool RunningPallendo::CloseAndWait(std::chrono::milliseconds deadline) {
    if (HWND window = Window(std::chrono::seconds(1))) ::PostMessageW(window, WM_CLOSE, 0, 0);
    return ::WaitForSingleObject(info_.hProcess, static_cast<DWORD>(deadline.count())) ==
           WAIT_OBJECT_0;
}

void RunningPallendo::Drop(const std::vector<std::wstring>& paths) {
    // Explorer hands a dropped file list over as memory inside the receiving process. The list is
    // built there as fixed memory, which the drop functions accept as the drop handle.
    std::wstring list;
    for (const std::wstring& path : paths) list += path + L'\0';
    list += L'\0';
    DROPFILES header{};
    header.pFiles = sizeof(DROPFILES);
    header.fWide = TRUE;
    std::string bytes(reinterpret_cast<const char*>(&header), sizeof(header));
    bytes.append(reinterpret_cast<const char*>(list.data()), list.size() * sizeof(wchar_t));
    RemoteBuffer buffer(info_.hProcess, bytes.size());
    buffer.Write(bytes.data(), bytes.size());
    buffer.Keep();  // the receiver releases the list when it has taken the files
    // Queued among the sent messages rather than posted: the Settle sent after it is answered only
    // once the drop has been handled (a sent message overtakes posted ones).
    ::SendNotifyMessageW(Window(), WM_DROPFILES, reinterpret_cast<WPARAM>(buffer.address()), 0);
    Settle();
}

bool RunningPallendo::PointIntoWindow() {
    // Over the clock panel of the status bar, where a pointer does nothing.
    RECT bar{};
    ::GetWindowRect(Control(STATUSCLASSNAMEW), &bar);
    const int x = bar.left + 20, y = (bar.top + bar.bottom) / 2;
    return RunXdotool("mousemove " + std::to_string(x) + " " + std::to_string(y));
}

bool RunningPallendo::PressKeys(const std::string& keys) {
    const bool done = RunXdotool("key --delay 60 " + keys);
    Settle();
    return done;
}

bool RunningPallendo::TypeKeys(const std::string& text) {
    const bool done = RunXdotool("type --delay 60 '" + text + "'");
    Settle();
    return done;
}

bool RunningPallendo::WaitUntil(const std::function<bool()>& condition,
                                std::chrono::milliseconds deadline) {
    const auto end = Clock::now() + deadline;
    while (!condition()) {
        if (Clock::now() > end) return false;
        ::Sleep(20);
    }
    return true;
}

std::wstring ProductSettingsFile() {
    return SettingsFilePath(kSettingsFolderName, ProductPath());
}
