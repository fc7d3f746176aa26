#include "ShortcutFixture.h"

#include "pairing/CombinationTest.h"
#include "shell/Clock.h"
#include "shell/Handles.h"
#include "shell/ShellActions.h"
#include "shell/Text.h"
#include "shell/WindowQueries.h"

void ShortcutFixture::TearDown() {
    FormFixture::TearDown();
    for (const std::wstring& link : links_) ::DeleteFileW(link.c_str());
    UseClock({});
}

std::wstring ShortcutFixture::linkIn(int csidl, const std::wstring& name) {
    links_.push_back(JoinPath(GetSpecialFolder(csidl), name));
    ::DeleteFileW(links_.back().c_str());
    return links_.back();
}

std::wstring ShortcutFixture::writeDocument(const std::wstring& name, const std::string& content) {
    if (!documents_) documents_.emplace(L"shortcut documents");
    const std::wstring path = *documents_ / name;
    WriteBytes(path, content);
    return path;
}

void ShortcutFixture::passTest(const std::wstring& document, const std::wstring& launcher) {
    TPallendoForm& f = *form;
    f.activatePage(PageId::Edit);
    f.Edit1.setText(document);
    f.ComboBox2.setText(launcher);
    f.ComboBox2Change();
    // What the combination test does once the launcher has started with the copy.
    f.testPassed(NamesOfTest(f));
}

std::wstring ShortcutFixture::passTestOfNewDocument(const std::wstring& name,
                                                    const std::string& content) {
    const std::wstring document = writeDocument(name, content);
    passTest(document, Probe::path());
    return document;
}

int TrashedCount(const std::wstring& name) {
    return static_cast<int>(NamesMatching(JoinPath(TrashFolder(), name + L"*")).size());
}

std::wstring FolderCaption(const std::wstring& folder) {
    return FileNamePart(WithoutTrailingSeparators(folder));
}

std::set<HWND> ExplorerWatch::openWindows() {
    std::set<HWND> windows;
    for (HWND window : TopLevelWindows()) {
        // Wine's file manager; Windows' own would be CabinetWClass.
        if ((HasClass(window, L"ExplorerWClass") || HasClass(window, L"CabinetWClass")) &&
            ::IsWindowVisible(window))
            windows.insert(window);
    }
    return windows;
}

ExplorerWatch::ExplorerWatch() : before_(openWindows()) {}

ExplorerWatch::~ExplorerWatch() {
    for (HWND window : openWindows())
        if (!before_.count(window)) ::PostMessageW(window, WM_CLOSE, 0, 0);
    PumpUntil([&] {
        for (HWND window : openWindows())
            if (!before_.count(window)) return false;
        return true;
    });
}

std::wstring ExplorerWatch::waitForWindowCaption() {
    HWND found = nullptr;
    PumpUntil([&] {
        for (HWND window : openWindows()) {
            if (before_.count(window) || ::GetWindowTextLengthW(window) == 0) continue;
            if (std::find(opened_.begin(), opened_.end(), window) != opened_.end()) continue;
            found = window;
            return true;
        }
        return false;
    });
    if (!found) return L"";
    opened_.push_back(found);
    return WindowText(found);
}
