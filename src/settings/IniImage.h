#pragma once
// The settings file as text in memory: sections of key/value pairs, read and written in order.
// Pure C++ with no platform headers, so the parser can be fuzzed natively as well.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class IniImage {
public:
    IniImage() = default;
    // Parses the text of a file: lines are stripped, empty lines and ";" comments skipped, lines
    // before the first header ignored. Names match without regard to letter case; where a key is
    // given twice, the first one counts.
    static IniImage parse(std::wstring_view text);
    // The text of the file: each section a header, its "key=value" lines and one empty line,
    // every line ending in CR LF.
    std::wstring render() const;

    // The value of a key; nothing when the section or the key is absent (or the line had no "=").
    std::optional<std::wstring> value(std::wstring_view section, std::wstring_view key) const;
    std::wstring readString(std::wstring_view section, std::wstring_view key,
                            std::wstring_view fallback = {}) const;
    int readInteger(std::wstring_view section, std::wstring_view key, int fallback) const;
    bool readBool(std::wstring_view section, std::wstring_view key, bool fallback) const;

    // Replaces the key's value, or adds the key at the end of its section (and the section at
    // the end of the image). A line break in the value becomes a blank: a value is one line.
    void writeString(std::wstring_view section, std::wstring_view key, std::wstring_view value);
    void writeInteger(std::wstring_view section, std::wstring_view key, long long value);
    void writeBool(std::wstring_view section, std::wstring_view key, bool value);

    void clear();
    bool empty() const { return sections_.empty(); }
    std::vector<std::wstring> sectionNames() const;
    // Every value the image holds, for checks that need to see them all (the file's encoding).
    std::vector<std::wstring_view> allText() const;

private:
    struct Entry {
        std::wstring key;
        std::wstring value;
    };
    struct Section {
        std::wstring name;
        std::vector<Entry> entries;
        // Folded key -> index into entries, so that a history of thousands of keys stays linear.
        std::unordered_map<std::wstring, std::size_t> index;
    };
    const Section* find(std::wstring_view name) const;
    Section& obtain(std::wstring_view name);

    std::vector<Section> sections_;
    std::unordered_map<std::wstring, std::size_t> sectionIndex_;
};

// An integer as the settings file writes it: decimal with an optional sign, or hexadecimal after
// "0x" (either case) or "$". Nothing for an empty text, any other text, or one out of range.
std::optional<int> ParseIniInteger(std::wstring_view text);
// The name as lookups compare it: letters folded to lower case.
std::wstring FoldCase(std::wstring_view name);
