#include "support/FormFixture.h"

#include <algorithm>

#include "settings/SettingsPath.h"
#include "shell/Handles.h"
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

void FormFixture::Restart(bool show) {
    CloseForm();
    ASSERT_EQ(form->hwnd, nullptr) << "the window did not close";
    form.reset();
    CreateForm({}, show);
}

void FormFixture::DiscardForm() {
    CloseForm();
    form.reset();
    RemoveSettingsFile();
}

bool FormFixture::DropFiles(const std::vector<std::wstring>& paths) {
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

std::wstring FormFixture::SettingsFile() {
    return SettingsFilePath(kSettingsFolderName);
}

void FormFixture::RemoveSettingsFile() {
    ::DeleteFileW(SettingsFile().c_str());
}
