#include <windows.h>
#include <commctrl.h>
#include <shobjidl.h>
#include <wrl/client.h>

#include "shell/Handles.h"
#include "shell/Prompter.h"

using Microsoft::WRL::ComPtr;

namespace {

class PlatformPrompter final : public Prompter {
public:
    void showMessage(HWND owner, const std::wstring& caption, const std::wstring& text,
                     bool cancellable) override {
        TASKDIALOG_BUTTON ok{IDOK, L"OK"};
        TASKDIALOGCONFIG config{};
        config.cbSize = sizeof(config);
        config.hwndParent = owner;
        config.pszWindowTitle = caption.c_str();
        config.pszMainInstruction = L"";
        config.pszContent = text.c_str();
        config.cButtons = 1;
        config.pButtons = &ok;
        config.nDefaultButton = IDOK;
        // Without dialog cancellation only the button (or Enter) closes the message.
        config.dwFlags = cancellable ? TDF_ALLOW_DIALOG_CANCELLATION : TDF_SIZE_TO_CONTENT;
        int pressed = 0;
        if (FAILED(::TaskDialogIndirect(&config, &pressed, nullptr, nullptr)))
            ::MessageBoxW(owner, text.c_str(), caption.c_str(), MB_OK);
    }

    int askBox(HWND owner, const std::wstring& caption, const std::wstring& text,
               UINT flags) override {
        return ::MessageBoxW(owner, text.c_str(), caption.c_str(), flags);
    }

    std::optional<std::wstring> chooseFile(HWND owner, const FileDialogRequest& request) override {
        ComPtr<IFileOpenDialog> dialog;
        if (FAILED(::CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_PPV_ARGS(&dialog))))
            return std::nullopt;
        FILEOPENDIALOGOPTIONS options = 0;
        dialog->GetOptions(&options);
        dialog->SetOptions(options | FOS_PATHMUSTEXIST | FOS_FILEMUSTEXIST | FOS_FORCEFILESYSTEM);
        std::vector<COMDLG_FILTERSPEC> filters;
        for (const FileTypeFilter& type : request.fileTypes)
            filters.push_back({type.name.c_str(), type.mask.c_str()});
        if (!filters.empty()) {
            dialog->SetFileTypes(static_cast<UINT>(filters.size()), filters.data());
            dialog->SetFileTypeIndex(1);
        }
        if (!request.defaultExtension.empty())
            dialog->SetDefaultExtension(request.defaultExtension.c_str());
        if (!request.startFolder.empty()) {
            ComPtr<IShellItem> folder;
            if (SUCCEEDED(::SHCreateItemFromParsingName(request.startFolder.c_str(), nullptr,
                                                        IID_PPV_ARGS(&folder))))
                dialog->SetFolder(folder.Get());
        }
        if (dialog->Show(owner) != S_OK) return std::nullopt;
        ComPtr<IShellItem> item;
        if (FAILED(dialog->GetResult(&item))) return std::nullopt;
        UniqueCoTaskMem<wchar_t> path;
        if (FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, path.put())) || !path)
            return std::nullopt;
        return std::wstring(path.get());
    }
};

Prompter*& Installed() {
    static Prompter* prompter = nullptr;
    return prompter;
}

}  // namespace

Prompter& RealPrompter() {
    static PlatformPrompter prompter;
    return prompter;
}

Prompter& CurrentPrompter() {
    return Installed() ? *Installed() : RealPrompter();
}

Prompter* UsePrompter(Prompter* prompter) {
    Prompter* previous = Installed();
    Installed() = prompter;
    return previous;
}
