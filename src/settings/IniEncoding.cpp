#include "settings/IniEncoding.h"

#include <windows.h>

namespace {
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

std::wstring FromCodePage(UINT codePage, std::string_view bytes) {
    if (bytes.empty()) return {};
    const int length = ::MultiByteToWideChar(codePage, 0, bytes.data(),
                                             static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                          length);
    return text;
}

std::string ToCodePage(UINT codePage, std::wstring_view text, BOOL* lossy) {
    if (text.empty()) return {};
    // Best-fit mappings would turn a character into a look-alike without saying so.
    const DWORD flags = codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL* usedDefault = codePage == CP_UTF8 ? nullptr : lossy;
    const int length =
        ::WideCharToMultiByte(codePage, flags, text.data(), static_cast<int>(text.size()), nullptr,
                              0, nullptr, usedDefault);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(codePage, flags, text.data(), static_cast<int>(text.size()), bytes.data(),
                          length, nullptr, nullptr);
    return bytes;
}

std::wstring FromUtf16(std::string_view bytes, bool bigEndian) {
    std::wstring text(bytes.size() / 2, L'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto first = static_cast<unsigned char>(bytes[2 * i]);
        const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
        text[i] = static_cast<wchar_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    }
    return text;
}

std::string ToUtf16(std::wstring_view text, bool bigEndian) {
    std::string bytes;
    bytes.reserve(text.size() * 2 + 2);
    bytes.append(bigEndian ? kUtf16BeMark : kUtf16LeMark);
    for (wchar_t c : text) {
        const char high = static_cast<char>((c >> 8) & 0xFF);
        const char low = static_cast<char>(c & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}
}  // namespace

DecodedIniText DecodeIniBytes(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Mark))
        return {IniEncoding::Utf8, FromCodePage(CP_UTF8, bytes.substr(kUtf8Mark.size()))};
    if (bytes.starts_with(kUtf16LeMark))
        return {IniEncoding::Utf16Le, FromUtf16(bytes.substr(2), false)};
    if (bytes.starts_with(kUtf16BeMark))
        return {IniEncoding::Utf16Be, FromUtf16(bytes.substr(2), true)};
    return {IniEncoding::Ansi, FromCodePage(::GetACP(), bytes)};
}

std::string EncodeIniText(std::wstring_view text, IniEncoding encoding) {
    switch (encoding) {
    case IniEncoding::Utf8: return std::string(kUtf8Mark) + ToCodePage(CP_UTF8, text, nullptr);
    case IniEncoding::Utf16Le: return ToUtf16(text, false);
    case IniEncoding::Utf16Be: return ToUtf16(text, true);
    case IniEncoding::Ansi: break;
    }
    return ToCodePage(::GetACP(), text, nullptr);
}

bool FitsAnsiCodePage(std::wstring_view text) {
    BOOL lossy = FALSE;
    const std::string bytes = ToCodePage(::GetACP(), text, &lossy);
    return !lossy && FromCodePage(::GetACP(), bytes) == text;
}
