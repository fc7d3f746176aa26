#include "settings/SettingsPath.h"

#include <windows.h>
#include <shlobj.h>

#include "shell/FileSystem.h"
#include "shell/Text.h"

std::wstring SettingsFilePath(std::wstring_view folderName) {
    return SettingsFilePath(folderName, ExecutablePath());
}

std::wstring SettingsFilePath(std::wstring_view folderName, std::wstring_view executablePath) {
    wchar_t appData[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData)))
        appData[0] = L'\0';
    const std::wstring base = BaseNameOf(executablePath);
    return JoinPath(JoinPath(JoinPath(appData, folderName), base), base + L".ini");
}

std::wstring FallbackSettingsPath() {
    return ChangeExtension(ExecutablePath(), L".ini");
}
