#pragma once
// A real window for the launch pair, with the moves a user makes on its two fields.
#include <windows.h>
#include <commctrl.h>

#include <optional>
#include <string>
#include <vector>

#include "shell/WindowQueries.h"
#include "support/FormFixture.h"

class PairingFixture : public FormFixture {
protected:
    // A new window with the document and the probe as the pair to test.
    TPallendoForm& pairWithProbe(const std::wstring& document) {
        TPallendoForm& f = createForm();
        f.Edit1.setText(document);
        setLauncher(Probe::path());
        return f;
    }
    // Runs the combination test with a fresh probe as the launcher and gives the arguments the
    // probe was started with; a launcher that was not started fails the test.
    std::vector<std::wstring> runTest(std::optional<Probe>& probe) {
        probe.emplace();
        form->ButtonTest12.click();
        const auto args = probe->waitForArguments();
        EXPECT_TRUE(args.has_value()) << "the launcher was not started";
        return args.value_or(std::vector<std::wstring>{L"<none>"});
    }
    // The edit field inside the launcher's combo box, which receives what the user types.
    HWND launcherEdit() const {
        COMBOBOXINFO info{sizeof(info)};
        ::GetComboBoxInfo(form->ComboBox2.hwnd, &info);
        return info.hwndItem;
    }
    // The launcher set by the program, then its change handling run, as intake and start-up do.
    void setLauncher(const std::wstring& text) {
        form->ComboBox2.setText(text);
        form->ComboBox2Change();
    }
    // Picks an entry from the drop-down list as a click on it does.
    void pick(int index) {
        ::SendMessageW(form->ComboBox2.hwnd, CB_SETCURSEL, index, 0);
        ::SendMessageW(::GetParent(form->ComboBox2.hwnd), WM_COMMAND,
                       MAKEWPARAM(::GetDlgCtrlID(form->ComboBox2.hwnd), CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(form->ComboBox2.hwnd));
    }
    // Drops the list down and clicks an entry with the mouse, as the user does.
    void clickEntry(int index) { ClickComboEntry(form->ComboBox2, index); }
    // The focus enters the launcher field and leaves it for the next control.
    void enterAndLeaveLauncher() {
        form->ComboBox2.setFocus();
        PumpMessages();
        form->ButtonSelectExe2.setFocus();
        PumpMessages();
    }
    std::vector<std::wstring> historyEntries() const { return form->ComboBox2.items(); }
    std::wstring shownMessage() const { return form->message(); }
    // The focused control's window (the combo box for its inner edit field).
    static HWND focusedControl() {
        HWND focus = ::GetFocus();
        return HasClass(::GetParent(focus), WC_COMBOBOXW) ? ::GetParent(focus) : focus;
    }
};

// Points TMP and TEMP at another folder while it lives, as a user's environment would.
class TempFolderOverride {
public:
    explicit TempFolderOverride(const std::wstring& folder) {
        ::GetEnvironmentVariableW(L"TMP", tmp_, MAX_PATH);
        ::GetEnvironmentVariableW(L"TEMP", temp_, MAX_PATH);
        ::SetEnvironmentVariableW(L"TMP", folder.c_str());
        ::SetEnvironmentVariableW(L"TEMP", folder.c_str());
    }
    ~TempFolderOverride() {
        ::SetEnvironmentVariableW(L"TMP", tmp_[0] ? tmp_ : nullptr);
        ::SetEnvironmentVariableW(L"TEMP", temp_[0] ? temp_ : nullptr);
    }
    TempFolderOverride(const TempFolderOverride&) = delete;
    TempFolderOverride& operator=(const TempFolderOverride&) = delete;

private:
    wchar_t tmp_[MAX_PATH] = {};
    wchar_t temp_[MAX_PATH] = {};
};
