// The path operations and quoting on arbitrary text: no crash, no undefined behaviour, and the
// relations between them hold (a path's base name and extension make its file name, a parent
// folder keeps its folder's root, dequoting gives back what quoting took, failures come exactly
// for the texts that deserve them).
#include <algorithm>

#include "FuzzInput.h"
#include "shell/Failure.h"
#include "shell/Text.h"

namespace {

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/' || c == L':';
}

bool IsSlash(wchar_t c) {
    return c == L'\\' || c == L'/';
}

bool Blank(std::wstring_view text) {
    return text.find_first_not_of(L' ') == std::wstring_view::npos;
}

template <typename Call>
std::wstring FailureOf(Call&& call) {
    try {
        call();
    } catch (const Failure& failure) {
        return failure.message();
    }
    return {};
}

void CheckPathParts(const std::wstring& path) {
    const std::wstring name = FileNamePart(path);
    FUZZ_CHECK(name.size() <= path.size() && path.ends_with(name), path);
    FUZZ_CHECK(std::none_of(name.begin(), name.end(), IsSeparator), path);
    const std::wstring base = BaseNameOf(path);
    const std::wstring extension = ExtensionOf(path);
    FUZZ_CHECK(base + extension == name, path);
    FUZZ_CHECK(extension.empty() ||
                   (extension[0] == L'.' && extension.find(L'.', 1) == std::wstring::npos),
               path);

    // The folder part is the text before the last separator; a root ("\", "C:", "C:\") keeps it.
    const std::wstring folder = FolderPart(path);
    const std::size_t sep = path.find_last_of(L"\\/:");
    if (sep == std::wstring::npos) {
        FUZZ_CHECK(folder.empty(), path);
    } else {
        const bool root = sep == 0 || path[sep] == L':' || (sep == 2 && path[1] == L':');
        FUZZ_CHECK(folder == path.substr(0, root ? sep + 1 : sep), path);
    }

    const bool invalid = HasInvalidPathChars(path);
    const std::wstring fileNameFailure =
        FailureOf([&] { FUZZ_CHECK(FileNameOf(path) == name, path); });
    FUZZ_CHECK(fileNameFailure == (invalid ? std::wstring(kInvalidPathText) : std::wstring()),
               path);
    const std::wstring folderFailure =
        FailureOf([&] { FUZZ_CHECK(FolderOf(path) == folder, path); });
    const std::wstring expected = Blank(path) ? std::wstring(kEmptyFileNameText)
                                  : invalid   ? std::wstring(kInvalidFileNameText)
                                              : std::wstring();
    FUZZ_CHECK(folderFailure == expected, path);

    const std::wstring changed = ChangeExtension(path, L".ini");
    FUZZ_CHECK(ExtensionOf(changed) == L".ini", path);
    FUZZ_CHECK(BaseNameOf(changed) == base, path);
    FUZZ_CHECK(FolderPart(changed) == folder, path);
}

// The folder above a folder is a shorter start of it that keeps the folder's root, is the same
// whatever separators the folder ends with, and taking it again and again reaches "" within as
// many steps as the folder has characters.
void CheckParentFolder(const std::wstring& folder) {
    const std::size_t root = RootLength(folder);
    FUZZ_CHECK(root <= folder.size(), folder);
    const std::wstring parent = ParentFolder(folder);
    FUZZ_CHECK(folder.starts_with(parent), folder);
    FUZZ_CHECK(folder.empty() ? parent.empty() : parent.size() < folder.size(), folder);
    if (!parent.empty()) {
        FUZZ_CHECK(parent.size() >= root && RootLength(parent) == root, folder);
        FUZZ_CHECK(parent.size() == root || !IsSlash(parent.back()), folder);
    }
    FUZZ_CHECK(ParentFolder(folder + L"\\") == parent, folder);
    FUZZ_CHECK(ParentFolder(folder + L"/") == parent, folder);
    std::size_t steps = 0;
    for (std::wstring above = parent; !above.empty(); above = ParentFolder(above))
        FUZZ_CHECK(++steps < folder.size(), folder);

    const std::wstring trimmed = WithoutTrailingSeparators(folder);
    FUZZ_CHECK(folder.starts_with(trimmed), folder);
    FUZZ_CHECK(trimmed.empty() || !IsSlash(trimmed.back()), folder);
    FUZZ_CHECK(folder.find_first_not_of(L"\\/", trimmed.size()) == std::wstring::npos, folder);
}

