#include "app/PallendoForm.h"

#include <commctrl.h>
#include <windowsx.h>

#include "app/ControlTable.h"
#include "app/FormFont.h"
#include "resources/ResourceIds.h"
#include "shell/MessageLoop.h"
#include "shell/Guarded.h"
#include "shell/ProgramIdentity.h"
#include "shell/ProgramScope.h"
#include "shell/Text.h"
#include "shell/StartupSteps.h"

namespace {

constexpr wchar_t kFormClass[] = L"TPallendoForm";
constexpr wchar_t kPageClass[] = L"TPallendoPage";
// Ids of the window's own children; the table's controls have theirs from 1000 on.
constexpr int kTabControlId = 1;
constexpr int kStatusBarId = 2;
constexpr int kFirstPageId = 10;
constexpr UINT_PTR kTimer1 = 1;
constexpr UINT kTimer1Interval = 997;
// Puts back a combo box's field text once the combo box has finished a selection change.
constexpr UINT kRestoreComboText = WM_APP + 1;
constexpr SIZE kDesignClientSize{556, 324};
constexpr int kStatusBarHeight = 19;
constexpr int kClockPanelWidth = 120;
constexpr int kMessagePanelWidth = 500;
constexpr COLORREF kImageBackground = 15790320;
// Commands of the page keys (Ctrl+Tab and Ctrl+PgDn forward, with Shift or PgUp backward); no
// control has these ids.
constexpr WORD kNextPageCommand = 100;
constexpr WORD kPreviousPageCommand = 101;

UniqueAccelerators CreatePageKeys() {
    ACCEL keys[] = {
        {FVIRTKEY | FCONTROL, VK_TAB, kNextPageCommand},
        {FVIRTKEY | FCONTROL | FSHIFT, VK_TAB, kPreviousPageCommand},
        {FVIRTKEY | FCONTROL, VK_NEXT, kNextPageCommand},
        {FVIRTKEY | FCONTROL, VK_PRIOR, kPreviousPageCommand},
    };
    return UniqueAccelerators(::CreateAcceleratorTableW(keys, static_cast<int>(std::size(keys))));
}

void RegisterClasses(WNDPROC formProc, WNDPROC pageProc) {
    static bool registered = false;
    if (registered) return;
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{sizeof(wc)};
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = formProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kFormClass;
    wc.hIcon = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(IDI_PALLENDO), IMAGE_ICON,
                                               ::GetSystemMetrics(SM_CXICON),
                                               ::GetSystemMetrics(SM_CYICON), 0));
    wc.hIconSm = static_cast<HICON>(
        ::LoadImageW(instance, MAKEINTRESOURCEW(IDI_PALLENDO), IMAGE_ICON, 16, 16, 0));
    ::RegisterClassExW(&wc);
    wc.lpfnWndProc = pageProc;
    wc.lpszClassName = kPageClass;
    wc.hIcon = wc.hIconSm = nullptr;
    wc.style = CS_DBLCLKS;
    ::RegisterClassExW(&wc);
    registered = true;
}

const wchar_t* ClassOf(ControlKind kind) {
    switch (kind) {
    case ControlKind::Label: return WC_STATICW;
    case ControlKind::Edit: return WC_EDITW;
    case ControlKind::ComboBox: return WC_COMBOBOXW;
    default: return WC_BUTTONW;
    }
}

DWORD StyleOf(ControlKind kind) {
    switch (kind) {
    case ControlKind::Button: return BS_PUSHBUTTON | WS_TABSTOP;
    case ControlKind::CheckBox: return BS_AUTOCHECKBOX | WS_TABSTOP;
    // The three destinations are one choice although they are not adjacent in the tab order,
    // so the window keeps them exclusive itself; the checked one is the group's tab stop.
    case ControlKind::RadioButton: return BS_RADIOBUTTON;
    case ControlKind::Label: return SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS;
    case ControlKind::Edit: return ES_AUTOHSCROLL | WS_TABSTOP;
    case ControlKind::ComboBox: return CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP;
    case ControlKind::GroupBox: return BS_GROUPBOX;
    }
    return 0;
}

