#pragma once
// The encodings a settings file may have: the ANSI code page without a mark, or UTF-8,
// UTF-16 LE or UTF-16 BE with their byte-order marks. A file is written back as it was read.
#include <string>
#include <string_view>

enum class IniEncoding { Ansi, Utf8, Utf16Le, Utf16Be };

struct DecodedIniText {
    IniEncoding encoding = IniEncoding::Ansi;
    std::wstring text;
};

// Recognises the byte-order mark (which is not part of the text); no mark means ANSI.
DecodedIniText DecodeIniBytes(std::string_view bytes);
// The bytes of the text in the encoding, its mark first.
std::string EncodeIniText(std::wstring_view text, IniEncoding encoding);
// True when the ANSI code page gives back exactly this text.
bool FitsAnsiCodePage(std::wstring_view text);
