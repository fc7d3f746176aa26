#include "shell/Text.h"

#include "shell/Failure.h"

namespace {

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/' || c == L':';
}
bool IsSlash(wchar_t c) {
    return c == L'\\' || c == L'/';
}

std::size_t LastSeparator(std::wstring_view path) {
    for (std::size_t i = path.size(); i > 0; --i)
        if (IsSeparator(path[i - 1])) return i - 1;
    return std::wstring_view::npos;
}

wchar_t AsciiUpper(wchar_t c) {
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

// The "UNC" of a long path may be written in any letter case.
bool StartsWithIgnoringAsciiCase(std::wstring_view text, std::wstring_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (AsciiUpper(text[i]) != AsciiUpper(prefix[i])) return false;
    return true;
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

// The long form's prefix, "\\?\" or "\\.\".
bool HasLongFormPrefix(std::wstring_view path) {
    return path.size() >= 4 && IsSlash(path[0]) && IsSlash(path[1]) &&
           (path[2] == L'?' || path[2] == L'.') && IsSlash(path[3]);
}

std::wstring_view WithoutTrailingSlashes(std::wstring_view path, std::size_t keep) {
    while (path.size() > keep && IsSlash(path.back())) path.remove_suffix(1);
    return path;
}

}  // namespace

bool HasInvalidPathChars(std::wstring_view text) {
    for (wchar_t c : text)
        if (c < 0x20 || c == L'"' || c == L'<' || c == L'>' || c == L'|') return true;
    return false;
}

std::wstring FileNamePart(std::wstring_view path) {
    const std::size_t sep = LastSeparator(path);
    return std::wstring(sep == std::wstring_view::npos ? path : path.substr(sep + 1));
}

std::wstring FileNameOf(std::wstring_view path) {
    if (HasInvalidPathChars(path)) Fail(std::wstring(kInvalidPathText));
    return FileNamePart(path);
}

std::wstring BaseNameOf(std::wstring_view path) {
    std::wstring name = FileNamePart(path);
    const std::size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos) name.resize(dot);
    return name;
}

std::wstring ExtensionOf(std::wstring_view path) {
    std::wstring name = FileNamePart(path);
    const std::size_t dot = name.rfind(L'.');
    return dot == std::wstring::npos ? std::wstring() : name.substr(dot);
}

std::wstring FolderPart(std::wstring_view path) {
    std::size_t sep = std::wstring_view::npos;
    for (std::size_t i = path.size(); i > 0; --i)
        if (IsSlash(path[i - 1]) || path[i - 1] == L':') {
            sep = i - 1;
            break;
        }
    if (sep == std::wstring_view::npos) return {};
    // "C:\name" and "\name" keep the root's separator; "C:name" keeps the drive.
    if (path[sep] == L':') return std::wstring(path.substr(0, sep + 1));
    const bool driveRoot = sep == 2 && path[1] == L':';
    const bool slashRoot = sep == 0;
    return std::wstring(path.substr(0, (driveRoot || slashRoot) ? sep + 1 : sep));
}

std::wstring FolderOf(std::wstring_view path) {
    if (path.find_first_not_of(L' ') == std::wstring_view::npos)
        Fail(std::wstring(kEmptyFileNameText));
    if (HasInvalidPathChars(path)) Fail(std::wstring(kInvalidFileNameText));
    return FolderPart(path);
}

bool IsRootedName(std::wstring_view name) {
    return (!name.empty() && IsSlash(name[0])) || (name.size() >= 2 && name[1] == L':');
}

std::wstring JoinPath(std::wstring_view folder, std::wstring_view name) {
    if (HasInvalidPathChars(folder) || HasInvalidPathChars(name))
        Fail(std::wstring(kInvalidPathText));
    if (IsRootedName(name) || folder.empty()) return std::wstring(name);
    std::wstring result(folder);
    if (!IsSeparator(result.back())) result += L'\\';
    result += name;
    return result;
}

std::wstring ChangeExtension(std::wstring_view path, std::wstring_view extension) {
    const std::size_t sep = LastSeparator(path);
    const std::size_t start = sep == std::wstring_view::npos ? 0 : sep + 1;
    const std::size_t dot = path.rfind(L'.');
    std::wstring result(
        path.substr(0, (dot != std::wstring_view::npos && dot >= start) ? dot : path.size()));
    result += extension;
    return result;
}

