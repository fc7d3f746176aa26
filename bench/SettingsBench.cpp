// How start-up and close scale with the launcher history: times a real window reading and
// writing its settings file with an empty history and with thousands of entries.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <cstdio>
#include <vector>

#include "app/PallendoForm.h"
#include "settings/IniFile.h"
#include "settings/SettingsPath.h"
#include "shell/FileSystem.h"
#include "shell/MessageLoop.h"
#include "shell/ProgramScope.h"
#include "shell/Text.h"

namespace {
using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

void WriteHistory(const std::wstring& path, int entries) {
    IniImage image;
    image.writeString(L"OPTION", L"ExeName", L"C:\\Program Files\\Viewer\\viewer.exe");
    for (int n = 0; n < entries; ++n)
        image.writeString(L"DATA", L"Exe" + std::to_wstring(n),
                          L"C:\\Program Files\\ツール " + std::to_wstring(n) + L"\\program" +
                              std::to_wstring(n) + L".exe");
    CreateFolderTree(FolderPart(path));
    SaveIniFile(path, image, IniEncoding::Ansi);
}

// Medians, in milliseconds, of each phase of a window's life.
struct Figures {
    double create = 0;      // the window made: start-up, reading the settings included
    double show = 0;        // shown and painted
    double closeQuery = 0;  // the close query: the settings written
    double destroy = 0;     // the window and its controls destroyed
    int listed = 0;
    double startUp() const { return create + show; }
    double close() const { return closeQuery + destroy; }
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

Figures Measure(int entries, int rounds) {
    const std::wstring path = SettingsFilePath(kSettingsFolderName);
    std::vector<double> create, show, closeQuery, destroy;
    int listed = 0;
    for (int round = 0; round < rounds; ++round) {
        WriteHistory(path, entries);
        const auto t0 = Clock::now();
        auto form = std::make_unique<TPallendoForm>();
        const auto t1 = Clock::now();
        form->show();
        ProcessMessages();
        const auto t2 = Clock::now();
        listed = form->ComboBox2.count();
        bool canClose = true;
        form->FormCloseQuery(canClose);
        const auto t3 = Clock::now();
        form.reset();
        ProcessMessages();
        const auto t4 = Clock::now();
        create.push_back(Milliseconds(t1 - t0));
        show.push_back(Milliseconds(t2 - t1));
        closeQuery.push_back(Milliseconds(t3 - t2));
        destroy.push_back(Milliseconds(t4 - t3));
    }
    ::DeleteFileW(path.c_str());
    return {Median(create), Median(show), Median(closeQuery), Median(destroy), listed};
}
}  // namespace

int main() {
    const ProgramScope program;
    constexpr int kRounds = 5;
    Measure(0, 1);  // the first window pays for loading fonts and classes
    const Figures empty = Measure(0, kRounds);
    std::printf(
        "Milliseconds, median of %d rounds. Start-up = create (reads the settings) + show;\n"
        "close = close query (writes the settings) + destroy.\n\n",
        kRounds);
    std::printf("%8s %8s %8s %8s %8s %8s | %9s %9s %9s %9s\n", "entries", "create", "show", "query",
                "destroy", "listed", "start-up", "close", "x create", "x query");
    auto row = [&](int entries, const Figures& f) {
        std::printf("%8d %8.1f %8.1f %8.1f %8.1f %8d | %8.2fx %8.2fx %8.2fx %8.2fx\n", entries,
                    f.create, f.show, f.closeQuery, f.destroy, f.listed,
                    f.startUp() / empty.startUp(), f.close() / empty.close(),
                    f.create / empty.create, f.closeQuery / empty.closeQuery);
    };
    row(0, empty);
    std::vector<std::pair<int, Figures>> rows;
    for (int entries : {1000, 10000, 20000}) {
        rows.emplace_back(entries, Measure(entries, kRounds));
        row(entries, rows.back().second);
    }
    // Linear work grows with the entries: the cost above the empty window's, per entry, stays flat.
    std::printf("\nmicroseconds per entry above the empty history:\n");
    for (const auto& [entries, f] : rows)
        std::printf("%8d   reading %6.2f   writing %6.2f\n", entries,
                    1000 * (f.create - empty.create) / entries,
                    1000 * (f.closeQuery - empty.closeQuery) / entries);
    return 0;
}
