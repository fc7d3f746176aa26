#include "support/OutsideDriver.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <stdexcept>

#include "app/PallendoForm.h"
#include "settings/SettingsPath.h"
#include "shell/FileSystem.h"
#include "shell/Text.h"
#include "shell/WindowQueries.h"
#include "support/TestSupport.h"

namespace {

using Clock = std::chrono::steady_clock;

// The main window's registered class, by which it is found.
// What a program attached to lets the driver do: read and write its memory, wait for its end.
constexpr DWORD kAttachedAccess = PROCESS_QUERY_INFORMATION | PROCESS_VM_OPERATION |
                                  PROCESS_VM_READ | PROCESS_VM_WRITE | SYNCHRONIZE;

std::wstring QuotedCommandLine(const std::wstring& program,
                               const std::vector<std::wstring>& arguments) {
    std::wstring line = L"\"" + program + L"\"";
    for (const std::wstring& argument : arguments) line += L" \"" + argument + L"\"";
    return line;
}

DWORD ProcessOf(HWND window) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    return process;
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
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;
    void* address() const { return address_; }
    void write(const void* data, size_t bytes) {
        ::WriteProcessMemory(process_, address_, data, bytes, nullptr);
    }
    void read(void* data, size_t bytes) const {
        ::ReadProcessMemory(process_, address_, data, bytes, nullptr);
    }
    void keep() { kept_ = true; }

private:
    HANDLE process_;
    void* address_ = nullptr;
    bool kept_ = false;
};

// Text Wine allocated on the process heap for its caller.
BOOL FreeOnProcessHeap(char* text) {
    return ::HeapFree(::GetProcessHeap(), 0, text);
}
using UniqueHeapText = UniqueHandle<char*, FreeOnProcessHeap>;

// The host's path of a file in the prefix (Wine's own conversion).
std::string UnixPath(const std::wstring& path) {
    using Convert = char*(CDECL*)(const wchar_t*);
    auto convert = reinterpret_cast<Convert>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!convert) return {};
    const UniqueHeapText converted(convert(path.c_str()));
    return converted ? converted.get() : "";
}

// Runs xdotool on the host and waits until it is done. Wine starts a host program but gives no
// handle to wait on, so the shell around it leaves xdotool's exit status in a file.
bool RunXdotool(const std::string& arguments) {
    static int counter = 0;
    const std::wstring marker =
        JoinPath(TempFolder(), L"pallendo-xdotool-" + std::to_wstring(::GetCurrentProcessId()) +
                                   L"-" + std::to_wstring(++counter) + L".status");
    ::DeleteFileW(marker.c_str());
    const std::string script = "xdotool " + arguments + "; echo $? > '" + UnixPath(marker) + "'";
    std::wstring line = L"\"Z:\\bin\\sh\" -c \"" + Utf8ToWide(script) + L"\"";
    STARTUPINFOW startup{sizeof(startup)};
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(L"Z:\\bin\\sh", line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &started))
        return false;
    const UniqueKernelHandle process(started.hProcess), thread(started.hThread);
    const auto end = Clock::now() + std::chrono::seconds(30);
    while (Clock::now() < end && ReadBytes(marker).empty()) ::Sleep(20);
    const std::string status = ReadBytes(marker);
    ::DeleteFileW(marker.c_str());
    return status.rfind("0", 0) == 0;
}

}  // namespace

RunningPallendo::RunningPallendo(const std::vector<std::wstring>& arguments,
                                 const std::wstring& program)
    : started_(true) {
    const std::wstring path = program.empty() ? ProductPath() : program;
    std::wstring line = QuotedCommandLine(path, arguments);
    STARTUPINFOW startup{sizeof(startup)};
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(path.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info))
        throw std::runtime_error("the program could not be started");
    process_.reset(info.hProcess);
    const UniqueKernelHandle thread(info.hThread);
    processId_ = info.dwProcessId;
    threadId_ = info.dwThreadId;
}

RunningPallendo::RunningPallendo(AlreadyRunning) {}

RunningPallendo::~RunningPallendo() {
    if (!started_ || ended(0)) return;
    ::TerminateProcess(process_.get(), 1);
    ended(10000);
}

