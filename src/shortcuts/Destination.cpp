#include "shortcuts/Destination.h"

#include <shlobj.h>

Destination ChosenDestination(const TPallendoForm& form) {
    if (form.RadioButtonDeskTop1.checked()) return {CSIDL_DESKTOP, form.RadioButtonDeskTop1.text()};
    if (form.RadioButtonStartMenu2.checked())
        return {CSIDL_PROGRAMS, form.RadioButtonStartMenu2.text()};
    if (form.RadioButtonStartUp3.checked()) return {CSIDL_STARTUP, form.RadioButtonStartUp3.text()};
    return {CSIDL_DESKTOP, L""};
}
