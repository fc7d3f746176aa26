#pragma once
// Drives a separate Pallendo.exe process only the way a user or the shell does: its command line,
// its window and controls (found by class and caption), keys posted to the focused control, clicks,
// the boxes it shows, and the files it leaves behind.
#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

class RunningPallendo {
public:
    // Starts the program with these arguments (each quoted as the shell quotes a path).
    explicit RunningPallendo(const std::vector<std::wstring>& arguments = {},
                             const std::wstring& program = L"");
    ~RunningPallendo();  // a program still running is ended
    RunningPallendo(const RunningPallendo&) = delete;
    RunningPallendo& operator=(const RunningPallendo&) = delete;

    // The main window once it is shown and idle (nullptr before the deadline passes).
    HWND Window(std::chrono::milliseconds deadline = std::chrono::seconds(60));
    DWORD processId() const { return info_.dwProcessId; }

    // The nth visible or hidden child of the main window with this class and caption (any caption
    // when `caption` is empty), in creation order.
    HWND Control(const std::wstring& className, const std::wstring& caption = L"", int nth = 0);
    // Shows page n (0 File, 1 Edit, 2 Help) as a click on its tab does.
    void ShowPage(int index);
    // Presses a button as a click does; returns at once (a box it opens stays open).
    void Click(HWND button);
    // Presses a button and waits until the program has handled the click (for clicks that open no
    // box).
    bool ClickAndWait(HWND button);
    // The control that has the keyboard focus in the program.
    HWND FocusedControl() const;
    // Puts the focus into an edit field by clicking it, replaces its text by typing, then Tab.
    void Type(HWND field, const std::wstring& text);
    // The text a control shows.
    static std::wstring Text(HWND control);
    // The text of a status bar panel.
    std::wstring StatusText(int panel);
    bool Enabled(HWND control) const { return ::IsWindowEnabled(control) != FALSE; }

    // A box of the program's (message box or task dialog) once it shows: its static texts joined
    // by "|"; empty when none appears before the deadline.
    HWND WaitForBox(std::chrono::milliseconds deadline = std::chrono::seconds(30));
    static std::wstring BoxText(HWND box);
    // Every top-level window of the program, for messages of failed tests.
    std::wstring DescribeWindows() const;
    // Presses the box's button with this id (IDOK, IDYES, IDNO ...).
    static void Answer(HWND box, int buttonId);

    // Asks the window to close (the close box) and waits for the process to end.
    bool CloseAndWait(std::chrono::milliseconds deadline = std::chrono::seconds(30));
    // Drops files on the window as Explorer does.
    void Drop(const std::vector<std::wstring>& paths);
    // Waits until the program has handled everything sent or posted so far.
    void Settle();

    // Real input on the X display the program is shown on, as a person's keyboard gives it
    // (xdotool). Keys posted from another process do not update the key state under Wine, so
    // Ctrl+Tab and the like can only be given this way. With no window manager the keyboard goes
    // to the window under the pointer: PointIntoWindow first. Each returns once xdotool is done.
    bool PointIntoWindow();
    // Presses keys by their X names, one after the other ("Tab", "ctrl+Tab", "Right").
    bool PressKeys(const std::string& keys);
    // Types plain ASCII text.
    bool TypeKeys(const std::string& text);
    // Waits until the condition holds, letting the program run; false when the deadline passes.
    bool WaitUntil(const std::function<bool()>& condition,
                   std::chrono::milliseconds deadline = std::chrono::seconds(30));

private:
    PROCESS_INFORMATION info_{};
    HWND window_ = nullptr;
};

// The settings file the product reads and writes in the test prefix.
std::wstring ProductSettingsFile();
