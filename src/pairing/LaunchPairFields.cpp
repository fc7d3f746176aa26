// The target field and the launcher field: icons, enabled states, clear and browse buttons.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include "app/PallendoForm.h"
#include "pairing/LauncherHistory.h"
#include "shell/FileSystem.h"
#include "shell/LetterCase.h"
#include "shell/Prompter.h"
#include "shell/ShellActions.h"
#include "shell/Text.h"

namespace {

constexpr wchar_t kSetText[] = L" を設定しました";
constexpr std::size_t kCachedTargetIcons = 32;

// The full path of the existing file a launcher text names, as the platform's own icon
// extraction finds it (a bare name through the search path); "" when it names none.
std::wstring NamedFile(const std::wstring& text) {
    if (text.empty() || HasInvalidPathChars(text) || IsUncPrefix(text)) return {};
    wchar_t found[MAX_PATH * 2] = {};
    const DWORD length =
        ::SearchPathW(nullptr, text.c_str(), nullptr, MAX_PATH * 2, found, nullptr);
    if (length == 0 || length >= MAX_PATH * 2) return {};
    std::wstring file(found, length);
    return FileExists(file) ? file : std::wstring();
}

// Where a browse starts: the desktop for an empty field, else the folder the field names.
std::wstring StartFolderOf(const std::wstring& fieldText) {
    if (fieldText.empty()) return GetSpecialFolder(CSIDL_DESKTOP);
    return FolderOf(fieldText);
}

}  // namespace

void TPallendoForm::offerTest() {
    ButtonTest12.setEnabled(true);
    ButtonTest12.setImageIndex(0);
}

void TPallendoForm::WithdrawTest() {
    ButtonTest12.setEnabled(false);
    ButtonTest12.setImageIndex(-1);
    SetPanelEnabled(GridPanel6, false);
    ButtonCreate3.setImageIndex(-1);
    testedPair_.reset();
}

void TPallendoForm::keepTestForPair() {
    if (testedPair_ && testedPair_->first == TargetFileName1 &&
        testedPair_->second == TargetExeName1)
        return;
    // Another pair was never tried: 作成 must not write a shortcut for it.
    testedPair_.reset();
    SetPanelEnabled(GridPanel6, false);
    ButtonCreate3.setImageIndex(-1);
}

void TPallendoForm::Edit1Change() {
    const std::wstring text = Edit1.text();
    TargetFileName1 = text;
    if (text.empty()) {
        ButtonEdit1Clear.setEnabled(false);
        ButtonOpenDefault1.setEnabled(false);
        setMessage(L"");
        ImageList1.clear();
        ButtonOpenDefault1.setImageIndex(-1);
    } else {
        ButtonEdit1Clear.setEnabled(true);
        ButtonOpenDefault1.setEnabled(true);
        ShowTargetIcon(text);
    }
    if (!text.empty() && HoldsLauncher(ComboBox2.text())) {
        offerTest();
        // Only a target the program filled in (browse, drop, command line, a shortcut taken
        // apart) hands the focus on; the user's own typing keeps it. During start-up the
        // window is not shown yet, and the focus stays where it is.
        if (Edit1.changedByProgram() && ::IsWindowVisible(hwnd)) ButtonTest12.setFocus();
        keepTestForPair();
    } else {
        WithdrawTest();
    }
}

void TPallendoForm::ComboBox2Change() {
    const std::wstring text = ComboBox2.text();
    // A path pasted with the quotes that group it (Explorer's "copy as path") names the program
    // inside them, as the command line reads it.
    TargetExeName1 = WithoutGroupingQuotes(text);
    if (text.empty()) {
        ButtonComboBox2Clear.setEnabled(false);
        ButtonExe2.setEnabled(false);
        ImageList2.clear();
        ButtonExe2.setImageIndex(-1);
        WithdrawTest();
        setMessage(L"");
        if (CheckBoxAddHistory1.checked()) CheckBoxAddHistory1Click();
        return;
    }
    if (text == kClearHistoryEntry) {
        ComboBox2.clearItems();
        ButtonComboBox2Clear.setEnabled(false);
        ButtonExe2.setEnabled(false);
        WithdrawTest();
        ShowLauncherIcon(text);
        if (CheckBoxAddHistory1.checked()) CheckBoxAddHistory1Click();
        return;
    }
    if (!Edit1.text().empty())
        offerTest();
    else
        WithdrawTest();
    ButtonComboBox2Clear.setEnabled(true);
    ButtonExe2.setEnabled(true);
    ShowLauncherIcon(TargetExeName1);
    keepTestForPair();
    if (CheckBoxAddHistory1.checked()) CheckBoxAddHistory1Click();
}

