// The Help page's buttons and the default-apps button.
#include "app/PallendoForm.h"

void TPallendoForm::Button4Click() {}

void TPallendoForm::Button6Click() {}

void TPallendoForm::Button7Click() {}

void TPallendoForm::Button8Click() {}

void TPallendoForm::ButtonDefApp1Click() {}

