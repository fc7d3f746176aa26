#include "help/HelpFile.h"

#include <windows.h>

#include "shell/Boxes.h"
#include "shell/ShellActions.h"
#include "shell/FileSystem.h"
#include "shell/Text.h"

namespace {

bool IsSlash(wchar_t c) {
    return c == L'\\' || c == L'/';
}

// Length of "server\share" at the start of the text.
std::size_t ServerAndShareLength(std::wstring_view path) {
    std::size_t i = 0;
    for (int part = 0; part < 2; ++part) {
        while (i < path.size() && !IsSlash(path[i])) ++i;
        if (part == 0 && i < path.size()) ++i;
    }
    return i;
}

std::size_t DriveRootLength(std::wstring_view path) {
    if (path.size() >= 2 && path[1] == L':') return (path.size() >= 3 && IsSlash(path[2])) ? 3 : 2;
    return 0;
}

// Length of the root that a path starts with: "C:\" (3), "C:" (2), "\\server\share" (up to
// the share's end), "\" (1), the same after "\\?\" ("\\?\C:\", "\\?\UNC\server\share");
// 0 for a relative path.
std::size_t RootLength(std::wstring_view path) {
    if (path.size() >= 4 && IsSlash(path[0]) && IsSlash(path[1]) &&
        (path[2] == L'?' || path[2] == L'.') && IsSlash(path[3])) {
        const std::wstring_view rest = path.substr(4);
        if (rest.size() >= 4 &&
            ::CompareStringOrdinal(rest.data(), 3, L"UNC", 3, TRUE) == CSTR_EQUAL &&
            IsSlash(rest[3]))
            return 8 + ServerAndShareLength(rest.substr(4));
        if (const std::size_t drive = DriveRootLength(rest)) return 4 + drive;
    }
    if (path.size() >= 2 && IsSlash(path[0]) && IsSlash(path[1]))
        return 2 + ServerAndShareLength(path.substr(2));
    if (const std::size_t drive = DriveRootLength(path)) return drive;
    if (!path.empty() && IsSlash(path[0])) return 1;
    return 0;
}

std::wstring_view WithoutTrailingSlashes(std::wstring_view path, std::size_t keep) {
    while (path.size() > keep && IsSlash(path.back())) path.remove_suffix(1);
    return path;
}

}  // namespace

std::wstring ParentFolder(std::wstring_view folder) {
    const std::size_t root = RootLength(folder);
    const std::wstring_view trimmed = WithoutTrailingSlashes(folder, root);
    if (trimmed.size() <= root) return {};
    std::size_t cut = trimmed.size();
    while (cut > root && !IsSlash(trimmed[cut - 1])) --cut;
    return std::wstring(WithoutTrailingSlashes(trimmed.substr(0, cut), root));
}

std::vector<std::wstring> HelpFileCandidates(std::wstring_view executablePath) {
    const std::wstring first = ChangeExtension(executablePath, L".chm");
    const std::wstring name = FileNamePart(first);
    std::vector<std::wstring> candidates{first};
    for (std::wstring folder = ParentFolder(FolderPart(first)); !folder.empty();
         folder = ParentFolder(folder))
        candidates.push_back(JoinPath(folder, name));
    return candidates;
}

std::optional<std::wstring> FindHelpFile(std::wstring_view executablePath) {
    for (const std::wstring& candidate : HelpFileCandidates(executablePath))
        if (FileExists(candidate)) return candidate;
    return std::nullopt;
}

void ShowHelpFile(std::wstring_view executablePath) {
    if (const auto found = FindHelpFile(executablePath)) {
        Open(Quote(*found));
        return;
    }
    MessageDialog(L"HelpFile Not Found.\r\n\r\n" +
                  FileNamePart(ChangeExtension(executablePath, L".chm")));
}
