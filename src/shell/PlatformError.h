#pragma once
// How a platform error code or result becomes text, and a failure: the one home for it.
#include <cstdint>
#include <string>
#include <string_view>

// The platform's text for an error code or result, without trailing blanks, line breaks and
// full stops; "" when the platform has none.
std::wstring SystemErrorText(std::uint32_t code);
// "HRESULT=" and the code as a signed 32-bit decimal number (0x80070057 reads -2147024809).
std::wstring ResultCodeText(std::uint32_t code);
// The platform's text for the code, or ResultCodeText when it has none: a failure always says
// something.
std::wstring PlatformFailureText(std::uint32_t code);
// Raises a failure: `context` (when given) on its own line, then PlatformFailureText.
[[noreturn]] void FailPlatform(std::uint32_t code, std::wstring_view context = {});
// The same for the calling thread's last error.
[[noreturn]] void FailLastError(std::wstring_view context = {});
