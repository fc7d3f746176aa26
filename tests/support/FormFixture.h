#pragma once
// A real main window for a test, with a scripted prompter answering for the user. Each test
// starts without a settings file, so no test sees what an earlier one saved.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/PallendoForm.h"
#include "support/TestSupport.h"

class FormFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the window (start-up runs); `show` shows it as the product does.
    TPallendoForm& createForm(FormOptions options = {}, bool show = true);
    // Closes the window through its close query, answering "Yes" if it asks.
    void closeForm();
    // Closes the window and starts it again, as a user's next start does; the settings file the
    // close wrote is read again.
    void restart(bool show = true);
    // Closes the window and forgets it and its settings file, so the next case of a table starts
    // as the first one did.
    void discardForm();
    // Drops files on the window as the shell does, with a real WM_DROPFILES; true when the window
    // released the drop afterwards.
    bool dropFiles(const std::vector<std::wstring>& paths);
    // The settings file this test program reads and writes.
    static std::wstring settingsFile();
    static void removeSettingsFile();

    ScriptedPrompter prompter;
    std::unique_ptr<TPallendoForm> form;
};
