// The dedicated-shortcut panel of the Edit page.
#include "app/PallendoForm.h"
#include "shell/FileSystem.h"
#include "shell/MessageLoop.h"
#include "shell/ShellActions.h"
#include "shell/Text.h"
#include "shortcuts/Destination.h"

void TPallendoForm::Edit3Change() {
    if (Edit3.enabled()) ButtonEdit3Clear.setEnabled(true);
}

void TPallendoForm::Edit3KeyPress(wchar_t& key) {
    if (key != L'\r') return;
    key = 0;  // a one-line field would only beep at it
    if (!Edit3.showing() || !Edit3.enabled()) return;
    if (HWND next = ::GetNextDlgTabItem(hwnd, Edit3.hwnd, FALSE)) FocusControl(next);
}

void TPallendoForm::ButtonEdit3ClearClick() {
    Edit3.setText(L"");
    Edit3.setFocus();
    setMessage(L"");
    ButtonEdit3Clear.setEnabled(false);
    ButtonOpenFolder3.setEnabled(true);
    ButtonProperties3.setEnabled(false);
    ButtonExeLink3.setEnabled(false);
}

void TPallendoForm::ButtonOpenFolder3Click() {
    ShowInFolder(ShortCut1, GetSpecialFolder(ChosenDestination(*this).folderId));
}

void TPallendoForm::ButtonProperties3Click() {
    if (FileExists(ShortCut1)) ShowProperties(ShortCut1);
}

void TPallendoForm::ButtonExeLink3Click() {
    Open(ShortCut1);
    setMessage(FileNamePart(ShortCut1) + L" を 起動しました");
}
