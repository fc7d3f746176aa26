// The program's own folder as the settings file records it, for a program in a drive root.
#include <windows.h>

#include <gtest/gtest.h>

#include "settings/IniEncoding.h"
#include "settings/SettingsPath.h"
#include "shell/Text.h"
#include "support/FormFixture.h"
#include "support/OutsideDriver.h"

namespace {

class ProgramPath : public FormFixture {};

TEST_F(ProgramPath, OfAProgramInADriveRootHasNoTrailingSeparator) {
    // The test prefix's own drive C:, inside the build tree.
    const std::wstring copy = L"C:\\PallendoAtRoot.exe";
    ASSERT_TRUE(::CopyFileW(ProductPath().c_str(), copy.c_str(), FALSE));
    const std::wstring own = SettingsFilePath(kSettingsFolderName, copy);
    {
        RunningPallendo atRoot({}, copy);
        ASSERT_NE(atRoot.window(), nullptr);
        ASSERT_TRUE(atRoot.closeAndWait());
    }
    const std::wstring written = DecodeIniBytes(ReadBytes(own)).text;
    EXPECT_NE(written.find(L"\r\nPath=C:\r\n"), std::wstring::npos) << WideToUtf8(written);
    RemoveTree(FolderPart(own));
    ::DeleteFileW(copy.c_str());
}

}  // namespace
