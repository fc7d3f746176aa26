// Start-up and memory of パレンド against a plain Win32 program with the same controls
// (PlainProgram.exe), and against itself with a launcher history of 10,000 entries. Each
// program is started as the shell starts it, timed until its window is shown and idle, measured,
// and closed; the programs take turns, round after round, so a slow moment of the machine falls
// on all of them, and a start-up ratio is the median of the rounds' own ratios. Prints medians
// and ratios; it is a benchmark, not a test.
//   StartupBench [rounds]
#include <windows.h>
#include <psapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "app/PallendoForm.h"
#include "settings/SettingsPath.h"
#include "shell/FileSystem.h"
#include "shell/Handles.h"
#include "shell/Text.h"
#include "shell/WindowQueries.h"

namespace {

constexpr DWORD kDeadline = 30000;
constexpr int kHistoryEntries = 10000;
// The pause before each start: what the program before left to finish (its files written, its
// process torn down by Wine and the system) is over, so a start is not timed against another's end.
constexpr DWORD kSettle = 250;

struct Program {
    const char* label;
    std::wstring path;
    const wchar_t* windowClass;
    int history = -1;  // -1: no settings file; otherwise the history it starts with
};

struct Sample {
    double startUp = 0, close = 0;            // milliseconds
    double workingSet = 0, privateBytes = 0;  // KiB
    double gdiObjects = 0, userObjects = 0;
    std::map<std::wstring, int> controls;
    std::multiset<std::wstring> captions;  // of the controls on the pages
};

double Now() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / frequency;
}

// The benchmark's own folder, where the yardsticks lie; the product lies one folder up.
std::wstring OwnFolder() {
    return FolderPart(ExecutablePath());
}

std::wstring ProductPath() {
    return JoinPath(FolderPart(OwnFolder()), L"Pallendo.exe");
}

// The product's settings file, where the product finds it.
// The settings file a program finds: each executable has its own, the profiled build too.
std::wstring SettingsFileOf(const std::wstring& program) {
    return SettingsFilePath(kSettingsFolderName, program);
}

// Every start finds the same file: none at all, or a history of the given size.
void PrepareSettings(const std::wstring& program, int history) {
    const std::wstring path = SettingsFileOf(program);
    ::DeleteFileW(path.c_str());
    if (history < 0) return;
    CreateFolderTree(FolderPart(path));
    std::string text = "[OPTION]\r\nExeName=C:\\Tools\\viewer.exe\r\n\r\n[DATA]\r\n";
    for (int n = 0; n < history; ++n)
        text += "Exe" + std::to_string(n) + "=C:\\Program Files\\Tool " + std::to_string(n) +
                "\\program" + std::to_string(n) + ".exe\r\n";
    text += "\r\n";
    const UniqueFile file(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    ::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

// The program's window of that class; nullptr while it has none.
HWND WindowOf(DWORD process, const wchar_t* windowClass) {
    HWND window = ::FindWindowW(windowClass, nullptr);
    DWORD owner = 0;
    if (window) ::GetWindowThreadProcessId(window, &owner);
    return owner == process ? window : nullptr;
}

// Waits until the program's window is shown and its thread takes messages again, without
// asking the window server over and over while the program starts: the window server serves one
// request at a time, and a program that takes messages once before its first show (as the
// product's first clock tick does, and so reports itself idle early) would pay for every question.
HWND WaitUntilShownAndIdle(const PROCESS_INFORMATION& info, const wchar_t* windowClass, double t0) {
    ::WaitForInputIdle(info.hProcess, kDeadline);
    HWND window = nullptr;
    while (!(window = WindowOf(info.dwProcessId, windowClass)) && Now() - t0 < kDeadline)
        ::Sleep(1);
    // The answer comes when the thread next takes messages: its message loop after the first
    // show at the latest.
    while (window && Now() - t0 < kDeadline) {
        DWORD_PTR result = 0;
        if (!::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, kDeadline, &result))
            return nullptr;
        if (::IsWindowVisible(window)) return window;
        ::Sleep(1);
    }
    return nullptr;
}

// The controls that the program made, by class: children of the window and of its pages, not
// the parts that controls make for themselves (a combo box's edit field, a tab control's arrows).
std::map<std::wstring, int> ControlsOf(HWND main) {
    std::map<std::wstring, int> controls;
    for (HWND control : ChildWindows(main)) {
        HWND parent = ::GetParent(control);
        if (parent == main || ClassName(parent).find(L"Page") != std::wstring::npos)
            ++controls[ClassName(control)];
    }
    return controls;
}

// The captions of the controls on the window's pages, whatever their order.
std::multiset<std::wstring> CaptionsOf(HWND main) {
    std::multiset<std::wstring> captions;
    for (HWND control : ChildWindows(main))
        if (ClassName(::GetParent(control)).find(L"Page") != std::wstring::npos)
            captions.insert(WindowText(control));
    return captions;
}

// Wine leaves a process's private bytes at 0 for other processes. There the figure is the
// process's anonymous memory (heaps, stacks, private data) as Linux counts it, found through
// Wine's drive Z: by the command line the process was started with.
std::string ReadSmall(const std::wstring& path) {
    const UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
    if (!file) return {};
    std::string text(16384, '\0');
    DWORD read = 0;
    ::ReadFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &read, nullptr);
    text.resize(read);
    return text;
}

