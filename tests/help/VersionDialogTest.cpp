#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <functional>
#include <set>
#include <thread>

#include "help/VersionDialog.h"
#include "shell/Clock.h"
#include "shell/FileSystem.h"
#include "shell/Handles.h"
#include "shell/ProgramIdentity.h"
#include "shell/WindowQueries.h"
#include "support/FormFixture.h"

namespace {

using Step = std::function<void(HWND dialog)>;

// Runs steps, one per timer tick, against the version dialog while its modal loop runs. A dialog
// that is still open long after the last step is closed, so a broken key fails instead of hanging.
class DialogDriver {
public:
    explicit DialogDriver(std::deque<Step> steps) : steps_(std::move(steps)) {
        current() = this;
        timer_ = ::SetTimer(nullptr, 0, 20, &tick);
    }
    ~DialogDriver() {
        ::KillTimer(nullptr, timer_);
        current() = nullptr;
    }
    bool stepsDone() const { return steps_.empty(); }
    bool forcedClose = false;
    HWND seen = nullptr;

private:
    static DialogDriver*& current() {
        static DialogDriver* driver = nullptr;
        return driver;
    }
    // The dialog box this thread shows, if any.
    static HWND shownDialog() {
        for (HWND window : ThreadWindows(::GetCurrentThreadId()))
            if (HasClass(window, L"#32770") && ::IsWindowVisible(window)) return window;
        return nullptr;
    }
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
        DialogDriver* self = current();
        if (!self) return;
        HWND dialog = shownDialog();
        if (!dialog) return;
        self->seen = dialog;
        if (!self->steps_.empty()) {
            Step step = std::move(self->steps_.front());
            self->steps_.pop_front();
            step(dialog);
            self->lastStep_ = std::chrono::steady_clock::now();
        } else if (std::chrono::steady_clock::now() - self->lastStep_ > std::chrono::seconds(30)) {
            self->forcedClose = true;
            ::EndDialog(dialog, 0);
        }
    }

    std::deque<Step> steps_;
    UINT_PTR timer_ = 0;
    std::chrono::steady_clock::time_point lastStep_ = std::chrono::steady_clock::now();
};

void PostKey(UINT key) {
    HWND focus = ::GetFocus();
    ::PostMessageW(focus, WM_KEYDOWN, key, 1);
    ::PostMessageW(focus, WM_KEYUP, key, 0xC0000001);
}

// Ctrl+C as the dialog's thread sees it: Ctrl held in the thread's key state, C pressed.
void PostControlC() {
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = keys[VK_LCONTROL] = 0x80;
    ::SetKeyboardState(keys);
    PostKey('C');
}

void ReleaseControl() {
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = keys[VK_LCONTROL] = 0;
    ::SetKeyboardState(keys);
}

std::wstring ClipboardText() {
    const OpenedClipboard clipboard(nullptr);
    if (!clipboard) return L"<clipboard not opened>";
    HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
    if (!data) return {};
    const LockedGlobal text(data);
    return static_cast<const wchar_t*>(text.get());
}

void SetClipboardText(const std::wstring& text) {
    const OpenedClipboard clipboard(nullptr);
    ASSERT_TRUE(clipboard);
    ::EmptyClipboard();
    UniqueGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t)));
    {
        const LockedGlobal locked(memory.get());
        std::copy_n(text.c_str(), text.size() + 1, static_cast<wchar_t*>(locked.get()));
    }
    // The clipboard owns the memory once it has taken it.
    if (::SetClipboardData(CF_UNICODETEXT, memory.get())) memory.release();
}

RECT ClientRectOf(HWND child, HWND dialog) {
    RECT r{};
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

class VersionDialog : public FormFixture {
protected:
    void SetUp() override {
        FormFixture::SetUp();
        // 10 May 2024 14:05:30 UTC, as the local clock shows it in this prefix's zone.
        SYSTEMTIME utc{2024, 5, 5, 10, 14, 5, 30, 0};
        ::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &fixedNow);
        UseClock([this] { return fixedNow; });
    }
    void TearDown() override {
        UseClock({});
        FormFixture::TearDown();
    }
    std::wstring expectedText() const {
        return L"パレンド V1.1 () Release Build\r\n" + ExecutablePath() + L"\r\nCurrentScreen " +
               std::to_wstring(::GetSystemMetrics(SM_CXSCREEN)) + L" x " +
               std::to_wstring(::GetSystemMetrics(SM_CYSCREEN)) + L"\r\n\r\n" +
               std::wstring(kRightsNotice) + L"\r\n" + std::wstring(kContactAddress) + L"\r\n" +
               std::wstring(kHomePageUrl) +
               L"\r\n\r\nPeace for Ukraine\r\n10 травня 2024 пʼятниця 17:05, Ukraine Standard "
               L"Time (in Daylight "
               L"Saving Time)\r\n";
    }
    SYSTEMTIME fixedNow{};
};

