#include "support/LinkFiles.h"

#include <gtest/gtest.h>

#include "shortcuts/ShellLink.h"
#include "support/TestSupport.h"

using Microsoft::WRL::ComPtr;

namespace {

// The longest text a link's field holds: a description may be as long as an info tip.
constexpr int kFieldChars = 1024;

// One text field of the link, read by `get` into a buffer of that many characters.
template <typename Get>
std::wstring Field(Get get) {
    wchar_t buffer[kFieldChars] = {};
    get(buffer, kFieldChars);
    return buffer;
}

}  // namespace

LinkFields ReadLink(const std::wstring& linkPath) {
    ComPtr<IShellLinkW> link = CreateShellLink();
    ComPtr<IPersistFile> file;
    if (FAILED(link.As(&file)) || file->Load(linkPath.c_str(), STGM_READ) != S_OK) return {};
    return {
        Field([&](wchar_t* text, int size) { link->GetPath(text, size, nullptr, SLGP_RAWPATH); }),
        Field([&](wchar_t* text, int size) { link->GetArguments(text, size); }),
        Field([&](wchar_t* text, int size) { link->GetWorkingDirectory(text, size); }),
        Field([&](wchar_t* text, int size) { link->GetDescription(text, size); }),
    };
}

void SaveLink(const ComPtr<IShellLinkW>& link, const std::wstring& linkPath) {
    EXPECT_EQ(SaveShellLink(link, linkPath), S_OK) << WideToUtf8(linkPath);
}
