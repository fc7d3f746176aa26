#include "ShortcutFixture.h"

#include "shell/Clock.h"
#include "shell/Handles.h"
#include "shell/ShellActions.h"
#include "shell/Text.h"

void ShortcutFixture::TearDown() {
    FormFixture::TearDown();
    for (const std::wstring& link : links_) ::DeleteFileW(link.c_str());
    UseClock({});
}

std::wstring ShortcutFixture::LinkIn(int csidl, const std::wstring& name) {
    links_.push_back(GetSpecialFolder(csidl) + name);
    return links_.back();
}

void ShortcutFixture::PassTest(const std::wstring& document, const std::wstring& launcher) {
    TPallendoForm& f = *form;
    f.activatePage(PageId::Edit);
    f.Edit1.setText(document);
    f.ComboBox2.setText(launcher);
    f.ComboBox2Change();
    f.TargetFileName1 = document;
    f.TargetExeName1 = launcher;
    f.SetPanelEnabled(f.GridPanel6, true);
    f.ButtonCreate3.setImageIndex(0);
    f.ShortCut1.clear();
    f.Edit3.setText(FileNamePart(document) + L"(" + BaseNameOf(launcher) + L")");
    f.ButtonOpenFolder3.setEnabled(true);
    f.ButtonProperties3.setEnabled(false);
    f.ButtonExeLink3.setEnabled(false);
    f.ButtonCreate3.setFocus();
}

int TrashedCount(const std::wstring& name) {
    WIN32_FIND_DATAW found{};
    const std::wstring pattern = TrashFolder() + L"\\" + name + L"*";
    UniqueFind search(
        ::FindFirstFileW(pattern.c_str(), &found));
    if (!search) return 0;
    int count = 1;
    while (::FindNextFileW(search.get(), &found)) ++count;
    return count;
}

std::wstring FolderCaption(const std::wstring& folder) {
    std::wstring trimmed = folder;
    while (!trimmed.empty() && trimmed.back() == L'\\') trimmed.pop_back();
    return FileNamePart(trimmed);
}

namespace {
BOOL CALLBACK CollectExplorer(HWND window, LPARAM param) {
    wchar_t cls[64] = {};
    ::GetClassNameW(window, cls, 64);
    // Wine's file manager; Windows' own would be CabinetWClass.
    if ((lstrcmpW(cls, L"ExplorerWClass") == 0 || lstrcmpW(cls, L"CabinetWClass") == 0) &&
        ::IsWindowVisible(window))
        reinterpret_cast<std::set<HWND>*>(param)->insert(window);
    return TRUE;
}

}  // namespace

std::set<HWND> ExplorerWatch::Windows() {
    std::set<HWND> windows;
    ::EnumWindows(CollectExplorer, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

ExplorerWatch::ExplorerWatch() : before_(Windows()) {}

ExplorerWatch::~ExplorerWatch() {
    for (HWND window : Windows())
        if (!before_.count(window)) ::PostMessageW(window, WM_CLOSE, 0, 0);
    PumpUntil([&] {
        for (HWND window : Windows())
            if (!before_.count(window)) return false;
        return true;
    });
}

std::wstring ExplorerWatch::WaitForWindowCaption() {
    HWND found = nullptr;
    PumpUntil([&] {
        for (HWND window : Windows()) {
            if (before_.count(window) || ::GetWindowTextLengthW(window) == 0) continue;
            if (std::find(opened_.begin(), opened_.end(), window) != opened_.end()) continue;
            found = window;
            return true;
        }
        return false;
    });
    if (!found) return L"";
    opened_.push_back(found);
    wchar_t caption[256] = {};
    ::GetWindowTextW(found, caption, 256);
    return caption;
}
