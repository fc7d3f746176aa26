// The version dialog.
#include "help/VersionDialog.h"

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <random>
#include <vector>

#include "app/PallendoForm.h"
#include "help/VersionText.h"
#include "resources/ResourceIds.h"
#include "shell/Failure.h"
#include "shell/FileSystem.h"
#include "shell/Guarded.h"
#include "shell/Handles.h"
#include "shell/PlatformError.h"
#include "shell/ProgramIdentity.h"
#include "shell/SystemLibrary.h"
#include "shell/Text.h"
#include "shell/WindowQueries.h"

namespace {

constexpr int kIconId = 20;
constexpr int kTextId = 0xFFFF;
constexpr DWORD kDialogStyle =
    WS_POPUP | WS_CAPTION | DS_MODALFRAME;  // no system menu: no caption buttons
constexpr DWORD kDialogExStyle = WS_EX_TOOLWINDOW | WS_EX_DLGMODALFRAME;
constexpr std::wstring_view kDivider = L"---------------------------";

// Seeded once when the program starts, so every run paints other colours.
std::mt19937 randomColours(static_cast<std::mt19937::result_type>(
    std::chrono::high_resolution_clock::now().time_since_epoch().count()));

struct DialogState {
    std::wstring text;
    UniqueFont font;
    UniqueIcon icon;
    std::uint32_t colour = 0xFFFFFF;
};

void FillGradient(HWND dialog, HDC dc, std::uint32_t colour) {
    RECT client{};
    ::GetClientRect(dialog, &client);
    const auto channel = [&](int shift) {
        return static_cast<COLOR16>(((colour >> shift) & 0xFF) << 8);
    };
    TRIVERTEX vertices[2] = {
        {client.left, client.top, 0xFF00, 0xFF00, 0xFF00, 0},
        {client.right, client.bottom, channel(0), channel(8), channel(16), 0},
    };
    GRADIENT_RECT rect{0, 1};
    static auto* const gradientFill =
        SystemFunction<decltype(::GradientFill)>(L"msimg32.dll", "GradientFill");
    if (gradientFill)
        gradientFill(dc, vertices, 2, &rect, 1,
                     (colour & 1) ? GRADIENT_FILL_RECT_H : GRADIENT_FILL_RECT_V);
}

// The captions of the dialog's buttons, without their mnemonic marks, each followed by three
// blanks.
std::wstring ButtonCaptions(HWND dialog) {
    std::wstring buttons;
    for (HWND child : ChildWindows(dialog)) {
        if (!HasClass(child, WC_BUTTONW)) continue;
        std::wstring caption = WindowText(child);
        std::erase(caption, L'&');
        buttons += caption + L"   ";
    }
    return buttons;
}

// The dialog's content as the platform's message boxes put theirs on the clipboard.
std::wstring ClipboardText(HWND dialog) {
    const std::wstring buttons = ButtonCaptions(dialog);
    std::wstring text;
    for (const std::wstring& element :
         {std::wstring(kDivider), WindowText(dialog), std::wstring(kDivider),
          WindowText(::GetDlgItem(dialog, kTextId)), std::wstring(kDivider), buttons,
          std::wstring(kDivider)})
        text += element + L"\r\n";
    return text;
}

// The text as moveable memory, which the clipboard takes over; null when there is no memory.
UniqueGlobal GlobalText(const std::wstring& text) {
    UniqueGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t)));
    if (!memory) return memory;
    const LockedGlobal locked(memory.get());
    if (!locked.get()) return UniqueGlobal();
    std::copy_n(text.c_str(), text.size() + 1, static_cast<wchar_t*>(locked.get()));
    return memory;
}

void PutOnClipboard(HWND owner, const std::wstring& text) {
    const OpenedClipboard clipboard(owner);
    if (!clipboard) FailLastError(L"Cannot open clipboard");
    ::EmptyClipboard();
    UniqueGlobal memory = GlobalText(text);
    if (memory && ::SetClipboardData(CF_UNICODETEXT, memory.get()))
        memory.release();  // the clipboard owns it now
}

