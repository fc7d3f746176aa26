#pragma once
// Text and path operations used the same way everywhere. Pure C++, no platform headers, so
// they can be fuzzed natively as well.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Error texts raised by the path operations.
inline constexpr std::wstring_view kInvalidPathText = L"パスに無効な文字が含まれています";
inline constexpr std::wstring_view kEmptyFileNameText = L"ファイル名が空です";
inline constexpr std::wstring_view kInvalidFileNameText = L"ファイル名に無効な文字が含まれています";

// True when the text holds a character no path may contain: a control character, '"', '<', '>' or
// '|'.
bool HasInvalidPathChars(std::wstring_view text);

// The text after the last backslash, slash or colon; raises kInvalidPathText for invalid
// characters.
std::wstring FileNameOf(std::wstring_view path);
// The same without validation, for paths that came from the platform.
std::wstring FileNamePart(std::wstring_view path);
// The file name without its last "." and what follows.
std::wstring BaseNameOf(std::wstring_view path);
// The file name from its last "." on, dot included; empty when it has none.
std::wstring ExtensionOf(std::wstring_view path);
// The text before the last separator; a root keeps its separator; a bare name gives "".
// Raises kEmptyFileNameText for an empty or blank text, kInvalidFileNameText for invalid
// characters.
std::wstring FolderOf(std::wstring_view path);
// The same without validation.
std::wstring FolderPart(std::wstring_view path);
// True for "\\server" and "\\server\share" (either slash): a UNC name still being typed, which
// names no file yet; asking the file system about it would wait on the network.
bool IsUncPrefix(std::wstring_view text);
// True when the name begins with a separator or has a colon as its second character.
bool IsRootedName(std::wstring_view name);
// One separator between folder and name unless the folder ends with one; a rooted name stands
// alone. Raises kInvalidPathText when either part holds an invalid character.
std::wstring JoinPath(std::wstring_view folder, std::wstring_view name);
// The path with its extension replaced (or appended when the file name has none).
std::wstring ChangeExtension(std::wstring_view path, std::wstring_view extension);
// Length of the root a path starts with: "C:\" (3), "C:" (2), "\\server\share" up to the
// share's end, "\" (1), the same after "\\?\" or "\\.\" ("\\?\C:\", "\\?\UNC\server\share");
// 0 for a relative path. Either slash counts.
std::size_t RootLength(std::wstring_view path);
// The folder above a folder; "" above a root (C:\, \\server\share) and above a bare name. A
// drive root keeps its backslash: C:\Tools gives C:\.
std::wstring ParentFolder(std::wstring_view folder);
// The path without the backslashes and slashes it ends with, a root's too: "C:\Docs\" gives
// "C:\Docs", "C:\" gives "C:".
std::wstring WithoutTrailingSeparators(std::wstring_view path);

// '"' before and after, every '"' inside doubled.
std::wstring Quote(std::wstring_view text);
// Reverses Quote for a text of at least two characters that begins and ends with '"';
// any other text comes back unchanged.
std::wstring Dequote(std::wstring_view text);

// The text without the double quotes that group it as a whole ("C:\My Apps\app.exe" as a path
// copied from Explorer); any other text, also one with a quote inside, comes back unchanged.
std::wstring WithoutGroupingQuotes(std::wstring_view text);

// The arguments of a command line after the program's path. The program's path ends at the
// closing quote or the first blank; an argument ends at a blank or tab outside quotes, and every
// quote only switches grouping on or off: a backslash escapes nothing, so "C:\My Files\" is
// C:\My Files\ as the shell wrote it.
std::vector<std::wstring> SplitCommandLine(std::wstring_view commandLine);

// True when the text holds a character a file name may not hold (a control character or one of
// \ / : * ? " < > |).
bool HasInvalidFileNameChars(std::wstring_view name);
// Those characters as a message names them.
inline constexpr std::wstring_view kFileNameCharsText = L"\\ / : * ? \" < > |";

// Without leading and trailing characters up to U+0020.
std::wstring_view Trim(std::wstring_view text);
std::wstring_view TrimLeft(std::wstring_view text);
std::wstring_view TrimRight(std::wstring_view text);
// Removes every blank (U+0020).
std::wstring WithoutBlanks(std::wstring_view text);

// A platform result code as a signed 32-bit decimal number (0x80070057 reads -2147024809).
std::wstring SignedText(std::uint32_t code);
std::wstring DecimalText(long long value);

// The application error box appends "." when the last character's code is greater than ".".
std::wstring ErrorBoxText(std::wstring_view message);