void TPallendoForm::ComboBox2Enter() {}

void TPallendoForm::ShowTargetIcon(const std::wstring& path) {
    // With the file's attributes given, the icon is the type's, which the extension alone names:
    // the file need not exist, and it is never touched (no network wait for a UNC path).
    const std::wstring key = LowerCased(ExtensionOf(path));
    if (key == targetIconShown_ && ImageList1.count() == 1) {
        ButtonOpenDefault1.setImageIndex(0);
        return;
    }
    auto cached = targetIcons_.find(key);
    if (cached == targetIcons_.end()) {
        SHFILEINFOW info{};
        const std::wstring typeName = L"file" + key;
        if (::SHGetFileInfoW(typeName.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof(info),
                             SHGFI_ICON | SHGFI_USEFILEATTRIBUTES | SHGFI_SMALLICON) == 0)
            return;
        // Typing passes through many extensions: keep the cache small.
        if (targetIcons_.size() >= kCachedTargetIcons) targetIcons_.clear();
        cached = targetIcons_.emplace(key, UniqueIcon(info.hIcon)).first;
    }
    ImageList1.setOnly(cached->second.get(), key);
    targetIconShown_ = key;
    ButtonOpenDefault1.setImageIndex(0);
}

void TPallendoForm::ShowLauncherIcon(const std::wstring& path) {
    const std::wstring file = NamedFile(path);
    if (!file.empty() && file == launcherIconShown_ && ImageList2.count() == 1) {
        ButtonExe2.setImageIndex(0);
        return;
    }
    launcherIconShown_.clear();
    HICON extracted =
        file.empty() ? nullptr : ::ExtractIconW(::GetModuleHandleW(nullptr), file.c_str(), 0);
    // 1 is the platform's answer for a file that is neither a program, a library nor an icon
    // file (a batch file, for one): not a handle, and no icon to show.
    if (extracted == reinterpret_cast<HICON>(1)) extracted = nullptr;
    UniqueIcon icon(extracted);
    if (!icon) {
        ImageList2.clear();
        ButtonExe2.setImageIndex(-1);
        return;
    }
    ImageList2.setOnly(icon.get());
    launcherIconShown_ = file;
    ButtonExe2.setImageIndex(0);
}

void TPallendoForm::ButtonEdit1ClearClick() {
    Edit1.setText(L"");
    ButtonEdit1Clear.setEnabled(false);
    ImageList1.clear();
    fieldCleared(Edit1);
}

void TPallendoForm::ButtonComboBox2ClearClick() {
    ComboBox2.setText(L"");
    ButtonComboBox2Clear.setEnabled(false);
    ButtonExe2.setEnabled(false);
    ImageList2.clear();
    fieldCleared(ComboBox2);
}

// What both clear buttons do once their field is empty: the test is withdrawn with its panel,
// the focus goes back into the field, and no shortcut is left to work on.
void TPallendoForm::fieldCleared(const Control& field) {
    WithdrawTest();
    field.setFocus();
    ShortCut1.clear();
    Edit3.setText(L"");
}

void TPallendoForm::ButtonSelectFile1Click() {
    FileDialogRequest request;
    request.startFolder = StartFolderOf(Edit1.text());
    const std::optional<std::wstring> chosen = CurrentPrompter().chooseFile(hwnd, request);
    if (!chosen) return;
    ButtonEdit1Clear.setEnabled(true);
    Edit1.setText(*chosen);
    setMessage(FileNameOf(Edit1.text()) + kSetText);
}

void TPallendoForm::ButtonSelectExe2Click() {
    FileDialogRequest request;
    request.startFolder = StartFolderOf(WithoutGroupingQuotes(ComboBox2.text()));
    request.fileTypes = {{L"実行プログラム(*.exe)", L"*.exe"},
                         {L"バッチファイル(*.bat)", L"*.bat"},
                         {L"全てのファイル", L"*.*"}};
    request.defaultExtension = L"exe";
    const std::optional<std::wstring> chosen = CurrentPrompter().chooseFile(hwnd, request);
    if (!chosen) return;
    ButtonComboBox2Clear.setEnabled(true);
    RememberLauncher(ComboBox2.text());
    ComboBox2.setText(*chosen);
    ComboBox2Change();
    offerTest();
    setMessage(FileNameOf(ComboBox2.text()) + kSetText);
}
