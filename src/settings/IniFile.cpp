#include "settings/IniFile.h"

#include <windows.h>

#include <algorithm>

#include "shell/Failure.h"
#include "shell/Handles.h"
#include "shell/PlatformError.h"
#include "shell/Text.h"

namespace {
[[noreturn]] void FailOnFile(const std::wstring& path, DWORD code) {
    FailPlatform(code, path);
}

std::string ReadWholeFile(const std::wstring& path, bool& missing) {
    missing = false;
    UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
        const DWORD code = ::GetLastError();
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) {
            missing = true;
            return {};
        }
        FailOnFile(path, code);
    }
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size)) FailOnFile(path, ::GetLastError());
    if (size.QuadPart > 0x7FFFFFFF) FailOnFile(path, ERROR_FILE_TOO_LARGE);
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        if (!::ReadFile(file.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done),
                        &got, nullptr))
            FailOnFile(path, ::GetLastError());
        if (got == 0) break;
        done += got;
    }
    bytes.resize(done);
    return bytes;
}

// A new, uniquely named file next to `path`, for the new content.
std::wstring NewSiblingFile(const std::wstring& path) {
    const std::wstring folder = FolderPart(path);
    wchar_t name[MAX_PATH + 1] = {};
    if (::GetTempFileNameW(folder.empty() ? L"." : folder.c_str(), L"ini", 0, name) == 0)
        FailOnFile(path, ::GetLastError());
    return name;
}

void WriteAll(const std::wstring& path, const std::wstring& reportedPath,
              const std::string& bytes) {
    UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) FailOnFile(reportedPath, ::GetLastError());
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
        if (!::WriteFile(file.get(), bytes.data() + done, chunk, &written, nullptr))
            FailOnFile(reportedPath, ::GetLastError());
        if (written == 0) FailOnFile(reportedPath, ERROR_DISK_FULL);
        done += written;
    }
    // The new file must be complete on disk before it takes the old one's place.
    if (!::FlushFileBuffers(file.get())) FailOnFile(reportedPath, ::GetLastError());
}
}  // namespace

LoadedIniFile LoadIniFile(const std::wstring& path) {
    bool missing = false;
    const std::string bytes = ReadWholeFile(path, missing);
    if (missing) return {};
    DecodedIniText decoded = DecodeIniBytes(bytes);
    return {IniImage::parse(decoded.text), decoded.encoding};
}

IniEncoding EncodingToWrite(std::wstring_view text, IniEncoding encoding) {
    if (encoding == IniEncoding::Ansi && !FitsAnsiCodePage(text)) return IniEncoding::Utf8;
    return encoding;
}

void SaveIniFile(const std::wstring& path, const IniImage& image, IniEncoding encoding) {
    const std::wstring text = image.render();
    const std::string bytes = EncodeIniText(text, EncodingToWrite(text, encoding));
    const std::wstring fresh = NewSiblingFile(path);
    try {
        WriteAll(fresh, path, bytes);
        if (!::MoveFileExW(fresh.c_str(), path.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            FailOnFile(path, ::GetLastError());
    } catch (...) {
        ::DeleteFileW(fresh.c_str());
        throw;
    }
}