// The window's size for the design client size at a DPI.
SIZE DesignFrameSize(DWORD style, DWORD exStyle, int dpi) {
    RECT r{0, 0, ::MulDiv(kDesignClientSize.cx, dpi, 96), ::MulDiv(kDesignClientSize.cy, dpi, 96)};
    ::AdjustWindowRectExForDpi(&r, style, FALSE, exStyle, static_cast<UINT>(dpi));
    return {r.right - r.left, r.bottom - r.top};
}

const ControlRow* RowOfWindow(HWND control) {
    return control ? RowOfId(::GetDlgCtrlID(control)) : nullptr;
}

}  // namespace

std::vector<std::wstring> ProcessArguments() {
    return SplitCommandLine(::GetCommandLineW());
}

TPallendoForm::TPallendoForm(FormOptions options) : options_(std::move(options)) {
    RegisterClasses(&windowProc, &pageProc);
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    // Composited: the window and its controls are painted double-buffered, without flicker.
    const DWORD exStyle = WS_EX_APPWINDOW | WS_EX_CONTROLPARENT | WS_EX_COMPOSITED;
    const SIZE frame = DesignFrameSize(style, exStyle, static_cast<int>(::GetDpiForSystem()));
    // Unowned and with WS_EX_APPWINDOW: the window itself has the taskbar button.
    ::CreateWindowExW(exStyle, kFormClass, kApplicationTitle.data(), style, CW_USEDEFAULT,
                      CW_USEDEFAULT, frame.cx, frame.cy, nullptr, nullptr, instance, this);
    SetDialogKeysWindow(hwnd, accelerators_.get(),
                        [this](const MSG& msg) { return previewKey(msg); });
}

TPallendoForm::~TPallendoForm() {
    if (hwnd && ::IsWindow(hwnd)) ::DestroyWindow(hwnd);
}

void TPallendoForm::show() {
    // The first activation puts the focus where start-up wants it.
    lastFocus_ = startUpFocus();
    const int command = initialWindowState == WindowState::Maximised   ? SW_SHOWMAXIMIZED
                        : initialWindowState == WindowState::Minimised ? SW_SHOWMINIMIZED
                                                  : SW_SHOWNORMAL;
    ::ShowWindow(hwnd, command);
    ::UpdateWindow(hwnd);
}

bool TPallendoForm::close() {
    ::SendMessageW(hwnd, WM_CLOSE, 0, 0);
    return !::IsWindow(hwnd);
}

LRESULT CALLBACK TPallendoForm::windowProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) noexcept {
    if (message == WM_NCCREATE) {
        auto* form =
            static_cast<TPallendoForm*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        form->hwnd = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<TPallendoForm*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!form) return ::DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ForgetDialogKeysWindow(window);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        form->hwnd = nullptr;
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    return Guarded([&] { return form->handleMessage(message, wParam, lParam); });
}

LRESULT CALLBACK TPallendoForm::pageProc(HWND page, UINT message, WPARAM wParam,
                                         LPARAM lParam) noexcept {
    HWND main = ::GetAncestor(page, GA_ROOT);
    auto* form = reinterpret_cast<TPallendoForm*>(::GetWindowLongPtrW(main, GWLP_USERDATA));
    if (!form) return ::DefWindowProcW(page, message, wParam, lParam);
    return Guarded([&]() -> LRESULT {
        switch (message) {
        case WM_COMMAND: return form->handleCommand(wParam, lParam);
        case WM_NOTIFY: return ::SendMessageW(main, message, wParam, lParam);
        case WM_SETCURSOR:
            if (form->handleSetCursor(reinterpret_cast<HWND>(wParam))) return TRUE;
            break;
        case WM_SIZE:
            if (page == form->TsEdit1.hwnd && form->created_) form->TsEdit1Resize();
            return 0;
        }
        return ::DefWindowProcW(page, message, wParam, lParam);
    });
}

bool TPallendoForm::handleSetCursor(HWND over) {
    const ControlRow* row = RowOfWindow(over);
    if (!row || !row->handCursor) return false;
    ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
    return true;
}

