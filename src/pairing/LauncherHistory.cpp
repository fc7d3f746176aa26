// The launcher history behind the launcher field.
#include "pairing/LauncherHistory.h"

#include "app/PallendoForm.h"
#include "shell/Failure.h"
#include "shell/LetterCase.h"
#include "shell/Text.h"

namespace {

// What the option itself put into the field: a stock launcher or the clear-history entry.
bool IsStockOrClearEntry(std::wstring_view text) {
    if (text == kClearHistoryEntry) return true;
    for (std::wstring_view stock : kStockLaunchers)
        if (SameIgnoringCase(text, stock)) return true;
    return false;
}

}  // namespace

void TPallendoForm::RememberLauncher(const std::wstring& text) {
    // Remembered as the settings file gives it back, which drops surrounding blanks: a text of
    // blanks only would come back empty and end the history there.
    const std::wstring kept(Trim(text));
    if (kept.empty()) return;
    // The list's own search compares whole texts with letter case ignored.
    if (ComboBox2.find(kept) >= 0) return;
    ComboBox2.insert(0, kept);
}

void TPallendoForm::ComboBox2Exit() {
    const std::wstring text = ComboBox2.text();
    if (text.empty()) {
        ButtonExe2.setEnabled(false);
        return;
    }
    RememberLauncher(text);
    if (ComboBox2.find(kClearHistoryEntry) >= 0) return;
    const int position = ComboBox2.add(kClearHistoryEntry);
    if (position < 0 || position != ComboBox2.count() - 1)
        Fail(L"ComboBox Items Add failed)\r\n" + std::wstring(kClearHistoryEntry));
}

void TPallendoForm::CheckBoxAddHistory1Click() {
    if (CheckBoxAddHistory1.checked()) {
        if (ComboBox2.count() == 0) {
            for (std::wstring_view entry :
                 {kStockLaunchers[0], kStockLaunchers[1], kClearHistoryEntry})
                if (ComboBox2.add(entry) < 0) Fail(L"Add failed " + std::wstring(entry));
            return;
        }
        // The stock launchers go just before the last entry, which normally clears the history.
        for (std::wstring_view stock : kStockLaunchers)
            if (ComboBox2.find(stock) < 0) ComboBox2.insert(ComboBox2.count() - 1, stock);
        return;
    }
    for (std::wstring_view stock : kStockLaunchers)
        if (const int found = ComboBox2.find(stock); found >= 0) ComboBox2.remove(found);
    if (ComboBox2.count() == 1 && ComboBox2.item(0) == kClearHistoryEntry) {
        ComboBox2.clearItems();
        // A launcher the user browsed for, dropped or typed stays, remembered or not.
        if (IsStockOrClearEntry(ComboBox2.text())) ComboBox2.setText(L"");
    }
}
