#pragma once
// Thin wrappers over the platform's own controls. Each holds the handlers bound to it and is where
// its change-notification rules live: setting an edit's text to a new value runs its change
// handler, setting the combo box's text runs nothing, setting a check box's state runs its click
// handler, and setting the same value runs nothing. The notifications a control sends its parent
// reach it through notify().
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/Handles.h"

// A handler bound to a control; empty for none.
using Handler = std::function<void()>;
// A key-press handler: it may change the key, or swallow it by setting it to 0.
using KeyPressHandler = std::function<void(wchar_t&)>;

class Control {
public:
    virtual ~Control() = default;
    HWND hwnd = nullptr;

    // A notification the control sent its parent window (the code of its WM_COMMAND): runs the
    // handler bound to it, by the control's own rules.
    virtual void notify(WORD) {}

    std::wstring text() const;
    void setEnabled(bool enabled) const;
    bool enabled() const;
    void setFocus() const;
    bool focused() const;
    bool showing() const;

    // Puts the control at `r`, in its parent's client coordinates. The window moves only when
    // the rectangle changed; a control not made yet keeps the rectangle, to be made there.
    void place(const RECT& r);
    RECT placed() const { return placed_; }
    // Where a grid panel inside this control lies, in the coordinates of the panel's controls:
    // a group box holds its panel's controls on the page it lies on.
    virtual RECT panelArea() const { return placed_; }

protected:
    void setWindowText(std::wstring_view text) const;

private:
    RECT placed_{};
};

class ImageList;

class Button : public Control {
public:
    // Shows image `index` of `list`, and follows the list's changes; -1, or an index the list
    // does not have, shows none.
    void setImages(ImageList* list);
    void setImageIndex(int index);
    int imageIndex() const { return imageIndex_; }
    // True while the button really shows an image.
    bool showsImage() const { return shownList_ != nullptr; }
    void refreshImage();
    // As a click does: only an enabled button reacts.
    void click() const;

    Handler onClick;
    void notify(WORD code) override;

private:
    ImageList* list_ = nullptr;
    int imageIndex_ = -1;
    HIMAGELIST shownList_ = nullptr;  // what the button was given: `shown_`, or the list itself
    UniqueImageList shown_;
};

class Label : public Control {};
class GroupBox : public Control {};

class Edit : public Control {
public:
    Handler onChange;
    // A new text runs the change handler once; the same text runs nothing.
    void setText(std::wstring_view text);
    // True while the change handler runs for a text the program set (not the user's typing).
    bool changedByProgram() const { return programChange_; }
    // Every character typed goes through the handler first (Enter too).
    void setKeyPress(KeyPressHandler handler);
    void notify(WORD code) override;

private:
    static LRESULT CALLBACK keyPressProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR) noexcept;
    bool assigning_ = false;
    bool programChange_ = false;
    KeyPressHandler onKeyPress_;
};

// An editable drop-down list. The user's typing and a pick from the list run the change handler
// (a pick with the picked entry already in the field); a text the program sets runs nothing.
// The field is left only when the focus goes to another control of the same window.
class ComboBox : public Control {
public:
    Handler onChange, onEnter, onExit;
    void notify(WORD code) override;
    // Sets the field's text; no handler runs.
    void setText(std::wstring_view text) const;
    int count() const;
    std::wstring item(int index) const;
    std::vector<std::wstring> items() const;
    // Whole-text search from the start of the list, letter case ignored; -1 when absent.
    int find(std::wstring_view text) const;
    int add(std::wstring_view text) const;
    // Appends many entries at once, without redrawing or growing the list once per entry.
    void addAll(const std::vector<std::wstring>& texts) const;
    int insert(int index, std::wstring_view text) const;
    void remove(int index) const;
    // Empties the list; the text shown in the field stays.
    void clearItems() const;
    int selectedIndex() const;

private:
    void picked();
    void left() const;
    // The field's text after a pick whose handling emptied the list: the combo box would fill the
    // field from its (now missing) selection once the notification is over, so it is put back.
    std::wstring textAfterPick_;
};

class CheckBox : public Control {
public:
    Handler onClick;
    void notify(WORD code) override;
    bool checked() const;
    // A change of state runs the click handler, as a click does; the same state runs nothing.
    void setChecked(bool checked) const;
};

// One button of a radio group. Only the checked button of a group is a tab stop, so Tab enters
// the group at the current choice and the arrow keys move the choice.
class RadioButton : public Control {
public:
    Handler onClick;
    void notify(WORD code) override;
    bool checked() const;
    void setChecked(bool checked) const;
};

class StatusBar : public Control {
public:
    // Panels show their text centred.
    void setPanelText(int panel, std::wstring_view text) const;
    std::wstring panelText(int panel) const;
};

class TabControl : public Control {
public:
    int activeIndex() const;
    void setActiveIndex(int index) const;
    int tabWidth() const;
};

// A list of equally sized images; buttons that show one of them follow its changes.
class ImageList {
public:
    void create(int size);
    HIMAGELIST handle() const { return list_.get(); }
    int size() const { return size_; }
    int count() const;
    void clear();
    // The list holds this one icon (or none) from now on; the buttons showing it change once.
    void setOnly(HICON icon);
    // The same with a name for the icon (its file type): the list drawn for a name is kept, so
    // showing that icon again costs no drawing. A name always stands for the same image.
    void setOnly(HICON icon, const std::wstring& name);
    void addBitmap(HBITMAP bitmap);
    // Re-creates the list at another size, keeping its images and background colour.
    void resize(int size);
    // The colour images are drawn on; CLR_NONE (the default) draws them transparently.
    void setBackground(COLORREF colour);
    COLORREF background() const { return background_; }
    void attach(Button* button) { buttons_.push_back(button); }
    // A copy of one image as an icon, or null.
    UniqueIcon iconAt(int index) const;

private:
    void changed();
    void forgetDrawn();
    UniqueImageList list_;
    std::optional<std::wstring> drawnName_;  // the name of the icon `list_` holds alone
    std::map<std::wstring, UniqueImageList> drawn_;
    int size_ = 16;
    COLORREF background_ = CLR_NONE;
    std::vector<Button*> buttons_;
};
