#pragma once
// The one boundary failures stop at: every platform callback runs its body through Guarded, so
// that no exception crosses back into the platform. A failure goes to the application error box.
#include <windows.h>

#include <exception>

#include "shell/Boxes.h"
#include "shell/Failure.h"

// An exception that is not a failure: shown as "Unexpected error" with what it says.
void ReportEscapedException(const std::exception* error) noexcept;

// Runs a callback body; a failure goes to the application error box and `fallback` is returned.
template <typename Body>
LRESULT Guarded(Body&& body, LRESULT fallback = 0) noexcept {
    try {
        return body();
    } catch (const Failure& failure) {
        try {
            ShowApplicationError(failure.message());
        } catch (...) {
        }
    } catch (const std::exception& error) {
        ReportEscapedException(&error);
    } catch (...) {
        ReportEscapedException(nullptr);
    }
    return fallback;
}
