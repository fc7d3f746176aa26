#pragma once
// The destination that the dedicated-shortcut panel's radio buttons choose.
#include <string>

#include "app/PallendoForm.h"

struct Destination {
    int folderId;        // CSIDL_DESKTOP, CSIDL_PROGRAMS or CSIDL_STARTUP
    std::wstring label;  // the checked radio button's caption; "" when none is checked
};

// The first checked of Desktop, Start menu, Startup; the Desktop without a label when none is.
Destination ChosenDestination(const TPallendoForm& form);