LRESULT TPallendoForm::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        dpi_ = static_cast<int>(::GetDpiForWindow(hwnd));
        sizeClientForDpi();
        createControls();
        MarkStartup("controls and image lists created");
        applyDpi(dpi_);
        MarkStartup("font");
        {
            // Start-up places the window where it was: the controls are laid out once, for
            // that size, also when a failure skips the remaining start-up steps.
            struct LayOutOnce {
                TPallendoForm& form;
                ~LayOutOnce() {
                    form.created_ = true;
                    form.layout();
                    MarkStartup("layout");
                }
            } layOut{*this};
            FormCreate();  // a failure here skips the remaining start-up steps; the window opens
        }
        return 0;
    case WM_SIZE:
        if (created_ && (LOWORD(lParam) != laidOut_.cx || HIWORD(lParam) != laidOut_.cy)) layout();
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) == 1 && lParam == 0) {  // a keyboard shortcut
            if (LOWORD(wParam) == kNextPageCommand) cyclePage(1);
            if (LOWORD(wParam) == kPreviousPageCommand) cyclePage(-1);
            return 0;
        }
        return handleCommand(wParam, lParam);
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->hwndFrom == PageControl1.hwnd && header->code == TCN_SELCHANGE) {
            showActivePage();
            focusShownPage();
            PageControl1Change();
        }
        return 0;
    }
    case WM_ACTIVATE:
        // Not DefWindowProc: it would give the focus to the frame itself.
        if (LOWORD(wParam) == WA_INACTIVE)
            rememberFocus();
        else if (!HIWORD(wParam))  // not while minimised
            restoreFocus();
        return 0;
    case WM_SETFOCUS:
        // The frame itself never keeps the focus (a closing box gives it to its owner).
        restoreFocus();
        return 0;
    case WM_TIMER:
        if (wParam == kTimer1) Timer1Timer();
        return 0;
    case WM_CLOSE: {
        bool canClose = true;
        FormCloseQuery(canClose);
        if (canClose) ::DestroyWindow(hwnd);
        return 0;
    }
    case WM_QUERYENDSESSION: return WMQueryEndSession();
    case kRestoreComboText:
        if (const ControlRow* row = RowOfId(static_cast<int>(wParam));
            row && row->kind == ControlKind::ComboBox)
            static_cast<ComboBox&>(row->control(*this)).setText(comboTextAfterPick_);
        return 0;
    case WM_DROPFILES:
        ::DefWindowProcW(hwnd, message, wParam, lParam);
        WMDropFiles(reinterpret_cast<HDROP>(wParam));
        return 0;
    case WM_DPICHANGED: {
        applyDpi(HIWORD(wParam));
        if (!::IsWindowVisible(hwnd)) {
            // Start-up is placing the hidden window: the rectangle it applies is the one to keep,
            // and the suggested one, scaled from it, would grow it from one start to the next.
            layout();
            return 0;
        }
        const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
        ::SetWindowPos(hwnd, nullptr, suggested->left, suggested->top,
                       suggested->right - suggested->left, suggested->bottom - suggested->top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        layout();
        return 0;
    }
    case WM_DESTROY:
        ::KillTimer(hwnd, kTimer1);
        if (options_.quitOnDestroy) ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT TPallendoForm::handleCommand(WPARAM wParam, LPARAM lParam) {
    const ControlRow* row = RowOfId(LOWORD(wParam));
    if (!row || !lParam) return 0;
    const WORD code = HIWORD(wParam);
    Control& control = row->control(*this);
    auto run = [this](FormHandler handler) {
        if (handler) (this->*handler)();
    };
    switch (row->kind) {
    case ControlKind::Button:
    case ControlKind::CheckBox:
        if (code == BN_CLICKED) run(row->onClick);
        break;
    case ControlKind::RadioButton:
        if (code == BN_CLICKED) radioClicked(static_cast<RadioButton&>(control));
        break;
    case ControlKind::Edit:
        if (code == EN_CHANGE) static_cast<Edit&>(control).notifyChanged();
        break;
    case ControlKind::ComboBox: {
        auto& combo = static_cast<ComboBox&>(control);
        if (code == CBN_EDITCHANGE) run(row->onChange);
        if (code == CBN_SELCHANGE) {
            // The field shows the picked entry before the change handling looks at it.
            const int picked = combo.selectedIndex();
            if (picked >= 0) combo.setText(combo.item(picked));
            run(row->onChange);
            // After this notification the combo box fills its field from the list's selection;
            // when the handler emptied the list, the field gets back the text it was left with.
            if (combo.selectedIndex() < 0) {
                comboTextAfterPick_ = combo.text();
                ::PostMessageW(hwnd, kRestoreComboText, LOWORD(wParam), 0);
            }
        }
        if (code == CBN_SETFOCUS) run(row->onEnter);
        if (code == CBN_KILLFOCUS) leaveField(control, row->onExit);
        break;
    }
    default: break;
    }
    return 0;
}

void TPallendoForm::radioClicked(RadioButton& clicked) {
    for (RadioButton* radio : {&RadioButtonDeskTop1, &RadioButtonStartMenu2, &RadioButtonStartUp3})
        radio->setChecked(radio == &clicked);
}

// The three destinations are not next to each other in the tab order, so the dialog manager's
// own arrow keys, which move through neighbouring buttons, cannot serve them.
bool TPallendoForm::previewKey(const MSG& msg) {
    if (msg.message != WM_KEYDOWN) return false;
    const WPARAM key = msg.wParam;
    if (key != VK_LEFT && key != VK_UP && key != VK_RIGHT && key != VK_DOWN) return false;
    for (const RadioButton* radio :
         {&RadioButtonDeskTop1, &RadioButtonStartMenu2, &RadioButtonStartUp3})
        if (msg.hwnd == radio->hwnd) {
            moveRadioChoice(key == VK_LEFT || key == VK_UP ? -1 : 1);
            return true;
        }
    return false;
}

// The arrow keys move the destination choice through the group, round at its ends.
void TPallendoForm::moveRadioChoice(int step) {
    RadioButton* group[] = {&RadioButtonDeskTop1, &RadioButtonStartMenu2, &RadioButtonStartUp3};
    constexpr int count = static_cast<int>(std::size(group));
    int at = 0;
    while (at < count && !group[at]->focused()) ++at;
    if (at == count) return;
    for (int i = 1; i < count; ++i) {
        RadioButton* next = group[(at + step * i + count * i) % count];
        if (!next->enabled()) continue;
        radioClicked(*next);
        next->setFocus();
        return;
    }
}

// The field is left only when the focus moves to another control of this window. While the
// focus changes the platform already reports the control that gets it; when the whole window
// is deactivated (another program, a box opening) no control of this window has it.
void TPallendoForm::leaveField(Control& field, void (TPallendoForm::*onExit)()) {
    HWND next = ::GetFocus();
    if (!next || !::IsChild(hwnd, next) || field.focused()) return;
    if (onExit) (this->*onExit)();
}

void TPallendoForm::cyclePage(int step) {
    const int count = TabCtrl_GetItemCount(PageControl1.hwnd);
    const int next = (TabIndexOf(activePage()) + step + count) % count;
    // As a click on the tab does: the control reports the change, and the change runs.
    TabCtrl_SetCurFocus(PageControl1.hwnd, next);
}

// After a page change the focus, when it was on the page now hidden, goes back to the control
// that last had it on the page shown, else to the page's first control.
void TPallendoForm::focusShownPage() {
    const bool active = ::GetActiveWindow() == hwnd;
    HWND focus = active ? ::GetFocus() : lastFocus_;
    if (focus && ::IsChild(hwnd, focus) && ::IsWindowVisible(focus)) return;
    for (PageId page : kPages)
        if (focus && ::IsChild(pageOf(page).hwnd, focus)) pageFocus_[TabIndexOf(page)] = focus;
    HWND target = focusTarget(pageFocus_[TabIndexOf(activePage())]);
    if (active)
        ::SetFocus(target);
    else
        lastFocus_ = target;
}

void TPallendoForm::rememberFocus() {
    HWND focus = ::GetFocus();
    if (focus && ::IsChild(hwnd, focus)) lastFocus_ = focus;
}

// The control itself while it can take the focus, else the first tab stop of the shown page.
HWND TPallendoForm::focusTarget(HWND control) const {
    if (control && ::IsChild(hwnd, control) && ::IsWindowVisible(control) &&
        ::IsWindowEnabled(control))
        return control;
    return ::GetNextDlgTabItem(hwnd, nullptr, FALSE);
}

void TPallendoForm::restoreFocus() {
    if (HWND target = focusTarget(lastFocus_)) ::SetFocus(target);
}

// The target field, or the combination test when start-up filled both fields.
HWND TPallendoForm::startUpFocus() const {
    if (ButtonTest12.enabled()) return ButtonTest12.hwnd;
    return Edit1.hwnd;
}

void TPallendoForm::createControls() {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    auto child = [&](const wchar_t* cls, const wchar_t* text, DWORD style, DWORD exStyle,
                     HWND parent, int id) {
        return ::CreateWindowExW(exStyle, cls, text, style | WS_CHILD, 0, 0, 0, 0,
                                 parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 instance, nullptr);
    };
    // The pages first: a window created later lies below them, the tab control too. Each page
    // is shown when it becomes the active one; its controls are visible on it.
    for (PageId page : kPages)
        pageOf(page).hwnd = child(kPageClass, std::wstring(PageCaption(page)).c_str(),
                                  WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT, hwnd,
                                  kFirstPageId + TabIndexOf(page));
    PageControl1.hwnd = child(WC_TABCONTROLW, L"",
                              TCS_FIXEDWIDTH | TCS_FOCUSNEVER | WS_CLIPSIBLINGS | WS_VISIBLE, 0,
                              hwnd, kTabControlId);
    for (PageId page : kPages) {
        std::wstring caption(PageCaption(page));
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = caption.data();
        TabCtrl_InsertItem(PageControl1.hwnd, TabIndexOf(page), &item);
    }
    StatusBar1.hwnd = child(STATUSCLASSNAMEW, L"",
                            SBARS_SIZEGRIP | CCS_NORESIZE | CCS_NOPARENTALIGN | WS_VISIBLE, 0,
                            hwnd, kStatusBarId);

    for (const ControlRow* row : CreationOrder()) {
        Control& control = row->control(*this);
        const DWORD exStyle = row->kind == ControlKind::Edit ? WS_EX_CLIENTEDGE : 0;
        // Created in their design state: a control disabled afterwards would be drawn twice.
        const DWORD style =
            StyleOf(row->kind) | WS_GROUP | WS_VISIBLE | (row->enabled ? 0 : WS_DISABLED);
        control.hwnd = child(ClassOf(row->kind), std::wstring(row->caption).c_str(), style, exStyle,
                             pageOf(row->page).hwnd, IdOfRow(*row));
        if (row->kind == ControlKind::RadioButton) {
            static_cast<RadioButton&>(control).setChecked(row->checked);
            // On Windows a radio button that gets the focus unchecked reports a click; the
            // destination changes only when the user chooses it.
            ::SendMessageW(control.hwnd, BM_SETDONTCLICK, TRUE, 0);
        } else if (row->checked) {
            ::SendMessageW(control.hwnd, BM_SETCHECK, BST_CHECKED, 0);
        }
        if (GridPanel* panel = PanelOf(*this, row->panel))
            panel->add({.control = &control,
                        .row = row->row,
                        .column = row->column,
                        .rowSpan = row->rowSpan,
                        .columnSpan = row->columnSpan,
                        .margin = row->margin,
                        .fit = row->fit,
                        .fixedSize = row->fixedSize});
    }
    // Handlers that the wrappers run for changes the program makes.
    Edit1.onChange = [this] { Edit1Change(); };
    Edit3.onChange = [this] { Edit3Change(); };
    CheckBoxAddHistory1.onClick = [this] { CheckBoxAddHistory1Click(); };
    edit3KeyPress_ = [this](wchar_t& key) { Edit3KeyPress(key); };
    accelerators_ = CreatePageKeys();
    SubclassKeyPress(Edit3.hwnd, &edit3KeyPress_);
    ::SendMessageW(ComboBox2.hwnd, CB_SETMINVISIBLE, 10, 0);

    ButtonOpenDefault1.setImages(&ImageList1);
    ButtonExe2.setImages(&ImageList2);
    ButtonTest12.setImages(&ImageList3);
    ButtonCreate3.setImages(&ImageList3);
    ImageList3.setBackground(kImageBackground);
    for (ImageList* list : {&ImageList1, &ImageList2, &ImageList3}) list->create(16);
    ImageList1.attach(&ButtonOpenDefault1);
    ImageList2.attach(&ButtonExe2);
    ImageList3.attach(&ButtonTest12);
    ImageList3.attach(&ButtonCreate3);
    for (int id : {IDB_SHORTCUT_PLAIN, IDB_SHORTCUT_HIGHLIGHT}) {
        UniqueBitmap bitmap(static_cast<HBITMAP>(
            ::LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
        if (bitmap) ImageList3.addBitmap(bitmap.get());
    }
    ::SetTimer(hwnd, kTimer1, kTimer1Interval, nullptr);
    showActivePage();
}

// The design client size at this window's DPI, until start-up places the window for good.
void TPallendoForm::sizeClientForDpi() {
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(hwnd, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(::GetWindowLongPtrW(hwnd, GWL_EXSTYLE));
    const SIZE wanted = DesignFrameSize(style, exStyle, dpi_);
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
    auto setFont = [this, redraw](HWND control) {
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), redraw);
    };
    setFont(PageControl1.hwnd);
    setFont(StatusBar1.hwnd);
    for (const ControlRow& row : ControlTable()) setFont(row.control(*this).hwnd);
    // The combo box's field follows the font; its list shows ten entries.
    ::SendMessageW(ComboBox2.hwnd, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1),
                   naturalHeight() - scale(6));
    for (ImageList* list : {&ImageList1, &ImageList2, &ImageList3}) list->resize(scale(16));
    const int parts[] = {scale(kClockPanelWidth), scale(kClockPanelWidth + kMessagePanelWidth)};
    ::SendMessageW(StatusBar1.hwnd, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
}

int TPallendoForm::naturalHeight() const {
    return scale(12) + scale(10);
}

void TPallendoForm::layout() {
    RECT client{};
    ::GetClientRect(hwnd, &client);
    laidOut_ = {client.right, client.bottom};
    const int statusHeight = scale(kStatusBarHeight);
    ::SetWindowPos(StatusBar1.hwnd, nullptr, 0, client.bottom - statusHeight, client.right,
                   statusHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    const int margin = scale(3);
    RECT tabs{margin, margin, client.right - margin, client.bottom - statusHeight - margin};
    ::SetWindowPos(PageControl1.hwnd, nullptr, tabs.left, tabs.top,
                   std::max(0L, tabs.right - tabs.left), std::max(0L, tabs.bottom - tabs.top),
                   SWP_NOZORDER | SWP_NOACTIVATE);
    FormResize();
    RECT display{};
    ::GetClientRect(PageControl1.hwnd, &display);
    TabCtrl_AdjustRect(PageControl1.hwnd, FALSE, &display);
    ::MapWindowPoints(PageControl1.hwnd, hwnd, reinterpret_cast<POINT*>(&display), 2);
    for (Page* page : {&TsFile1, &TsEdit1, &TsHelp1})
        ::SetWindowPos(page->hwnd, nullptr, display.left, display.top,
                       std::max(0L, display.right - display.left),
                       std::max(0L, display.bottom - display.top), SWP_NOZORDER | SWP_NOACTIVATE);

    // The pages' size is set: the Edit page has placed its two group boxes. Each panel is laid
    // out in its container once, a container before the panels inside it.
    for (const GridPanel* panel : {&GridPanel5, &GridPanel1, &GridPanel2, &GridPanel4, &GridPanel6,
                                   &GridPanel3})
        panel->layout(dpi_, naturalHeight());
    if (::IsWindowVisible(hwnd)) ::InvalidateRect(hwnd, nullptr, TRUE);
}

Page& TPallendoForm::pageOf(PageId page) {
    switch (page) {
    case PageId::File: return TsFile1;
    case PageId::Help: return TsHelp1;
    case PageId::Edit: break;
    }
    return TsEdit1;
}

void TPallendoForm::activatePage(PageId page) {
    PageControl1.setActiveIndex(TabIndexOf(page));
    showActivePage();
    focusShownPage();
}

PageId TPallendoForm::activePage() const {
    const int index = PageControl1.activeIndex();
    return index >= 0 && index < static_cast<int>(std::size(kPages)) ? kPages[index]
                                                                    : PageId::File;
}

void TPallendoForm::showActivePage() {
    const PageId active = activePage();
    for (PageId page : kPages) ::ShowWindow(pageOf(page).hwnd, page == active ? SW_SHOW : SW_HIDE);
}

int RunPallendo() {
    const ProgramScope program;
    MarkStartup("COM and common controls");
    TPallendoForm form(FormOptions{.arguments = ProcessArguments(), .quitOnDestroy = true});
    form.show();
    MarkStartup("window shown");
    return RunMessageLoop();
}
