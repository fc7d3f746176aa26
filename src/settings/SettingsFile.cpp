// The settings file: read during start-up, written at close.
#include "app/PallendoForm.h"

void TPallendoForm::ReadSettings() {}

void TPallendoForm::WriteSettings() {}

