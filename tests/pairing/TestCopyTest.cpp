// A combination test on a document large enough that its copy takes a while: the window keeps
// answering, a progress window with a cancel button shows, and a cancel or a close in the middle
// leaves nothing behind and starts nothing.
#include <windows.h>
#include <winioctl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "PairingFixture.h"
#include "shell/Text.h"

namespace {

using Args = std::vector<std::wstring>;
using namespace std::chrono_literals;

// A file of the given size that takes no room: its content is one hole, read back as zeros.
void WriteSparse(const std::wstring& path, long long size) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD returned = 0;
    ::DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
    LARGE_INTEGER end{};
    end.QuadPart = size;
    EXPECT_TRUE(::SetFilePointerEx(file, end, nullptr, FILE_BEGIN));
    EXPECT_TRUE(::SetEndOfFile(file));
    ::CloseHandle(file);
}

long long SizeOf(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::wstring TextOf(HWND window) {
    wchar_t text[512] = {};
    ::GetWindowTextW(window, text, 512);
    return text;
}

// What another thread of the test sees of the window while the copy runs.
struct Observation {
    std::atomic<bool> over{false};  // the test's click has returned
    std::atomic<bool> progressShown{false};
    std::atomic<bool> answered{false};
    std::atomic<bool> mainDisabled{false};
    std::wstring fileNameShown;
    HWND cancelButton = nullptr;
};

// The visible top-level window of the thread that the main window owns: the copy's progress.
HWND ProgressWindowOf(HWND main) {
    struct Search {
        HWND main, found;
    } search{main, nullptr};
    ::EnumThreadWindows(
        ::GetWindowThreadProcessId(main, nullptr),
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            if (::GetWindow(window, GW_OWNER) != s->main || !::IsWindowVisible(window)) return TRUE;
            s->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Waits for the progress window, looks at it and at the main window, then does `act` to it.
std::thread Observe(HWND main, Observation& seen, std::function<void(HWND progress)> act) {
    return std::thread([main, &seen, act = std::move(act)] {
        HWND progress = nullptr;
        const auto deadline = std::chrono::steady_clock::now() + 60s;
        while (!(progress = ProgressWindowOf(main)) && !seen.over &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(10ms);
        if (!progress) return;
        seen.progressShown = true;
        DWORD_PTR result = 0;
        seen.answered = ::SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result) != 0;
        seen.mainDisabled = !::IsWindowEnabled(main);
        for (HWND child = ::GetWindow(progress, GW_CHILD); child;
             child = ::GetWindow(child, GW_HWNDNEXT)) {
            const std::wstring text = TextOf(child);
            if (text == L"キャンセル") seen.cancelButton = child;
            if (text.find(L".") != std::wstring::npos) seen.fileNameShown = text;
        }
        act(progress);
    });
}

class TestCopy : public PairingFixture {
protected:
    void SetUp() override {
        PairingFixture::SetUp();
        WriteSparse(large, 3LL << 30);
    }
    // A copy of this takes seconds under Wine, even from the file cache. Windows calls the copy's progress routine after
    // every chunk, so a cancel stops the copy at once; Wine 8 never calls it, so there the cancel
    // takes effect when the copy is complete, and the copy is deleted then.
    TestFolder folder{L"large copy"};
    const std::wstring large = folder / L"long film.mkv";
};

TEST_F(TestCopy, ACancelledCopyLeavesNothingAndStartsNothing) {
    TPallendoForm& f = CreateForm();
    f.Edit1.setText(large);
    SetLauncher(Probe::Path());
    Probe probe;
    Observation seen;
    std::thread observer = Observe(f.hwnd, seen, [&seen](HWND) {
        if (seen.cancelButton) ::SendMessageW(seen.cancelButton, BM_CLICK, 0, 0);
    });
    f.ButtonTest12.click();
    seen.over = true;
    observer.join();

    ASSERT_TRUE(seen.progressShown);
    EXPECT_TRUE(seen.answered) << "the window did not answer during the copy";
    EXPECT_TRUE(seen.mainDisabled);
    EXPECT_EQ(seen.fileNameShown, L"long film.mkv");
    ASSERT_NE(seen.cancelButton, nullptr);

    EXPECT_FALSE(Exists(f.TempFileName1));
    EXPECT_FALSE(probe.Recorded());
    EXPECT_TRUE(prompter.asked.empty());
    EXPECT_FALSE(f.GridPanel6.enabled());
    EXPECT_EQ(f.ButtonCreate3.imageIndex(), -1);
    EXPECT_EQ(Message(), L"long film.mkv を probe.exe で開けませんでした");
    EXPECT_TRUE(::IsWindowEnabled(f.hwnd));
    EXPECT_FALSE(::IsWindow(ProgressWindowOf(f.hwnd)));
    EXPECT_TRUE(f.ButtonTest12.enabled());
}

TEST_F(TestCopy, ClosingTheWindowDuringTheCopyCancelsItAndThenCloses) {
    TPallendoForm& f = CreateForm();
    f.Edit1.setText(large);
    SetLauncher(Probe::Path());
    Probe probe;
    Observation seen;
    std::thread observer =
        Observe(f.hwnd, seen, [main = f.hwnd](HWND) { ::PostMessageW(main, WM_CLOSE, 0, 0); });
    f.ButtonTest12.click();
    seen.over = true;
    observer.join();
    const std::wstring copy = f.TempFileName1;

    ASSERT_TRUE(seen.progressShown);
    EXPECT_FALSE(Exists(copy));
    EXPECT_FALSE(probe.Recorded());
    EXPECT_TRUE(PumpUntil([&] { return f.hwnd == nullptr; }));
    EXPECT_FALSE(Exists(FolderPart(copy)));
    EXPECT_TRUE(Exists(large));
}

TEST_F(TestCopy, TheEndOfTheMessageLoopDuringTheCopyCancelsItAndReachesTheOuterLoop) {
    TPallendoForm& f = CreateForm();
    f.Edit1.setText(large);
    SetLauncher(Probe::Path());
    Probe probe;
    Observation seen;
    const DWORD thread = ::GetCurrentThreadId();
    std::thread observer =
        Observe(f.hwnd, seen, [thread](HWND) { ::PostThreadMessageW(thread, WM_QUIT, 7, 0); });
    f.ButtonTest12.click();
    seen.over = true;
    observer.join();

    ASSERT_TRUE(seen.progressShown);
    MSG quit{};
    EXPECT_TRUE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 7u);
    EXPECT_FALSE(Exists(f.TempFileName1));
    EXPECT_FALSE(probe.Recorded());
    EXPECT_TRUE(::IsWindowEnabled(f.hwnd));
}

TEST_F(TestCopy, ALargeCopyThatCompletesIsLaunched) {
    const std::wstring target = folder / L"medium clip.mkv";
    const long long size = 256LL << 20;
    WriteSparse(target, size);
    TPallendoForm& f = CreateForm();
    f.Edit1.setText(target);
    SetLauncher(Probe::Path());
    Probe probe;
    f.ButtonTest12.click();
    EXPECT_EQ(probe.WaitForArguments(), Args{f.TempFileName1});
    EXPECT_EQ(SizeOf(f.TempFileName1), size);
    EXPECT_EQ(Message(), L"medium clip.mkv を probe.exe で開きました");
    EXPECT_TRUE(f.GridPanel6.enabled());
    EXPECT_TRUE(::IsWindowEnabled(f.hwnd));
}

}  // namespace
