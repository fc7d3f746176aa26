#include "shell/ShellActions.h"

#include <shellapi.h>
#include <shlobj.h>

#include "shell/Boxes.h"
#include "shell/Failure.h"
#include "shell/FileSystem.h"
#include "shell/Handles.h"
#include "shell/MessageLoop.h"
#include "shell/PlatformError.h"
#include "shell/Text.h"

namespace {

// The owner of the shell's own boxes: the program's main window, so that no second action
// starts behind them; else the window a box of the program would have.
HWND ShellBoxOwner() {
    HWND main = DialogKeysWindow();
    return main && ::IsWindow(main) ? main : BoxOwner();
}

// "Open Failed 2" and the like: what failed, the shell's code, its text, then the names given.
std::wstring ShellFailureText(std::wstring_view what, std::uint32_t code) {
    return std::wstring(what) + L" Failed " + DecimalText(code) + L"\r\n" + SystemErrorText(code);
}

}  // namespace

std::wstring GetSpecialFolder(int csidl) {
    UniqueItemIdList list;
    const HRESULT hr = ::SHGetSpecialFolderLocation(ApplicationWindow(), csidl, list.put());
    if (hr != S_OK) Fail(L"GetSpecialFolder Failed " + ResultCodeText(static_cast<DWORD>(hr)));
    wchar_t buffer[MAX_PATH + 1] = {};
    if (!::SHGetPathFromIDListW(list.get(), buffer)) return {};
    std::wstring path(buffer);
    if (path.empty() || path.back() != L'\\') path += L'\\';
    return path;
}

std::uint32_t StartThroughShell(HWND owner, std::wstring_view file, std::wstring_view parameters) {
    const std::wstring name(file), text(parameters);
    const HINSTANCE result =
        ::ShellExecuteW(owner, L"open", name.c_str(), text.empty() ? nullptr : text.c_str(),
                        nullptr, SW_SHOWNORMAL);
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(result));
}

void Open(std::wstring_view path) {
    const std::uint32_t code = StartThroughShell(nullptr, path, L"");
    if (code > 32) return;
    MessageDialog(ShellFailureText(L"Open", code) + L"\r\n" + std::wstring(path));
}

void OpenBy(std::wstring_view program, std::wstring_view parameters) {
    const std::uint32_t code = StartThroughShell(nullptr, program, parameters);
    if (code > 32) return;
    MessageDialog(ShellFailureText(L"OpenBy", code) + L"\r\n" + std::wstring(program) + L"\r\n" +
                  std::wstring(parameters));
}

void ShowInFolder(std::wstring_view file, std::wstring_view folder) {
    if (FileExists(file))
        OpenBy(L"explorer.exe", L"/select,\"" + std::wstring(file) + L"\"");
    else
        Open(folder);
}

void ShowProperties(std::wstring_view path) {
    const std::wstring object(path);
    if (::SHObjectProperties(nullptr, SHOP_FILEPATH, object.c_str(), nullptr)) return;
    MessageDialog(L"プロパティを表示できませんでした\r\n" + object);
}

bool DeleteToRecycleBin(std::wstring_view path) {
    if (path.empty() || !FileExists(path)) return true;
    // The shell deletes a path that is not fully qualified for good, bypassing the recycle bin.
    std::wstring from = FullLongPath(path);
    from.push_back(L'\0');  // the list ends with two NULs: this one and the string's own
    SHFILEOPSTRUCTW request{};
    request.hwnd = ShellBoxOwner();
    request.wFunc = FO_DELETE;
    request.pFrom = from.c_str();
    request.fFlags = FOF_ALLOWUNDO;
    if (::SHFileOperationW(&request) != 0) {
        MessageDialog(L"Delete \"" + FileNamePart(path) + L"\" Failed.");
        ProcessMessages();
        return false;
    }
    if (request.fAnyOperationsAborted) {
        CancellableMessageDialog(L"Operations Aborted.");
        ProcessMessages();
        return false;
    }
    return true;
}
