#include "support/ProductProcess.h"

#include <commctrl.h>

#include <algorithm>

#include "app/ControlTable.h"
#include "support/TestSupport.h"

namespace {
struct Search {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindMainWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    wchar_t cls[64] = {};
    ::GetClassNameW(window, cls, 64);
    if (owner == search->processId && std::wstring(cls) == L"TPallendoForm" &&
        ::IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

struct ChildSearch {
    int id;
    HWND found;
};

BOOL CALLBACK FindChild(HWND child, LPARAM param) {
    auto* search = reinterpret_cast<ChildSearch*>(param);
    if (::GetDlgCtrlID(child) == search->id && ::GetParent(::GetParent(child)) != nullptr) {
        wchar_t cls[32] = {};
        ::GetClassNameW(::GetParent(child), cls, 32);
        if (std::wstring(cls) == L"TPallendoPage") {
            search->found = child;
            return FALSE;
        }
    }
    return TRUE;
}
}  // namespace

ProductProcess::ProductProcess(const std::wstring& program,
                               const std::vector<std::wstring>& arguments) {
    std::wstring commandLine = L"\"" + program + L"\"";
    for (const std::wstring& argument : arguments) commandLine += L" \"" + argument + L"\"";
    STARTUPINFOW startup{sizeof(startup)};
    if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &process_))
        return;
    PumpUntil(
        [this] {
            Search search{process_.dwProcessId, nullptr};
            ::EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&search));
            window_ = search.found;
            return window_ != nullptr ||
                   ::WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0;
        },
        std::chrono::seconds(60));
}

ProductProcess::~ProductProcess() {
    if (process_.hProcess) {
        if (::WaitForSingleObject(process_.hProcess, 0) != WAIT_OBJECT_0)
            ::TerminateProcess(process_.hProcess, 1);
        ::CloseHandle(process_.hProcess);
        ::CloseHandle(process_.hThread);
    }
}

HWND ProductProcess::control(std::wstring_view name) const {
    for (const ControlSpec& spec : ControlTable()) {
        if (spec.name != name) continue;
        ChildSearch search{IdOfSpec(spec), nullptr};
        ::EnumChildWindows(window_, FindChild, reinterpret_cast<LPARAM>(&search));
        return search.found;
    }
    return nullptr;
}

std::wstring ProductProcess::text(std::wstring_view name) const {
    HWND target = control(name);
    const LRESULT length = ::SendMessageW(target, WM_GETTEXTLENGTH, 0, 0);
    std::wstring value(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied =
        ::SendMessageW(target, WM_GETTEXT, value.size(), reinterpret_cast<LPARAM>(value.data()));
    value.resize(static_cast<std::size_t>(copied));
    return value;
}

bool ProductProcess::enabled(std::wstring_view name) const {
    return ::IsWindowEnabled(control(name)) != FALSE;
}

bool ProductProcess::checked(std::wstring_view name) const {
    return ::SendMessageW(control(name), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::vector<std::wstring> ProductProcess::comboItems(std::wstring_view name) const {
    HWND combo = control(name);
    std::vector<std::wstring> items;
    const LRESULT count = ::SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        // CB_GETLBTEXT is marshalled between processes like WM_GETTEXT.
        const LRESULT length = ::SendMessageW(combo, CB_GETLBTEXTLEN, i, 0);
        std::wstring item(static_cast<std::size_t>(length) + 1, L'\0');
        const LRESULT copied =
            ::SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()));
        item.resize(copied < 0 ? 0 : static_cast<std::size_t>(copied));
        items.push_back(item);
    }
    return items;
}

std::wstring ProductProcess::statusText(int panel) const {
    HWND bar = ::FindWindowExW(window_, nullptr, STATUSCLASSNAMEW, nullptr);
    constexpr std::size_t kChars = 1024;
    void* remote = ::VirtualAllocEx(process_.hProcess, nullptr, kChars * sizeof(wchar_t),
                                    MEM_COMMIT, PAGE_READWRITE);
    if (!remote) return {};
    ::SendMessageW(bar, SB_GETTEXTW, panel, reinterpret_cast<LPARAM>(remote));
    std::wstring value(kChars, L'\0');
    SIZE_T got = 0;
    ::ReadProcessMemory(process_.hProcess, remote, value.data(), kChars * sizeof(wchar_t), &got);
    ::VirtualFreeEx(process_.hProcess, remote, 0, MEM_RELEASE);
    value.resize(std::min(value.find(L'\0'), value.size()));
    if (!value.empty() && value.front() == L'\t') value.erase(0, 1);  // the tab that centres it
    return value;
}

bool ProductProcess::Close(std::chrono::milliseconds deadline) {
    if (!process_.hProcess) return false;
    if (window_) ::PostMessageW(window_, WM_CLOSE, 0, 0);
    return PumpUntil(
        [this] { return ::WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0; }, deadline);
}
