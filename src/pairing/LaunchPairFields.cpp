// The target field and the launcher field: icons, enabled states, clear and browse buttons.
#include "app/PallendoForm.h"

void TPallendoForm::Edit1Change() {}

void TPallendoForm::ComboBox2Change() {}

void TPallendoForm::ComboBox2Enter() {}

void TPallendoForm::WithdrawTest() {}

void TPallendoForm::ShowTargetIcon(const std::wstring&) {}

void TPallendoForm::ShowLauncherIcon(const std::wstring&) {}

void TPallendoForm::ButtonEdit1ClearClick() {}

void TPallendoForm::ButtonComboBox2ClearClick() {}

void TPallendoForm::ButtonSelectFile1Click() {}

void TPallendoForm::ButtonSelectExe2Click() {}

