#include "shell/PlatformError.h"

#include <windows.h>

#include "shell/Failure.h"
#include "shell/Handles.h"
#include "shell/Text.h"

std::wstring SystemErrorText(std::uint32_t code) {
    wchar_t* raw = nullptr;
    const DWORD flags = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS |
                        FORMAT_MESSAGE_ARGUMENT_ARRAY | FORMAT_MESSAGE_ALLOCATE_BUFFER;
    const DWORD length =
        ::FormatMessageW(flags, nullptr, code, 0, reinterpret_cast<wchar_t*>(&raw), 0, nullptr);
    const UniqueLocalBuffer owner(raw);
    if (length == 0 || raw == nullptr) return {};
    std::wstring text(raw, length);
    while (!text.empty() && (text.back() <= L' ' || text.back() == L'.')) text.pop_back();
    return text;
}

std::wstring ResultCodeText(std::uint32_t code) {
    return L"HRESULT=" + SignedText(code);
}

std::wstring PlatformFailureText(std::uint32_t code) {
    std::wstring text = SystemErrorText(code);
    return text.empty() ? ResultCodeText(code) : text;
}

void FailPlatform(std::uint32_t code, std::wstring_view context) {
    std::wstring message(context);
    if (!message.empty()) message += L"\r\n";
    Fail(message + PlatformFailureText(code));
}

void FailLastError(std::wstring_view context) {
    FailPlatform(::GetLastError(), context);
}
