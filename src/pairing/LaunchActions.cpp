// Opening the target, starting the launcher, and the combination test.
#include "app/PallendoForm.h"

void TPallendoForm::ButtonOpenDefault1Click() {}

void TPallendoForm::ButtonExe2Click() {}

void TPallendoForm::ButtonTest12Click() {}

