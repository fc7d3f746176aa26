// The Help page's buttons and the default-apps button.
#include "app/PallendoForm.h"
#include "help/HelpFile.h"
#include "shell/FileSystem.h"
#include "shell/ProgramIdentity.h"
#include "shell/ShellActions.h"

void TPallendoForm::Button4Click() {
    ShowHelpFile(ExecutablePath());
}

void TPallendoForm::Button6Click() {
    ShowProperties(ExecutablePath());
}

void TPallendoForm::Button7Click() {
    Open(kProductPageUrl);
}

void TPallendoForm::Button8Click() {
    Open(kHomePageUrl);
}

void TPallendoForm::ButtonDefApp1Click() {
    Open(kDefaultAppsPage);
}
