// Files taken in from the command line and from drag and drop.
#include "app/PallendoForm.h"

void TPallendoForm::TakeCommandLine() {}

void TPallendoForm::WMDropFiles(HDROP drop) {
    ::DragFinish(drop);
}