bool OnlyControlDown() {
    return ::GetKeyState(VK_CONTROL) < 0 && ::GetKeyState(VK_SHIFT) >= 0 &&
           ::GetKeyState(VK_MENU) >= 0;
}

LRESULT CALLBACK OkButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                              DWORD_PTR) noexcept {
    switch (message) {
    case WM_SETCURSOR:
        if (LOWORD(lParam) != HTCLIENT) break;
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
    case WM_KEYDOWN:
        if (wParam != 'C' || !OnlyControlDown()) break;
        return Guarded([&]() -> LRESULT {
            ::MessageBeep(MB_OK);
            HWND dialog = ::GetParent(button);
            PutOnClipboard(dialog, ClipboardText(dialog));
            return 0;
        });
    case WM_NCDESTROY: ::RemoveWindowSubclass(button, OkButtonProc, id); break;
    }
    return ::DefSubclassProc(button, message, wParam, lParam);
}

// The dialog's child with the id, made on the first layout and kept for the later ones.
HWND ChildOf(HWND dialog, const wchar_t* cls, const std::wstring& text, DWORD style, int id) {
    if (HWND existing = ::GetDlgItem(dialog, id)) return existing;
    return ::CreateWindowExW(0, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0,
                             dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             ::GetModuleHandleW(nullptr), nullptr);
}