TEST_F(VersionDialog, HasItsTenLinesForTheMomentItIsOpened) {
    // The test program carries no version resource: its parentheses stay empty.
    EXPECT_EQ(VersionDialogText(), expectedText());
    // The maker's addresses name no real site.
    for (std::wstring_view address : {kContactAddress, kHomePageUrl, kProductPageUrl})
        EXPECT_TRUE(address.find(L"example.jp") != std::wstring_view::npos ||
                    address.find(L"example.com") != std::wstring_view::npos);
}

// What the platform's message box looks like, checked on the open dialog.
void CheckMessageBoxLayout(HWND dialog, const std::wstring& expectedText) {
    EXPECT_EQ(WindowText(dialog), L"パレンド");
    const LONG style = ::GetWindowLongW(dialog, GWL_STYLE);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_FALSE(style & (WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX))
        << "no caption buttons";
    EXPECT_TRUE(::GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);

    RECT window{};
    ::GetWindowRect(dialog, &window);
    const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
    EXPECT_LE(std::abs((window.left + window.right) - screenWidth), 1) << "centred on the screen";
    EXPECT_LE(std::abs((window.top + window.bottom) - ::GetSystemMetrics(SM_CYSCREEN)), 1);

    HWND icon = ::GetDlgItem(dialog, 20);
    HWND text = ::GetDlgItem(dialog, 0xFFFF);
    HWND ok = ::GetDlgItem(dialog, IDOK);
    ASSERT_TRUE(icon && text && ok);
    const UINT dpi = ::GetDpiForWindow(dialog);
    EXPECT_TRUE(::SendMessageW(icon, STM_GETICON, 0, 0));
    const RECT iconRect = ClientRectOf(icon, dialog);
    EXPECT_EQ(iconRect.right - iconRect.left, ::GetSystemMetricsForDpi(SM_CXICON, dpi));

    EXPECT_EQ(WindowText(text), expectedText);
    const RECT textRect = ClientRectOf(text, dialog);
    EXPECT_GT(textRect.left, iconRect.right) << "the text is right of the icon";
    EXPECT_LE(textRect.right - textRect.left, screenWidth / 2);
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    ::SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi);
    LOGFONTW font{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(text, WM_GETFONT, 0, 0)), sizeof(font),
                 &font);
    EXPECT_STREQ(font.lfFaceName, metrics.lfMessageFont.lfFaceName) << "the message font";

    EXPECT_EQ(WindowText(ok), L"OK");
    EXPECT_EQ(::GetWindowLongW(ok, GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    EXPECT_EQ(LOWORD(::SendMessageW(dialog, DM_GETDEFID, 0, 0)), IDOK);
    EXPECT_EQ(::GetFocus(), ok);
    RECT client{};
    ::GetClientRect(dialog, &client);
    const RECT okRect = ClientRectOf(ok, dialog);
    EXPECT_LE(std::abs((okRect.left + okRect.right) - (textRect.left + textRect.right)), 1)
        << "the button is centred under the text";
    EXPECT_GE(okRect.top, textRect.bottom) << "below the text";
    EXPECT_LE(okRect.bottom, client.bottom);
    ::SendMessageW(ok, WM_SETCURSOR, reinterpret_cast<WPARAM>(ok),
                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_HAND));
}

