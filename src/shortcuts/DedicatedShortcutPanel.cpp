// The dedicated-shortcut panel of the Edit page.
#include "app/PallendoForm.h"

void TPallendoForm::Edit3Change() {}

void TPallendoForm::Edit3KeyPress(wchar_t&) {}

void TPallendoForm::ButtonEdit3ClearClick() {}

void TPallendoForm::ButtonOpenFolder3Click() {}

void TPallendoForm::ButtonProperties3Click() {}

void TPallendoForm::ButtonExeLink3Click() {}

