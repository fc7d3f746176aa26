#include "shell/ProgramScope.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

ProgramScope::ProgramScope() {
    comReady_ =
        SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
    INITCOMMONCONTROLSEX controls{sizeof(controls),
                                  ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
}

ProgramScope::~ProgramScope() {
    if (comReady_) ::CoUninitialize();
}
