#pragma once
// What the tests share: a scripted prompter, message pumping with deadlines, throw-away folders
// in the test prefix, the probe launcher and an answerer for the platform's own boxes.
#include <windows.h>

#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/Controls.h"
#include "shell/Handles.h"
#include "shell/Prompter.h"

// Records every question and message, and answers from queues. An unexpected question is
// answered IDCANCEL (or cancelled, for file dialogs) and recorded all the same.
class ScriptedPrompter : public Prompter {
public:
    struct Asked {
        std::wstring kind;  // "message", "cancellable message", "box", "file"
        std::wstring caption;
        std::wstring text;
        UINT flags = 0;
        FileDialogRequest file;
    };

    ScriptedPrompter();
    ~ScriptedPrompter() override;

    std::deque<int> boxAnswers;
    std::deque<std::optional<std::wstring>> fileAnswers;
    std::vector<Asked> asked;

    void showMessage(HWND owner, const std::wstring& caption, const std::wstring& text,
                     bool cancellable) override;
    int askBox(HWND owner, const std::wstring& caption, const std::wstring& text,
               UINT flags) override;
    std::optional<std::wstring> chooseFile(HWND owner, const FileDialogRequest& request) override;

    // The texts of everything asked, in order, of one kind (all kinds when empty).
    std::vector<std::wstring> texts(const std::wstring& kind = L"") const;
    void clear() { asked.clear(); }

private:
    Prompter* previous_ = nullptr;
};

// A window the test made, destroyed when the owner ends.
using UniqueWindow = UniqueHandle<HWND, ::DestroyWindow>;

// Handles waiting window messages.
void PumpMessages();
// Types the text into a field character by character, as the keyboard does.
void TypeInto(HWND field, const std::wstring& text);
// Drops the combo box's list down and clicks an entry with the mouse, as the user does.
void ClickComboEntry(const ComboBox& combo, int index);
// Pumps messages until the condition holds or the deadline passes; returns the condition.
bool PumpUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds deadline = std::chrono::seconds(30));

// A new empty folder in the test prefix's temporary folder, removed again at the end.
class TestFolder {
public:
    explicit TestFolder(const std::wstring& name);
    ~TestFolder();
    const std::wstring& path() const { return path_; }
    // A path in the folder. Joined as it is written, not through JoinPath: tests name files with
    // characters no path may hold on purpose, to see the program refuse them.
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

void RemoveTree(const std::wstring& path);
// The names a pattern (C:\folder\*, C:\folder\name*) matches, files and folders.
std::vector<std::wstring> NamesMatching(const std::wstring& pattern);
// The names of the files in a folder, without its subfolders.
std::vector<std::wstring> FileNamesIn(const std::wstring& folder);
void WriteBytes(const std::wstring& path, const std::string& bytes);
std::string ReadBytes(const std::wstring& path);
// A file list as the shell hands it over in a drop: DROPFILES, then the wide paths, each
// NUL-ended, and one more NUL.
std::string DropBytes(const std::vector<std::wstring>& paths);
std::wstring Utf8ToWide(const std::string& text);
std::string WideToUtf8(const std::wstring& text);
bool Exists(const std::wstring& path);

// A local time for the clock seam.
SYSTEMTIME At(int year, int month, int day, int hour, int minute, int second = 0, int milli = 0);

// Wine's trash of the test home, where deleted files land.
std::wstring TrashFolder();
// The path in the prefix of a folder of the host that the environment variable names (Wine maps
// the host's root to Z:); "" when the variable is not set.
std::wstring HostFolderOf(const wchar_t* variable);
// A disk of 16 MiB for tests that fill one up; "" where the test run could not make one.
std::wstring SmallDisk();

// The folder of the running test program.
std::wstring TestProgramFolder();
// The built product, Pallendo.exe.
std::wstring ProductPath();

// The probe launcher and the record it leaves of its command line.
class Probe {
public:
    Probe();  // points PALLENDO_PROBE_LOG at a fresh file
    ~Probe();
    static std::wstring path();
    // Waits for the probe's record; the arguments it was given, or nothing before the deadline.
    std::optional<std::vector<std::wstring>> waitForArguments(
        std::chrono::milliseconds deadline = std::chrono::seconds(30)) const;
    std::wstring commandLine() const;
    // True when a start of the probe has left its record.
    bool recorded() const { return ::GetFileAttributesW(log_.c_str()) != INVALID_FILE_ATTRIBUTES; }
    // Forgets the last record, so the next start of the probe can be told apart.
    void forget() const { ::DeleteFileW(log_.c_str()); }

private:
    TestFolder folder_;
    std::wstring log_;
};

// Answers the platform's own dialog boxes of this thread (message boxes, task dialogs, the
// shell's confirmations) with a button id as they appear, and records their texts.
class BoxAnswerer {
public:
    explicit BoxAnswerer(std::deque<int> answers);
    ~BoxAnswerer();
    std::vector<std::wstring> texts;     // the static texts of each box, joined by "|"
    std::vector<std::wstring> captions;  // each box's window caption
    std::deque<int> answers;
    // Runs as each box shows, before it is answered (the box, as the platform activates it).
    std::function<void(HWND box)> onShow;

private:
    static LRESULT CALLBACK hook(int code, WPARAM wParam, LPARAM lParam);
    HHOOK hook_ = nullptr;
};