// Where the dialog goes: centred on the screen, or, when it moves to a monitor of another
// scale, centred where the platform suggests.
RECT Centred(SIZE size, const RECT* around) {
    const RECT screen{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    const RECT& area = around ? *around : screen;
    const int left = (area.left + area.right - size.cx) / 2;
    const int top = (area.top + area.bottom - size.cy) / 2;
    return RECT{left, top, left + size.cx, top + size.cy};
}

// What the layout is made of, measured with the message font: the dialog base units, the
// text wrapped at half the screen's width, and the button's caption.
struct Measures {
    int unitX = 0, unitY = 0;
    int halfScreen = 0;
    SIZE text{}, okText{};
};

Measures Measure(HWND dialog, HFONT font, const std::wstring& text) {
    const WindowDC dc(dialog);
    const SelectedObject selected(dc.get(), font);
    constexpr wchar_t kAlphabet[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE alphabet{};
    ::GetTextExtentPoint32W(dc.get(), kAlphabet, 52, &alphabet);
    TEXTMETRICW tm{};
    ::GetTextMetricsW(dc.get(), &tm);
    Measures measures;
    measures.unitX = (alphabet.cx / 26 + 1) / 2;
    measures.unitY = tm.tmHeight;
    measures.halfScreen = ::GetSystemMetrics(SM_CXSCREEN) / 2;
    RECT textRect{0, 0, measures.halfScreen, 0};
    ::DrawTextW(dc.get(), text.c_str(), -1, &textRect,
                DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_EXPANDTABS | DT_NOPREFIX);
    measures.text = {textRect.right - textRect.left, textRect.bottom - textRect.top};
    ::GetTextExtentPoint32W(dc.get(), L"OK", 2, &measures.okText);
    return measures;
}

struct Box {
    int left = 0, top = 0, width = 0, height = 0;
};

struct Geometry {
    Box icon, text, button;
    SIZE client{};
};

// Margins and spacings from the dialog base units, the icon beside the text, one button centred
// below the text.
Geometry Arrange(const Measures& m, int iconSize) {
    const int horzMargin = ::MulDiv(8, m.unitX, 4), vertMargin = ::MulDiv(8, m.unitY, 8);
    const int horzSpacing = ::MulDiv(10, m.unitX, 4), vertSpacing = ::MulDiv(10, m.unitY, 8);
    const int buttonWidth = std::max<int>(::MulDiv(50, m.unitX, 4), m.okText.cx + 2 * horzMargin);
    const int buttonHeight = ::MulDiv(14, m.unitY, 8);
    const int textWidth = std::min<int>(m.text.cx, m.halfScreen), textHeight = m.text.cy;

    const int textLeft = horzMargin + iconSize + horzSpacing;
    const int textTop = vertMargin + std::max(0, (iconSize - textHeight) / 2);
    const int buttonLeft = std::max(horzMargin, textLeft + (textWidth - buttonWidth) / 2);
    const int buttonTop = std::max(vertMargin + iconSize, textTop + textHeight) + vertSpacing;
    Geometry g;
    g.icon = {horzMargin, vertMargin, iconSize, iconSize};
    g.text = {textLeft, textTop, textWidth, textHeight};
    g.button = {buttonLeft, buttonTop, buttonWidth, buttonHeight};
    g.client = {std::max(textLeft + textWidth + horzMargin, buttonLeft + buttonWidth + horzMargin),
                buttonTop + buttonHeight + vertMargin};
    return g;
}

void Place(HWND window, const Box& box) {
    ::SetWindowPos(window, nullptr, box.left, box.top, box.width, box.height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

// The icon, the text and the OK button where the geometry puts them; returns the button.
HWND PlaceChildren(HWND dialog, const Geometry& geometry, const std::wstring& message, HICON icon,
                   HFONT font) {
    HWND iconControl = ChildOf(dialog, WC_STATICW, L"", SS_ICON, kIconId);
    ::SendMessageW(iconControl, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    Place(iconControl, geometry.icon);
    // SS_EDITCONTROL breaks the text where the measurement broke it.
    HWND text =
        ChildOf(dialog, WC_STATICW, message, SS_LEFT | SS_NOPREFIX | SS_EDITCONTROL, kTextId);
    Place(text, geometry.text);
    HWND ok = ChildOf(dialog, WC_BUTTONW, L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, IDOK);
    Place(ok, geometry.button);
    for (HWND child : {text, ok})
        ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    return ok;
}

// The window around the client area, centred on the screen or where the platform suggests.
void PlaceDialog(HWND dialog, SIZE client, UINT dpi, const RECT* around) {
    RECT frame{0, 0, client.cx, client.cy};
    ::AdjustWindowRectExForDpi(&frame, kDialogStyle, FALSE, kDialogExStyle, dpi);
    const RECT placed = Centred({frame.right - frame.left, frame.bottom - frame.top}, around);
    ::SetWindowPos(dialog, nullptr, placed.left, placed.top, placed.right - placed.left,
                   placed.bottom - placed.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

UniqueFont MessageFont(UINT dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    ::SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi);
    return UniqueFont(::CreateFontIndirectW(&metrics.lfMessageFont));
}

UniqueIcon ProgramIcon(int size) {
    return UniqueIcon(static_cast<HICON>(::LoadImageW(
        ::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PALLENDO), IMAGE_ICON, size, size, 0)));
}

// The OK button copies the dialog with Ctrl+C, takes Enter and has the focus.
void PrepareOkButton(HWND dialog, HWND ok) {
    ::SetWindowSubclass(ok, OkButtonProc, 1, 0);
    ::SendMessageW(dialog, DM_SETDEFID, IDOK, 0);
    ::SetFocus(ok);
}

// Builds the controls and sizes the window as the platform's message box does: margins and
// spacings from the message font's average character size, the icon beside the text, which
// wraps at half the screen's width (inside a word too when it is longer than that, as a path
// can be), one button centred below the text. Laid out again at a new scale.
void LayOut(HWND dialog, DialogState& state, UINT dpi, const RECT* around = nullptr) {
    UniqueFont font = MessageFont(dpi);
    const int iconSize = ::GetSystemMetricsForDpi(SM_CXICON, dpi);
    UniqueIcon icon = ProgramIcon(iconSize);
    HICON shown = icon ? icon.get() : ::LoadIconW(nullptr, IDI_APPLICATION);
    const Geometry geometry = Arrange(Measure(dialog, font.get(), state.text), iconSize);
    const bool firstLayout = ::GetDlgItem(dialog, IDOK) == nullptr;
    HWND ok = PlaceChildren(dialog, geometry, state.text, shown, font.get());
    // The controls use the new font and icon now: the old ones may go.
    state.font = std::move(font);
    state.icon = std::move(icon);
    PlaceDialog(dialog, geometry.client, dpi, around);
    if (firstLayout) PrepareOkButton(dialog, ok);
}

LRESULT InitDialog(HWND dialog, LPARAM lParam) {
    ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    LayOut(dialog, *reinterpret_cast<DialogState*>(lParam), ::GetDpiForWindow(dialog));
    return FALSE;  // the focus is set
}

void Paint(HWND dialog, DialogState* state) {
    // The whole window takes the new colour, and the transparent texts are drawn again over
    // it, even when only a part was uncovered.
    ::RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    const PaintingDC painting(dialog);
    const std::uint32_t colour = PaintVersionBackground(dialog, painting.get());
    if (state) state->colour = colour;
}

LRESULT Command(HWND dialog, WPARAM wParam) {
    if (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL) return FALSE;
    ::EndDialog(dialog, LOWORD(wParam));
    return TRUE;
}

LRESULT HandleDialogMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<DialogState*>(::GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG: return InitDialog(dialog, lParam);
    case WM_DPICHANGED:
        if (state) LayOut(dialog, *state, HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
        return TRUE;
    case WM_ERASEBKGND: ::SetWindowLongPtrW(dialog, DWLP_MSGRESULT, 1); return TRUE;
    case WM_PAINT: Paint(dialog, state); return TRUE;
    case WM_PRINTCLIENT:
        // A themed button draws its parent's background behind its corners: the colour shown.
        FillGradient(dialog, reinterpret_cast<HDC>(wParam), state ? state->colour : 0xFFFFFF);
        return TRUE;
    case WM_CTLCOLORSTATIC:
        ::SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        return reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
    case WM_COMMAND: return Command(dialog, wParam);
    }
    return FALSE;
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    return Guarded([&] { return HandleDialogMessage(dialog, message, wParam, lParam); });
}

// An empty dialog template: the controls are made when the layout is known.
std::vector<WORD> DialogTemplate() {
    const DLGTEMPLATE header{kDialogStyle, kDialogExStyle, 0, 0, 0, 0, 0};
    std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD));
    std::memcpy(words.data(), &header, sizeof(DLGTEMPLATE));
    words.push_back(0);  // no menu
    words.push_back(0);  // the dialog class
    for (wchar_t c : kApplicationTitle) words.push_back(static_cast<WORD>(c));
    words.push_back(0);
    return words;
}

}  // namespace

std::wstring VersionDialogText() {
    const std::wstring executable = ExecutablePath();
    std::wstring text;
    const auto line = [&](std::wstring_view content) { text.append(content).append(L"\r\n"); };
    line(std::wstring(kApplicationTitle) + L" " + std::wstring(kVersionText) + L" (" +
         FileVersionText(executable) + L") Release Build");
    line(executable);
    line(L"CurrentScreen " + DecimalText(::GetSystemMetrics(SM_CXSCREEN)) + L" x " +
         DecimalText(::GetSystemMetrics(SM_CYSCREEN)));
    line(L"");
    line(kRightsNotice);
    line(kContactAddress);
    line(kHomePageUrl);
    line(L"");
    line(UkraineTimeText());
    return text;
}

std::uint32_t PaintVersionBackground(HWND dialog, HDC dc) {
    const std::uint32_t colour =
        std::uniform_int_distribution<std::uint32_t>(0, 0xFFFFFE)(randomColours);
    FillGradient(dialog, dc, colour);
    return colour;
}

void ShowVersionDialog(HWND owner) {
    ShowVersionDialog(owner, VersionDialogText());
}

void ShowVersionDialog(HWND owner, const std::wstring& text) {
    DialogState state{text};
    const std::vector<WORD> dialogTemplate = DialogTemplate();
    ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr),
                              reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()), owner,
                              DialogProc, reinterpret_cast<LPARAM>(&state));
}

void TPallendoForm::Button5Click() {
    ShowVersionDialog(hwnd);
}
