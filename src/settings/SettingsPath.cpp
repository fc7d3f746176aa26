#include "settings/SettingsPath.h"

#include <windows.h>
#include <shlobj.h>

#include "shell/AppInfo.h"
#include "shell/Text.h"

std::wstring SettingsFilePath(std::wstring_view folderName) {
    wchar_t appData[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData)))
        appData[0] = L'\0';
    const std::wstring base = BaseNameOf(ExecutablePath());
    return JoinPath(JoinPath(JoinPath(appData, folderName), base), base + L".ini");
}

std::wstring FallbackSettingsPath() {
    return ChangeExtension(ExecutablePath(), L".ini");
}

bool CreateFolderTree(const std::wstring& folder) {
    if (folder.empty() || FolderExists(folder)) return true;
    const std::wstring parent = FolderPart(folder);
    if (!parent.empty() && parent != folder && !CreateFolderTree(parent)) return false;
    if (::CreateDirectoryW(folder.c_str(), nullptr)) return true;
    return FolderExists(folder);
}
