#include "shortcuts/ShellLink.h"

#include <cstdint>

#include "shell/Clock.h"
#include "shell/DateText.h"
#include "shell/Failure.h"
#include "shell/FileSystem.h"
#include "shell/PlatformError.h"
#include "shell/ProgramIdentity.h"
#include "shell/Text.h"

using Microsoft::WRL::ComPtr;

namespace {

struct LoadedLink {
    ComPtr<IShellLinkW> link;
    bool loaded = false;
};

// Loads a link for reading and lets the platform look for a moved target.
LoadedLink Load(const std::wstring& linkPath) {
    LoadedLink result{CreateShellLink()};
    ComPtr<IPersistFile> file;
    const HRESULT hr = result.link.As(&file);
    if (FAILED(hr)) FailPlatform(hr);
    if (FAILED(file->Load(linkPath.c_str(), STGM_READ))) return result;
    result.loaded = true;
    result.link->Resolve(nullptr, SLR_ANY_MATCH);
    return result;
}

// Texts read from a link: at most 259 characters, up to the first NUL, empty
// when none was written.
struct ReadBuffer {
    wchar_t text[MAX_PATH + 1] = {};
    std::wstring str() const { return text; }
};

void Check(HRESULT hr, const wchar_t* what) {
    if (hr == S_OK) return;
    Fail(std::wstring(what) + L" Failed " + ResultCodeText(hr) + L"\r\n" + SystemErrorText(hr));
}

}  // namespace

ComPtr<IShellLinkW> CreateShellLink() {
    ComPtr<IUnknown> object;
    HRESULT hr =
        ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                           IID_PPV_ARGS(&object));
    if (FAILED(hr)) FailPlatform(hr);
    ComPtr<IShellLinkW> link;
    hr = object.As(&link);
    if (FAILED(hr)) FailPlatform(hr);
    return link;
}

std::wstring GetLinkTarget(const std::wstring& linkPath) {
    const LoadedLink loaded = Load(linkPath);
    if (!loaded.loaded) return linkPath;
    ReadBuffer buffer;
    WIN32_FIND_DATAW findData{};
    loaded.link->GetPath(buffer.text, MAX_PATH, &findData, SLGP_UNCPRIORITY);
    return buffer.str();
}

std::wstring GetLinkArguments(const std::wstring& linkPath) {
    const LoadedLink loaded = Load(linkPath);
    if (!loaded.loaded) return {};
    ReadBuffer buffer;
    loaded.link->GetArguments(buffer.text, MAX_PATH);
    return buffer.str();
}

HRESULT SaveShellLink(const ComPtr<IShellLinkW>& link, const std::wstring& linkPath) {
    ComPtr<IPersistFile> file;
    const HRESULT hr = link.As(&file);
    if (FAILED(hr)) FailPlatform(hr);
    return file->Save(linkPath.c_str(), FALSE);
}

std::wstring CreationStamp() {
    return FormatDateTime(LocalNow(), LocaleDateSeparator(), LocaleTimeSeparator(), L" ", true) +
           L" Created by " + BaseNameOf(ExecutablePath()) + L" " + std::wstring(kVersionText);
}

ComPtr<IShellLinkW> WriteShellLink(ComPtr<IShellLinkW> link, const std::wstring& programPath,
                                   const std::wstring& arguments) {
    Check(link->SetPath(Quote(programPath).c_str()), L"SetPath");
    if (!arguments.empty()) Check(link->SetArguments(Quote(arguments).c_str()), L"SetArguments");
    Check(link->SetWorkingDirectory(TempFolder().c_str()), L"SetWorkingDirectory");
    const HRESULT hr = link->SetDescription(CreationStamp().c_str());
    if (hr != S_OK) Fail(L"SetDescription " + ResultCodeText(hr));
    return link;
}
