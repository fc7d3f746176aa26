// Files taken in from the command line and from drag and drop: one file fills one side of the
// launch pair; a shortcut is resolved first, and a dedicated one is taken apart again.
#include <windows.h>
#include <shellapi.h>

#include "app/PallendoForm.h"
#include "pairing/LauncherHistory.h"
#include "shell/Handles.h"
#include "shell/LetterCase.h"
#include "shell/Text.h"
#include "shortcuts/ShellLink.h"

namespace {

// Extensions compare as the user's locale lower-cases them. Raises for a path with characters
// no path may hold, before anything has changed.
std::wstring ExtensionLowerCased(const std::wstring& path) {
    return LowerCased(ExtensionOf(FileNameOf(path)));
}

struct Classified {
    std::wstring resolved;  // the link's target for a shortcut, the given path otherwise
    bool launcher = false;  // the resolved path is a program
};

Classified Classify(const std::wstring& given) {
    Classified result{given};
    if (ExtensionLowerCased(given) == L".lnk") result.resolved = GetLinkTarget(given);
    result.launcher = ExtensionLowerCased(result.resolved) == L".exe";
    return result;
}

std::wstring ReceivedText(const std::wstring& given) {
    return FileNameOf(given) + L" を受取りました";
}

// The first dropped path, however long: its length is asked first.
std::wstring FirstDroppedPath(HDROP drop) {
    const UINT length = ::DragQueryFileW(drop, 0, nullptr, 0);
    if (length == 0) return {};
    std::wstring path(static_cast<std::size_t>(length) + 1, L'\0');
    const UINT copied = ::DragQueryFileW(drop, 0, path.data(), length + 1);
    path.resize(copied);
    return path;
}

// A dedicated shortcut names its target file in its arguments.
void TakeTargetFromLink(TPallendoForm& form, const std::wstring& given) {
    const std::wstring linkArguments = GetLinkArguments(given);
    if (linkArguments.empty()) return;
    form.Edit1.setText(Dequote(linkArguments));
    form.ButtonEdit1Clear.setEnabled(true);
}
}  // namespace

void TPallendoForm::takeCommandLine() {
    const std::vector<std::wstring>& arguments = options_.arguments;
    if (arguments.empty() || arguments.front().empty()) return;
    const std::wstring& given = arguments.front();
    const std::wstring received = ReceivedText(given);
    const Classified file = Classify(given);
    // A fresh pair: the side the file does not fill is emptied, unless a link's arguments fill it.
    if (file.launcher) {
        Edit1.setText(L"");
        ComboBox2.setText(file.resolved);
        ButtonComboBox2Clear.setEnabled(true);
        TakeTargetFromLink(*this, given);
    } else {
        Edit1.setText(file.resolved);
        ComboBox2.setText(L"");
        ButtonEdit1Clear.setEnabled(true);
    }
    ComboBox2Change();
    setMessage(received);
}

void TPallendoForm::WMDropFiles(HDROP drop) {
    const UniqueDrop release(drop);
    activatePage(PageId::Edit);
    const std::wstring given = FirstDroppedPath(drop);
    if (given.empty()) return;
    const std::wstring received = ReceivedText(given);
    const Classified file = Classify(given);
    // A drop changes one side of the pair and keeps the other.
    if (file.launcher) {
        RememberLauncher(ComboBox2.text());
        ComboBox2.setText(file.resolved);
        ComboBox2Change();
        ButtonComboBox2Clear.setEnabled(true);
        ButtonSelectExe2.setEnabled(true);
        TakeTargetFromLink(*this, given);
    } else {
        Edit1.setText(file.resolved);
        ButtonEdit1Clear.setEnabled(true);
    }
    if (!Edit1.text().empty() && HoldsLauncher(ComboBox2.text()))
        offerTest();
    else
        WithdrawTest();
    SetPanelEnabled(GridPanel6, false);
    Edit3.setText(L"");
    ButtonCreate3.setImageIndex(-1);
    setMessage(received);
}
