// Moving about the window: the pages and their keys, the destination's arrow keys, and where the
// focus goes when a page shows, when the window is left and when it comes back.
#include <windows.h>
#include <commctrl.h>

#include "app/PallendoForm.h"
#include "shell/MessageLoop.h"

namespace {

// Commands of the page keys (Ctrl+Tab and Ctrl+PgDn forward, with Shift or PgUp backward); no
// control has these ids.
constexpr WORD kNextPageCommand = 100;
constexpr WORD kPreviousPageCommand = 101;

bool IsArrowKey(WPARAM key) {
    return key == VK_LEFT || key == VK_UP || key == VK_RIGHT || key == VK_DOWN;
}

}  // namespace

void TPallendoForm::createPageKeys() {
    ACCEL keys[] = {
        {FVIRTKEY | FCONTROL, VK_TAB, kNextPageCommand},
        {FVIRTKEY | FCONTROL | FSHIFT, VK_TAB, kPreviousPageCommand},
        {FVIRTKEY | FCONTROL, VK_NEXT, kNextPageCommand},
        {FVIRTKEY | FCONTROL, VK_PRIOR, kPreviousPageCommand},
    };
    accelerators_.reset(::CreateAcceleratorTableW(keys, static_cast<int>(std::size(keys))));
}

void TPallendoForm::pageKey(WORD command) {
    if (command == kNextPageCommand) cyclePage(1);
    if (command == kPreviousPageCommand) cyclePage(-1);
}

void TPallendoForm::cyclePage(int step) {
    const int count = TabCtrl_GetItemCount(PageControl1.hwnd);
    const int next = (TabIndexOf(activePage()) + step + count) % count;
    // As a click on the tab does: the control reports the change, and the change runs.
    TabCtrl_SetCurFocus(PageControl1.hwnd, next);
}

// The tab control reports a page change the user made (a click on a tab, a page key).
void TPallendoForm::onNotify(const NMHDR& header) {
    if (header.hwndFrom != PageControl1.hwnd || header.code != TCN_SELCHANGE) return;
    showActivePage();
    focusShownPage();
    PageControl1Change();
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
    // Before the window is shown the focus is not looked for: showing it puts the focus where
    // start-up wants it.
    if (::IsWindowVisible(hwnd)) focusShownPage();
}

PageId TPallendoForm::activePage() const {
    const int index = PageControl1.activeIndex();
    return index >= 0 && index < static_cast<int>(std::size(kPages)) ? kPages[index] : PageId::File;
}

void TPallendoForm::showActivePage() {
    const PageId active = activePage();
    for (PageId page : kPages) ::ShowWindow(pageOf(page).hwnd, page == active ? SW_SHOW : SW_HIDE);
}

// The three destinations are not next to each other in the tab order, so the dialog manager's
// own arrow keys, which move through neighbouring buttons, cannot serve them.
bool TPallendoForm::previewKey(const MSG& msg) {
    if (msg.message != WM_KEYDOWN || !IsArrowKey(msg.wParam)) return false;
    for (const RadioButton* radio : destinations())
        if (msg.hwnd == radio->hwnd) {
            moveRadioChoice(msg.wParam == VK_LEFT || msg.wParam == VK_UP ? -1 : 1);
            return true;
        }
    return false;
}

std::array<RadioButton*, 3> TPallendoForm::destinations() {
    return {&RadioButtonDeskTop1, &RadioButtonStartMenu2, &RadioButtonStartUp3};
}

void TPallendoForm::radioClicked(RadioButton& clicked) {
    for (RadioButton* radio : destinations()) radio->setChecked(radio == &clicked);
}

// The arrow keys move the destination choice through the group, round at its ends.
void TPallendoForm::moveRadioChoice(int step) {
    const std::array<RadioButton*, 3> group = destinations();
    const int count = static_cast<int>(group.size());
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
        FocusControl(target);
    else
        lastFocus_ = target;
}

void TPallendoForm::onActivate(WPARAM wParam) {
    // Not DefWindowProc: it would give the focus to the frame itself.
    if (LOWORD(wParam) == WA_INACTIVE)
        rememberFocus();
    else if (!HIWORD(wParam))  // not while minimised
        restoreFocus();
}

void TPallendoForm::rememberFocus() {
    HWND focus = ::GetFocus();
    if (focus && ::IsChild(hwnd, focus)) lastFocus_ = focus;
}

void TPallendoForm::restoreFocus() {
    if (HWND target = focusTarget(lastFocus_)) FocusControl(target);
}

// The control itself while it can take the focus, else the first tab stop of the shown page.
HWND TPallendoForm::focusTarget(HWND control) const {
    if (control && ::IsChild(hwnd, control) && ::IsWindowVisible(control) &&
        ::IsWindowEnabled(control))
        return control;
    return ::GetNextDlgTabItem(hwnd, nullptr, FALSE);
}

// The target field, or the combination test when start-up filled both fields.
HWND TPallendoForm::startUpFocus() const {
    if (ButtonTest12.enabled()) return ButtonTest12.hwnd;
    return Edit1.hwnd;
}
