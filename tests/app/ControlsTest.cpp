// The controls' notification rules, on real controls in a window of their own that hands each
// notification to its wrapper as the main window does: which change runs which handler, and how
// often.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/Controls.h"
#include "shell/MessageLoop.h"
#include "shell/ProgramScope.h"
#include "support/TestSupport.h"

namespace {

constexpr wchar_t kHostClass[] = L"PallendoControlsTestHost";

// How often each handler ran, and what the change handlers saw.
struct Runs {
    int change = 0, click = 0, enter = 0, exit = 0;
    bool operator==(const Runs&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Runs& r) {
    return out << "change " << r.change << ", click " << r.click << ", enter " << r.enter
               << ", exit " << r.exit;
}

class Controls : public ::testing::Test {
public:
    static void SetUpTestSuite() { static const ProgramScope program; }

    void SetUp() override {
        static const ATOM registered = [] {
            WNDCLASSEXW wc{sizeof(wc)};
            wc.lpfnWndProc = &hostProc;
            wc.hInstance = ::GetModuleHandleW(nullptr);
            wc.lpszClassName = kHostClass;
            return ::RegisterClassExW(&wc);
        }();
        ASSERT_NE(registered, 0);
        controls.clear();
        host = ::CreateWindowExW(0, kHostClass, L"controls", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                 400, 300, nullptr, nullptr, ::GetModuleHandleW(nullptr), this);
        ::SetWindowLongPtrW(host, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        make(edit, WC_EDITW, ES_AUTOHSCROLL, 10);
        make(other, WC_EDITW, ES_AUTOHSCROLL, 40);
        make(combo, WC_COMBOBOXW, CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL, 70);
        make(check, WC_BUTTONW, BS_AUTOCHECKBOX, 100);
        make(button, WC_BUTTONW, BS_PUSHBUTTON, 130);
        make(radio, WC_BUTTONW, BS_RADIOBUTTON, 160);
        for (const wchar_t* entry : {L"first.exe", L"second.exe"}) combo.add(entry);
        edit.onChange = [this] {
            ++runs.change;
            byProgram.push_back(edit.changedByProgram());
        };
        combo.onChange = [this] {
            ++runs.change;
            seen.push_back(combo.text());
            if (emptyListOnChange) combo.clearItems();
        };
        combo.onEnter = [this] { ++runs.enter; };
        combo.onExit = [this] { ++runs.exit; };
        check.onClick = button.onClick = radio.onClick = [this] { ++runs.click; };
        ::SetForegroundWindow(host);
        PumpMessages();
        runs = {};
    }

    void TearDown() override {
        ::DestroyWindow(host);
        PumpMessages();
    }

    void make(Control& control, const wchar_t* cls, DWORD style, int y) {
        control.hwnd = ::CreateWindowExW(0, cls, L"", style | WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                                         10, y, 200, 24, host, nullptr, nullptr, nullptr);
        controls[control.hwnd] = &control;
    }

    static LRESULT CALLBACK hostProc(HWND window, UINT message, WPARAM wParam,
                                     LPARAM lParam) noexcept {
        auto* self = reinterpret_cast<Controls*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self && message == WM_COMMAND && lParam) {
            const auto found = self->controls.find(reinterpret_cast<HWND>(lParam));
            if (found != self->controls.end()) found->second->notify(HIWORD(wParam));
            return 0;
        }
        return ::DefWindowProcW(window, message, wParam, lParam);
    }

    void clickEntry(int index) { ClickComboEntry(combo, index); }

    HWND comboField() const {
        COMBOBOXINFO info{sizeof(info)};
        ::GetComboBoxInfo(combo.hwnd, &info);
        return info.hwndItem;
    }