double AnonymousKiBUnderWine(const std::wstring& path) {
    char wanted[MAX_PATH * 3] = {};
    ::WideCharToMultiByte(CP_UTF8, 0, path.c_str(), -1, wanted, sizeof(wanted), nullptr, nullptr);
    WIN32_FIND_DATAW entry;
    const UniqueFind search(::FindFirstFileW(L"Z:\\proc\\*", &entry));
    if (!search) return 0;
    double kib = 0;
    do {
        const std::wstring folder = JoinPath(L"Z:\\proc", entry.cFileName);
        if (entry.cFileName[0] < L'0' || entry.cFileName[0] > L'9') continue;
        std::string program =
            ReadSmall(JoinPath(folder, L"cmdline")).c_str();  // its first argument
        if (program.size() > 1 && program.front() == '"')
            program = program.substr(1, program.size() - 2);
        if (_stricmp(program.c_str(), wanted) != 0) continue;
        const std::string rollup = ReadSmall(JoinPath(folder, L"smaps_rollup"));
        for (const char* key : {"\nAnonymous:", "\nSwap:"}) {
            const std::size_t at = rollup.find(key);
            if (at != std::string::npos) kib += std::atof(rollup.c_str() + at + std::strlen(key));
        }
        break;
    } while (::FindNextFileW(search.get(), &entry));
    return kib;
}

bool Run(const Program& program, Sample& sample) {
    PrepareSettings(program.path, program.history);
    ::Sleep(kSettle);
    // The pointer rests in the screen's far corner, over none of the windows: each program
    // starts without mouse messages, wherever it places its window.
    ::SetCursorPos(::GetSystemMetrics(SM_CXSCREEN) - 1, ::GetSystemMetrics(SM_CYSCREEN) - 1);
    std::wstring commandLine = L"\"" + program.path + L"\"";
    STARTUPINFOW startup{sizeof(startup)};
    PROCESS_INFORMATION info{};
    const double t0 = Now();
    if (!::CreateProcessW(program.path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                          nullptr, nullptr, &startup, &info)) {
        std::fprintf(stderr, "cannot start %ls (error %lu)\n", program.path.c_str(),
                     ::GetLastError());
        return false;
    }
    const UniqueKernelHandle process(info.hProcess), thread(info.hThread);
    HWND window = WaitUntilShownAndIdle(info, program.windowClass, t0);
    const bool idle = window != nullptr;
    sample.startUp = Now() - t0;

    PROCESS_MEMORY_COUNTERS_EX memory{sizeof(memory)};
    ::GetProcessMemoryInfo(process.get(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                           sizeof(memory));
    sample.workingSet = static_cast<double>(memory.WorkingSetSize) / 1024;
    sample.privateBytes = static_cast<double>(memory.PrivateUsage) / 1024;
    if (sample.privateBytes == 0) sample.privateBytes = AnonymousKiBUnderWine(program.path);
    sample.gdiObjects = ::GetGuiResources(process.get(), GR_GDIOBJECTS);
    sample.userObjects = ::GetGuiResources(process.get(), GR_USEROBJECTS);
    if (window) sample.controls = ControlsOf(window), sample.captions = CaptionsOf(window);

    const double t1 = Now();
    if (window) ::PostMessageW(window, WM_CLOSE, 0, 0);
    const bool ended = ::WaitForSingleObject(process.get(), kDeadline) == WAIT_OBJECT_0;
    sample.close = Now() - t1;
    if (!ended) ::TerminateProcess(process.get(), 1);
    if (!idle || !ended)
        std::fprintf(stderr, "%s: window %s, %s\n", program.label, window ? "shown" : "not shown",
                     ended ? "ended" : "did not end");
    return idle && ended;
}

// The value below which the share `q` of the samples lie (0.5: the median).
double Quantile(std::vector<Sample>& samples, double Sample::*figure, double q) {
    std::vector<double> values;
    for (const Sample& s : samples) values.push_back(s.*figure);
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(q * static_cast<double>(values.size() - 1) + 0.5)];
}

