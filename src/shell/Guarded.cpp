#include "shell/Guarded.h"

#include <string>

void ReportEscapedException(const std::exception* error) noexcept {
    try {
        std::wstring text = L"Unexpected error";
        if (error) {
            const std::string what = error->what();
            text += L": " + std::wstring(what.begin(), what.end());
        }
        ShowApplicationError(text);
    } catch (...) {
    }
}
