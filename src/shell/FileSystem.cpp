#include "shell/FileSystem.h"

#include <windows.h>

#include <cwchar>

#include "shell/Handles.h"
#include "shell/LetterCase.h"
#include "shell/Text.h"

std::wstring ExecutablePath() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n =
            ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n < buffer.size()) {
            buffer.resize(n);
            return buffer;
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::wstring TempFolder() {
    wchar_t shortPath[MAX_PATH + 1] = {};
    if (::GetTempPathW(MAX_PATH, shortPath) == 0) return {};
    // Only a short name the system made up holds a tilde; a path without one is its own long
    // form, and start-up need not walk it on the disk.
    if (!std::wcschr(shortPath, L'~')) return shortPath;
    // Each call walks the path on the disk: one call with room for the usual length, a second
    // one only for a longer path.
    std::wstring longPath(MAX_PATH + 1, L'\0');
    DWORD length = ::GetLongPathNameW(shortPath, longPath.data(), MAX_PATH + 1);
    if (length > MAX_PATH) {
        longPath.assign(length, L'\0');
        length = ::GetLongPathNameW(shortPath, longPath.data(), length);
    }
    if (length == 0 || length >= longPath.size()) return shortPath;
    longPath.resize(length);
    return longPath;
}

bool FileExists(std::wstring_view path) {
    const std::wstring p(path);
    if (p.empty()) return false;
    const DWORD attributes = ::GetFileAttributesW(p.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return true;
    // A link counts only when its target can be reached.
    UniqueFile file(::CreateFileW(p.c_str(), 0,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return static_cast<bool>(file);
}

bool FolderExists(std::wstring_view path) {
    const std::wstring p(path);
    const DWORD attributes = ::GetFileAttributesW(p.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

namespace {

// No file system holds a name longer than 255 characters: a path with such a part names nothing.
bool HasImpossibleName(std::wstring_view path) {
    std::size_t run = 0;
    for (wchar_t c : path) {
        run = c == L'\\' || c == L'/' ? 0 : run + 1;
        if (run > 255) return true;
    }
    return false;
}

}  // namespace

std::wstring FullLongPath(std::wstring_view path) {
    const std::wstring given(path);
    if (given.empty()) return given;
    const DWORD fullLength = ::GetFullPathNameW(given.c_str(), 0, nullptr, nullptr);
    if (fullLength == 0) return given;
    std::wstring full(fullLength, L'\0');
    full.resize(::GetFullPathNameW(given.c_str(), fullLength, full.data(), nullptr));
    // Nothing to look up (and Wine's look-up of the long form copies each name into a fixed
    // buffer, which such a name overruns).
    if (HasImpossibleName(full)) return full;
    const DWORD longLength = ::GetLongPathNameW(full.c_str(), nullptr, 0);
    if (longLength == 0) return full;  // not there (yet): its full form is all there is
    std::wstring longPath(longLength, L'\0');
    const DWORD written = ::GetLongPathNameW(full.c_str(), longPath.data(), longLength);
    if (written == 0 || written >= longLength) return full;
    longPath.resize(written);
    return longPath;
}

bool SamePath(std::wstring_view a, std::wstring_view b) {
    if (a.empty() || b.empty()) return false;
    const std::wstring fa = FullLongPath(a), fb = FullLongPath(b);
    return SameIgnoringCase(fa, fb);
}

bool CreateFolderTree(const std::wstring& folder) {
    if (folder.empty() || FolderExists(folder)) return true;
    const std::wstring parent = FolderPart(folder);
    if (!parent.empty() && parent != folder && !CreateFolderTree(parent)) return false;
    if (::CreateDirectoryW(folder.c_str(), nullptr)) return true;
    return FolderExists(folder);
}
