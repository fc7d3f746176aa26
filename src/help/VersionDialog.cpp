// The version dialog.
#include "app/PallendoForm.h"

void TPallendoForm::Button5Click() {}

