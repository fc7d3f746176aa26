// パレンド with a listener on its start-up steps, for the start-up benchmark's profile: when the
// program ends, the time of each step's end since the process was created goes, one line per
// step, to the file that PALLENDO_STARTUP_PROFILE names. The product itself has no listener.
#include <windows.h>

#include <cstdio>
#include <vector>

#include "app/PallendoForm.h"
#include "shell/StartupSteps.h"

namespace {

struct Mark {
    const char* step;
    double milliseconds;
};
std::vector<Mark> marks;
double created = 0;

double Milliseconds(FILETIME time) {
    return static_cast<double>(static_cast<ULONGLONG>(time.dwHighDateTime) << 32 |
                               time.dwLowDateTime) /
           10'000.0;
}

void Record(const char* step) {
    FILETIME now{};
    ::GetSystemTimePreciseAsFileTime(&now);
    marks.push_back({step, Milliseconds(now) - created});
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    FILETIME creation{}, exit{}, kernel{}, user{};
    ::GetProcessTimes(::GetCurrentProcess(), &creation, &exit, &kernel, &user);
    created = Milliseconds(creation);
    marks.reserve(32);
    Record("process start until the program's entry");
    ListenToStartup(&Record);
    const int code = RunPallendo();
    wchar_t path[MAX_PATH] = {};
    if (::GetEnvironmentVariableW(L"PALLENDO_STARTUP_PROFILE", path, MAX_PATH) == 0) return code;
    if (FILE* out = _wfopen(path, L"w")) {
        for (const Mark& mark : marks)
            std::fprintf(out, "%.3f\t%s\n", mark.milliseconds, mark.step);
        std::fclose(out);
    }
    return code;
}