    HWND host = nullptr;
    std::map<HWND, Control*> controls;
    Edit edit, other;
    ComboBox combo;
    CheckBox check;
    Button button;
    RadioButton radio;
    Runs runs;
    std::vector<bool> byProgram;
    std::vector<std::wstring> seen;
    bool emptyListOnChange = false;
};

TEST_F(Controls, EachChangeRunsItsHandlerAsOftenAsTheRulesSay) {
    struct Case {
        const char* name;
        std::function<void(Controls&)> act;
        Runs expected;
    };
    const Case cases[] = {
        {"an edit's new text set by the program",
         [](Controls& t) { t.edit.setText(L"a.txt"); },
         {.change = 1}},
        {"the same text again", [](Controls& t) { t.edit.setText(L""); }, {}},
        {"the user typing into the edit",
         [](Controls& t) { TypeInto(t.edit.hwnd, L"ab"); },
         {.change = 2}},
        {"the combo box's text set by the program",
         [](Controls& t) { t.combo.setText(L"C:\\Tools\\viewer.exe"); },
         {}},
        {"the user typing into the combo box",
         [](Controls& t) { TypeInto(t.comboField(), L"v"); },
         {.change = 1}},
        {"a pick from the list", [](Controls& t) { t.clickEntry(1); }, {.change = 1, .enter = 1}},
        {"the focus entering the combo box and leaving it for another control",
         [](Controls& t) {
             t.combo.setFocus();
             t.other.setFocus();
         },
         {.enter = 1, .exit = 1}},
        {"a check box checked by the program, then checked again",
         [](Controls& t) {
             t.check.setChecked(true);
             t.check.setChecked(true);
         },
         {.click = 1}},
        {"a click on the check box",
         [](Controls& t) { ::SendMessageW(t.check.hwnd, BM_CLICK, 0, 0); },
         {.click = 1}},
        {"a click on an enabled button, then on a disabled one",
         [](Controls& t) {
             t.button.click();
             t.button.setEnabled(false);
             t.button.click();
         },
         {.click = 1}},
        {"a click on a radio button",
         [](Controls& t) { ::SendMessageW(t.radio.hwnd, BM_CLICK, 0, 0); },
         {.click = 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        c.act(*this);
        PumpMessages();
        EXPECT_EQ(runs, c.expected);
    }
}

TEST_F(Controls, AnEditTellsTheProgramsTextFromTheUsersTyping) {
    edit.setText(L"report.docx");
    TypeInto(edit.hwnd, L"x");
    EXPECT_EQ(byProgram, (std::vector<bool>{true, false}));
    EXPECT_FALSE(edit.changedByProgram());
}

TEST_F(Controls, APickShowsThePickedEntryToTheHandler) {
    combo.setText(L"typed.exe");
    clickEntry(1);
    EXPECT_EQ(seen, std::vector<std::wstring>{L"second.exe"});
    EXPECT_EQ(combo.text(), L"second.exe");
}

TEST_F(Controls, APickWhoseHandlingEmptiesTheListKeepsTheFieldsText) {
    emptyListOnChange = true;
    clickEntry(0);
    EXPECT_EQ(combo.count(), 0);
    // The combo box would fill its field from the selection that the handling took away.
    EXPECT_EQ(combo.text(), L"first.exe");
}

TEST_F(Controls, TheComboBoxIsNotLeftWhenTheWholeWindowIsLeft) {
    combo.setFocus();
    PumpMessages();
    const HWND elsewhere =
        ::CreateWindowExW(0, kHostClass, L"elsewhere", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50,
                          200, 100, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ::SetForegroundWindow(elsewhere);
    ::SetFocus(elsewhere);
    PumpMessages();
    EXPECT_EQ(runs.exit, 0) << "another window took the focus, not another control";
    ::SetForegroundWindow(host);
    combo.setFocus();
    other.setFocus();
    PumpMessages();
    EXPECT_EQ(runs.exit, 1);
    ::DestroyWindow(elsewhere);
}

TEST_F(Controls, AKeyPressHandlerSeesEveryCharacterAndMayChangeOrSwallowIt) {
    std::wstring keys;
    edit.setKeyPress([&keys](wchar_t& key) {
        keys += key;
        if (key == L'\r') key = 0;    // swallowed
        if (key == L'a') key = L'b';  // changed
    });
    edit.setFocus();
    TypeInto(edit.hwnd, L"a\rc");
    EXPECT_EQ(keys, L"a\rc");
    EXPECT_EQ(edit.text(), L"bc");
    EXPECT_EQ(::SendMessageW(edit.hwnd, WM_GETDLGCODE, VK_RETURN, 0) & DLGC_WANTALLKEYS,
              DLGC_WANTALLKEYS)
        << "Enter reaches the field instead of the dialog keys";
}

}  // namespace
