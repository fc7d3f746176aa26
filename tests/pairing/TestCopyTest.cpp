// A combination test on a document large enough that its copy takes a while: the window keeps
// answering, a progress window with a cancel button shows, and a cancel or a close in the middle
// leaves nothing behind and starts nothing.
#include <windows.h>
#include <winioctl.h>

#include <gtest/gtest.h>

#include <commctrl.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "PairingFixture.h"
#include "shell/Handles.h"
#include "shell/PlatformError.h"
#include "shell/Text.h"
#include "shell/WindowQueries.h"

namespace {

using Args = std::vector<std::wstring>;
using namespace std::chrono_literals;

LARGE_INTEGER Offset(long long offset) {
    LARGE_INTEGER at{};
    at.QuadPart = offset;
    return at;
}

// A file of the given size that takes no room: its content is one hole, read back as zeros.
void WriteSparse(const std::wstring& path, long long size) {
    const UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file);
    DWORD returned = 0;
    ::DeviceIoControl(file.get(), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
    EXPECT_TRUE(::SetFilePointerEx(file.get(), Offset(size), nullptr, FILE_BEGIN));
    EXPECT_TRUE(::SetEndOfFile(file.get()));
}

// Writes `text` at `offset` of an existing file, and reads back what is there.
void WriteAt(const std::wstring& path, long long offset, const std::string& text) {
    const UniqueFile file(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(file);
    DWORD written = 0;
    EXPECT_TRUE(::SetFilePointerEx(file.get(), Offset(offset), nullptr, FILE_BEGIN));
    EXPECT_TRUE(
        ::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr));
}
std::string ReadAt(const std::wstring& path, long long offset, std::size_t length) {
    const UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
    if (!file) return {};
    std::string text(length, '\0');
    DWORD read = 0;
    ::SetFilePointerEx(file.get(), Offset(offset), nullptr, FILE_BEGIN);
    ::ReadFile(file.get(), text.data(), static_cast<DWORD>(length), &read, nullptr);
    text.resize(read);
    return text;
}

FILETIME LastWriteOf(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

long long FreeBytesOn(const std::wstring& folder) {
    ULARGE_INTEGER available{};
    ::GetDiskFreeSpaceExW(folder.c_str(), &available, nullptr, nullptr);
    return static_cast<long long>(available.QuadPart);
}

long long SizeOf(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// What another thread of the test sees of the window while the copy runs.
struct Observation {
    std::atomic<bool> over{false};  // the test's click has returned
    std::atomic<bool> progressShown{false};
    std::atomic<bool> answered{false};
    std::atomic<bool> mainDisabled{false};
    std::wstring fileNameShown;
    HWND cancelButton = nullptr;
    int barPosition = 0;         // the first figure the bar showed
    long long partialSize = -1;  // the copy's size then
};

// The visible top-level window of the thread that the main window owns: the copy's progress.
HWND ProgressWindowOf(HWND main) {
    for (HWND window : ThreadWindows(::GetWindowThreadProcessId(main, nullptr)))
        if (::GetWindow(window, GW_OWNER) == main && ::IsWindowVisible(window)) return window;
    return nullptr;
}

// Waits for the progress window, looks at it and at the main window, then does `act` to it.
// `copy` names the test copy being written.
std::thread Observe(HWND main, Observation& seen, std::function<std::wstring()> copy,
                    std::function<void(HWND progress)> act) {
    return std::thread([main, &seen, copy = std::move(copy), act = std::move(act)] {
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
        HWND bar = nullptr;
        for (HWND child = ::GetWindow(progress, GW_CHILD); child;
             child = ::GetWindow(child, GW_HWNDNEXT)) {
            const std::wstring text = WindowText(child);
            if (text == L"キャンセル") seen.cancelButton = child;
            if (text.find(L".") != std::wstring::npos) seen.fileNameShown = text;
            if (HasClass(child, PROGRESS_CLASSW)) bar = child;
        }
        // The bar moves from no figure to one as the copy goes on.
        while (bar && !seen.over && std::chrono::steady_clock::now() < deadline) {
            seen.barPosition = static_cast<int>(::SendMessageW(bar, PBM_GETPOS, 0, 0));
            if (seen.barPosition > 0) break;
            std::this_thread::sleep_for(10ms);
        }
        seen.partialSize = SizeOf(copy());
        act(progress);
    });
}

class TestCopy : public PairingFixture {
protected:
    void SetUp() override {
        PairingFixture::SetUp();
        WriteSparse(large, 3LL << 30);
    }
    // Runs the combination test on the large document. While it copies, another thread looks at
    // the window (what it sees lands in `seen`) and then does `act` to the progress window.
    TPallendoForm& testLargeDocument(std::function<void(HWND progress)> act) {
        TPallendoForm& f = pairWithProbe(large);
        std::thread observer = Observe(
            f.hwnd, seen, [&f] { return f.TempFileName1; }, std::move(act));
        f.ButtonTest12.click();
        seen.over = true;
        observer.join();
        return f;
    }

    // A copy of this takes seconds, even from the file cache.
    TestFolder folder{L"large copy"};
    const std::wstring large = folder / L"long film.mkv";
    Observation seen;
};

TEST_F(TestCopy, ACancelledCopyLeavesNothingAndStartsNothing) {
    Probe probe;
    TPallendoForm& f = testLargeDocument([this](HWND) {
        if (seen.cancelButton) ::SendMessageW(seen.cancelButton, BM_CLICK, 0, 0);
    });

    ASSERT_TRUE(seen.progressShown);
    EXPECT_TRUE(seen.answered) << "the window did not answer during the copy";
    EXPECT_TRUE(seen.mainDisabled);
    EXPECT_EQ(seen.fileNameShown, L"long film.mkv");
    ASSERT_NE(seen.cancelButton, nullptr);
    // The cancel came in the middle of the copy, and the copy stopped there.
    EXPECT_GT(seen.barPosition, 0);
    EXPECT_LT(seen.barPosition, 1000);
    EXPECT_GT(seen.partialSize, 0);
    EXPECT_LT(seen.partialSize, 3LL << 30);

    EXPECT_FALSE(Exists(f.TempFileName1));
    EXPECT_FALSE(probe.recorded());
    EXPECT_TRUE(prompter.asked.empty());
    EXPECT_FALSE(f.GridPanel6.enabled());
    EXPECT_EQ(f.ButtonCreate3.imageIndex(), -1);
    EXPECT_EQ(shownMessage(), L"long film.mkv を probe.exe で開けませんでした");
    EXPECT_TRUE(::IsWindowEnabled(f.hwnd));
    EXPECT_FALSE(::IsWindow(ProgressWindowOf(f.hwnd)));
    EXPECT_TRUE(f.ButtonTest12.enabled());
}

TEST_F(TestCopy, ClosingTheWindowDuringTheCopyCancelsItAndThenCloses) {
    Probe probe;
    // The progress window's owner is the main window.
    TPallendoForm& f = testLargeDocument(
        [](HWND progress) { ::PostMessageW(::GetWindow(progress, GW_OWNER), WM_CLOSE, 0, 0); });
    const std::wstring copy = f.TempFileName1;

    ASSERT_TRUE(seen.progressShown);
    EXPECT_FALSE(Exists(copy));
    EXPECT_FALSE(probe.recorded());
    EXPECT_TRUE(PumpUntil([&] { return f.hwnd == nullptr; }));
    EXPECT_FALSE(Exists(FolderPart(copy)));
    EXPECT_TRUE(Exists(large));
}

TEST_F(TestCopy, TheEndOfTheMessageLoopDuringTheCopyCancelsItAndReachesTheOuterLoop) {
    Probe probe;
    const DWORD thread = ::GetCurrentThreadId();
    TPallendoForm& f =
        testLargeDocument([thread](HWND) { ::PostThreadMessageW(thread, WM_QUIT, 7, 0); });

    ASSERT_TRUE(seen.progressShown);
    MSG quit{};
    EXPECT_TRUE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 7u);
    EXPECT_FALSE(Exists(f.TempFileName1));
    EXPECT_FALSE(probe.recorded());
    EXPECT_TRUE(::IsWindowEnabled(f.hwnd));
}

TEST_F(TestCopy, ALargeCopyThatCompletesIsLaunched) {
    const std::wstring target = folder / L"medium clip.mkv";
    const long long size = 256LL << 20;
    WriteSparse(target, size);
    // Marks away from the chunks' edges and at the very end show every byte in its place.
    WriteAt(target, 5'000'001, "middle");
    WriteAt(target, size - 4, "tail");
    const FILETIME written = LastWriteOf(target);
    TPallendoForm& f = pairWithProbe(target);
    Probe probe;
    f.ButtonTest12.click();
    EXPECT_EQ(probe.waitForArguments(), Args{f.TempFileName1});
    EXPECT_EQ(SizeOf(f.TempFileName1), size);
    EXPECT_EQ(ReadAt(f.TempFileName1, 5'000'001, 6), "middle");
    EXPECT_EQ(ReadAt(f.TempFileName1, size - 4, 8), "tail");
    EXPECT_EQ(ReadAt(f.TempFileName1, 5'000'000, 1), std::string(1, '\0'));
    const FILETIME copied = LastWriteOf(f.TempFileName1);
    EXPECT_EQ(copied.dwLowDateTime, written.dwLowDateTime);
    EXPECT_EQ(copied.dwHighDateTime, written.dwHighDateTime);
    EXPECT_EQ(shownMessage(), L"medium clip.mkv を probe.exe で開きました");
    EXPECT_TRUE(f.GridPanel6.enabled());
    EXPECT_TRUE(::IsWindowEnabled(f.hwnd));
}

TEST_F(TestCopy, ADiskThatFillsUpMidCopyFailsTheTestWithThePlatformsTextAndLeavesNoCopy) {
    if (SmallDisk().empty())
        GTEST_SKIP() << "the test run has no small disk to fill (it needs root)";
    // The temporary folder lies on a disk of 16 MiB; the document is larger than the whole disk.
    const std::wstring temp = SmallDisk() + L"\\temp";
    ::CreateDirectoryW(temp.c_str(), nullptr);
    const TempFolderOverride onSmallDisk(temp);
    const long long freeBefore = FreeBytesOn(temp);
    const std::wstring target = folder / L"holiday film.mkv";
    WriteSparse(target, 64LL << 20);
    TPallendoForm& f = pairWithProbe(target);
    Probe probe;
    f.ButtonTest12.click();

    const std::wstring platformText = SystemErrorText(ERROR_DISK_FULL);
    EXPECT_FALSE(platformText.empty());
    EXPECT_EQ(prompter.texts(),
              std::vector<std::wstring>{L"実行できませんでした 112\r\n" + platformText + L"\r\n" +
                                        Probe::path() + L"\r\n" + target});
    EXPECT_EQ(FolderPart(f.TempFileName1).rfind(temp, 0), 0u) << "the copy went to the small disk";
    EXPECT_FALSE(Exists(f.TempFileName1));
    EXPECT_EQ(FreeBytesOn(temp), freeBefore) << "the partial copy still takes room";
    EXPECT_FALSE(probe.recorded());
    EXPECT_FALSE(f.GridPanel6.enabled());
    EXPECT_EQ(shownMessage(), L"holiday film.mkv を probe.exe で開けませんでした");
    EXPECT_TRUE(f.ButtonTest12.enabled());
    EXPECT_TRUE(::IsWindowEnabled(f.hwnd));
}

}  // namespace
