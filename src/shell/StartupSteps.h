#pragma once
// Marks between the steps of start-up, for the start-up benchmark's profile. The product has no
// listener, so a mark costs one test of a pointer.

using StartupListener = void (*)(const char* step);

// The benchmark's own build of the program listens; nobody else does.
void ListenToStartup(StartupListener listener);
// The named step has just ended.
void MarkStartup(const char* step);
