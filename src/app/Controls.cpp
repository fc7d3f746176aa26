#include "app/Controls.h"

#include <windowsx.h>

#include <algorithm>

#include "shell/Guarded.h"
#include "shell/MessageLoop.h"
#include "shell/WindowQueries.h"

namespace {

// A notification code the combo box sends itself through its parent once a pick is over; the
// platform's own codes are small numbers.
constexpr WORD kPickOver = 0x7FF0;

}  // namespace

std::wstring Control::text() const {
    return WindowText(hwnd);
}

void Control::setWindowText(std::wstring_view text) const {
    const std::wstring value(text);
    ::SetWindowTextW(hwnd, value.c_str());
}

void Control::setEnabled(bool enabled) const {
    // The state is read locally; changing it costs a round of messages (and under Wine a trip to
    // the window server), which a keystroke that changes nothing must not pay.
    if (this->enabled() == enabled) return;
    ::EnableWindow(hwnd, enabled ? TRUE : FALSE);
}
bool Control::enabled() const {
    return ::IsWindowEnabled(hwnd) != FALSE;
}
void Control::setFocus() const {
    FocusControl(hwnd);
}
bool Control::focused() const {
    HWND focus = ::GetFocus();
    return focus == hwnd || (focus && ::IsChild(hwnd, focus));
}
bool Control::showing() const {
    return ::IsWindowVisible(hwnd) != FALSE;
}

void Control::place(const RECT& r) {
    const RECT wanted{r.left, r.top, std::max(r.left, r.right), std::max(r.top, r.bottom)};
    // Moving a window costs a round of messages (and under Wine a trip to the window server):
    // a layout that changes nothing for this control must not pay it.
    if (hwnd && ::EqualRect(&wanted, &placed_)) return;
    placed_ = wanted;
    if (hwnd)
        ::SetWindowPos(hwnd, nullptr, wanted.left, wanted.top, wanted.right - wanted.left,
                       wanted.bottom - wanted.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Button::setImages(ImageList* list) {
    list_ = list;
    list->attach(this);
    refreshImage();
}

void Button::setImageIndex(int index) {
    // A change of the list refreshes the image itself: the same index changes nothing.
    if (index == imageIndex_) return;
    imageIndex_ = index;
    refreshImage();
}

void Button::refreshImage() {
    UniqueImageList own;
    HIMAGELIST shown = nullptr;
    if (list_ && imageIndex_ == 0 && list_->count() == 1) {
        // A list of the one image is shown as it is: the button draws from it when it paints,
        // so a new icon put in its place shows without handing the button a list again.
        shown = list_->handle();
    } else if (list_ && imageIndex_ >= 0 && imageIndex_ < list_->count()) {
        // The button shows the one chosen image in every state.
        UniqueIcon icon = list_->iconAt(imageIndex_);
        own.reset(::ImageList_Create(list_->size(), list_->size(), ILC_COLOR32 | ILC_MASK, 1, 0));
        ::ImageList_SetBkColor(own.get(), list_->background());
        if (icon) ::ImageList_ReplaceIcon(own.get(), -1, icon.get());
        shown = own.get();
    }
    // A button that shows no image, and showed none, has nothing to draw again.
    if (!shown && !shownList_) return;
    if (shown != shownList_ || own) {
        BUTTON_IMAGELIST images{};
        images.himl = shown;
        images.margin = RECT{1, 0, 0, 0};
        images.uAlign = BUTTON_IMAGELIST_ALIGN_LEFT;
        ::SendMessageW(hwnd, BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&images));
        shown_ = std::move(own);
        shownList_ = shown;
    }
    ::InvalidateRect(hwnd, nullptr, TRUE);
}

void Button::notify(WORD code) {
    if (code == BN_CLICKED && onClick) onClick();
}

void Button::click() const {
    if (!enabled()) return;
    ::SendMessageW(::GetParent(hwnd), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(hwnd), BN_CLICKED),
                   reinterpret_cast<LPARAM>(hwnd));
}

