#pragma once
// The names the combination test works with.
#include <string>

class TPallendoForm;

// Every name the test needs, taken (and so validated) before anything is deleted or started.
struct TestNames {
    std::wstring target;       // file name of the target, for the message panel
    std::wstring launcher;     // file name of the launcher, for the message panel
    std::wstring copy;         // file name of the test copy: the target's, without blanks
    std::wstring displayName;  // proposed for the dedicated shortcut
};

// The names of the pair the two fields hold; raises a failure for a name no file may have.
TestNames NamesOfTest(const TPallendoForm& form);