TEST_F(VersionDialog, IsLaidOutLikeAMessageBoxAndEnterClosesIt) {
    createForm();
    bool checked = false;
    DialogDriver driver({[&](HWND dialog) {
                             checked = true;
                             EXPECT_FALSE(::IsWindowEnabled(form->hwnd)) << "modal";
                             CheckMessageBoxLayout(dialog, expectedText());
                         },
                         [](HWND) { PostKey(VK_RETURN); }});
    form->Button5.click();
    EXPECT_TRUE(checked);
    EXPECT_TRUE(driver.stepsDone());
    EXPECT_FALSE(driver.forcedClose) << "Enter did not close the dialog";
    EXPECT_FALSE(::IsWindow(driver.seen)) << "destroyed after closing";
    EXPECT_TRUE(::IsWindowEnabled(form->hwnd));
}

TEST_F(VersionDialog, EnterAndEscPressedWhileTheClockTicksStillCloseIt) {
    createForm();
    for (UINT key : {VK_RETURN, VK_ESCAPE}) {
        SCOPED_TRACE(key);
        // The clock's tick handles the waiting key itself, inside the dialog's own loop.
        DialogDriver driver({[&](HWND) {
            PostKey(key);
            form->Timer1Timer();
        }});
        form->Button5.click();
        EXPECT_TRUE(driver.stepsDone());
        EXPECT_FALSE(driver.forcedClose) << "the key did not reach the dialog";
    }
}

TEST_F(VersionDialog, ALongPathWrapsAtHalfTheScreenAndANewScaleLaysItOutAgain) {
    createForm();
    // A program deep in folders whose names hold no blank to wrap at.
    std::wstring path = L"C:\\";
    while (path.size() < 400) path += L"Verylongfoldername\\";
    const std::wstring text = L"パレンド V1.1 () Release Build\r\n" + path + L"Pallendo.exe\r\n";
    const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
    bool checked = false;
    DialogDriver driver(
        {[&](HWND dialog) {
             checked = true;
             CheckMessageBoxLayout(dialog, text);
             const RECT before = ClientRectOf(::GetDlgItem(dialog, 0xFFFF), dialog);
             // Moved to a monitor at 150 %: the platform suggests a rectangle of that scale.
             RECT window{};
             ::GetWindowRect(dialog, &window);
             RECT suggested{window.left, window.top,
                            window.left + (window.right - window.left) * 3 / 2,
                            window.top + (window.bottom - window.top) * 3 / 2};
             ::SendMessageW(dialog, WM_DPICHANGED, MAKEWPARAM(144, 144),
                            reinterpret_cast<LPARAM>(&suggested));
             const RECT iconRect = ClientRectOf(::GetDlgItem(dialog, 20), dialog);
             EXPECT_EQ(iconRect.right - iconRect.left, ::GetSystemMetricsForDpi(SM_CXICON, 144));
             const RECT textRect = ClientRectOf(::GetDlgItem(dialog, 0xFFFF), dialog);
             EXPECT_GT(textRect.bottom - textRect.top, before.bottom - before.top);
             EXPECT_LE(textRect.right - textRect.left, screenWidth / 2);
             const RECT okRect = ClientRectOf(::GetDlgItem(dialog, IDOK), dialog);
             EXPECT_LE(std::abs((okRect.left + okRect.right) - (textRect.left + textRect.right)),
                       1);
             EXPECT_GE(okRect.top, textRect.bottom);
             RECT moved{};
             ::GetWindowRect(dialog, &moved);
             EXPECT_LE(std::abs((moved.left + moved.right) - (suggested.left + suggested.right)), 1)
                 << "centred where the platform suggested";
         },
         [](HWND) { PostKey(VK_RETURN); }});
    ShowVersionDialog(form->hwnd, text);
    EXPECT_TRUE(checked);
    EXPECT_FALSE(driver.forcedClose);
}

TEST_F(VersionDialog, ControlCCopiesItsContentAndEscClosesIt) {
    createForm();
    SetClipboardText(L"before");
    DialogDriver driver({[](HWND) { PostControlC(); }, [](HWND) { ReleaseControl(); },
                         [](HWND) { PostKey(VK_ESCAPE); }});
    form->Button5.click();
    ReleaseControl();
    EXPECT_FALSE(driver.forcedClose) << "Esc did not close the dialog";
    const std::wstring divider = L"---------------------------\r\n";
    EXPECT_EQ(ClipboardText(), divider + L"パレンド\r\n" + divider + expectedText() + L"\r\n" +
                                   divider + L"OK   \r\n" + divider);
    EXPECT_TRUE(prompter.asked.empty());
}

