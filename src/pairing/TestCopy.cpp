// The combination test's copy of the target. A document can be several GB (a video for its
// player), so the copy runs on a worker thread while this thread keeps the window painting and
// the clock ticking in a modal loop. Pumping from the copy's progress routine instead would
// still freeze the window for as long as one chunk takes on a slow or network disk, and would
// run the window's handlers nested inside the platform's copy. The main window is disabled
// while the copy runs, as under a modal dialog: no second test, no change of the pair. A close
// of the window or the end of the session cancels the copy; the close then goes ahead.
#include "pairing/TestCopy.h"

#include "app/FormFont.h"

#include <commctrl.h>

#include <atomic>
#include <memory>
#include <new>

#include "shell/Handles.h"
#include "shell/MessageLoop.h"
#include "shell/ProgramIdentity.h"
#include "shell/Text.h"

namespace {

// A copy shorter than this shows nothing.
constexpr DWORD kShowProgressAfter = 500;
constexpr DWORD kRefreshInterval = 100;
constexpr int kProgressSteps = 1000;
constexpr wchar_t kProgressClass[] = L"TPallendoCopyProgress";
constexpr wchar_t kCancelCaption[] = L"キャンセル";
constexpr UINT_PTR kOwnerSubclassId = 0x7E57C0;

struct CopyJob {
    std::wstring from, to;
    std::atomic<bool> cancel{false};
    std::atomic<long long> done{0}, total{0};
    DWORD result = ERROR_SUCCESS;
    HANDLE thread = nullptr;
    bool closeRequested = false;
};

constexpr DWORD kChunk = 1 << 20;
// What a copy carries over of the source's attributes.
constexpr DWORD kCopiedAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                    FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                    FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

UniqueFile OpenSource(const std::wstring& path) {
    return UniqueFile(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
}

// The copy's path belongs to the test: an earlier copy there is replaced, as a copy does.
UniqueFile CreateTarget(const std::wstring& path) {
    return UniqueFile(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
}

// The source's content into the target, chunk by chunk, each reported in the job.
DWORD CopyChunks(CopyJob& job, HANDLE source, HANDLE target) {
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[kChunk]);
    if (!buffer) return ERROR_NOT_ENOUGH_MEMORY;
    long long done = 0;
    for (;;) {
        if (job.cancel) return ERROR_CANCELLED;
        DWORD read = 0;
        if (!::ReadFile(source, buffer.get(), kChunk, &read, nullptr)) return ::GetLastError();
        if (read == 0) return ERROR_SUCCESS;
        DWORD written = 0;
        if (!::WriteFile(target, buffer.get(), read, &written, nullptr)) return ::GetLastError();
        // A short write without an error is a full disk.
        if (written != read) return ERROR_DISK_FULL;
        done += read;
        job.done = done;
    }
}

// The source's time and attributes on the copy, which is closed on the way.
DWORD FinishCopy(const CopyJob& job, UniqueFile& target, const BY_HANDLE_FILE_INFORMATION& info) {
    if (!::SetFileTime(target.get(), nullptr, nullptr, &info.ftLastWriteTime))
        return ::GetLastError();
    // The platform's own error for a write the disk could not take shows at the close.
    if (!target.closeNow()) return ::GetLastError();
    const DWORD attributes = info.dwFileAttributes & kCopiedAttributes;
    if (attributes && !::SetFileAttributesW(job.to.c_str(), attributes)) return ::GetLastError();
    return ERROR_SUCCESS;
}

// Copies in chunks of its own, as the platform's copy does, so that every chunk reports its
// progress and a cancel stops the copy after the chunk in hand, whatever the platform's copy
// would call back. What is left of a failed copy is deleted by the caller.
DWORD CopyNow(CopyJob& job) {
    const UniqueFile source = OpenSource(job.from);
    if (!source) return ::GetLastError();
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(source.get(), &info)) return ::GetLastError();
    job.total = (static_cast<long long>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    UniqueFile target = CreateTarget(job.to);
    if (!target) return ::GetLastError();
    if (const DWORD copied = CopyChunks(job, source.get(), target.get()); copied != ERROR_SUCCESS)
        return copied;
    return FinishCopy(job, target, info);
}

DWORD WINAPI CopyThread(LPVOID data) noexcept {
    auto* job = static_cast<CopyJob*>(data);
    job->result = CopyNow(*job);
    return 0;
}

// The volume and index that identify a file, whatever spelling its path has.
bool IdentityOf(const std::wstring& path, BY_HANDLE_FILE_INFORMATION& info) {
    UniqueFile file(::CreateFileW(path.c_str(), 0,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    return file && ::GetFileInformationByHandle(file.get(), &info);
}

// A copy onto the file itself would fail and then delete the user's own file.
bool SameFile(const std::wstring& a, const std::wstring& b) {
    BY_HANDLE_FILE_INFORMATION ia{}, ib{};
    if (!IdentityOf(a, ia) || !IdentityOf(b, ib)) return false;
    return ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber &&
           ia.nFileIndexHigh == ib.nFileIndexHigh && ia.nFileIndexLow == ib.nFileIndexLow;
}

// Closing the window or ending the session while the copy runs cancels it.
LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                           DWORD_PTR data) noexcept {
    auto* job = reinterpret_cast<CopyJob*>(data);
    if (message == WM_CLOSE) {
        job->cancel = true;
        job->closeRequested = true;
        return 0;
    }
    if (message == WM_QUERYENDSESSION) {
        // The close that follows deletes the test copy: the copy must have ended by then.
        job->cancel = true;
        ::WaitForSingleObject(job->thread, INFINITE);
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}

LRESULT CALLBACK ProgressProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    auto* job = reinterpret_cast<CopyJob*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) != IDCANCEL || !job) break;
        [[fallthrough]];
    case WM_CLOSE:
        if (job) job->cancel = true;
        ::EnableWindow(::GetDlgItem(window, IDCANCEL), FALSE);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void RegisterProgressClass() {
    static const bool registered = [] {
        WNDCLASSEXW wc{sizeof(wc)};
        wc.lpfnWndProc = &ProgressProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kProgressClass;
        return ::RegisterClassExW(&wc) != 0;
    }();
    (void)registered;
}

int DpiOf(HWND owner) {
    const UINT dpi = owner ? ::GetDpiForWindow(owner) : 96;
    return static_cast<int>(dpi ? dpi : 96);
}

constexpr DWORD kProgressStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kProgressExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

// The window's place: a client area of 360 x 112 at 96 DPI, centred over the owner.
RECT ProgressFrame(HWND owner, int dpi) {
    RECT frame{0, 0, ::MulDiv(360, dpi, 96), ::MulDiv(112, dpi, 96)};
    ::AdjustWindowRectExForDpi(&frame, kProgressStyle, FALSE, kProgressExStyle,
                               static_cast<UINT>(dpi));
    const SIZE size{frame.right - frame.left, frame.bottom - frame.top};
    RECT over{};
    if (!owner || !::GetWindowRect(owner, &over)) over = {0, 0, size.cx, size.cy};
    const int left = (over.left + over.right - size.cx) / 2;
    const int top = (over.top + over.bottom - size.cy) / 2;
    return {left, top, left + size.cx, top + size.cy};
}

// The progress window: the target's file name, a progress bar and a cancel button.
class ProgressWindow {
public:
    ProgressWindow(HWND owner, CopyJob& job) : dpi_(DpiOf(owner)) {
        RegisterProgressClass();
        font_ = CreateFormFont(dpi_);
        const RECT frame = ProgressFrame(owner, dpi_);
        hwnd = ::CreateWindowExW(kProgressExStyle, kProgressClass, kApplicationTitle.data(),
                                 kProgressStyle, frame.left, frame.top, frame.right - frame.left,
                                 frame.bottom - frame.top, owner, nullptr,
                                 ::GetModuleHandleW(nullptr), nullptr);
        if (!hwnd) return;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&job));
        addChildren(FileNamePart(job.from));
        ::ShowWindow(hwnd, SW_SHOWNORMAL);
        ::SetFocus(::GetDlgItem(hwnd, IDCANCEL));
    }
    ~ProgressWindow() {
        if (hwnd) ::DestroyWindow(hwnd);
    }
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;

