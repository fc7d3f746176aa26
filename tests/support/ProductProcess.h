#pragma once
// The product (or a copy under another name) started as its own process, driven by messages:
// wait for its window, read its controls, close it as the close box does.
#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

class ProductProcess {
public:
    // Starts the program with the arguments (each quoted) and waits for its main window.
    ProductProcess(const std::wstring& program, const std::vector<std::wstring>& arguments);
    ~ProductProcess();
    ProductProcess(const ProductProcess&) = delete;
    ProductProcess& operator=(const ProductProcess&) = delete;

    HWND window() const { return window_; }
    // The control the window's table names (Edit1, ComboBox2, ButtonTest12, ...).
    HWND control(std::wstring_view name) const;
    // WM_GETTEXT: the control's text as the other process holds it.
    std::wstring text(std::wstring_view name) const;
    bool enabled(std::wstring_view name) const;
    bool checked(std::wstring_view name) const;
    std::vector<std::wstring> comboItems(std::wstring_view name) const;
    // A panel of the status bar as it shows, read through a buffer inside the other process.
    std::wstring statusText(int panel) const;
    // Asks the window to close and waits for the process to end; true when it ended.
    bool Close(std::chrono::milliseconds deadline = std::chrono::seconds(60));

private:
    PROCESS_INFORMATION process_{};
    HWND window_ = nullptr;
};