bool RunningPallendo::ended(DWORD milliseconds) const {
    if (!process_) {
        ::Sleep(milliseconds);
        return false;
    }
    return ::WaitForSingleObject(process_.get(), milliseconds) == WAIT_OBJECT_0;
}

std::vector<HWND> RunningPallendo::shownWindows() const {
    std::vector<HWND> shown;
    for (HWND window : TopLevelWindows())
        if ((!processId_ || ProcessOf(window) == processId_) && ::IsWindowVisible(window))
            shown.push_back(window);
    return shown;
}

HWND RunningPallendo::found(HWND window) {
    window_ = window;
    if (!processId_) {
        threadId_ = ::GetWindowThreadProcessId(window, &processId_);
        process_.reset(::OpenProcess(kAttachedAccess, FALSE, processId_));
    }
    settle();
    return window_;
}

HWND RunningPallendo::window(std::chrono::milliseconds deadline) {
    if (window_ && ::IsWindow(window_)) return window_;
    const auto end = Clock::now() + deadline;
    for (;;) {
        for (HWND window : shownWindows())
            if (HasClass(window, kFormClass)) return found(window);
        if (Clock::now() >= end || ended(50)) return nullptr;
    }
}

void RunningPallendo::settle() {
    DWORD_PTR result = 0;
    if (window_) ::SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result);
}

HWND RunningPallendo::control(const std::wstring& className, const std::wstring& caption, int nth) {
    for (HWND child : ChildWindows(window())) {
        if (!HasClass(child, className)) continue;
        if (!caption.empty() && text(child) != caption) continue;
        if (nth-- == 0) return child;
    }
    return nullptr;
}

// In creation order the combo box's own edit field comes between the two fields of the form.
HWND RunningPallendo::Edit1() {
    return control(WC_EDITW, L"", 0);
}

HWND RunningPallendo::ComboBox2() {
    return control(WC_COMBOBOXW);
}

HWND RunningPallendo::Edit3() {
    return control(WC_EDITW, L"", 2);
}

HWND RunningPallendo::innerEdit(HWND comboBox) {
    return ::FindWindowExW(comboBox, nullptr, WC_EDITW, nullptr);
}

void RunningPallendo::showPage(PageId page) {
    ::SendMessageW(control(WC_TABCONTROLW), TCM_SETCURFOCUS, TabIndexOf(page), 0);
    settle();
}

void RunningPallendo::click(HWND button) {
    // Delivered like a sent message, without waiting: a click that opens a box returns only when
    // the box closes.
    ::SendNotifyMessageW(button, BM_CLICK, 0, 0);
}

bool RunningPallendo::clickAndWait(HWND button) {
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_NORMAL, 30000, &result) != 0;
}