    void update(const CopyJob& job) {
        const long long total = job.total, done = job.done;
        if (total <= 0) return;
        if (!measured_) {
            measured_ = true;
            ::SendMessageW(bar_, PBM_SETMARQUEE, FALSE, 0);
            ::SetWindowLongPtrW(bar_, GWL_STYLE,
                                ::GetWindowLongPtrW(bar_, GWL_STYLE) & ~PBS_MARQUEE);
        }
        ::SendMessageW(bar_, PBM_SETPOS, static_cast<WPARAM>(done * kProgressSteps / total), 0);
    }

    HWND hwnd = nullptr;

private:
    // A control in the window's font; the place is at 96 DPI: left, top, width, height.
    HWND addChild(const wchar_t* cls, const wchar_t* text, DWORD style, RECT place, int id) {
        const auto scale = [this](int pixels) { return ::MulDiv(pixels, dpi_, 96); };
        HWND control =
            ::CreateWindowExW(0, cls, text, style | WS_CHILD | WS_VISIBLE, scale(place.left),
                              scale(place.top), scale(place.right), scale(place.bottom), hwnd,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                              ::GetModuleHandleW(nullptr), nullptr);
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
        return control;
    }

    void addChildren(const std::wstring& fileName) {
        addChild(WC_STATICW, fileName.c_str(), SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS,
                 {12, 12, 336, 20}, -1);
        // Moving without a figure until the copy reports its first one.
        bar_ = addChild(PROGRESS_CLASSW, L"", PBS_SMOOTH | PBS_MARQUEE, {12, 38, 336, 18}, -1);
        ::SendMessageW(bar_, PBM_SETRANGE32, 0, kProgressSteps);
        ::SendMessageW(bar_, PBM_SETMARQUEE, TRUE, 0);
        addChild(WC_BUTTONW, kCancelCaption, BS_DEFPUSHBUTTON | WS_TABSTOP, {268, 72, 80, 28},
                 IDCANCEL);
    }

