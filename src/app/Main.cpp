#include <windows.h>

#include "app/PallendoForm.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    return RunPallendo();
}
