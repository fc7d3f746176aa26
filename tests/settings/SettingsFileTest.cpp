// The settings file through the real window: start-up reads it, closing writes it.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>

#include "settings/SettingsPath.h"
#include "shell/Clock.h"
#include "shell/FileSystem.h"
#include "shell/Text.h"
#include "support/FormFixture.h"
#include "support/OutsideDriver.h"

namespace {

std::string Utf16Bytes(const std::wstring& text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (wchar_t c : text) {
        const char high = static_cast<char>(c >> 8), low = static_cast<char>(c & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

std::string Cp932Bytes(const std::wstring& text) {
    std::string bytes(text.size() * 2 + 1, '\0');
    const int n =
        ::WideCharToMultiByte(932, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(),
                              static_cast<int>(bytes.size()), nullptr, nullptr);
    bytes.resize(static_cast<std::size_t>(n));
    return bytes;
}

std::wstring FromCp932(const std::string& bytes) {
    std::wstring text(bytes.size(), L'\0');
    const int n = ::MultiByteToWideChar(932, 0, bytes.data(), static_cast<int>(bytes.size()),
                                        text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(n));
    return text;
}

// The file's text after its mark, however it is encoded.
std::wstring DecodeFile(const std::string& bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) return Utf8ToWide(bytes.substr(3));
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
        const bool big = bytes[0] == '\xFE';
        std::wstring text;
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
            const auto a = static_cast<unsigned char>(bytes[i]),
                       b = static_cast<unsigned char>(bytes[i + 1]);
            text += static_cast<wchar_t>(big ? (a << 8) | b : (b << 8) | a);
        }
        return text;
    }
    return FromCp932(bytes);
}

WINDOWPLACEMENT PlacementOf(HWND window) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    ::GetWindowPlacement(window, &placement);
    return placement;
}

std::wstring Line(const std::wstring& key, long long value) {
    return key + L"=" + std::to_wstring(value) + L"\r\n";
}

class Settings : public FormFixture {
protected:
    void SetUp() override {
        FormFixture::SetUp();
        UseClock([] { return SYSTEMTIME{2025, 1, 4, 2, 13, 7, 9, 0}; });
    }
    void TearDown() override {
        FormFixture::TearDown();
        UseClock({});
    }
    static void writeSettings(const std::string& bytes) {
        CreateFolderTree(FolderPart(settingsFile()));
        WriteBytes(settingsFile(), bytes);
    }
    static void writeSettingsText(const std::wstring& text) { writeSettings(Cp932Bytes(text)); }
    static std::wstring SettingsText() { return DecodeFile(ReadBytes(settingsFile())); }
    static std::wstring ProgramSection(const std::wstring& iniFile,
                                       const std::wstring& time = L" 13:07:09") {
        const std::wstring exe = ExecutablePath();
        return L"[PROGRAM]\r\nName=" + FileNamePart(exe) + L"\r\nPath=" + FolderPart(exe) +
               L"\r\nVersion=V1.1\r\nIniFile=" + iniFile + L"\r\nLastClose=" + ShortDate() + time +
               L"\r\n\r\n";
    }
    // The locale's short date of the fixed clock: Windows writes 2025/01/02 in Japanese, Wine
    // 2025/1/2.
    static std::wstring ShortDate() {
        const SYSTEMTIME day{2025, 1, 4, 2};
        wchar_t text[64] = {};
        ::GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &day, nullptr, text, 64,
                          nullptr);
        return text;
    }
};

TEST_F(Settings, FirstStartUsesTheDefaultsAndAnUnsavedCloseWritesProgramAlone) {
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        TPallendoForm& f = run == 0 ? createForm() : (restart(), *form);
        const int cx = ::GetSystemMetrics(SM_CXSCREEN) / 4,
                  cy = ::GetSystemMetrics(SM_CYSCREEN) / 4;
        const RECT normal = PlacementOf(f.hwnd).rcNormalPosition;
        EXPECT_EQ(normal.left, cx);
        EXPECT_EQ(normal.top, cy);
        EXPECT_EQ(normal.right, 3 * cx);
        EXPECT_EQ(normal.bottom, 3 * cy);
        EXPECT_FALSE(::IsZoomed(f.hwnd) || ::IsIconic(f.hwnd));
        EXPECT_FALSE(f.CheckBoxCloseQuery1.checked());
        EXPECT_TRUE(f.CheckBoxSaveStatus1.checked());
        EXPECT_FALSE(f.CheckBoxAddHistory1.checked());
        EXPECT_EQ(f.Edit1.text(), L"");
        EXPECT_EQ(f.ComboBox2.text(), L"");
        EXPECT_EQ(f.ComboBox2.count(), 0);
        // Unchecked, the next close keeps nothing but the program's own record.
        f.Edit1.setText(L"C:\\docs\\kept.txt");
        f.ComboBox2.add(L"C:\\tools\\viewer.exe");
        ::SendMessageW(f.CheckBoxSaveStatus1.hwnd, BM_CLICK, 0, 0);
        ASSERT_FALSE(f.CheckBoxSaveStatus1.checked());
    }
    // Exactly at midnight the close time is the date alone.
    UseClock([] { return SYSTEMTIME{2025, 1, 4, 2, 0, 0, 0, 0}; });
    closeForm();
    EXPECT_EQ(SettingsText(), ProgramSection(settingsFile(), L""));
}

