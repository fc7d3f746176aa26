#pragma once
// Turns the fuzzer's bytes into the texts the program handles: UTF-16 code units, as on Windows,
// whatever the width of wchar_t on the machine that fuzzes. The unit 0xFFFF (which no text of
// ours holds) separates the parts a target takes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

inline std::vector<std::wstring> FuzzTexts(const std::uint8_t* data, std::size_t size) {
    std::vector<std::wstring> parts(1);
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        const auto unit = static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
        if (unit == 0xFFFF)
            parts.emplace_back();
        else
            parts.back() += unit;
    }
    return parts;
}

// A broken property: say which one and with what text, then stop as a crash does, so the
// fuzzer keeps the input.
[[noreturn]] inline void FuzzFailure(const char* what, std::wstring_view text) {
    std::fprintf(stderr, "property broken: %s\ntext (%zu units):", what, text.size());
    for (wchar_t c : text) std::fprintf(stderr, " %04x", static_cast<unsigned>(c));
    std::fprintf(stderr, "\n");
    std::abort();
}

#define FUZZ_CHECK(condition, text)                      \
    do {                                                 \
        if (!(condition)) FuzzFailure(#condition, text); \
    } while (false)
