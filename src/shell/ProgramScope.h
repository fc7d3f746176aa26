#pragma once
// What the program sets up on its thread before its first window, undone when it ends: COM for
// the shell's objects (a single-threaded apartment) and the common controls. The product, the
// test fixtures and the benchmarks all start this way.
class ProgramScope {
public:
    ProgramScope();
    ~ProgramScope();
    ProgramScope(const ProgramScope&) = delete;
    ProgramScope& operator=(const ProgramScope&) = delete;

private:
    bool comReady_ = false;
};