TEST_F(VersionDialog, AClipboardThatCannotBeOpenedGivesTheErrorBoxAndTheDialogStays) {
    createForm();
    SetClipboardText(L"kept");
    // Another thread holds the clipboard open while Ctrl+C is pressed.
    const UniqueKernelHandle opened(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    const UniqueKernelHandle release(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::thread holder([&] {
        const OpenedClipboard clipboard(nullptr);
        ::SetEvent(opened.get());
        ::WaitForSingleObject(release.get(), 60'000);
    });
    auto letGo = [&] {
        ::SetEvent(release.get());
        if (holder.joinable()) holder.join();
    };
    const ScopeExit lettingGo(letGo);  // however the test ends
    ASSERT_EQ(::WaitForSingleObject(opened.get(), 30'000), WAIT_OBJECT_0);
    bool stillOpen = false;
    DialogDriver driver({[](HWND) { PostControlC(); }, [](HWND) { ReleaseControl(); },
                         [&](HWND dialog) { stillOpen = ::IsWindowVisible(dialog); },
                         [](HWND) { PostKey(VK_ESCAPE); }});
    form->Button5.click();
    ReleaseControl();
    letGo();
    EXPECT_TRUE(stillOpen);
    EXPECT_FALSE(driver.forcedClose);
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].kind, L"box");
    EXPECT_EQ(prompter.asked[0].flags, static_cast<UINT>(MB_OK | MB_ICONSTOP));
    EXPECT_EQ(prompter.asked[0].text.rfind(L"Cannot open clipboard", 0), 0u)
        << prompter.asked[0].text.c_str();
    EXPECT_EQ(ClipboardText(), L"kept");
}

// The colour of a pixel of a 32-bit top-down bitmap as 0x00BBGGRR.
std::uint32_t Pixel(const std::uint32_t* bits, int width, int x, int y) {
    const std::uint32_t bgra = bits[y * width + x];
    return ((bgra & 0xFF) << 16) | (bgra & 0xFF00) | ((bgra >> 16) & 0xFF);
}

bool Near(std::uint32_t a, std::uint32_t b, int tolerance) {
    for (int shift = 0; shift < 24; shift += 8)
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) -
                     static_cast<int>((b >> shift) & 0xFF)) > tolerance)
            return false;
    return true;
}

TEST(VersionBackground, IsAGradientFromWhiteToANewColourInANewDirectionAtEveryPaint) {
    constexpr int kWidth = 200, kHeight = 100;
    const UniqueWindow window(::CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, kWidth, kHeight,
                                                nullptr, nullptr, nullptr, nullptr));
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), kWidth, -kHeight, 1, 32, BI_RGB};
    void* bits = nullptr;
    const UniqueBitmap bitmap(
        ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const UniqueMemoryDC dc(::CreateCompatibleDC(nullptr));
    const SelectedObject drawnInto(dc.get(), bitmap.get());
    const auto* pixels = static_cast<const std::uint32_t*>(bits);

    std::set<std::uint32_t> colours;
    int horizontal = 0, vertical = 0;
    for (int paint = 0; paint < 24; ++paint) {
        const std::uint32_t colour = PaintVersionBackground(window.get(), dc.get());
        ::GdiFlush();
        ASSERT_LE(colour, 0xFFFFFEu);
        colours.insert(colour);
        EXPECT_EQ(Pixel(pixels, kWidth, 0, 0), 0xFFFFFFu);
        EXPECT_TRUE(Near(Pixel(pixels, kWidth, kWidth - 1, kHeight - 1), colour, 3));
        const bool leftToRight = colour & 1;
        (leftToRight ? horizontal : vertical)++;
        // Left to right the whole left edge is white and the right edge the colour; top to bottom
        // the top edge is white and the bottom edge the colour.
        EXPECT_EQ(
            Pixel(pixels, kWidth, leftToRight ? 0 : kWidth - 1, leftToRight ? kHeight - 1 : 0),
            0xFFFFFFu);
        EXPECT_TRUE(
            Near(Pixel(pixels, kWidth, leftToRight ? kWidth - 1 : 0, leftToRight ? 0 : kHeight - 1),
                 colour, 3));
    }
    EXPECT_GT(colours.size(), 20u);
    EXPECT_GT(horizontal, 0);
    EXPECT_GT(vertical, 0);
}

}  // namespace
