// The settings file's text image on arbitrary input: parsing never crashes, hangs or trips a
// sanitizer; what an image writes reads back as the same image; and an image the program fills
// reads back with every value it was given (less the blanks at its ends, which reading strips).
#include <climits>

#include "FuzzInput.h"
#include "settings/IniImage.h"
#include "shell/Text.h"

namespace {

constexpr std::wstring_view kSections[] = {L"PROGRAM", L"POSITION", L"OPTION",
                                           L"DATA",    L"option",   L"Data"};
constexpr std::wstring_view kKeys[] = {
    L"Name",       L"Path",  L"Version",    L"IniFile",    L"LastClose", L"Flags",
    L"ShowCmd",    L"MaxX",  L"MaxY",       L"Left",       L"Top",       L"Right",
    L"Bottom",     L"State", L"CloseQuery", L"SaveStatus", L"FileName",  L"ExeName",
    L"AddHistory", L"Exe0",  L"Exe1",       L"exe1",       L"Exe10"};

std::wstring Flatten(const IniImage& image) {
    std::wstring flat;
    for (std::wstring_view text : image.allText()) flat.append(text).append(1, L'\xFFFF');
    return flat;
}

// Whatever text comes in: the image it gives renders to a text that parses to the same image.
void CheckParsedImage(std::wstring_view text) {
    const IniImage image = IniImage::parse(text);
    const std::wstring rendered = image.render();
    const IniImage again = IniImage::parse(rendered);
    FUZZ_CHECK(Flatten(again) == Flatten(image), text);
    FUZZ_CHECK(again.render() == rendered, text);
    FUZZ_CHECK(rendered.empty() || rendered.ends_with(L"\r\n\r\n"), text);
}

// An image filled as the program fills it, from the parts of the input: section, key and value
// picked by the first units of each part.
void CheckWrittenImage(const std::vector<std::wstring>& parts) {
    struct Written {
        std::wstring_view section, key;
        std::wstring value;
        long long number = 0;
        bool isNumber = false;
    };
    std::vector<Written> written;
    IniImage image;
    for (const std::wstring& part : parts) {
        if (part.size() < 2) continue;
        Written w{kSections[part[0] % std::size(kSections)], kKeys[part[1] % std::size(kKeys)],
                  part.substr(2)};
        if (part[0] & 0x100) {
            w.isNumber = true;
            w.number = static_cast<int>(part.size() > 3 ? static_cast<unsigned>(part[2]) << 16 |
                                                              static_cast<unsigned>(part[3])
                                                        : static_cast<unsigned>(part.size()));
            image.writeInteger(w.section, w.key, w.number);
        } else {
            image.writeString(w.section, w.key, w.value);
        }
        written.push_back(std::move(w));
    }
    const std::wstring rendered = image.render();
    const IniImage read = IniImage::parse(rendered);
    FUZZ_CHECK(read.sectionNames() == image.sectionNames(), rendered);
    for (const Written& w : written) {
        // The last write of a key (its name compared without letter case) is what reads back.
        const Written* last = &w;
        for (const Written& later : written)
            if (FoldCase(later.section) == FoldCase(w.section) &&
                FoldCase(later.key) == FoldCase(w.key))
                last = &later;
        if (last != &w) continue;
        if (w.isNumber) {
            FUZZ_CHECK(read.readInteger(w.section, w.key, -1) == w.number, rendered);
        } else {
            // A line break in a value cannot be kept in a line of its own; it becomes a blank.
            std::wstring oneLine = w.value;
            for (wchar_t& c : oneLine)
                if (c == L'\r' || c == L'\n') c = L' ';
            FUZZ_CHECK(read.readString(w.section, w.key, L"absent") == Trim(oneLine), rendered);
        }
    }
}

// Integers as the file holds them, against a plain reading of the same rules.
void CheckInteger(const std::wstring& text) {
    const std::optional<int> parsed = ParseIniInteger(text);
    std::size_t at = 0;
    int base = 10;
    if (text.starts_with(L"$"))
        at = 1, base = 16;
    else if (text.starts_with(L"0x") || text.starts_with(L"0X"))
        at = 2, base = 16;
    std::optional<long long> expected;
    std::wstring digits = text.substr(at);
    const bool sign = base == 10 && !digits.empty() && (digits[0] == L'-' || digits[0] == L'+');
    const std::wstring_view body = std::wstring_view(digits).substr(sign ? 1 : 0);
    const std::wstring_view allowed = base == 16 ? L"0123456789abcdefABCDEF" : L"0123456789";
    if (!body.empty() && body.find_first_not_of(allowed) == std::wstring_view::npos) {
        const std::wstring significant(
            body.substr(std::min(body.find_first_not_of(L'0'), body.size())));
        if (significant.size() <= 10) {
            long long value = std::stoll(significant.empty() ? L"0" : significant, nullptr, base);
            if (sign && digits[0] == L'-') value = -value;
            if (base == 16 && value <= 0xFFFFFFFFLL && body.size() <= 8)
                expected = static_cast<std::int32_t>(value);
            if (base == 10 && value >= INT_MIN && value <= INT_MAX) expected = value;
        }
    }
    FUZZ_CHECK(parsed.has_value() == expected.has_value(), text);
    if (parsed) FUZZ_CHECK(*parsed == *expected, text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::wstring> parts = FuzzTexts(data, size);
    std::wstring whole;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        whole += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
    CheckParsedImage(whole);
    CheckWrittenImage(parts);
    for (const std::wstring& part : parts) CheckInteger(part);
    return 0;
}
