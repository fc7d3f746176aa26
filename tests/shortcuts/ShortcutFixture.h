#pragma once
// A real main window with helpers for shortcut tests: links in the test prefix's user folders
// that are removed again, a launch pair in the state a passed combination test leaves, and
// Explorer windows that are watched and closed.
#include <shlobj.h>
#include <windows.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "shortcuts/ShellLink.h"
#include "support/FormFixture.h"
#include "support/LinkFiles.h"

class ShortcutFixture : public FormFixture {
protected:
    void TearDown() override;

    // The path of a link in a user folder, with no file there yet; it is removed again at the end
    // of the test.
    std::wstring linkIn(int csidl, const std::wstring& name);
    // A document in the test's own folder, which goes at the end of the test.
    std::wstring writeDocument(const std::wstring& name, const std::string& content);
    // The pair and the panel as a passed combination test leaves them, on the Edit page.
    void passTest(const std::wstring& document, const std::wstring& launcher);
    // A document made for it and the probe as launcher, as a passed test leaves them; the
    // document's path.
    std::wstring passTestOfNewDocument(const std::wstring& name, const std::string& content);

    std::vector<std::wstring> links_;
    std::optional<TestFolder> documents_;
};

// How many files of that name the trash holds (Wine adds a suffix to a name it already holds).
int TrashedCount(const std::wstring& name);

// File-manager windows opened while it lives; they are closed when it ends.
class ExplorerWatch {
public:
    ExplorerWatch();
    ~ExplorerWatch();
    // Waits for a new file-manager window and gives its caption ("" before the deadline).
    std::wstring waitForWindowCaption();

private:
    static std::set<HWND> openWindows();
    std::set<HWND> before_;
    std::vector<HWND> opened_;
};

// The last part of a folder path ending in a separator: what the file manager shows as caption.
std::wstring FolderCaption(const std::wstring& folder);