    int dpi_;
    HWND bar_ = nullptr;
    bool measured_ = false;
    UniqueFont font_;
};

// Handles the waiting messages; false once WM_QUIT came (it is posted again for the outer loop).
bool Pump(HWND progress, int& quitCode) {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            quitCode = static_cast<int>(msg.wParam);
            return false;
        }
        if (progress && ::IsDialogMessageW(progress, &msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return true;
}

// Keeps the window alive until the copy's thread has ended; the progress shows after a while.
void WaitWithProgress(HWND owner, CopyJob& job) {
    const ULONGLONG start = ::GetTickCount64();
    std::unique_ptr<ProgressWindow> progress;
    bool quit = false;
    int quitCode = 0;
    for (;;) {
        const ULONGLONG elapsed = ::GetTickCount64() - start;
        if (!progress && !quit && elapsed >= kShowProgressAfter)
            progress = std::make_unique<ProgressWindow>(owner, job);
        if (progress) progress->update(job);
        const DWORD timeout = progress || elapsed >= kShowProgressAfter
                                  ? kRefreshInterval
                                  : static_cast<DWORD>(kShowProgressAfter - elapsed);
        const DWORD woke = ::MsgWaitForMultipleObjectsEx(1, &job.thread, timeout, QS_ALLINPUT,
                                                         MWMO_INPUTAVAILABLE);
        if (woke == WAIT_OBJECT_0) break;
        // After WM_QUIT the messages are still handled while the copy is being cancelled.
        if (woke == WAIT_OBJECT_0 + 1 && !Pump(progress ? progress->hwnd : nullptr, quitCode)) {
            quit = true;
            job.cancel = true;
        }
        if (woke == WAIT_FAILED) ::WaitForSingleObject(job.thread, INFINITE);
    }
    // The owner is enabled again before the progress window goes, so it gets the activation.
    ::EnableWindow(owner, TRUE);
    progress.reset();
    if (quit) ::PostQuitMessage(quitCode);
}

}  // namespace

DWORD CopyTestFile(HWND owner, const std::wstring& from, const std::wstring& to) {
    if (SameFile(from, to)) return ERROR_SUCCESS;
    CopyJob job{.from = from, .to = to};
    UniqueKernelHandle thread(::CreateThread(nullptr, 0, &CopyThread, &job, 0, nullptr));
    if (!thread) {
        job.result = CopyNow(job);
    } else {
        job.thread = thread.get();
        HWND focus = ::GetFocus();
        const bool subclassed = owner && ::SetWindowSubclass(owner, &OwnerProc, kOwnerSubclassId,
                                                             reinterpret_cast<DWORD_PTR>(&job));
        if (owner) ::EnableWindow(owner, FALSE);
        WaitWithProgress(owner, job);
        if (subclassed) ::RemoveWindowSubclass(owner, &OwnerProc, kOwnerSubclassId);
        if (focus && ::IsWindow(focus)) FocusControl(focus);
        if (job.closeRequested) ::PostMessageW(owner, WM_CLOSE, 0, 0);
    }
    // A cancel wins even over a copy that was just complete: the user asked for nothing to start.
    if (job.cancel) job.result = ERROR_CANCELLED;
    // The copy's path belongs to the test: what is there now is what the failed copy left.
    if (job.result != ERROR_SUCCESS) ::DeleteFileW(to.c_str());
    return job.result;
}
