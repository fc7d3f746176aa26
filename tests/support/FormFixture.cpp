#include "support/FormFixture.h"

#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

#include "shell/AppInfo.h"
#include "shell/Shell.h"
#include "shell/Text.h"

namespace {
struct ProgramSetUp {
    ProgramSetUp() {
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
        INITCOMMONCONTROLSEX controls{sizeof(controls),
                                      ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES};
        ::InitCommonControlsEx(&controls);
    }
};
}  // namespace

void FormFixture::SetUp() {
    static ProgramSetUp once;
    RemoveSettingsFile();
}

void FormFixture::TearDown() {
    if (form && form->hwnd) {
        prompter.boxAnswers.push_back(IDYES);
        form->Close();
    }
    form.reset();
    RemoveSettingsFile();
    PumpMessages();
}

TPallendoForm& FormFixture::CreateForm(FormOptions options, bool show) {
    form = std::make_unique<TPallendoForm>(std::move(options));
    if (show) form->Show();
    PumpMessages();
    return *form;
}

void FormFixture::CloseForm() {
    prompter.boxAnswers.push_back(IDYES);
    form->Close();
}

std::wstring FormFixture::SettingsFile() {
    wchar_t appData[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData);
    const std::wstring base = BaseNameOf(ExecutablePath());
    return JoinPath(JoinPath(JoinPath(appData, L"Hollowmere"), base), base + L".ini");
}

void FormFixture::RemoveSettingsFile() {
    ::DeleteFileW(SettingsFile().c_str());
}
