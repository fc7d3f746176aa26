#include "support/FormFixture.h"

#include "settings/SettingsPath.h"
#include "shell/ProgramScope.h"

void FormFixture::SetUp() {
    // Set up once for the whole test program, as the product sets up once.
    static const ProgramScope program;
    RemoveSettingsFile();
}

void FormFixture::TearDown() {
    if (form && form->hwnd) {
        prompter.boxAnswers.push_back(IDYES);
        form->close();
    }
    form.reset();
    RemoveSettingsFile();
    PumpMessages();
}

TPallendoForm& FormFixture::CreateForm(FormOptions options, bool show) {
    form = std::make_unique<TPallendoForm>(std::move(options));
    if (show) form->show();
    PumpMessages();
    return *form;
}

void FormFixture::CloseForm() {
    prompter.boxAnswers.push_back(IDYES);
    form->close();
}

std::wstring FormFixture::SettingsFile() {
    return SettingsFilePath(kSettingsFolderName);
}

void FormFixture::RemoveSettingsFile() {
    ::DeleteFileW(SettingsFile().c_str());
}
