// Input no one should give the program, given all the same: settings files that are noise, cut
// short or huge, a dropped shortcut of random bytes, a target of 32,000 characters, a launcher
// whose name no path may hold. Each is met with its message (or with none where the file rules
// say there is none), the window goes on, and what the user had set survives the next start.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "pairing/PairingFixture.h"
#include "settings/IniEncoding.h"
#include "settings/IniImage.h"
#include "settings/SettingsPath.h"
#include "shell/FileSystem.h"
#include "shell/Text.h"

namespace {

using Texts = std::vector<std::wstring>;

std::string RandomBytes(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& b : bytes) b = static_cast<char>(random() & 0xFF);
    return bytes;
}

std::string Utf16Le(const std::wstring& text) {
    return EncodeIniText(text, IniEncoding::Utf16Le);
}

class BadInput : public PairingFixture {
protected:
    static void writeSettings(const std::string& bytes) {
        CreateFolderTree(FolderPart(settingsFile()));
        WriteBytes(settingsFile(), bytes);
    }
    static IniImage savedImage() {
        return IniImage::parse(DecodeIniBytes(ReadBytes(settingsFile())).text);
    }
    // The pair set, the window closed and started again: the pair must be back as it was.
    void expectPairSurvivesARestart(const std::wstring& target, const std::wstring& launcher) {
        form->Edit1.setText(target);
        setLauncher(launcher);
        restart();
        prompter.clear();
        EXPECT_EQ(form->Edit1.text(), target);
        EXPECT_EQ(form->ComboBox2.text(), launcher);
        EXPECT_EQ(form->TargetFileName1, target);
        EXPECT_EQ(form->TargetExeName1, launcher);
    }
};

TEST_F(BadInput, SettingsFilesOfNoiseOrCutShortStartWithWhatTheyHoldAndNoMessage) {
    const std::wstring good =
        L"[OPTION]\r\nCloseQuery=1\r\nFileName=C:\\docs\\報告書.txt\r\nExeName=C:\\Tools\\viewer."
        L"exe";
    std::string cut = Utf16Le(good);
    cut.resize(cut.size() - 3);  // the last character gone, and half of the one before
    struct Case {
        const char* name;
        std::string bytes;
        bool closeQuery;
        std::wstring target, launcher;
    };
    const Case cases[] = {
        {"random bytes", RandomBytes(4096, 1), false, L"", L""},
        {"random bytes after a UTF-8 mark", "\xEF\xBB\xBF" + RandomBytes(4096, 2), false, L"", L""},
        {"random bytes after a UTF-16 mark", "\xFF\xFE" + RandomBytes(4097, 3), false, L"", L""},
        {"random bytes after a big-endian mark", "\xFE\xFF" + RandomBytes(4095, 4), false, L"",
         L""},
        {"UTF-16 cut short", cut, true, L"C:\\docs\\報告書.txt", L"C:\\Tools\\viewer.e"},
    };
    TestFolder folder(L"bad-settings");
    const std::wstring doc = folder / L"kept.txt";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeSettings(c.bytes);
        TPallendoForm& f = createForm();
        EXPECT_EQ(prompter.texts(), Texts{}) << "noise in the file is no failure";
        EXPECT_EQ(f.CheckBoxCloseQuery1.checked(), c.closeQuery);
        EXPECT_EQ(f.Edit1.text(), c.target);
        EXPECT_EQ(f.ComboBox2.text(), c.launcher);
        expectPairSurvivesARestart(doc, Probe::path());
        // The file the close wrote holds the program's sections alone.
        for (const std::wstring& section : savedImage().sectionNames())
            EXPECT_TRUE(section == L"PROGRAM" || section == L"POSITION" || section == L"OPTION" ||
                        section == L"DATA")
                << WideToUtf8(section);
        EXPECT_EQ(ReadBytes(settingsFile()).size() % (c.bytes.starts_with("\xFF\xFE") ? 2 : 1), 0u);
        discardForm();
    }
}

TEST_F(BadInput, ATenMegabyteSettingsFileIsReadThroughAndWrittenBackSmall) {
    // 10 MB of sections the program does not know, then the keys it does.
    std::string bytes;
    bytes.reserve(10'600'000);
    for (int section = 0; bytes.size() < 10'000'000; ++section) {
        bytes += "[Junk" + std::to_string(section) + "]\r\n";
        for (int key = 0; key < 100; ++key)
            bytes += "Key" + std::to_string(key) + "=" +
                     std::string(90, static_cast<char>('a' + key % 26)) + "\r\n";
    }
    bytes +=
        "[OPTION]\r\nFileName=C:\\docs\\after the "
        "junk.txt\r\n[DATA]\r\nExe0=C:\\Tools\\first.exe\r\nExe1=C:\\Tools\\second.exe\r\n";
    writeSettings(bytes);

    const auto t0 = std::chrono::steady_clock::now();
    TPallendoForm& f = createForm();
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    std::printf("a start with a %.1f MB settings file took %.0f ms\n", bytes.size() / 1e6, ms);
    EXPECT_EQ(prompter.texts(), Texts{});
    EXPECT_EQ(f.Edit1.text(), L"C:\\docs\\after the junk.txt");
    EXPECT_EQ(historyEntries(), (Texts{L"C:\\Tools\\first.exe", L"C:\\Tools\\second.exe"}));

    closeForm();
    EXPECT_LT(ReadBytes(settingsFile()).size(), 4096u)
        << "sections the program does not know are dropped";
    EXPECT_EQ(savedImage().readString(L"OPTION", L"FileName"), L"C:\\docs\\after the junk.txt");
}