void Edit::setText(std::wstring_view value) {
    if (text() == value) return;
    assigning_ = true;
    setWindowText(value);
    assigning_ = false;
    if (!onChange) return;
    const bool outer = programChange_;
    programChange_ = true;
    try {
        onChange();
    } catch (...) {
        programChange_ = outer;
        throw;
    }
    programChange_ = outer;
}

void Edit::notify(WORD code) {
    // A text the program sets has run the handler already, in setText.
    if (code == EN_CHANGE && !assigning_ && onChange) onChange();
}

void Edit::setKeyPress(KeyPressHandler handler) {
    onKeyPress_ = std::move(handler);
    ::SetWindowSubclass(hwnd, keyPressProc, 1, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK Edit::keyPressProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR, DWORD_PTR data) noexcept {
    auto* edit = reinterpret_cast<Edit*>(data);
    // Enter reaches WM_CHAR, instead of the dialog manager.
    if (message == WM_GETDLGCODE && wParam == VK_RETURN)
        return DLGC_WANTALLKEYS | ::DefSubclassProc(window, message, wParam, lParam);
    if (message == WM_CHAR && edit->onKeyPress_) {
        wchar_t key = static_cast<wchar_t>(wParam);
        const bool swallowed = Guarded(
                                   [&]() -> LRESULT {
                                       edit->onKeyPress_(key);
                                       return key == 0;
                                   },
                                   1) != 0;
        if (swallowed) return 0;
        wParam = key;
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}

void ComboBox::notify(WORD code) {
    auto run = [](const Handler& handler) {
        if (handler) handler();
    };
    switch (code) {
    case CBN_EDITCHANGE: run(onChange); break;
    case CBN_SELCHANGE: picked(); break;
    case CBN_SETFOCUS: run(onEnter); break;
    case CBN_KILLFOCUS: left(); break;
    case kPickOver: setText(textAfterPick_); break;
    }
}

void ComboBox::picked() {
    // The field shows the picked entry before the change handling looks at it.
    if (const int index = selectedIndex(); index >= 0) setText(item(index));
    if (onChange) onChange();
    // After this notification the combo box fills its field from the list's selection; when the
    // handler emptied the list, the field gets back the text it was left with.
    if (selectedIndex() >= 0) return;
    textAfterPick_ = text();
    ::PostMessageW(::GetParent(hwnd), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(hwnd), kPickOver),
                   reinterpret_cast<LPARAM>(hwnd));
}

// While the focus changes the platform already reports the control that gets it; when the whole
// window is deactivated (another program, a box opening) no control of this window has it.
void ComboBox::left() const {
    HWND next = ::GetFocus();
    if (!next || !::IsChild(::GetAncestor(hwnd, GA_ROOT), next) || focused()) return;
    if (onExit) onExit();
}

void ComboBox::setText(std::wstring_view value) const {
    setWindowText(value);
}

int ComboBox::count() const {
    return static_cast<int>(::SendMessageW(hwnd, CB_GETCOUNT, 0, 0));
}

std::wstring ComboBox::item(int index) const {
    const LRESULT length = ::SendMessageW(hwnd, CB_GETLBTEXTLEN, index, 0);
    if (length == CB_ERR) return {};
    std::wstring value(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied =
        ::SendMessageW(hwnd, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(value.data()));
    value.resize(copied == CB_ERR ? 0 : static_cast<std::size_t>(copied));
    return value;
}

std::vector<std::wstring> ComboBox::items() const {
    std::vector<std::wstring> result;
    const int n = count();
    result.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) result.push_back(item(i));
    return result;
}

int ComboBox::find(std::wstring_view value) const {
    const std::wstring text(value);
    return static_cast<int>(::SendMessageW(hwnd, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(text.c_str())));
}

int ComboBox::add(std::wstring_view value) const {
    const std::wstring text(value);
    return static_cast<int>(
        ::SendMessageW(hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

void ComboBox::addAll(const std::vector<std::wstring>& texts) const {
    if (texts.empty()) return;
    std::size_t characters = 0;
    for (const std::wstring& t : texts) characters += t.size() + 1;
    ::SendMessageW(hwnd, WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(hwnd, CB_INITSTORAGE, texts.size(), characters * sizeof(wchar_t));
    for (const std::wstring& t : texts)
        ::SendMessageW(hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t.c_str()));
    ::SendMessageW(hwnd, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(hwnd, nullptr, TRUE);
}

int ComboBox::insert(int index, std::wstring_view value) const {
    const std::wstring text(value);
    return static_cast<int>(
        ::SendMessageW(hwnd, CB_INSERTSTRING, index, reinterpret_cast<LPARAM>(text.c_str())));
}

void ComboBox::remove(int index) const {
    ::SendMessageW(hwnd, CB_DELETESTRING, index, 0);
}

void ComboBox::clearItems() const {
    // Resetting the list would also empty the field; the field keeps its text.
    const std::wstring shown = text();
    ::SendMessageW(hwnd, CB_RESETCONTENT, 0, 0);
    if (text() != shown) setText(shown);
}

int ComboBox::selectedIndex() const {
    return static_cast<int>(::SendMessageW(hwnd, CB_GETCURSEL, 0, 0));
}

void CheckBox::notify(WORD code) {
    if (code == BN_CLICKED && onClick) onClick();
}

bool CheckBox::checked() const {
    return ::SendMessageW(hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void CheckBox::setChecked(bool value) const {
    if (checked() == value) return;
    ::SendMessageW(hwnd, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
    if (onClick) onClick();
}

void RadioButton::notify(WORD code) {
    if (code == BN_CLICKED && onClick) onClick();
}

bool RadioButton::checked() const {
    return ::SendMessageW(hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void RadioButton::setChecked(bool value) const {
    ::SendMessageW(hwnd, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
    const LONG_PTR style = ::GetWindowLongPtrW(hwnd, GWL_STYLE);
    const LONG_PTR wanted = value ? (style | WS_TABSTOP) : (style & ~LONG_PTR{WS_TABSTOP});
    if (wanted != style) ::SetWindowLongPtrW(hwnd, GWL_STYLE, wanted);
}

void StatusBar::setPanelText(int panel, std::wstring_view value) const {
    const std::wstring text = L"\t" + std::wstring(value);  // a leading tab centres the text
    ::SendMessageW(hwnd, SB_SETTEXTW, static_cast<WPARAM>(panel),
                   reinterpret_cast<LPARAM>(text.c_str()));
}

std::wstring StatusBar::panelText(int panel) const {
    const LRESULT info = ::SendMessageW(hwnd, SB_GETTEXTLENGTHW, static_cast<WPARAM>(panel), 0);
    std::wstring value(LOWORD(info) + 1u, L'\0');
    ::SendMessageW(hwnd, SB_GETTEXTW, static_cast<WPARAM>(panel),
                   reinterpret_cast<LPARAM>(value.data()));
    value.resize(LOWORD(info));
    if (!value.empty() && value.front() == L'\t') value.erase(0, 1);
    return value;
}

int TabControl::activeIndex() const {
    return TabCtrl_GetCurSel(hwnd);
}
void TabControl::setActiveIndex(int index) const {
    TabCtrl_SetCurSel(hwnd, index);
}
int TabControl::tabWidth() const {
    RECT r{};
    TabCtrl_GetItemRect(hwnd, 0, &r);
    return r.right - r.left;
}

namespace {
constexpr std::size_t kKeptDrawn = 32;
}

void ImageList::create(int size) {
    forgetDrawn();
    size_ = size;
    list_.reset(::ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 2, 2));
    ::ImageList_SetBkColor(list_.get(), background_);
}

void ImageList::setBackground(COLORREF colour) {
    background_ = colour;
    forgetDrawn();
    if (list_) ::ImageList_SetBkColor(list_.get(), colour);
    changed();
}

int ImageList::count() const {
    return list_ ? ::ImageList_GetImageCount(list_.get()) : 0;
}

void ImageList::clear() {
    if (count() == 0) return;
    drawnName_.reset();
    ::ImageList_Remove(list_.get(), -1);
    changed();
}

void ImageList::setOnly(HICON icon) {
    drawnName_.reset();
    // The one image is replaced where it is: emptying the list would give back its bitmaps, and
    // the next icon would have to grow them again.
    if (icon && count() == 1) {
        ::ImageList_ReplaceIcon(list_.get(), 0, icon);
    } else {
        if (count() > 0) ::ImageList_Remove(list_.get(), -1);
        if (icon) ::ImageList_ReplaceIcon(list_.get(), -1, icon);
    }
    changed();
}

void ImageList::setOnly(HICON icon, const std::wstring& name) {
    if (!icon) return setOnly(icon);
    if (name == drawnName_ && count() == 1) return changed();
    UniqueImageList next;
    if (auto found = drawn_.find(name); found != drawn_.end()) {
        next = std::move(found->second);
        drawn_.erase(found);
    } else {
        // Typing passes through many file types: keep a few.
        if (drawn_.size() >= kKeptDrawn) drawn_.clear();
        next.reset(::ImageList_Create(size_, size_, ILC_COLOR32 | ILC_MASK, 1, 1));
        ::ImageList_SetBkColor(next.get(), background_);
        ::ImageList_ReplaceIcon(next.get(), -1, icon);
    }
    // The list shown until now stays alive until the buttons have been handed the next one.
    UniqueImageList previous = std::exchange(list_, std::move(next));
    const std::optional<std::wstring> previousName = std::exchange(drawnName_, name);
    changed();
    if (previousName) drawn_.emplace(*previousName, std::move(previous));
}

void ImageList::forgetDrawn() {
    drawn_.clear();
    drawnName_.reset();
}

namespace {

// A design bitmap drawn smoothly at another size.
UniqueBitmap ScaledBitmap(HBITMAP bitmap, const BITMAP& info, int size) {
    const WindowDC screen(nullptr);
    UniqueBitmap scaled(::CreateCompatibleBitmap(screen.get(), size, size));
    const UniqueMemoryDC source(::CreateCompatibleDC(screen.get()));
    const UniqueMemoryDC target(::CreateCompatibleDC(screen.get()));
    const SelectedObject from(source.get(), bitmap);
    const SelectedObject to(target.get(), scaled.get());
    ::SetStretchBltMode(target.get(), HALFTONE);
    ::StretchBlt(target.get(), 0, 0, size, size, source.get(), 0, 0, info.bmWidth, info.bmHeight,
                 SRCCOPY);
    return scaled;
}

}  // namespace

void ImageList::addBitmap(HBITMAP bitmap) {
    drawnName_.reset();
    BITMAP info{};
    ::GetObjectW(bitmap, sizeof(info), &info);
    // A mask of zero bits: every pixel opaque.
    const std::vector<BYTE> opaque(static_cast<std::size_t>((size_ + 15) / 16 * 2 * size_), 0);
    const UniqueBitmap mask(::CreateBitmap(size_, size_, 1, 1, opaque.data()));
    // Bitmaps are 16 x 16 designs; the list may be larger at a higher resolution.
    if (info.bmWidth == size_ && info.bmHeight == size_) {
        ::ImageList_Add(list_.get(), bitmap, mask.get());
    } else {
        const UniqueBitmap scaled = ScaledBitmap(bitmap, info, size_);
        ::ImageList_Add(list_.get(), scaled.get(), mask.get());
    }
    changed();
}

UniqueIcon ImageList::iconAt(int index) const {
    if (index < 0 || index >= count()) return UniqueIcon();
    return UniqueIcon(::ImageList_GetIcon(list_.get(), index, ILD_NORMAL));
}

void ImageList::resize(int size) {
    if (size == size_ && list_) return;
    std::vector<UniqueIcon> icons;
    for (int i = 0; i < count(); ++i) icons.push_back(iconAt(i));
    const std::optional<std::wstring> name = drawnName_;
    create(size);
    drawnName_ = name;
    for (const UniqueIcon& icon : icons)
        if (icon) ::ImageList_ReplaceIcon(list_.get(), -1, icon.get());
    changed();
}

void ImageList::changed() {
    for (Button* button : buttons_) button->refreshImage();
}
