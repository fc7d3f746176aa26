// Placing a shortcut in a folder: create, update or delete.
#include "app/PallendoForm.h"

void TPallendoForm::PlaceShortcut(int, const std::wstring&, const std::wstring&, const std::wstring&) {}

void TPallendoForm::ButtonSendTo1Click() {}

void TPallendoForm::ButtonDeskTop1Click() {}

void TPallendoForm::ButtonStartMenu1Click() {}

void TPallendoForm::ButtonStartUp1Click() {}

void TPallendoForm::ButtonCreate3Click() {}