void CheckJoin(const std::wstring& folder, const std::wstring& name) {
    const bool invalid = HasInvalidPathChars(folder) || HasInvalidPathChars(name);
    std::wstring joined;
    const std::wstring failure = FailureOf([&] { joined = JoinPath(folder, name); });
    FUZZ_CHECK(failure == (invalid ? std::wstring(kInvalidPathText) : std::wstring()),
               folder + L"|" + name);
    if (invalid) return;
    FUZZ_CHECK(joined.ends_with(name), folder + L"|" + name);
    if (IsRootedName(name) || folder.empty()) {
        FUZZ_CHECK(joined == name, folder + L"|" + name);
        return;
    }
    FUZZ_CHECK(joined.starts_with(folder), folder + L"|" + name);
    // Exactly one separator between them, unless the folder brought its own.
    FUZZ_CHECK(joined.size() == folder.size() + name.size() + (IsSeparator(folder.back()) ? 0 : 1),
               folder + L"|" + name);
}

void CheckQuoting(const std::wstring& text) {
    const std::wstring quoted = Quote(text);
    FUZZ_CHECK(quoted.size() == text.size() + 2 + std::count(text.begin(), text.end(), L'"'), text);
    FUZZ_CHECK(Dequote(quoted) == text, text);
    // Any text at all dequotes without harm, and one that is not quoted stays as it is.
    const std::wstring dequoted = Dequote(text);
    FUZZ_CHECK(dequoted.size() <= text.size(), text);
    if (text.size() < 2 || text.front() != L'"' || text.back() != L'"')
        FUZZ_CHECK(dequoted == text, text);
}

void CheckTrim(const std::wstring& text) {
    const std::wstring_view trimmed = Trim(text);
    FUZZ_CHECK(trimmed.empty() || (trimmed.front() > L' ' && trimmed.back() > L' '), text);
    FUZZ_CHECK(std::wstring_view(text).find(trimmed) != std::wstring_view::npos, text);
    FUZZ_CHECK(TrimLeft(TrimRight(text)) == trimmed, text);
    FUZZ_CHECK(WithoutBlanks(text).find(L' ') == std::wstring::npos, text);
    const std::wstring boxed = ErrorBoxText(text);
    FUZZ_CHECK(boxed == text || boxed == text + L".", text);
}

void CheckCommandLine(const std::wstring& text) {
    // Quotes only group, so no argument holds one; a quoted text after a program
    // comes back whole.
    for (const std::wstring& argument : SplitCommandLine(text))
        FUZZ_CHECK(argument.find(L'"') == std::wstring::npos, text);
    if (text.find(L'"') == std::wstring::npos && !text.empty()) {
        const std::vector<std::wstring> arguments = SplitCommandLine(L"p.exe \"" + text + L"\" x");
        FUZZ_CHECK(arguments.size() == 2 && arguments[0] == text && arguments[1] == L"x", text);
    }
    const std::wstring launcher = WithoutGroupingQuotes(text);
    FUZZ_CHECK(launcher == text || WithoutGroupingQuotes(Quote(launcher)) == launcher, text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::wstring> parts = FuzzTexts(data, size);
    for (const std::wstring& text : parts) {
        CheckPathParts(text);
        CheckParentFolder(text);
        CheckQuoting(text);
        CheckTrim(text);
        CheckCommandLine(text);
    }
    CheckJoin(parts[0], parts.size() > 1 ? parts[1] : std::wstring());
    if (size >= 4) {
        std::uint32_t code = 0;
        for (int i = 0; i < 4; ++i) code = code << 8 | data[i];
        FUZZ_CHECK(std::stoll(SignedText(code)) == static_cast<std::int32_t>(code), parts[0]);
    }
    return 0;
}
