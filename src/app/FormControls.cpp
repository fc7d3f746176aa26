// The window's controls, made from the control table: each in its design state, on its page,
// in its grid cell, with the handlers its row names bound to it; and the image lists.
#include <windows.h>
#include <commctrl.h>

#include "app/ControlTable.h"
#include "app/PallendoForm.h"
#include "resources/ResourceIds.h"

namespace {

// Ids of the window's own children; the table's controls have theirs from 1000 on.
constexpr int kTabControlId = 1;
constexpr int kStatusBarId = 2;
constexpr int kFirstPageId = 10;
constexpr UINT kTimer1Interval = 997;
constexpr COLORREF kImageBackground = 15790320;

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

GridCell CellOf(const ControlRow& row, Control& control) {
    return {.control = &control,
            .row = row.row,
            .column = row.column,
            .rowSpan = row.rowSpan,
            .columnSpan = row.columnSpan,
            .margin = row.margin,
            .fit = row.fit,
            .fixedSize = row.fixedSize,
            .caption = row.fit == CellFit::Centered ? row.caption : std::wstring_view()};
}

}  // namespace

// What the window has from its creation: the pages, the tabs and the status bar, the grid
// panels' cells, the keys, the image lists and the clock's timer. The table's controls are made
// later, by makeControls, once the window has its place.
void TPallendoForm::createFrameControls() {
    createPages();
    for (const ControlRow* row : CreationOrder())
        if (GridPanel* panel = PanelOf(*this, row->panel))
            panel->add(CellOf(*row, row->control(*this)));
    createPageKeys();
    createImageLists();
    ::SetTimer(hwnd, kTimer1, kTimer1Interval, nullptr);
}

// The table's controls, made once, in creation order, each where the layout places it for the
// window's size now and with the font, so that none is drawn or moved again before the first
// show (but a check box whose caption is wider than its design width, when its own measure
// differs from the layout's).
void TPallendoForm::makeControls() {
    if (created_) return;
    created_ = true;
    layout();
    for (const ControlRow* row : CreationOrder()) createControl(*row);
    ::SendMessageW(ComboBox2.hwnd, CB_SETMINVISIBLE, 10, 0);
    ButtonOpenDefault1.setImages(&ImageList1);
    ButtonExe2.setImages(&ImageList2);
    ButtonTest12.setImages(&ImageList3);
    ButtonCreate3.setImages(&ImageList3);
    // A caption wider than its control's fixed size widens it, as the control itself measures it
    // now that it is made.
    layoutPanels();
}

HWND TPallendoForm::createChild(const wchar_t* cls, std::wstring_view text, DWORD style,
                                DWORD exStyle, HWND parent, int id, const RECT& place) {
    return ::CreateWindowExW(exStyle, cls, std::wstring(text).c_str(), style | WS_CHILD, place.left,
                             place.top, place.right - place.left, place.bottom - place.top, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             ::GetModuleHandleW(nullptr), nullptr);
}

// The pages first: a window made later lies below them, the tab control too. Each page is shown
// when it becomes the active one.
void TPallendoForm::createPages() {
    for (PageId page : kPages)
        pageOf(page).hwnd = createChild(kPageClass, PageCaption(page), WS_CLIPSIBLINGS,
                                        WS_EX_CONTROLPARENT, hwnd, kFirstPageId + TabIndexOf(page));
    PageControl1.hwnd = createChild(WC_TABCONTROLW, L"",
                                    TCS_FIXEDWIDTH | TCS_FOCUSNEVER | WS_CLIPSIBLINGS | WS_VISIBLE,
                                    0, hwnd, kTabControlId);
    for (PageId page : kPages) {
        std::wstring caption(PageCaption(page));
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = caption.data();
        TabCtrl_InsertItem(PageControl1.hwnd, TabIndexOf(page), &item);
    }
    StatusBar1.hwnd = createChild(STATUSCLASSNAMEW, L"",
                                  SBARS_SIZEGRIP | CCS_NORESIZE | CCS_NOPARENTALIGN | WS_VISIBLE, 0,
                                  hwnd, kStatusBarId);
}

void TPallendoForm::createControl(const ControlRow& row) {
    Control& control = row.control(*this);
    const DWORD exStyle = row.kind == ControlKind::Edit ? WS_EX_CLIENTEDGE : 0;
    // Made in their design state: a control disabled afterwards would be drawn twice.
    const DWORD style = StyleOf(row.kind) | WS_GROUP | WS_VISIBLE | (row.enabled ? 0 : WS_DISABLED);
    control.hwnd = createChild(ClassOf(row.kind), row.caption, style, exStyle,
                               pageOf(row.page).hwnd, IdOfRow(row), control.placed());
    ::SendMessageW(control.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    if (row.kind == ControlKind::ComboBox) fitComboBoxToFont();
    if (row.kind == ControlKind::RadioButton) {
        static_cast<RadioButton&>(control).setChecked(row.checked);
        // On Windows a radio button that gets the focus unchecked reports a click; the
        // destination changes only when the user chooses it.
        ::SendMessageW(control.hwnd, BM_SETDONTCLICK, TRUE, 0);
    } else if (row.checked) {
        ::SendMessageW(control.hwnd, BM_SETCHECK, BST_CHECKED, 0);
    }
    bindHandlers(row, control);
}

// The one place where a control gets its handlers: those its table row names.
void TPallendoForm::bindHandlers(const ControlRow& row, Control& control) {
    auto bound = [this](FormHandler handler) -> Handler {
        if (!handler) return {};
        return [this, handler] { (this->*handler)(); };
    };
    switch (row.kind) {
    case ControlKind::Button: static_cast<Button&>(control).onClick = bound(row.onClick); break;
    case ControlKind::CheckBox: static_cast<CheckBox&>(control).onClick = bound(row.onClick); break;
    case ControlKind::RadioButton: {
        auto& radio = static_cast<RadioButton&>(control);
        radio.onClick = [this, &radio] { radioClicked(radio); };
        break;
    }
    case ControlKind::Edit: {
        auto& edit = static_cast<Edit&>(control);
        edit.onChange = bound(row.onChange);
        if (const KeyPressFormHandler keyPress = row.onKeyPress)
            edit.setKeyPress([this, keyPress](wchar_t& key) { (this->*keyPress)(key); });
        break;
    }
    case ControlKind::ComboBox: {
        auto& combo = static_cast<ComboBox&>(control);
        combo.onChange = bound(row.onChange);
        combo.onEnter = bound(row.onEnter);
        combo.onExit = bound(row.onExit);
        break;
    }
    case ControlKind::Label:
    case ControlKind::GroupBox: break;
    }
}

// The lists at the window's scale; the buttons that show them are given them when made.
void TPallendoForm::createImageLists() {
    ImageList3.setBackground(kImageBackground);
    for (ImageList* list : {&ImageList1, &ImageList2, &ImageList3}) list->create(scale(16));
    for (int id : {IDB_SHORTCUT_PLAIN, IDB_SHORTCUT_HIGHLIGHT}) {
        const UniqueBitmap bitmap(
            static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                              IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
        if (bitmap) ImageList3.addBitmap(bitmap.get());
    }
}