void RunningPallendo::clickInto(HWND field) {
    ::SendMessageW(field, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    ::SendMessageW(field, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
}

void RunningPallendo::type(HWND field, const std::wstring& typed) {
    // A drop-down combo box is typed into through its edit field. Clicks and characters are sent,
    // so each is handled before the next; Tab goes through the program's message loop, as a key
    // does.
    if (HWND inner = innerEdit(field)) field = inner;
    clickInto(field);
    ::SendMessageW(field, EM_SETSEL, 0, -1);
    if (typed.empty()) ::SendMessageW(field, WM_CLEAR, 0, 0);
    for (wchar_t c : typed) ::SendMessageW(field, WM_CHAR, c, 1);
    PostKey(field, VK_TAB);
    const auto end = Clock::now() + std::chrono::seconds(30);
    while (Clock::now() < end && focusedControl() == field) ::Sleep(10);
    settle();
}

HWND RunningPallendo::focusedControl() const {
    GUITHREADINFO gui{sizeof(gui)};
    return ::GetGUIThreadInfo(threadId_, &gui) ? gui.hwndFocus : nullptr;
}

// Sent, not read with GetWindowText: that gives only a control's stored caption when the control
// belongs to another process.
std::wstring RunningPallendo::text(HWND control) {
    DWORD_PTR length = 0;
    ::SendMessageTimeoutW(control, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 10000, &length);
    std::wstring buffer(length + 1, L'\0');
    DWORD_PTR copied = 0;
    ::SendMessageTimeoutW(control, WM_GETTEXT, buffer.size(),
                          reinterpret_cast<LPARAM>(buffer.data()), SMTO_NORMAL, 10000, &copied);
    buffer.resize(copied);
    return buffer;
}

std::wstring RunningPallendo::statusText(int panel) {
    HWND bar = control(STATUSCLASSNAMEW);
    const auto length = LOWORD(::SendMessageW(bar, SB_GETTEXTLENGTHW, panel, 0));
    RemoteBuffer buffer(process_.get(), (length + 1) * sizeof(wchar_t));
    ::SendMessageW(bar, SB_GETTEXTW, panel, reinterpret_cast<LPARAM>(buffer.address()));
    std::wstring shown(length, L'\0');
    buffer.read(shown.data(), length * sizeof(wchar_t));
    // Panels are centred with a leading tab.
    if (!shown.empty() && shown[0] == L'\t') shown.erase(0, 1);
    return shown;
}

bool RunningPallendo::checked(HWND button) const {
    return ::SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::wstring RunningPallendo::describeWindows() const {
    std::wstring description;
    for (HWND window : TopLevelWindows()) {
        if (ProcessOf(window) != processId_) continue;
        description += ClassName(window) + L" [" + text(window) + L"] " +
                       (::IsWindowVisible(window) ? L"visible" : L"hidden") + L"\n";
    }
    return description;
}

HWND RunningPallendo::box() {
    for (HWND window : shownWindows())
        if (HasClass(window, L"#32770")) return window;
    return nullptr;
}

HWND RunningPallendo::waitForBox(std::chrono::milliseconds deadline) {
    const auto end = Clock::now() + deadline;
    while (Clock::now() < end) {
        if (HWND shown = box()) return shown;
        ::Sleep(20);
    }
    return nullptr;
}

std::wstring RunningPallendo::boxText(HWND box) {
    std::wstring joined;
    for (HWND child : ChildWindows(box)) {
        if (!HasClass(child, WC_STATICW)) continue;
        const std::wstring shown = text(child);
        if (shown.empty()) continue;
        if (!joined.empty()) joined += L"|";
        joined += shown;
    }
    return joined;
}

void RunningPallendo::answer(HWND box, int buttonId) {
    HWND button = ::GetDlgItem(box, buttonId);
    if (!button) throw std::runtime_error("the box has no such button");
    ::PostMessageW(button, BM_CLICK, 0, 0);
}

void RunningPallendo::close() {
    if (HWND shown = window(std::chrono::seconds(1))) ::PostMessageW(shown, WM_CLOSE, 0, 0);
}

bool RunningPallendo::closeAndWait(std::chrono::milliseconds deadline) {
    close();
    return ended(static_cast<DWORD>(deadline.count()));
}

void RunningPallendo::drop(const std::vector<std::wstring>& paths) {
    // Explorer hands a dropped file list over as memory inside the receiving process. The list is
    // built there as fixed memory, which the drop functions accept as the drop handle.
    const std::string bytes = DropBytes(paths);
    RemoteBuffer buffer(process_.get(), bytes.size());
    buffer.write(bytes.data(), bytes.size());
    buffer.keep();  // the receiver releases the list when it has taken the files
    // Queued among the sent messages rather than posted: the settle sent after it is answered only
    // once the drop has been handled (a sent message overtakes posted ones).
    ::SendNotifyMessageW(window(), WM_DROPFILES, reinterpret_cast<WPARAM>(buffer.address()), 0);
    settle();
}

bool RunningPallendo::pointIntoWindow() {
    // Over the clock panel of the status bar, where a pointer does nothing.
    RECT bar{};
    ::GetWindowRect(control(STATUSCLASSNAMEW), &bar);
    const int x = bar.left + 20, y = (bar.top + bar.bottom) / 2;
    return RunXdotool("mousemove " + std::to_string(x) + " " + std::to_string(y));
}

bool RunningPallendo::pressKeys(const std::string& keys) {
    const bool done = RunXdotool("key --delay 60 " + keys);
    settle();
    return done;
}

bool RunningPallendo::typeKeys(const std::string& typed) {
    const bool done = RunXdotool("type --delay 60 '" + typed + "'");
    settle();
    return done;
}

bool RunningPallendo::waitUntil(const std::function<bool()>& condition,
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
