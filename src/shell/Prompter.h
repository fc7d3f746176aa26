#pragma once
// What a person answers: message dialogs, question boxes and file dialogs. The product shows
// the real boxes; tests install a scripted prompter that records what was asked.
#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

struct FileTypeFilter {
    std::wstring name;
    std::wstring mask;
};

struct FileDialogRequest {
    std::wstring startFolder;               // empty: the platform chooses
    std::vector<FileTypeFilter> fileTypes;  // empty: every file is shown
    std::wstring defaultExtension;          // without the dot; empty for none
};

class Prompter {
public:
    virtual ~Prompter() = default;
    // A modal message with one OK button. `cancellable` lets Esc and the close box close it too.
    virtual void showMessage(HWND owner, const std::wstring& caption, const std::wstring& text,
                             bool cancellable) = 0;
    // The platform message box; returns its answer (IDYES, IDNO, IDCANCEL, IDOK).
    virtual int askBox(HWND owner, const std::wstring& caption, const std::wstring& text,
                       UINT flags) = 0;
    // The shell's file-open dialog; the chosen file's full path, or nothing when cancelled.
    virtual std::optional<std::wstring> chooseFile(HWND owner,
                                                   const FileDialogRequest& request) = 0;
};

// The prompter the program asks; the real one unless another is installed.
Prompter& CurrentPrompter();
// Installs a prompter (nullptr puts the real one back). Returns the previous one.
Prompter* UsePrompter(Prompter* prompter);
// The product's prompter, showing the platform's own boxes.
Prompter& RealPrompter();
