#include "shell/StartupSteps.h"

namespace {
StartupListener listening = nullptr;
}

void ListenToStartup(StartupListener listener) {
    listening = listener;
}

void MarkStartup(const char* step) {
    if (listening) listening(step);
}
