// Placing a shortcut in a folder: create, update or delete.
#include <shlobj.h>

#include <cstdint>

#include "app/PallendoForm.h"
#include "shell/Boxes.h"
#include "shell/ShellActions.h"
#include "shell/PlatformError.h"
#include "shell/FileSystem.h"
#include "shell/ProgramIdentity.h"
#include "shell/Failure.h"
#include "shell/Text.h"
#include "shortcuts/Destination.h"
#include "shortcuts/ShellLink.h"

using Microsoft::WRL::ComPtr;

namespace {

const std::wstring kCrLf = L"\r\n";

// Builds a fresh link and saves it over whatever file has the name; the result of Save.
HRESULT SaveFreshLink(const std::wstring& linkPath, const std::wstring& programPath,
                      const std::wstring& arguments) {
    return SaveShellLink(WriteShellLink(CreateShellLink(), programPath, arguments), linkPath);
}

// The link's name stays one file name inside the chosen folder: a separator or a drive would
// place it elsewhere, and a colon writes it into a hidden stream of another file.
void RefuseUnsafeLinkName(const std::wstring& name) {
    if (IsRootedName(name) || HasInvalidFileNameChars(name))
        Fail(L"表示名に " + std::wstring(kFileNameCharsText) + L" は使えません");
}

}  // namespace

Destination ChosenDestination(const TPallendoForm& form) {
    if (form.RadioButtonDeskTop1.checked()) return {CSIDL_DESKTOP, form.RadioButtonDeskTop1.text()};
    if (form.RadioButtonStartMenu2.checked())
        return {CSIDL_PROGRAMS, form.RadioButtonStartMenu2.text()};
    if (form.RadioButtonStartUp3.checked()) return {CSIDL_STARTUP, form.RadioButtonStartUp3.text()};
    return {CSIDL_DESKTOP, L""};
}

void TPallendoForm::PlaceShortcut(int folderId, const std::wstring& programPath,
                                  const std::wstring& arguments, const std::wstring& folderLabel) {
    const bool own = programPath == ExecutablePath();
    const std::wstring folder = GetSpecialFolder(folderId);

    std::wstring linkPath;
    if (own) {
        linkPath = JoinPath(folder, kApplicationTitle) + L".lnk";
    } else {
        std::wstring name = Edit3.text();
        if (name.empty()) name = FileNameOf(arguments) + L"(" + BaseNameOf(programPath) + L")";
        RefuseUnsafeLinkName(name);
        linkPath = JoinPath(folder, name) + L".lnk";
    }
    ShortCut1 = linkPath;
    if (!own) Edit3.setText(BaseNameOf(ShortCut1));

    const std::wstring& label = folderLabel;
    const std::wstring fileName = FileNamePart(linkPath);
    auto place = [&](bool updating) {
        const HRESULT hr = SaveFreshLink(linkPath, programPath, arguments);
        if (hr != S_OK) {
            Fail(L"フォルダ " + label + (updating ? L" の" : L" に") + kCrLf + programPath + kCrLf +
                 arguments + kCrLf + linkPath + kCrLf +
                 (updating ? L"を更新できませんでした " : L"を作成できませんでした ") +
                 ResultCodeText(hr) + kCrLf + SystemErrorText(hr));
        }
        if (updating) {
            MessageDialog(L"フォルダ " + label + L" の" + kCrLf + linkPath + kCrLf +
                          L"を更新しました");
            setMessage(label + L" の " + fileName + L" を更新しました");
        } else {
            MessageDialog(L"フォルダ " + label + L" に" + kCrLf + linkPath + kCrLf +
                          L"を作成しました");
            setMessage(label + L" に " + fileName + L" を作成しました");
        }
    };

    if (FileExists(linkPath)) {
        const int answer = ApplicationMessageBox(
            L"フォルダ " + label + L" に" + kCrLf + linkPath + kCrLf +
                L"は既に存在します。更新しますか？" + kCrLf + kCrLf +
                L"[はい]: 更新する, [いいえ]: 削除する, [キャンセル]: 取消し" + kCrLf,
            MB_YESNOCANCEL | MB_ICONQUESTION);
        if (answer == IDCANCEL) return;
        if (answer == IDYES) {
            place(true);
        } else if (answer == IDNO) {
            if (DeleteToRecycleBin(linkPath)) {
                MessageDialog(L"フォルダ " + label + L" から" + kCrLf + linkPath + kCrLf +
                              L"を削除しました");
                setMessage(label + L" から " + fileName + L" を削除しました");
                ShortCut1.clear();
            } else {
                MessageDialog(L"フォルダ " + label + L" から" + kCrLf + linkPath + kCrLf +
                              L"を削除できませんでした");
                setMessage(label + L" から " + fileName + L" を削除できませんでした");
            }
        }
    } else {
        place(false);
    }

    ButtonOpenFolder3.setEnabled(true);
    ButtonProperties3.setEnabled(!ShortCut1.empty());
    ButtonExeLink3.setEnabled(!ShortCut1.empty());

    // The File page's buttons offer the folder; the Edit page's panel has its own button for it.
    if (activePage() == PageId::Edit) return;
    if (ApplicationMessageBox(L"フォルダ " + label + L" を開きますか？",
                              MB_YESNO | MB_ICONQUESTION) == IDYES) {
        if (FileExists(ShortCut1))
            OpenBy(L"explorer.exe", L"/select,\"" + ShortCut1 + L"\"");
        else
            Open(folder);
    }
    SetPanelEnabled(GridPanel6, false);
    ButtonCreate3.setImageIndex(-1);
}

void TPallendoForm::ButtonSendTo1Click() {
    PlaceShortcut(CSIDL_SENDTO, ExecutablePath(), L"", L"「送る」");
}

void TPallendoForm::ButtonDeskTop1Click() {
    PlaceShortcut(CSIDL_DESKTOP, ExecutablePath(), L"", L"デスクトップ");
}

void TPallendoForm::ButtonStartMenu1Click() {
    PlaceShortcut(CSIDL_PROGRAMS, ExecutablePath(), L"", L"スタートメニュー");
}

void TPallendoForm::ButtonStartUp1Click() {
    PlaceShortcut(CSIDL_STARTUP, ExecutablePath(), L"", L"スタートアップ");
}

void TPallendoForm::ButtonCreate3Click() {
    const Destination destination = ChosenDestination(*this);
    PlaceShortcut(destination.folderId, TargetExeName1, TargetFileName1, destination.label);
}
