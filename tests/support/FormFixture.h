#pragma once
// A real main window for a test, with a scripted prompter answering for the user. Each test
// starts without a settings file, so no test sees what an earlier one saved.
#include <gtest/gtest.h>

#include <memory>

#include "app/PallendoForm.h"
#include "support/TestSupport.h"

class FormFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the window (start-up runs); `show` shows it as the product does.
    TPallendoForm& CreateForm(FormOptions options = {}, bool show = true);
    // Closes the window through its close query, answering "Yes" if it asks.
    void CloseForm();
    // The settings file this test program reads and writes.
    static std::wstring SettingsFile();
    static void RemoveSettingsFile();

    ScriptedPrompter prompter;
    std::unique_ptr<TPallendoForm> form;
};