double Median(std::vector<Sample>& samples, double Sample::*figure) {
    return Quantile(samples, figure, 0.5);
}

// How far one start lies from the next: the middle half of the rounds.
void Spread(const char* name, std::vector<Sample>& samples) {
    std::printf("  %-26s %6.1f to %6.1f ms\n", name, Quantile(samples, &Sample::startUp, 0.25),
                Quantile(samples, &Sample::startUp, 0.75));
}

// The start-up of one program against another's: the median of the rounds' own ratios. The
// programs of a round start close together, so a slow moment of the machine, which may last
// several starts, falls on both sides of each ratio.
double PairedRatio(const std::vector<Sample>& base, const std::vector<Sample>& measured) {
    std::vector<double> ratios;
    for (std::size_t i = 0; i < base.size() && i < measured.size(); ++i)
        ratios.push_back(measured[i].startUp / base[i].startUp);
    std::sort(ratios.begin(), ratios.end());
    return ratios[ratios.size() / 2];
}

void Row(const char* name, double base, double measured, double ratio, double goal) {
    std::printf("  %-22s %10.1f %10.1f %8.2fx   %s %.2fx\n", name, base, measured, ratio,
                ratio <= goal ? "within" : "MISSED", goal);
}

// A figure that hardly varies from start to start: the ratio of the two medians.
void RatioRow(const char* name, std::vector<Sample>& base, std::vector<Sample>& measured,
              double Sample::*figure, double goal) {
    const double b = Median(base, figure), m = Median(measured, figure);
    Row(name, b, m, m / b, goal);
}

// The common controls of the window, by class; the page containers differ in name only.
std::map<std::wstring, int> CommonControls(std::map<std::wstring, int> controls) {
    std::erase_if(controls, [](const auto& entry) {
        return entry.first.find(L"Page") != std::wstring::npos;
    });
    return controls;
}

// The start-up steps a profiled build marks, in order, with when each ended in every start.
struct Profile {
    const char* label;
    Program program;
    std::vector<std::string> steps;
    std::vector<std::vector<double>> ends;
    std::vector<double> idle;
};

// One more start of a profiled build, its marks added to the profile.
bool AddProfiledStart(Profile& profile) {
    const std::wstring file = JoinPath(TempFolder(), L"pallendo-startup-profile.txt");
    ::SetEnvironmentVariableW(L"PALLENDO_STARTUP_PROFILE", file.c_str());
    ::DeleteFileW(file.c_str());
    Sample sample;
    const bool ran = Run(profile.program, sample);
    ::SetEnvironmentVariableW(L"PALLENDO_STARTUP_PROFILE", nullptr);
    const std::string text = ReadSmall(file);
    ::DeleteFileW(file.c_str());
    if (!ran) return false;
    profile.idle.push_back(sample.startUp);
    std::size_t at = 0;
    for (std::size_t n = 0; at < text.size(); ++n) {
        const std::size_t end = text.find('\n', at);
        const std::string line = text.substr(at, end - at);
        at = end == std::string::npos ? text.size() : end + 1;
        const std::size_t tab = line.find('\t');
        if (tab == std::string::npos) continue;
        if (profile.steps.size() <= n)
            profile.steps.push_back(line.substr(tab + 1)), profile.ends.emplace_back();
        profile.ends[n].push_back(std::atof(line.c_str()));
    }
    return true;
}

