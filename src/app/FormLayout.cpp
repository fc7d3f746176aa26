// Sizes and places: the window's size for its DPI, the font and sizes that follow the DPI, and
// the layout of the status bar, the tabs, the pages and the grid panels.
#include <windows.h>
#include <commctrl.h>

#include "app/ControlTable.h"
#include "app/FormFont.h"
#include "app/PallendoForm.h"

namespace {

constexpr SIZE kDesignClientSize{556, 324};
constexpr int kStatusBarHeight = 19;
constexpr int kClockPanelWidth = 120;
constexpr int kMessagePanelWidth = 500;
constexpr int kTabsMargin = 3;

}  // namespace

SIZE TPallendoForm::designFrameSize(DWORD style, DWORD exStyle, int dpi) {
    RECT r{0, 0, ::MulDiv(kDesignClientSize.cx, dpi, 96), ::MulDiv(kDesignClientSize.cy, dpi, 96)};
    ::AdjustWindowRectExForDpi(&r, style, FALSE, exStyle, static_cast<UINT>(dpi));
    return {r.right - r.left, r.bottom - r.top};
}

// The design client size at this window's DPI, until start-up places the window for good.
void TPallendoForm::sizeClientForDpi() {
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(hwnd, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(::GetWindowLongPtrW(hwnd, GWL_EXSTYLE));
    const SIZE wanted = designFrameSize(style, exStyle, dpi_);
    RECT now{};
    ::GetWindowRect(hwnd, &now);
    // The window was made for the system's DPI, normally its own as well.
    if (now.right - now.left == wanted.cx && now.bottom - now.top == wanted.cy) return;
    ::SetWindowPos(hwnd, nullptr, 0, 0, wanted.cx, wanted.cy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TPallendoForm::applyDpi(int dpi) {
    dpi_ = dpi;
    font_ = CreateFormFont(dpi_);
    // Before the first show nothing is drawn yet: the controls draw once, with the font.
    const BOOL redraw = ::IsWindowVisible(hwnd);
    // A control not made yet takes the font when it is made.
    auto setFont = [this, redraw](HWND control) {
        if (control)
            ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), redraw);
    };
    setFont(PageControl1.hwnd);
    setFont(StatusBar1.hwnd);
    for (const ControlRow& row : ControlTable()) setFont(row.control(*this).hwnd);
    fitComboBoxToFont();
    for (ImageList* list : {&ImageList1, &ImageList2, &ImageList3}) list->resize(scale(16));
    const int parts[] = {scale(kClockPanelWidth), scale(kClockPanelWidth + kMessagePanelWidth)};
    ::SendMessageW(StatusBar1.hwnd, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
}

// The combo box's field follows the font.
void TPallendoForm::fitComboBoxToFont() {
    if (ComboBox2.hwnd)
        ::SendMessageW(ComboBox2.hwnd, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1),
                       naturalHeight() - scale(6));
}

int TPallendoForm::naturalHeight() const {
    return scale(12) + scale(10);
}

void TPallendoForm::onDpiChanged(int dpi, const RECT& suggested) {
    applyDpi(dpi);
    // Start-up placing the hidden window: the rectangle it applies is the one to keep, and the
    // suggested one, scaled from it, would grow the window from one start to the next.
    if (::IsWindowVisible(hwnd)) {
        laidOut_ = {-1, -1};  // the new size is laid out for the new scale
        ::SetWindowPos(hwnd, nullptr, suggested.left, suggested.top,
                       suggested.right - suggested.left, suggested.bottom - suggested.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        if (laidOut_.cx >= 0) return;
    }
    layout();
}

// The status bar at the bottom, the tabs above it, the pages inside the tabs (the Edit page
// places its two group boxes as it is sized), then each grid panel in its container, a
// container before the panels inside it. Only what changed place moves.
void TPallendoForm::layout() {
    RECT client{};
    ::GetClientRect(hwnd, &client);
    laidOut_ = {client.right, client.bottom};
    const int statusHeight = scale(kStatusBarHeight);
    StatusBar1.place({0, client.bottom - statusHeight, client.right, client.bottom});
    const int margin = scale(kTabsMargin);
    PageControl1.place(
        {margin, margin, client.right - margin, client.bottom - statusHeight - margin});
    FormResize();
    RECT display{};
    ::GetClientRect(PageControl1.hwnd, &display);
    TabCtrl_AdjustRect(PageControl1.hwnd, FALSE, &display);
    ::MapWindowPoints(PageControl1.hwnd, hwnd, reinterpret_cast<POINT*>(&display), 2);
    for (PageId page : kPages) pageOf(page).place(display);
    layoutPanels();
    if (::IsWindowVisible(hwnd)) ::InvalidateRect(hwnd, nullptr, TRUE);
}

void TPallendoForm::layoutPanels() {
    for (const GridPanel* panel :
         {&GridPanel5, &GridPanel1, &GridPanel2, &GridPanel4, &GridPanel6, &GridPanel3})
        panel->layout(dpi_, naturalHeight(), font_.get());
}
