// The launcher history behind the launcher field.
#include "app/PallendoForm.h"

void TPallendoForm::RememberLauncher(const std::wstring&) {}

void TPallendoForm::ComboBox2Exit() {}

void TPallendoForm::CheckBoxAddHistory1Click() {}

