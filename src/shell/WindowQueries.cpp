#include "shell/WindowQueries.h"

#include "shell/LetterCase.h"

namespace {

BOOL CALLBACK Collect(HWND window, LPARAM found) noexcept {
    try {
        reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
        return TRUE;
    } catch (...) {
        return FALSE;  // out of memory: the windows found so far
    }
}

LPARAM Into(std::vector<HWND>& found) {
    return reinterpret_cast<LPARAM>(&found);
}

}  // namespace

std::wstring WindowText(HWND window) {
    const int length = ::GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

std::wstring ClassName(HWND window) {
    wchar_t name[256] = {};
    const int length = ::GetClassNameW(window, name, 256);
    return std::wstring(name, static_cast<std::size_t>(length > 0 ? length : 0));
}

bool HasClass(HWND window, std::wstring_view className) {
    return SameIgnoringCase(ClassName(window), className);
}

std::vector<HWND> ChildWindows(HWND parent) {
    std::vector<HWND> found;
    ::EnumChildWindows(parent, Collect, Into(found));
    return found;
}

std::vector<HWND> ThreadWindows(DWORD threadId) {
    std::vector<HWND> found;
    ::EnumThreadWindows(threadId, Collect, Into(found));
    return found;
}

std::vector<HWND> TopLevelWindows() {
    std::vector<HWND> found;
    ::EnumWindows(Collect, Into(found));
    return found;
}
