#pragma once
// Drives a separate Pallendo.exe process only the way a user or the shell does: its command line,
// its window and controls (found by class and caption), keys posted to the focused control, clicks,
// the boxes it shows, and the files it leaves behind.
#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "app/Pages.h"
#include "shell/Handles.h"

// Tag for driving the product that is already running instead of starting one.
struct AlreadyRunning {};

class RunningPallendo {
public:
    // Starts the program with these arguments (each quoted as the shell quotes a path).
    explicit RunningPallendo(const std::vector<std::wstring>& arguments = {},
                             const std::wstring& program = L"");
    // Drives the product that is already running, found by its main window's class when the
    // window is first asked for. Starts nothing and ends nothing.
    explicit RunningPallendo(AlreadyRunning);
    ~RunningPallendo();  // a program this started that still runs is ended
    RunningPallendo(const RunningPallendo&) = delete;
    RunningPallendo& operator=(const RunningPallendo&) = delete;

    // The main window once it is shown and idle (nullptr before the deadline passes; a zero
    // deadline looks once).
    HWND window(std::chrono::milliseconds deadline = std::chrono::seconds(60));
    DWORD processId() const { return processId_; }

    // The nth visible or hidden child of the main window with this class and caption (any caption
    // when `caption` is empty), in creation order.
    HWND control(const std::wstring& className, const std::wstring& caption = L"", int nth = 0);
    // The launch pair's fields and the dedicated shortcut's display name, by their names.
    HWND Edit1();
    HWND ComboBox2();
    HWND Edit3();
    // The edit field inside a drop-down combo box, which has the focus while it is typed into.
    static HWND innerEdit(HWND comboBox);
    // Shows the page as a click on its tab does.
    void showPage(PageId page);
    // Presses a button as a click does; returns at once (a box it opens stays open).
    void click(HWND button);
    // Presses a button and waits until the program has handled the click (for clicks that open no
    // box).
    bool clickAndWait(HWND button);
    // Puts the focus into a field as a click into it does.
    static void clickInto(HWND field);
    // The control that has the keyboard focus in the program.
    HWND focusedControl() const;
    // Puts the focus into an edit field by clicking it, replaces its text by typing, then Tab.
    void type(HWND field, const std::wstring& typed);
    // The text a control shows.
    static std::wstring text(HWND control);
    // The text of a status bar panel.
    std::wstring statusText(int panel);
    bool enabled(HWND control) const { return ::IsWindowEnabled(control) != FALSE; }
    bool checked(HWND button) const;

    // A box of the program's (message box or task dialog) shown now; nullptr when there is none.
    HWND box();
    // The same once one shows; nullptr when none appears before the deadline.
    HWND waitForBox(std::chrono::milliseconds deadline = std::chrono::seconds(30));
    // The box's static texts joined by "|".
    static std::wstring boxText(HWND box);
    // Every top-level window of the program, for messages of failed tests.
    std::wstring describeWindows() const;
    // Presses the box's button with this id (IDOK, IDYES, IDNO ...).
    static void answer(HWND box, int buttonId);

    // Asks the window to close, as its close box does; returns at once.
    void close();
    // The same, then waits for the process to end.
    bool closeAndWait(std::chrono::milliseconds deadline = std::chrono::seconds(30));
    // Drops files on the window as Explorer does.
    void drop(const std::vector<std::wstring>& paths);
    // Waits until the program has handled everything sent or posted so far.
    void settle();

    // Real input on the X display the program is shown on, as a person's keyboard gives it
    // (xdotool). Keys posted from another process do not update the key state under Wine, so
    // Ctrl+Tab and the like can only be given this way. With no window manager the keyboard goes
    // to the window under the pointer: pointIntoWindow first. Each returns once xdotool is done.
    bool pointIntoWindow();
    // Presses keys by their X names, one after the other ("Tab", "ctrl+Tab", "Right").
    bool pressKeys(const std::string& keys);
    // Types plain ASCII text.
    bool typeKeys(const std::string& typed);
    // Waits until the condition holds, letting the program run; false when the deadline passes.
    bool waitUntil(const std::function<bool()>& condition,
                   std::chrono::milliseconds deadline = std::chrono::seconds(30));

private:
    // The program's shown top-level windows (every program's, before an attached one is found).
    std::vector<HWND> shownWindows() const;
    // Waits up to `milliseconds` for the process to end; true when it has.
    bool ended(DWORD milliseconds) const;
    // Takes the main window found, and for an attached program its process.
    HWND found(HWND window);

    bool started_ = false;
    UniqueKernelHandle process_;
    DWORD processId_ = 0;
    DWORD threadId_ = 0;
    HWND window_ = nullptr;
};

// The settings file the product reads and writes in the test prefix.
std::wstring ProductSettingsFile();
