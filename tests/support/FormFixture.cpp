#include "support/FormFixture.h"

#include <algorithm>

#include "settings/SettingsPath.h"
#include "shell/Handles.h"
#include "shell/ProgramScope.h"

void FormFixture::SetUp() {
    // Set up once for the whole test program, as the product sets up once.
    static const ProgramScope program;
    removeSettingsFile();
}

void FormFixture::TearDown() {
    if (form && form->hwnd) {
        prompter.boxAnswers.push_back(IDYES);
        form->close();
    }
    form.reset();
    removeSettingsFile();
    PumpMessages();
}

TPallendoForm& FormFixture::createForm(FormOptions options, bool show) {
    form = std::make_unique<TPallendoForm>(std::move(options));
    if (show) form->show();
    PumpMessages();
    return *form;
}

void FormFixture::closeForm() {
    prompter.boxAnswers.push_back(IDYES);
    form->close();
}

void FormFixture::restart(bool show) {
    closeForm();
    ASSERT_EQ(form->hwnd, nullptr) << "the window did not close";
    form.reset();
    createForm({}, show);
}

void FormFixture::discardForm() {
    closeForm();
    form.reset();
    removeSettingsFile();
}

bool FormFixture::dropFiles(const std::vector<std::wstring>& paths) {
    const std::string bytes = DropBytes(paths);
    UniqueGlobal drop(::GlobalAlloc(GHND, bytes.size()));
    {
        const LockedGlobal memory(drop.get());
        std::copy(bytes.begin(), bytes.end(), static_cast<char*>(memory.get()));
    }
    // The window owns the drop from here on and frees it with DragFinish.
    const HGLOBAL handedOver = drop.release();
    ::SendMessageW(form->hwnd, WM_DROPFILES, reinterpret_cast<WPARAM>(handedOver), 0);
    return ::GlobalSize(handedOver) == 0;
}

std::wstring FormFixture::settingsFile() {
    return SettingsFilePath(kSettingsFolderName);
}

void FormFixture::removeSettingsFile() {
    ::DeleteFileW(settingsFile().c_str());
}