TEST_F(BadInput, ADroppedShortcutOfRandomBytesBecomesTheTargetItself) {
    TestFolder folder(L"bad-links");
    // Noise; noise behind a link's own header; a link's header cut off after its first bytes.
    const std::string header("\x4C\0\0\0\x01\x14\x02\0\0\0\0\0\xC0\0\0\0\0\0\0\x46", 20);
    const std::pair<const wchar_t*, std::string> links[] = {
        {L"noise.lnk", RandomBytes(2048, 5)},
        {L"header then noise.lnk", header + RandomBytes(2048, 6)},
        {L"cut short.lnk", header.substr(0, 12)},
        {L"empty.lnk", ""},
    };
    TPallendoForm& f = createForm();
    setLauncher(Probe::path());
    for (const auto& [name, bytes] : links) {
        SCOPED_TRACE(WideToUtf8(name));
        const std::wstring path = folder / name;
        WriteBytes(path, bytes);
        prompter.clear();
        EXPECT_TRUE(dropFiles({path})) << "the drop is released";
        EXPECT_EQ(prompter.texts(), Texts{});
        EXPECT_EQ(f.Edit1.text(), path);
        EXPECT_EQ(f.ComboBox2.text(), Probe::path());
        EXPECT_EQ(shownMessage(), std::wstring(name) + L" を受取りました");
        EXPECT_EQ(ReadBytes(path), bytes) << "a dropped file is only read";
    }
}

TEST_F(BadInput, ATargetOf32000CharactersIsKeptWholeTestedAndSaved) {
    TestFolder folder(L"long-target");
    std::wstring deep = folder.path();
    while (deep.size() < 32000 - 11) deep += L"\\長いフォルダ名";
    const std::wstring deepPath = deep.substr(0, 32000 - 11) + L"\\report.txt";
    const std::wstring longName =
        folder / (std::wstring(32000 - folder.path().size() - 5, L'a') + L".txt");
    TPallendoForm& f = createForm();
    setLauncher(Probe::path());
    for (const std::wstring& target : {deepPath, longName}) {
        SCOPED_TRACE(target == deepPath ? "deep folders" : "a long file name");
        ASSERT_EQ(target.size(), 32000u);
        prompter.clear();
        f.Edit1.setText(target);
        EXPECT_EQ(f.Edit1.text(), target);
        EXPECT_EQ(f.TargetFileName1, target);
        EXPECT_TRUE(f.ButtonOpenDefault1.enabled());
        ASSERT_TRUE(f.ButtonTest12.enabled());

        // No such file can exist, so no copy is made; the launch alone decides.
        Probe probe;
        f.ButtonTest12.click();
        const auto args = probe.waitForArguments(std::chrono::seconds(20));
        if (args) {
            EXPECT_EQ(*args, Texts{f.TempFileName1});
            EXPECT_TRUE(f.GridPanel6.enabled());
            EXPECT_EQ(f.Edit3.text(), FileNamePart(target) + L"(probe)");
        } else {
            ASSERT_EQ(prompter.texts(L"message").size(), 1u);
            EXPECT_TRUE(prompter.texts(L"message")[0].starts_with(L"実行できませんでした "))
                << WideToUtf8(prompter.texts(L"message")[0].substr(0, 200));
            EXPECT_FALSE(f.GridPanel6.enabled());
        }
        std::printf(
            "%s: %s\n", target == deepPath ? "deep folders" : "a long file name",
            args ? "the launcher got the copy's path" : "the launch failed with its message");
        EXPECT_EQ(f.Edit1.text(), target);
    }
    expectPairSurvivesARestart(deepPath, Probe::path());
}

TEST_F(BadInput, ALineBreakInATargetAddsNoKeysToTheSettingsFile) {
    // A dropped shortcut's arguments may hold any text; a line break in the target must not
    // start a line of its own in the file and stand in for the real launcher at the next start.
    TPallendoForm& f = createForm();
    f.Edit1.setText(L"C:\\docs\\a.txt\r\n[OPTION]\r\nExeName=C:\\evil.exe");
    const std::wstring shown = f.Edit1.text();
    setLauncher(Probe::path());
    restart();
    prompter.clear();
    EXPECT_EQ(form->ComboBox2.text(), Probe::path());
    std::wstring oneLine = shown;
    for (wchar_t& c : oneLine)
        if (c == L'\r' || c == L'\n') c = L' ';
    EXPECT_EQ(form->Edit1.text(), oneLine);
}

TEST_F(BadInput, ALauncherNameNoPathMayHoldIsReportedAndKept) {
    TestFolder folder(L"bad-launcher");
    const std::wstring doc = folder / L"report.txt";
    WriteBytes(doc, "x");
    const std::wstring launcher = L"C:\\Tools\\vi|ew<er>.exe";
    TPallendoForm& f = createForm();
    f.Edit1.setText(doc);
    TypeInto(launcherEdit(), launcher);
    EXPECT_EQ(f.TargetExeName1, launcher);
    EXPECT_TRUE(f.ButtonExe2.enabled());
    EXPECT_FALSE(f.ButtonExe2.showsImage());
    EXPECT_EQ(prompter.texts(), Texts{}) << "typing is no failure";

    // The test refuses the name before it starts anything.
    f.ButtonTest12.click();
    EXPECT_EQ(prompter.texts(L"message"), Texts{});
    EXPECT_EQ(prompter.texts(L"box"), Texts{L"パスに無効な文字が含まれています."});
    EXPECT_FALSE(f.GridPanel6.enabled());

    prompter.clear();
    f.ButtonExe2.click();
    EXPECT_EQ(prompter.texts().size(), 1u) << "the start is refused with its message";
    EXPECT_EQ(f.ComboBox2.text(), launcher);
    expectPairSurvivesARestart(doc, launcher);
}

}  // namespace
