#include <windows.h>

#include <gtest/gtest.h>

#include "help/HelpFile.h"
#include "shell/ProgramIdentity.h"
#include "support/FormFixture.h"

namespace {

struct CandidatesCase {
    const wchar_t* executable;
    std::vector<std::wstring> candidates;
};

TEST(HelpFileSearch, LooksInEveryFolderUpToTheRootOfTheDriveOrShare) {
    const CandidatesCase cases[] = {
        {L"C:\\Tools\\App\\Pallendo.exe",
         {L"C:\\Tools\\App\\Pallendo.chm", L"C:\\Tools\\Pallendo.chm", L"C:\\Pallendo.chm"}},
        {L"C:\\Pallendo.exe", {L"C:\\Pallendo.chm"}},
        // A share's root is the last folder: the server is no folder.
        {L"\\\\server\\share\\App\\viewer.exe",
         {L"\\\\server\\share\\App\\viewer.chm", L"\\\\server\\share\\viewer.chm"}},
        {L"C:\\My Tools\\tool.v2.exe", {L"C:\\My Tools\\tool.v2.chm", L"C:\\tool.v2.chm"}},
        {L"C:\\a.b\\Pallendo", {L"C:\\a.b\\Pallendo.chm", L"C:\\Pallendo.chm"}},
        // Started through a path of the long form, the drive root is still the last folder.
        {L"\\\\?\\C:\\Tools\\App\\Pallendo.exe",
         {L"\\\\?\\C:\\Tools\\App\\Pallendo.chm", L"\\\\?\\C:\\Tools\\Pallendo.chm",
          L"\\\\?\\C:\\Pallendo.chm"}},
        {L"\\\\?\\UNC\\server\\share\\App\\viewer.exe",
         {L"\\\\?\\UNC\\server\\share\\App\\viewer.chm", L"\\\\?\\UNC\\server\\share\\viewer.chm"}},
    };
    for (const CandidatesCase& c : cases)
        EXPECT_EQ(HelpFileCandidates(c.executable), c.candidates) << c.executable;
}

// While a test runs, the shell opens a file type or a URL scheme with the probe instead of its
// usual program, so the test sees what the shell was asked to open. Wine reads these from the
// machine's classes only, not from the user's.
class ProbeOpens {
public:
    explicit ProbeOpens(std::wstring type, bool urlScheme = false) : type_(std::move(type)) {
        HKEY key = nullptr;
        existed_ =
            ::RegOpenKeyExW(HKEY_CLASSES_ROOT, type_.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS;
        if (key) ::RegCloseKey(key);
        wchar_t value[1024] = {};
        DWORD size = sizeof(value);
        if (::RegGetValueW(HKEY_CLASSES_ROOT, command().c_str(), nullptr, RRF_RT_REG_SZ, nullptr,
                           value, &size) == ERROR_SUCCESS)
            original_ = value;
        if (urlScheme && !existed_)
            ::RegSetKeyValueW(HKEY_CLASSES_ROOT, type_.c_str(), L"URL Protocol", REG_SZ, L"",
                              sizeof(wchar_t));
        set(L"\"" + Probe::path() + L"\" \"%1\"");
    }
    ~ProbeOpens() {
        if (existed_)
            set(original_);
        else
            ::RegDeleteTreeW(HKEY_CLASSES_ROOT, type_.c_str());
    }

private:
    std::wstring command() const { return type_ + L"\\shell\\open\\command"; }
    void set(const std::wstring& value) const {
        ::RegSetKeyValueW(HKEY_CLASSES_ROOT, command().c_str(), nullptr, REG_SZ, value.c_str(),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }
    std::wstring type_;
    std::wstring original_;
    bool existed_ = false;
};

class HelpFileOpening : public FormFixture {
protected:
    ProbeOpens helpFiles{L"chm.file"};
    Probe probe;
    TestFolder root{L"help search"};
};

TEST_F(HelpFileOpening, TheNearestHelpFileOnTheWayUpIsOpenedThroughTheShell) {
    const std::wstring top = root / L"Top Folder";
    const std::wstring app = top + L"\\App Dir";
    ::CreateDirectoryW(top.c_str(), nullptr);
    ::CreateDirectoryW(app.c_str(), nullptr);
    const std::wstring executable = app + L"\\viewer.exe";

    WriteBytes(top + L"\\viewer.chm", "parent");
    WriteBytes(app + L"\\viewer.chm", "own folder");
    EXPECT_EQ(FindHelpFile(executable), app + L"\\viewer.chm");
    ShowHelpFile(executable);
    auto arguments = probe.waitForArguments();
    ASSERT_TRUE(arguments.has_value());
    // The path with its blanks arrived whole: one argument, exactly the file.
    EXPECT_EQ(*arguments, std::vector<std::wstring>{app + L"\\viewer.chm"});
    EXPECT_TRUE(prompter.asked.empty());
}

TEST_F(HelpFileOpening, AHelpFileOnlyInTheParentFolderIsFound) {
    const std::wstring app = root / L"App Dir";
    ::CreateDirectoryW(app.c_str(), nullptr);
    WriteBytes(root / L"viewer.chm", "parent");
    ShowHelpFile(app + L"\\viewer.exe");
    auto arguments = probe.waitForArguments();
    ASSERT_TRUE(arguments.has_value());
    EXPECT_EQ(*arguments, std::vector<std::wstring>{root / L"viewer.chm"});
    EXPECT_TRUE(prompter.asked.empty());
}

TEST_F(HelpFileOpening, WithoutAnyHelpFileButton4NamesTheFileItLookedFor) {
    // The test program has no help file anywhere above it: it looks for its own name.
    createForm();
    form->Button4.click();
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].kind, L"message");
    EXPECT_EQ(prompter.asked[0].caption, L"パレンド");
    EXPECT_EQ(prompter.asked[0].text, L"HelpFile Not Found.\r\n\r\npallendo_help_tests.chm");
}

TEST(ProductHelpFile, IsBuiltNextToTheProgramAndFoundByItsSearch) {
    const std::wstring product = ProductPath();
    const std::wstring expected = product.substr(0, product.rfind(L'\\')) + L"\\Pallendo.chm";
    EXPECT_EQ(FindHelpFile(product), expected);
    EXPECT_EQ(ReadBytes(expected).substr(0, 4), "ITSF");  // a compiled HTML help file
}

class HelpPage : public FormFixture {};

TEST_F(HelpPage, TheWebPagesAndTheDefaultAppsPageOpenThroughTheShell) {
    ProbeOpens web(L"https", true);
    ProbeOpens settings(L"ms-settings", true);
    createForm();
    const std::pair<Button*, std::wstring_view> buttons[] = {
        {&form->Button7, kProductPageUrl},
        {&form->Button8, kHomePageUrl},
        {&form->ButtonDefApp1, kDefaultAppsPage}};
    for (const auto& [button, address] : buttons) {
        Probe probe;
        button->click();
        const auto arguments = probe.waitForArguments();
        ASSERT_TRUE(arguments.has_value()) << std::wstring(address).c_str();
        EXPECT_EQ(*arguments, std::vector<std::wstring>{std::wstring(address)});
    }
    EXPECT_EQ(kDefaultAppsPage, L"ms-settings:defaultapps");
    EXPECT_TRUE(prompter.asked.empty());
}

}  // namespace
