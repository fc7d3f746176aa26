// Placing a shortcut in a folder: its path, creating or updating it, deleting it, and offering
// the folder; the texts that report each outcome stand side by side below.
#include <shlobj.h>

#include "app/PallendoForm.h"
#include "shell/Boxes.h"
#include "shell/Failure.h"
#include "shell/FileSystem.h"
#include "shell/PlatformError.h"
#include "shell/ProgramIdentity.h"
#include "shell/ShellActions.h"
#include "shell/Text.h"
#include "shortcuts/Destination.h"
#include "shortcuts/ShellLink.h"

namespace {

constexpr wchar_t kCrLf[] = L"\r\n";

// --- the texts of the outcomes --------------------------------------------------------------

std::wstring ExistsQuestion(const std::wstring& label, const std::wstring& link) {
    return L"フォルダ " + label + L" に" + kCrLf + link + kCrLf +
           L"は既に存在します。更新しますか？" + kCrLf + kCrLf +
           L"[はい]: 更新する, [いいえ]: 削除する, [キャンセル]: 取消し" + kCrLf;
}

std::wstring PlacedNotice(const std::wstring& label, const std::wstring& link, bool updated) {
    return L"フォルダ " + label + (updated ? L" の" : L" に") + kCrLf + link + kCrLf +
           (updated ? L"を更新しました" : L"を作成しました");
}

std::wstring PlacedMessage(const std::wstring& label, const std::wstring& name, bool updated) {
    return label + (updated ? L" の " : L" に ") + name +
           (updated ? L" を更新しました" : L" を作成しました");
}

std::wstring NotPlacedText(const std::wstring& label, const std::wstring& program,
                           const std::wstring& arguments, const std::wstring& link, bool updating,
                           HRESULT result) {
    return L"フォルダ " + label + (updating ? L" の" : L" に") + kCrLf + program + kCrLf +
           arguments + kCrLf + link + kCrLf +
           (updating ? L"を更新できませんでした " : L"を作成できませんでした ") +
           ResultCodeText(result) + kCrLf + SystemErrorText(result);
}

std::wstring DeletedNotice(const std::wstring& label, const std::wstring& link, bool deleted) {
    return L"フォルダ " + label + L" から" + kCrLf + link + kCrLf +
           (deleted ? L"を削除しました" : L"を削除できませんでした");
}

std::wstring DeletedMessage(const std::wstring& label, const std::wstring& name, bool deleted) {
    return label + L" から " + name + (deleted ? L" を削除しました" : L" を削除できませんでした");
}

std::wstring OpenFolderQuestion(const std::wstring& label) {
    return L"フォルダ " + label + L" を開きますか？";
}

// --- the steps --------------------------------------------------------------------------------

// The link's name stays one file name inside the chosen folder: a separator or a drive would
// place it elsewhere, and a colon writes it into a hidden stream of another file.
void RefuseUnsafeLinkName(const std::wstring& name) {
    if (IsRootedName(name) || HasInvalidFileNameChars(name))
        Fail(L"表示名に " + std::wstring(kFileNameCharsText) + L" は使えません");
}

// This program's own shortcut is named after it; a dedicated one after the display name, or the
// document and launcher when there is none.
std::wstring LinkPathIn(const std::wstring& folder, bool own, const std::wstring& displayName,
                        const std::wstring& programPath, const std::wstring& arguments) {
    if (own) return JoinPath(folder, kApplicationTitle) + L".lnk";
    std::wstring name = displayName;
    if (name.empty()) name = FileNameOf(arguments) + L"(" + BaseNameOf(programPath) + L")";
    RefuseUnsafeLinkName(name);
    return JoinPath(folder, name) + L".lnk";
}

}  // namespace

void TPallendoForm::PlaceShortcut(int folderId, const std::wstring& programPath,
                                  const std::wstring& arguments, const std::wstring& folderLabel) {
    const bool own = programPath == ExecutablePath();
    const std::wstring folder = GetSpecialFolder(folderId);
    const std::wstring linkPath = LinkPathIn(folder, own, Edit3.text(), programPath, arguments);
    ShortCut1 = linkPath;
    if (!own) Edit3.setText(BaseNameOf(ShortCut1));

    if (!FileExists(linkPath)) {
        placeLink(linkPath, programPath, arguments, folderLabel, false);
    } else {
        const int answer = ApplicationMessageBox(ExistsQuestion(folderLabel, linkPath),
                                                 MB_YESNOCANCEL | MB_ICONQUESTION);
        if (answer == IDCANCEL) return;
        if (answer == IDYES) placeLink(linkPath, programPath, arguments, folderLabel, true);
        if (answer == IDNO) deleteLink(linkPath, folderLabel);
    }
    ButtonOpenFolder3.setEnabled(true);
    ButtonProperties3.setEnabled(!ShortCut1.empty());
    ButtonExeLink3.setEnabled(!ShortCut1.empty());
    // The Edit page's panel has its own button for the folder; the File page's buttons offer it.
    if (activePage() == PageId::Edit) return;
    offerFolder(folder, folderLabel);
}

// Writes a fresh link over whatever file has the name, and reports it.
void TPallendoForm::placeLink(const std::wstring& linkPath, const std::wstring& programPath,
                              const std::wstring& arguments, const std::wstring& label,
                              bool updating) {
    const HRESULT result =
        SaveShellLink(WriteShellLink(CreateShellLink(), programPath, arguments), linkPath);
    if (result != S_OK)
        Fail(NotPlacedText(label, programPath, arguments, linkPath, updating, result));
    MessageDialog(PlacedNotice(label, linkPath, updating));
    setMessage(PlacedMessage(label, FileNamePart(linkPath), updating));
}

// Moves the link to the recycle bin, and reports it.
void TPallendoForm::deleteLink(const std::wstring& linkPath, const std::wstring& label) {
    const bool deleted = DeleteToRecycleBin(linkPath);
    MessageDialog(DeletedNotice(label, linkPath, deleted));
    setMessage(DeletedMessage(label, FileNamePart(linkPath), deleted));
    if (deleted) ShortCut1.clear();
}

void TPallendoForm::offerFolder(const std::wstring& folder, const std::wstring& label) {
    if (ApplicationMessageBox(OpenFolderQuestion(label), MB_YESNO | MB_ICONQUESTION) == IDYES)
        ShowInFolder(ShortCut1, folder);
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