TEST_F(Settings, EveryKeyIsWrittenInItsOrderAndComesBack) {
    // A section added by hand does not survive the next close.
    writeSettingsText(L"[HandMade]\r\nNote=mine\r\n");
    TPallendoForm& f = createForm();
    ::SetWindowPos(f.hwnd, nullptr, 100, 120, 600, 400, SWP_NOZORDER | SWP_NOACTIVATE);
    f.CheckBoxCloseQuery1.setChecked(true);
    f.CheckBoxAddHistory1.setChecked(true);
    f.Edit1.setText(L"C:\\文書\\報告書.docx");
    f.ComboBox2.setText(L"C:\\Tools\\Viewer.exe");
    f.ComboBox2.clearItems();
    for (const wchar_t* entry :
         {L"C:\\Tools\\Old.exe", L"notepad.exe", L"mspaint.exe", L"(履歴をクリア)"})
        f.ComboBox2.add(entry);
    const std::vector<std::wstring> history = f.ComboBox2.items();
    const WINDOWPLACEMENT placement = PlacementOf(f.hwnd);
    ASSERT_EQ(placement.rcNormalPosition.left, 100);
    ASSERT_EQ(placement.rcNormalPosition.bottom, 520);
    restart();
    ASSERT_EQ(prompter.texts(L"box"), std::vector<std::wstring>{L"終了してよいですか？"});

    std::wstring expected =
        ProgramSection(settingsFile()) + L"[POSITION]\r\n" + Line(L"Flags", placement.flags) +
        Line(L"ShowCmd", placement.showCmd) + Line(L"MaxX", placement.ptMaxPosition.x) +
        Line(L"MaxY", placement.ptMaxPosition.y) + Line(L"Left", 100) + Line(L"Top", 120) +
        Line(L"Right", 700) + Line(L"Bottom", 520) + Line(L"State", 0) +
        L"\r\n[OPTION]\r\nCloseQuery=1\r\nSaveStatus=1\r\nFileName=C:\\文書\\報告書.docx\r\n"
        L"ExeName=C:\\Tools\\Viewer.exe\r\nAddHistory=1\r\n\r\n[DATA]\r\n";
    for (std::size_t n = 0; n < history.size(); ++n)
        expected += L"Exe" + std::to_wstring(n) + L"=" + history[n] + L"\r\n";
    expected += L"\r\n";
    const std::string bytes = ReadBytes(settingsFile());
    EXPECT_FALSE(bytes.starts_with("\xEF\xBB\xBF"))
        << "a new file is written in the ANSI code page";
    EXPECT_EQ(FromCp932(bytes), expected);

    TPallendoForm& g = *form;
    EXPECT_EQ(PlacementOf(g.hwnd).rcNormalPosition.left, 100);
    EXPECT_EQ(PlacementOf(g.hwnd).rcNormalPosition.top, 120);
    EXPECT_EQ(PlacementOf(g.hwnd).rcNormalPosition.right, 700);
    EXPECT_EQ(PlacementOf(g.hwnd).rcNormalPosition.bottom, 520);
    EXPECT_TRUE(g.CheckBoxCloseQuery1.checked());
    EXPECT_TRUE(g.CheckBoxSaveStatus1.checked());
    EXPECT_TRUE(g.CheckBoxAddHistory1.checked());
    EXPECT_EQ(g.Edit1.text(), L"C:\\文書\\報告書.docx");
    EXPECT_EQ(g.ComboBox2.text(), L"C:\\Tools\\Viewer.exe");
    EXPECT_EQ(g.ComboBox2.items(), history);
}