std::size_t RootLength(std::wstring_view path) {
    if (HasLongFormPrefix(path)) {
        const std::wstring_view rest = path.substr(4);
        if (rest.size() >= 4 && StartsWithIgnoringAsciiCase(rest, L"UNC") && IsSlash(rest[3]))
            return 8 + ServerAndShareLength(rest.substr(4));
        if (const std::size_t drive = DriveRootLength(rest)) return 4 + drive;
    }
    if (path.size() >= 2 && IsSlash(path[0]) && IsSlash(path[1]))
        return 2 + ServerAndShareLength(path.substr(2));
    if (const std::size_t drive = DriveRootLength(path)) return drive;
    if (!path.empty() && IsSlash(path[0])) return 1;
    return 0;
}

std::wstring ParentFolder(std::wstring_view folder) {
    const std::size_t root = RootLength(folder);
    const std::wstring_view trimmed = WithoutTrailingSlashes(folder, root);
    if (trimmed.size() <= root) return {};
    std::size_t cut = trimmed.size();
    while (cut > root && !IsSlash(trimmed[cut - 1])) --cut;
    return std::wstring(WithoutTrailingSlashes(trimmed.substr(0, cut), root));
}

std::wstring WithoutTrailingSeparators(std::wstring_view path) {
    return std::wstring(WithoutTrailingSlashes(path, 0));
}

std::wstring Quote(std::wstring_view text) {
    std::wstring result;
    result.reserve(text.size() + 2);
    result += L'"';
    for (wchar_t c : text) {
        result += c;
        if (c == L'"') result += L'"';
    }
    result += L'"';
    return result;
}

std::wstring Dequote(std::wstring_view text) {
    if (text.size() < 2 || text.front() != L'"' || text.back() != L'"') return std::wstring(text);
    std::wstring result;
    const std::wstring_view inner = text.substr(1, text.size() - 2);
    bool dropped = false;
    for (wchar_t c : inner) {
        if (c == L'"' && !dropped) {
            dropped = true;
            continue;
        }
        result += c;
        dropped = false;
    }
    return result;
}

std::wstring_view TrimLeft(std::wstring_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] <= L' ') ++i;
    return text.substr(i);
}

std::wstring_view TrimRight(std::wstring_view text) {
    std::size_t n = text.size();
    while (n > 0 && text[n - 1] <= L' ') --n;
    return text.substr(0, n);
}

std::wstring_view Trim(std::wstring_view text) {
    return TrimRight(TrimLeft(text));
}

std::wstring WithoutBlanks(std::wstring_view text) {
    std::wstring result;
    for (wchar_t c : text)
        if (c != L' ') result += c;
    return result;
}

std::wstring SignedText(std::uint32_t code) {
    return DecimalText(static_cast<std::int32_t>(code));
}

std::wstring DecimalText(long long value) {
    return std::to_wstring(value);
}

std::wstring ErrorBoxText(std::wstring_view message) {
    std::wstring text(message);
    if (!text.empty() && text.back() > L'.') text += L'.';
    return text;
}

std::wstring WithoutGroupingQuotes(std::wstring_view text) {
    const std::wstring_view trimmed = Trim(text);
    if (trimmed.size() < 2 || trimmed.front() != L'"' || trimmed.back() != L'"')
        return std::wstring(text);
    const std::wstring_view inner = trimmed.substr(1, trimmed.size() - 2);
    if (inner.find(L'"') != std::wstring_view::npos) return std::wstring(text);
    return std::wstring(inner);
}

std::vector<std::wstring> SplitCommandLine(std::wstring_view commandLine) {
    std::size_t i = 0;
    const std::size_t n = commandLine.size();
    // The program's path: up to its closing quote, or to the first blank or tab.
    if (i < n && commandLine[i] == L'"') {
        const std::size_t close = commandLine.find(L'"', 1);
        i = close == std::wstring_view::npos ? n : close + 1;
    }
    while (i < n && commandLine[i] != L' ' && commandLine[i] != L'\t') ++i;

    std::vector<std::wstring> arguments;
    for (;;) {
        while (i < n && (commandLine[i] == L' ' || commandLine[i] == L'\t')) ++i;
        if (i >= n) return arguments;
        std::wstring argument;
        bool quoted = false;
        for (; i < n; ++i) {
            const wchar_t c = commandLine[i];
            if (c == L'"') {
                quoted = !quoted;
            } else if (!quoted && (c == L' ' || c == L'\t')) {
                break;
            } else {
                argument += c;
            }
        }
        arguments.push_back(std::move(argument));
    }
}

bool HasInvalidFileNameChars(std::wstring_view name) {
    for (wchar_t c : name)
        if (c < 0x20 || std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos)
            return true;
    return false;
}

bool IsUncPrefix(std::wstring_view text) {
    if (text.size() < 2 || !IsSlash(text[0]) || !IsSlash(text[1])) return false;
    int separators = 0;
    for (std::size_t i = 2; i < text.size(); ++i)
        if (IsSlash(text[i])) ++separators;
    return separators < 2 || (separators == 2 && IsSlash(text.back()));
}