// The steps with the time each took, medians of the starts.
void PrintProfile(const Profile& profile) {
    auto median = [](std::vector<double> values) {
        if (values.empty()) return 0.0;
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    };
    std::printf(
        "\nWhere the start-up of %s goes (median of %d starts, ms since the process was "
        "created):\n",
        profile.label, static_cast<int>(profile.idle.size()));
    double previous = 0;
    for (std::size_t n = 0; n < profile.steps.size(); ++n) {
        const double end = median(profile.ends[n]);
        std::printf("  %8.1f %+8.1f  %s\n", end, end - previous, profile.steps[n].c_str());
        previous = end;
    }
    const double shown = median(profile.idle);
    std::printf("  %8.1f %+8.1f  %s\n", shown, shown - previous,
                "first messages handled, idle (as the benchmark sees it, from its CreateProcess)");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int rounds = argc > 1 ? std::max(1, _wtoi(argv[1])) : 40;
    const std::wstring folder = OwnFolder();
    const std::wstring product = ProductPath();
    std::vector<Program> programs = {
        {"plain program", JoinPath(folder, L"PlainProgram.exe"), L"PlainProgram"},
        {"plain + platform steps", JoinPath(folder, L"PlainPlatformProgram.exe"),
         L"PlainPlatformProgram"},
        {"Pallendo", product, kFormClass},
        {"Pallendo, 10,000 launchers", product, kFormClass, kHistoryEntries},
    };
    std::vector<std::vector<Sample>> samples(programs.size());
    // One round to warm the file cache and Wine's own processes, not counted.
    for (const Program& program : programs) {
        Sample warm;
        if (!Run(program, warm)) return 1;
    }
    // Each round takes the programs in another order (the same orders from run to run), so
    // that none always follows the same one: what a program leaves behind as it ends (a long
    // close, files written) falls on each of the others alike.
    std::vector<std::size_t> order(programs.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::mt19937 shuffler(20261211);
    for (int round = 0; round < rounds; ++round) {
        std::shuffle(order.begin(), order.end(), shuffler);
        for (std::size_t p : order) {
            Sample sample;
            if (!Run(programs[p], sample)) return 1;
            samples[p].push_back(sample);
        }
    }
    PrepareSettings(product, -1);

    std::vector<Sample>& plain = samples[0];
    std::vector<Sample>& platform = samples[1];
    std::vector<Sample>& pallendo = samples[2];
    std::vector<Sample>& history = samples[3];
    const auto plainControls = CommonControls(plain[0].controls);
    const auto pallendoControls = CommonControls(pallendo[0].controls);
    int count = 0;
    for (const auto& [cls, n] : pallendoControls) count += n;
    const bool sameCaptions = plain[0].captions == pallendo[0].captions;
    std::printf(
        "Start-up until the window is shown and idle, memory at that moment; median of %d rounds,\n"
        "the programs taking turns, each start after a pause. A start-up ratio is the median of\n"
        "the rounds' own ratios. Both windows hold %d common controls%s%s.\n\n",
        rounds, count,
        plainControls == pallendoControls ? " of the same kinds" : " (BUT THEIR KINDS DIFFER)",
        sameCaptions ? " and captions" : " (BUT THEIR CAPTIONS DIFFER)");
    // The yardstick keeps its own copy of the captions: a caption changed in one only shows here.
    if (!sameCaptions)
        for (const std::wstring& caption : pallendo[0].captions)
            if (!plain[0].captions.contains(caption)) {
                char text[512] = {};
                ::WideCharToMultiByte(CP_UTF8, 0, caption.c_str(), -1, text, sizeof(text) - 1,
                                      nullptr, nullptr);
                std::printf("  \"%s\" only in Pallendo\n", text);
            }
    if (plainControls != pallendoControls)
        for (const auto& [cls, n] : pallendoControls)
            std::printf("  %ls: %d in Pallendo, %d in the plain program\n", cls.c_str(), n,
                        plainControls.count(cls) ? plainControls.at(cls) : 0);
    std::printf("  %-22s %10s %10s %9s   goal\n", "", "plain", "Pallendo", "ratio");
    Row("start-up, ms", Median(plain, &Sample::startUp), Median(pallendo, &Sample::startUp),
        PairedRatio(plain, pallendo), 1.2);
    RatioRow("working set, KiB", plain, pallendo, &Sample::workingSet, 1.2);
    RatioRow("private bytes, KiB *", plain, pallendo, &Sample::privateBytes, 1.2);
    std::printf("  * under Wine: the process's anonymous memory as Linux counts it\n");
    std::printf(
        "\nAgainst the plain program that also initialises COM, registers for drops and "
        "looks up\nthe application-data folder before its first show:\n");
    std::printf("  %-22s %10s %10s %9s   goal\n", "", "platform", "Pallendo", "ratio");
    Row("start-up, ms", Median(platform, &Sample::startUp), Median(pallendo, &Sample::startUp),
        PairedRatio(platform, pallendo), 1.05);
    RatioRow("working set, KiB", platform, pallendo, &Sample::workingSet, 1.2);
    std::printf("\nThe middle half of the rounds' start-ups (timings of one start vary):\n");
    Spread("plain program", plain);
    Spread("plain + platform steps", platform);
    Spread("Pallendo", pallendo);
    std::printf("\n");
    std::printf("  %-22s %10.1f %10.1f\n", "close, ms", Median(plain, &Sample::close),
                Median(pallendo, &Sample::close));
    std::printf("  %-22s %10.0f %10.0f   (0 where the platform does not count them)\n",
                "GDI objects", Median(plain, &Sample::gdiObjects),
                Median(pallendo, &Sample::gdiObjects));
    std::printf("  %-22s %10.0f %10.0f\n", "USER objects", Median(plain, &Sample::userObjects),
                Median(pallendo, &Sample::userObjects));

    std::printf("\nPallendo with a launcher history of %d entries against none:\n",
                kHistoryEntries);
    std::printf("  %-22s %10s %10s %9s   goal\n", "", "empty", "10,000", "ratio");
    Row("start-up, ms", Median(pallendo, &Sample::startUp), Median(history, &Sample::startUp),
        PairedRatio(pallendo, history), 1.5);
    std::printf("  %-22s %10.1f %10.1f %8.2fx\n", "close, ms", Median(pallendo, &Sample::close),
                Median(history, &Sample::close),
                Median(history, &Sample::close) / Median(pallendo, &Sample::close));
    std::printf("  %-22s %10.1f %10.1f %8.2fx\n", "private bytes, KiB",
                Median(pallendo, &Sample::privateBytes), Median(history, &Sample::privateBytes),
                Median(history, &Sample::privateBytes) / Median(pallendo, &Sample::privateBytes));

    // The two profiled builds take turns as well, so that their steps compare.
    std::vector<Profile> profiles = {
        {"Pallendo (a build that marks its steps)",
         {"profiled Pallendo", JoinPath(folder, L"ProfiledPallendo.exe"), kFormClass}},
        {"the plain program with the platform steps",
         {"plain + platform steps", JoinPath(folder, L"PlainPlatformProgram.exe"),
          L"PlainPlatformProgram"}},
    };
    std::vector<std::size_t> turns = {0, 1};
    for (int round = 0; round < rounds; ++round) {
        std::shuffle(turns.begin(), turns.end(), shuffler);
        for (std::size_t p : turns)
            if (!AddProfiledStart(profiles[p])) return 1;
    }
    for (const Profile& profile : profiles) PrintProfile(profile);

    WIN32_FILE_ATTRIBUTE_DATA attributes{};
    ::GetFileAttributesExW(product.c_str(), GetFileExInfoStandard, &attributes);
    const double size = static_cast<double>(attributes.nFileSizeLow) / 1024;
    std::printf("\nPallendo.exe: %.0f KiB (%.2f MiB), %s the goal of under 1 MiB\n", size,
                size / 1024, size < 1024 ? "within" : "MISSING");
    return 0;
}