TEST_F(Settings, AHistoryWithBlankTextsComesBackAsItWasSaved) {
    TPallendoForm& f = createForm();
    for (const wchar_t* launcher :
         {L"C:\\Tools\\a.exe", L"   ", L"  C:\\Tools\\b.exe ", L"C:\\Tools\\c.exe"}) {
        f.ComboBox2.setText(launcher);
        f.ComboBox2Exit();
    }
    const std::vector<std::wstring> saved = f.ComboBox2.items();
    ASSERT_EQ(saved, (std::vector<std::wstring>{L"C:\\Tools\\c.exe", L"C:\\Tools\\b.exe",
                                                L"C:\\Tools\\a.exe", L"(履歴をクリア)"}));
    // However an entry of blanks got into the list, it does not end the history on reading.
    f.ComboBox2.insert(1, L"  ");
    restart();
    EXPECT_EQ(form->ComboBox2.items(), saved);
    EXPECT_EQ(SettingsText().find(L"=  \r\n"), std::wstring::npos) << WideToUtf8(SettingsText());
    restart();
    EXPECT_EQ(form->ComboBox2.items(), saved);
}

TEST_F(Settings, ReadingTakesWhatTheFileHoldsAndDefaultsTheRest) {
    const int cx = ::GetSystemMetrics(SM_CXSCREEN) / 4;
    struct Case {
        const wchar_t* name;
        std::wstring text;
        std::function<void(TPallendoForm&)> check;
    };
    const Case cases[] = {
        {L"a gap in the numbering ends the list",
         L"[DATA]\r\nExe0=a.exe\r\nExe1=b.exe\r\nExe3=d.exe\r\n",
         [](TPallendoForm& f) {
             EXPECT_EQ(f.ComboBox2.items(), (std::vector<std::wstring>{L"a.exe", L"b.exe"}));
         }},
        {L"an empty first entry means no list", L"[DATA]\r\nExe0=\r\nExe1=b.exe\r\n",
         [](TPallendoForm& f) { EXPECT_EQ(f.ComboBox2.count(), 0); }},
        // Wine reports no maximised position for a window that is not maximised, so the hexadecimal
        // forms are shown on the rectangle instead of MaxX and MaxY.
        {L"hexadecimal integers", L"[POSITION]\r\nLeft=0x64\r\nTop=$20\r\n",
         [](TPallendoForm& f) {
             const WINDOWPLACEMENT p = PlacementOf(f.hwnd);
             EXPECT_EQ(p.rcNormalPosition.top, 32);
             EXPECT_EQ(p.rcNormalPosition.left, 100);
             EXPECT_EQ(p.rcNormalPosition.right, 300);  // three times the Left just read
         }},
        {L"a Left that is no number", L"[POSITION]\r\nLeft=abc\r\n",
         [cx](TPallendoForm& f) {
             EXPECT_EQ(PlacementOf(f.hwnd).rcNormalPosition.left, cx);
             EXPECT_EQ(PlacementOf(f.hwnd).rcNormalPosition.right, 3 * cx);
         }},
        {L"an empty State", L"[POSITION]\r\nState=\r\n",
         [](TPallendoForm& f) { EXPECT_EQ(f.initialWindowState, WindowState::Normal); }},
        {L"an unknown State", L"[POSITION]\r\nState=7\r\n",
         [](TPallendoForm& f) { EXPECT_EQ(f.initialWindowState, WindowState::Normal); }},
        {L"lower-case section and key", L"[option]\r\nclosequery=1\r\n",
         [](TPallendoForm& f) { EXPECT_TRUE(f.CheckBoxCloseQuery1.checked()); }},
        {L"blanks around FileName", L"[OPTION]\r\nFileName =   C:\\docs\\a b.txt   \r\n",
         [](TPallendoForm& f) { EXPECT_EQ(f.Edit1.text(), L"C:\\docs\\a b.txt"); }},
        {L"comments, orphans, lines without '=' and words",
         L"SaveStatus=0\r\n[OPTION]\r\n;SaveStatus=0\r\nExeName\r\nAddHistory=yes\r\n",
         [](TPallendoForm& f) {
             EXPECT_TRUE(f.CheckBoxSaveStatus1.checked());
             EXPECT_EQ(f.ComboBox2.text(), L"");
             EXPECT_FALSE(f.CheckBoxAddHistory1.checked());
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(WideToUtf8(c.name));
        writeSettingsText(c.text);
        TPallendoForm& f = createForm({}, false);
        c.check(f);
        EXPECT_TRUE(prompter.asked.empty())
            << WideToUtf8(prompter.asked.empty() ? L"" : prompter.asked[0].text);
        discardForm();
        prompter.clear();
    }
}

TEST_F(Settings, EachEncodingIsReadAndWrittenBackWithItsMark) {
    const std::wstring name = L"C:\\文書\\日本語.txt";
    const std::wstring text = L"[OPTION]\r\nFileName=" + name + L"\r\n";
    struct Case {
        const char* name;
        std::string bytes;
        std::string mark;
    };
    const Case cases[] = {
        {"UTF-8", "\xEF\xBB\xBF" + WideToUtf8(text), "\xEF\xBB\xBF"},
        {"UTF-16 LE", Utf16Bytes(text, false), "\xFF\xFE"},
        {"UTF-16 BE", Utf16Bytes(text, true), "\xFE\xFF"},
        {"ANSI", Cp932Bytes(text), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeSettings(c.bytes);
        TPallendoForm& f = createForm({}, false);
        EXPECT_EQ(f.Edit1.text(), name);
        f.ComboBox2.setText(L"C:\\ツール\\ビューア.exe");
        closeForm();
        form.reset();
        const std::string written = ReadBytes(settingsFile());
        if (c.mark.empty()) {
            EXPECT_FALSE(written.starts_with("\xEF\xBB\xBF") || written.starts_with("\xFF\xFE") ||
                         written.starts_with("\xFE\xFF"));
        } else {
            EXPECT_TRUE(written.starts_with(c.mark));
        }
        const std::wstring back = DecodeFile(written);
        EXPECT_NE(back.find(L"FileName=" + name + L"\r\n"), std::wstring::npos);
        EXPECT_NE(back.find(L"ExeName=C:\\ツール\\ビューア.exe\r\n"), std::wstring::npos);
        removeSettingsFile();
    }
    // Text outside code page 932 is not turned into question marks: such a file becomes UTF-8.
    const std::wstring foreign = L"C:\\한국어\\\U0001F600.txt";
    for (bool existing : {false, true}) {
        SCOPED_TRACE(existing ? "an existing ANSI file" : "a new file");
        if (existing) writeSettingsText(L"[OPTION]\r\nFileName=plain.txt\r\n");
        TPallendoForm& f = createForm({}, false);
        f.Edit1.setText(foreign);
        f.ComboBox2.add(L"C:\\한국어\\보기.exe");
        restart(false);
        EXPECT_TRUE(ReadBytes(settingsFile()).starts_with("\xEF\xBB\xBF"));
        EXPECT_EQ(form->Edit1.text(), foreign);
        EXPECT_EQ(form->ComboBox2.items(), std::vector<std::wstring>{L"C:\\한국어\\보기.exe"});
        discardForm();
    }
}

TEST_F(Settings, AWindowClosedMaximisedOpensMaximisedAndRestoresToItsRectangle) {
    TPallendoForm& f = createForm();
    ::SetWindowPos(f.hwnd, nullptr, 90, 80, 640, 420, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT before{};
    ::GetWindowRect(f.hwnd, &before);
    ::ShowWindow(f.hwnd, SW_MAXIMIZE);
    ASSERT_TRUE(::IsZoomed(f.hwnd));
    restart();
    EXPECT_NE(SettingsText().find(L"State=2\r\n"), std::wstring::npos);
    EXPECT_EQ(form->initialWindowState, WindowState::Maximised);
    EXPECT_TRUE(::IsZoomed(form->hwnd));
    ::ShowWindow(form->hwnd, SW_RESTORE);
    PumpMessages();
    RECT after{};
    ::GetWindowRect(form->hwnd, &after);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    EXPECT_EQ(after.right, before.right);
    EXPECT_EQ(after.bottom, before.bottom);
}

TEST_F(Settings, ALockedFileAtCloseKeepsItsBytesAndTheWindowOpen) {
    writeSettingsText(L"[OPTION]\r\nFileName=C:\\old.txt\r\n");
    TPallendoForm& f = createForm();
    f.Edit1.setText(L"C:\\new.txt");
    const std::string old = ReadBytes(settingsFile());
    {
        // Another program reads the file and lets nobody replace or change it meanwhile.
        UniqueFile lock(::CreateFileW(settingsFile().c_str(), GENERIC_READ, FILE_SHARE_READ,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(lock);
        EXPECT_FALSE(f.close());
        ASSERT_NE(form->hwnd, nullptr);
        const auto boxes = prompter.asked;
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].flags, static_cast<UINT>(MB_OK | MB_ICONSTOP));
        EXPECT_NE(boxes[0].text.find(settingsFile()), std::wstring::npos);
        EXPECT_TRUE(FileExists(f.TempFileName1))
            << "the temporary file stays while the window does";
    }
    EXPECT_EQ(ReadBytes(settingsFile()), old);
    EXPECT_EQ(FileNamesIn(FolderPart(settingsFile())),
              std::vector<std::wstring>{FileNamePart(settingsFile())})
        << "the unused new content is removed";
    // Once the file is free again, the close goes through.
    EXPECT_TRUE(f.close());
    EXPECT_NE(SettingsText().find(L"FileName=C:\\new.txt\r\n"), std::wstring::npos);
}

TEST_F(Settings, AStartThatCouldNotReadTheFileLeavesItAsItIs) {
    writeSettingsText(L"[OPTION]\r\nFileName=C:\\kept.txt\r\n[DATA]\r\nExe0=kept.exe\r\n");
    const std::string old = ReadBytes(settingsFile());
    {
        UniqueFile lock(::CreateFileW(settingsFile().c_str(), GENERIC_READ, 0, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(lock);
        createForm();
    }
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].flags, static_cast<UINT>(MB_OK | MB_ICONSTOP));
    EXPECT_EQ(form->Edit1.text(), L"");
    EXPECT_FALSE(::GetWindowLongW(form->hwnd, GWL_EXSTYLE) & WS_EX_ACCEPTFILES)
        << "start-up stopped at the failure";
    EXPECT_TRUE(form->close());
    EXPECT_EQ(ReadBytes(settingsFile()), old);
}

TEST_F(Settings, WithoutAUsableFolderTheFileIsWrittenNextToTheExecutable) {
    // A file where the program's folder belongs: the folder cannot be made.
    const std::wstring folder = FolderPart(settingsFile());
    CreateFolderTree(FolderPart(folder));
    RemoveTree(folder);
    WriteBytes(folder, "in the way");
    const std::wstring fallback = FallbackSettingsPath();
    ::DeleteFileW(fallback.c_str());
    createForm();
    form->Edit1.setText(L"C:\\fallback.txt");
    EXPECT_TRUE(form->close());
    ::DeleteFileW(folder.c_str());
    EXPECT_EQ(fallback, ChangeExtension(ExecutablePath(), L".ini"));
    const std::wstring written = DecodeFile(ReadBytes(fallback));
    ::DeleteFileW(fallback.c_str());
    EXPECT_TRUE(written.starts_with(ProgramSection(fallback)));
    EXPECT_NE(written.find(L"FileName=C:\\fallback.txt\r\n"), std::wstring::npos);
}

TEST_F(Settings, ARenamedExecutableReadsAndWritesItsOwnFile) {
    TestFolder folder(L"renamed");
    const std::wstring copy = folder / L"PallendoRenamed.exe";
    ASSERT_TRUE(::CopyFileW(ProductPath().c_str(), copy.c_str(), FALSE));
    const std::wstring own = SettingsFilePath(kSettingsFolderName, copy);
    const std::wstring product = ProductSettingsFile();
    const std::string productBefore = ReadBytes(product);
    CreateFolderTree(FolderPart(own));
    WriteBytes(own, Cp932Bytes(L"[OPTION]\r\nFileName=C:\\renamed.txt\r\n"));
    {
        RunningPallendo renamed({}, copy);
        ASSERT_NE(renamed.window(), nullptr);
        EXPECT_EQ(RunningPallendo::text(renamed.Edit1()), L"C:\\renamed.txt");
        ASSERT_TRUE(renamed.closeAndWait());
    }
    const std::wstring written = DecodeFile(ReadBytes(own));
    EXPECT_NE(written.find(L"Name=PallendoRenamed.exe\r\n"), std::wstring::npos);
    EXPECT_NE(written.find(L"IniFile=" + own + L"\r\n"), std::wstring::npos);
    EXPECT_NE(written.find(L"FileName=C:\\renamed.txt\r\n"), std::wstring::npos);
    EXPECT_EQ(ReadBytes(product), productBefore);
    RemoveTree(FolderPart(own));
}

}  // namespace
