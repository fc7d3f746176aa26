#include "settings/IniImage.h"

#include <cstdint>

#include "shell/Text.h"

namespace {
constexpr std::wstring_view kLineEnd = L"\r\n";

bool IsHexPrefixed(std::wstring_view text, std::size_t& digitsAt) {
    if (!text.empty() && text[0] == L'$') {
        digitsAt = 1;
        return true;
    }
    if (text.size() >= 2 && text[0] == L'0' && (text[1] == L'x' || text[1] == L'X')) {
        digitsAt = 2;
        return true;
    }
    return false;
}

int HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

// Splits at CR LF, LF or a lone CR; a final line without an ending counts too.
template <typename Visit>
void ForEachLine(std::wstring_view text, Visit&& visit) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of(L"\r\n", start);
        if (end == std::wstring_view::npos) end = text.size();
        visit(text.substr(start, end - start));
        if (end < text.size() && text[end] == L'\r' && end + 1 < text.size() &&
            text[end + 1] == L'\n')
            ++end;
        start = end + 1;
    }
}
}  // namespace

std::wstring FoldCase(std::wstring_view name) {
    std::wstring folded(name);
    for (wchar_t& c : folded) {
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
        else if (c >= 0xFF21 && c <= 0xFF3A)
            c = static_cast<wchar_t>(c - 0xFF21 + 0xFF41);  // full-width Latin
    }
    return folded;
}

std::optional<int> ParseIniInteger(std::wstring_view text) {
    std::size_t at = 0;
    if (IsHexPrefixed(text, at)) {
        if (at == text.size() || text.size() - at > 8) return std::nullopt;
        std::uint32_t value = 0;
        for (std::size_t i = at; i < text.size(); ++i) {
            const int digit = HexDigit(text[i]);
            if (digit < 0) return std::nullopt;
            value = value * 16 + static_cast<std::uint32_t>(digit);
        }
        // Eight hex digits cover the whole 32-bit pattern, as flags are often written.
        return static_cast<int>(static_cast<std::int32_t>(value));
    }
    bool negative = false;
    if (!text.empty() && (text[0] == L'-' || text[0] == L'+')) {
        negative = text[0] == L'-';
        at = 1;
    }
    if (at == text.size()) return std::nullopt;
    long long value = 0;
    for (std::size_t i = at; i < text.size(); ++i) {
        if (text[i] < L'0' || text[i] > L'9') return std::nullopt;
        value = value * 10 + (text[i] - L'0');
        if (value > 2147483648LL) return std::nullopt;
    }
    if (negative) value = -value;
    if (value > INT32_MAX || value < INT32_MIN) return std::nullopt;
    return static_cast<int>(value);
}

IniImage IniImage::parse(std::wstring_view text) {
    IniImage image;
    Section* current = nullptr;
    ForEachLine(text, [&](std::wstring_view raw) {
        const std::wstring_view line = Trim(raw);
        if (line.empty() || line.front() == L';') return;
        if (line.front() == L'[' && line.back() == L']' && line.size() >= 2) {
            current = &image.obtain(Trim(line.substr(1, line.size() - 2)));
            return;
        }
        if (!current) return;
        const std::size_t equals = line.find(L'=');
        if (equals == std::wstring_view::npos) return;
        std::wstring key(TrimRight(line.substr(0, equals)));
        std::wstring folded = FoldCase(key);
        if (current->index.contains(folded)) return;
        current->index.emplace(std::move(folded), current->entries.size());
        current->entries.push_back(
            {std::move(key), std::wstring(TrimLeft(line.substr(equals + 1)))});
    });
    return image;
}

std::wstring IniImage::render() const {
    std::size_t size = 0;
    for (const Section& section : sections_) {
        size += section.name.size() + 6;
        for (const Entry& entry : section.entries)
            size += entry.key.size() + entry.value.size() + 3;
    }
    std::wstring text;
    text.reserve(size);
    for (const Section& section : sections_) {
        text.append(L"[").append(section.name).append(L"]").append(kLineEnd);
        for (const Entry& entry : section.entries)
            text.append(entry.key).append(L"=").append(entry.value).append(kLineEnd);
        text.append(kLineEnd);
    }
    return text;
}

const IniImage::Section* IniImage::find(std::wstring_view name) const {
    const auto found = sectionIndex_.find(FoldCase(name));
    return found == sectionIndex_.end() ? nullptr : &sections_[found->second];
}

IniImage::Section& IniImage::obtain(std::wstring_view name) {
    std::wstring folded = FoldCase(name);
    const auto found = sectionIndex_.find(folded);
    if (found != sectionIndex_.end()) return sections_[found->second];
    sectionIndex_.emplace(std::move(folded), sections_.size());
    sections_.push_back({std::wstring(name), {}, {}});
    return sections_.back();
}

std::optional<std::wstring> IniImage::value(std::wstring_view section,
                                            std::wstring_view key) const {
    const Section* s = find(section);
    if (!s) return std::nullopt;
    const auto found = s->index.find(FoldCase(key));
    if (found == s->index.end()) return std::nullopt;
    return s->entries[found->second].value;
}

std::wstring IniImage::readString(std::wstring_view section, std::wstring_view key,
                                  std::wstring_view fallback) const {
    std::optional<std::wstring> found = value(section, key);
    return found ? std::move(*found) : std::wstring(fallback);
}

int IniImage::readInteger(std::wstring_view section, std::wstring_view key, int fallback) const {
    const std::optional<std::wstring> found = value(section, key);
    if (!found) return fallback;
    return ParseIniInteger(*found).value_or(fallback);
}

bool IniImage::readBool(std::wstring_view section, std::wstring_view key, bool fallback) const {
    return readInteger(section, key, fallback ? 1 : 0) != 0;
}

void IniImage::writeString(std::wstring_view section, std::wstring_view key,
                           std::wstring_view text) {
    // A value is one line of the file: a line break in it (a dropped link's arguments may hold
    // one) would cut it short and start lines of its own, keys and sections that were never
    // written, which the next start would read in place of the real ones.
    std::wstring value(text);
    for (wchar_t& c : value)
        if (c == L'\r' || c == L'\n') c = L' ';
    Section& s = obtain(section);
    std::wstring folded = FoldCase(key);
    const auto found = s.index.find(folded);
    if (found != s.index.end()) {
        s.entries[found->second].value = std::move(value);
        return;
    }
    s.index.emplace(std::move(folded), s.entries.size());
    s.entries.push_back({std::wstring(key), std::move(value)});
}

void IniImage::writeInteger(std::wstring_view section, std::wstring_view key, long long value) {
    writeString(section, key, DecimalText(value));
}

void IniImage::writeBool(std::wstring_view section, std::wstring_view key, bool value) {
    writeString(section, key, value ? L"1" : L"0");
}

void IniImage::clear() {
    sections_.clear();
    sectionIndex_.clear();
}

std::vector<std::wstring> IniImage::sectionNames() const {
    std::vector<std::wstring> names;
    for (const Section& section : sections_) names.push_back(section.name);
    return names;
}

std::vector<std::wstring_view> IniImage::allText() const {
    std::vector<std::wstring_view> texts;
    for (const Section& section : sections_) {
        texts.push_back(section.name);
        for (const Entry& entry : section.entries) {
            texts.push_back(entry.key);
            texts.push_back(entry.value);
        }
    }
    return texts;
}
