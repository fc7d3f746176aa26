#include "ShortcutFixture.h"

#include "pairing/CombinationTest.h"
#include "shell/Clock.h"
#include "shell/Handles.h"
#include "shell/ShellActions.h"
#include "shell/Text.h"

using Microsoft::WRL::ComPtr;

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
    // What the combination test does once the launcher has started with the copy.
    f.testPassed(NamesOfTest(f));
}

LinkFields ReadLink(const std::wstring& linkPath) {
    ComPtr<IShellLinkW> link = CreateShellLink();
    ComPtr<IPersistFile> file;
    LinkFields fields;
    if (FAILED(link.As(&file)) || file->Load(linkPath.c_str(), STGM_READ) != S_OK) return fields;
    wchar_t buffer[1024] = {};
    link->GetPath(buffer, 1024, nullptr, SLGP_RAWPATH);
    fields.path = buffer;
    buffer[0] = 0;
    link->GetArguments(buffer, 1024);
    fields.arguments = buffer;
    buffer[0] = 0;
    link->GetWorkingDirectory(buffer, 1024);
    fields.workingDirectory = buffer;
    buffer[0] = 0;
    link->GetDescription(buffer, 1024);
    fields.description = buffer;
    return fields;
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
