#include "help/HelpFile.h"

#include "shell/Boxes.h"
#include "shell/FileSystem.h"
#include "shell/ShellActions.h"
#include "shell/Text.h"

std::vector<std::wstring> HelpFileCandidates(std::wstring_view executablePath) {
    const std::wstring first = ChangeExtension(executablePath, L".chm");
    const std::wstring name = FileNamePart(first);
    std::vector<std::wstring> candidates{first};
    for (std::wstring folder = ParentFolder(FolderPart(first)); !folder.empty();
         folder = ParentFolder(folder))
        candidates.push_back(JoinPath(folder, name));
    return candidates;
}

std::optional<std::wstring> FindHelpFile(std::wstring_view executablePath) {
    for (const std::wstring& candidate : HelpFileCandidates(executablePath))
        if (FileExists(candidate)) return candidate;
    return std::nullopt;
}

void ShowHelpFile(std::wstring_view executablePath) {
    if (const auto found = FindHelpFile(executablePath)) {
        Open(Quote(*found));
        return;
    }
    MessageDialog(L"HelpFile Not Found.\r\n\r\n" +
                  FileNamePart(ChangeExtension(executablePath, L".chm")));
}
