// The program as its users meet it: a separate Pallendo.exe process, driven only through its
// command line, its window, its boxes, dropped files and the files it leaves behind.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <list>
#include <optional>

#include "shell/ProgramScope.h"
#include "shell/ShellActions.h"
#include "shell/Text.h"
#include "support/LinkFiles.h"
#include "support/OutsideDriver.h"
#include "support/TestSupport.h"

namespace {

using Args = std::vector<std::wstring>;

std::wstring DecodeAnsi(const std::string& bytes) {
    const int length =
        ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(length, L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                          length);
    return text;
}

class Acceptance : public ::testing::Test {
protected:
    void SetUp() override { ::DeleteFileW(ProductSettingsFile().c_str()); }
    void TearDown() override {
        ::DeleteFileW(ProductSettingsFile().c_str());
        for (const std::wstring& link : leftLinks_) ::DeleteFileW(link.c_str());
    }

    // A document in a new folder, both removed at the end of the test.
    std::wstring writeDocument(const std::wstring& folder, const std::wstring& name,
                               const std::string& content) {
        const std::wstring path = folders_.emplace_back(folder) / name;
        WriteBytes(path, content);
        return path;
    }

    // The dedicated shortcut on the desktop, named as the display name shows it; it is removed
    // at the end of the test.
    std::wstring desktopLink(RunningPallendo& program) {
        leftLinks_.push_back(JoinPath(GetSpecialFolder(CSIDL_DESKTOPDIRECTORY),
                                      RunningPallendo::text(program.Edit3()) + L".lnk"));
        return leftLinks_.back();
    }

    // Presses OK on the notice the program shows next, and returns its text.
    static std::wstring acknowledgeNotice(RunningPallendo& program) {
        HWND box = program.waitForBox();
        if (!box) return {};
        const std::wstring text = RunningPallendo::boxText(box);
        RunningPallendo::answer(box, IDOK);
        PumpUntil([&] { return !::IsWindow(box); });
        program.settle();
        return text;
    }

    // Types the pair of the document and the probe into the Edit page, runs the combination test
    // and gives what the probe was started with (nothing when it was not); the probe's record is
    // cleared again for the next start.
    static std::optional<Args> testPairWithProbe(RunningPallendo& program, const Probe& probe,
                                                 const std::wstring& document) {
        program.showPage(PageId::Edit);
        program.type(program.Edit1(), document);
        program.type(program.ComboBox2(), Probe::path());
        HWND test = program.control(WC_BUTTONW, L"組合せテスト");
        if (!program.enabled(test)) {
            ADD_FAILURE() << "target [" << WideToUtf8(RunningPallendo::text(program.Edit1()))
                          << "] launcher ["
                          << WideToUtf8(RunningPallendo::text(program.ComboBox2())) << "]";
            return std::nullopt;
        }
        program.click(test);
        program.settle();
        const auto arguments = probe.waitForArguments();
        probe.forget();
        return arguments;
    }

    const ProgramScope program_;
    std::list<TestFolder> folders_;
    std::vector<std::wstring> leftLinks_;
};

// Presses the keys and waits until the focus moves; false when the keys could not be given or
// the focus stayed.
bool MoveFocus(RunningPallendo& program, const std::string& keys) {
    HWND from = program.focusedControl();
    return program.pressKeys(keys) &&
           program.waitUntil([&] { return program.focusedControl() != from; });
}

// The whole road from the keyboard: after a successful test the focus is on 作成; Tab goes all
// round the Edit page back to it without changing the destination, the arrow keys change it, and
// the page keys reach every page.
TEST_F(Acceptance, TheKeyboardWalksTheEditPageChoosesTheDestinationAndReachesEveryPage) {
    const std::wstring document = writeDocument(L"keyboard", L"keys.txt", "keys");
    Probe probe;
    RunningPallendo program;
    ASSERT_NE(program.window(), nullptr);
    ASSERT_TRUE(testPairWithProbe(program, probe, document).has_value());
    HWND create = program.control(WC_BUTTONW, L"作成");
    ASSERT_TRUE(program.waitUntil([&] { return program.focusedControl() == create; }));
    HWND desktop = program.control(WC_BUTTONW, L"デスクトップ");
    HWND startMenu = program.control(WC_BUTTONW, L"スタートメニュー");
    HWND startUp = program.control(WC_BUTTONW, L"スタートアップ");
    ASSERT_TRUE(program.pointIntoWindow());

    std::vector<HWND> visited;
    for (int i = 0; i < 30; ++i) {
        ASSERT_TRUE(MoveFocus(program, "Tab")) << "Tab moved nothing";
        visited.push_back(program.focusedControl());
        if (visited.back() == create) break;
    }
    EXPECT_EQ(visited.back(), create) << "Tab goes all round the page";
    EXPECT_EQ(std::count(visited.begin(), visited.end(), desktop), 1);
    EXPECT_EQ(std::count(visited.begin(), visited.end(), startMenu), 0);
    EXPECT_EQ(std::count(visited.begin(), visited.end(), startUp), 0);
    EXPECT_TRUE(program.checked(desktop));
    EXPECT_FALSE(program.checked(startMenu) || program.checked(startUp))
        << "the focus chose a destination";

    // Back into the group from 作成, then the arrow keys choose.
    for (int i = 0; i < 10 && program.focusedControl() != desktop; ++i)
        ASSERT_TRUE(MoveFocus(program, "shift+Tab"));
    ASSERT_EQ(program.focusedControl(), desktop);
    ASSERT_TRUE(program.pressKeys("Right"));
    EXPECT_TRUE(program.waitUntil([&] { return program.checked(startMenu); }));
    EXPECT_EQ(program.focusedControl(), startMenu);
    ASSERT_TRUE(program.pressKeys("Left"));
    EXPECT_TRUE(
        program.waitUntil([&] { return program.checked(desktop) && !program.checked(startMenu); }));

    HWND tabs = program.control(WC_TABCONTROLW);
    auto page = [&] { return static_cast<int>(::SendMessageW(tabs, TCM_GETCURSEL, 0, 0)); };
    const std::pair<const char*, PageId> pageKeys[] = {
        {"ctrl+Tab", PageId::Help},  {"ctrl+Tab", PageId::File},
        {"ctrl+Tab", PageId::Edit},  {"ctrl+shift+Tab", PageId::File},
        {"ctrl+Next", PageId::Edit}, {"ctrl+Prior", PageId::File}};
    for (const auto& [keys, expected] : pageKeys) {
        SCOPED_TRACE(keys);
        ASSERT_TRUE(program.pressKeys(keys));
        EXPECT_TRUE(program.waitUntil([&] { return page() == TabIndexOf(expected); })) << page();
    }
    EXPECT_TRUE(program.closeAndWait());
}

// Moves the focus with Tab until it reaches the control; false when Tab stops moving it or goes
// all round without finding it.
bool TabTo(RunningPallendo& program, HWND target) {
    for (int i = 0; i < 30; ++i) {
        if (program.focusedControl() == target) return true;
        if (!MoveFocus(program, "Tab")) return false;
    }
    return program.focusedControl() == target;
}

std::string Ascii(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

// The whole road with the keyboard alone: document and launcher typed in, the test, the
// dedicated shortcut created and started.
TEST_F(Acceptance, TheWholeRoadCanBeDoneWithTheKeyboardAlone) {
    const std::wstring document = writeDocument(L"keyboard road", L"road.txt", "road");
    Probe probe;
    RunningPallendo program;
    ASSERT_NE(program.window(), nullptr);
    HWND target = program.Edit1();
    EXPECT_EQ(program.focusedControl(), target) << "start-up puts the focus on the target field";
    ASSERT_TRUE(program.pointIntoWindow());

    ASSERT_TRUE(program.typeKeys(Ascii(document)));
    ASSERT_TRUE(program.waitUntil([&] { return RunningPallendo::text(target) == document; }))
        << WideToUtf8(RunningPallendo::text(target));
    HWND launcher = program.ComboBox2();
    ASSERT_TRUE(TabTo(program, RunningPallendo::innerEdit(launcher)));
    ASSERT_TRUE(program.typeKeys(Ascii(Probe::path())));
    ASSERT_TRUE(
        program.waitUntil([&] { return RunningPallendo::text(launcher) == Probe::path(); }));

    ASSERT_TRUE(TabTo(program, program.control(WC_BUTTONW, L"組合せテスト")));
    ASSERT_TRUE(program.pressKeys("space"));
    const auto tested = probe.waitForArguments();
    ASSERT_TRUE(tested.has_value()) << "the combination test started nothing";
    probe.forget();

    HWND create = program.control(WC_BUTTONW, L"作成");
    ASSERT_TRUE(program.waitUntil([&] { return program.focusedControl() == create; }));
    ASSERT_TRUE(program.pressKeys("Return"));
    HWND notice = program.waitForBox();
    ASSERT_NE(notice, nullptr) << "作成 gave no notice";
    EXPECT_NE(RunningPallendo::boxText(notice).find(L"を作成しました"), std::wstring::npos);
    ASSERT_TRUE(program.pressKeys("Return"));
    ASSERT_TRUE(program.waitUntil([&] { return !::IsWindow(notice); })) << "Enter left the box";
    EXPECT_TRUE(Exists(desktopLink(program))) << "on the desktop, the destination nobody changed";

    ASSERT_TRUE(TabTo(program, program.control(WC_BUTTONW, L"起動")));
    ASSERT_TRUE(program.pressKeys("space"));
    const auto started = probe.waitForArguments();
    ASSERT_TRUE(started.has_value()) << "the shortcut started nothing";
    EXPECT_EQ(*started, Args{document});
    EXPECT_TRUE(program.closeAndWait());
}

// Typing a target by hand with the launcher already set: every key lands in the field, and the
// blank in the name presses nothing.
TEST_F(Acceptance, ATargetTypedByHandArrivesWholeAndStartsNothing) {
    Probe probe;
    RunningPallendo program;
    ASSERT_NE(program.window(), nullptr);
    program.showPage(PageId::Edit);
    program.type(program.ComboBox2(), Probe::path());
    HWND target = program.Edit1();
    program.type(target, L"");  // into the field, emptied
    RunningPallendo::clickInto(target);
    ASSERT_EQ(program.focusedControl(), target);
    ASSERT_TRUE(program.pointIntoWindow());
    ASSERT_TRUE(program.typeKeys("my report.txt"));
    EXPECT_TRUE(program.waitUntil([&] {
        return RunningPallendo::text(target) == L"my report.txt";
    })) << WideToUtf8(RunningPallendo::text(target));
    EXPECT_EQ(program.focusedControl(), target);
    EXPECT_TRUE(program.enabled(program.control(WC_BUTTONW, L"組合せテスト")));
    EXPECT_TRUE(program.closeAndWait());
    EXPECT_TRUE(probe.commandLine().empty()) << "the launcher was started";
}

// Looking at another window is not leaving the launcher field: a half-typed launcher stays out
// of the history until the focus moves on to another control.
TEST_F(Acceptance, AHalfTypedLauncherEntersTheHistoryOnlyWhenTheFieldIsLeft) {
    RunningPallendo program;
    ASSERT_NE(program.window(), nullptr);
    program.showPage(PageId::Edit);
    HWND combo = program.ComboBox2();
    HWND field = RunningPallendo::innerEdit(combo);
    RunningPallendo::clickInto(field);
    ASSERT_EQ(program.focusedControl(), field);
    ASSERT_TRUE(program.pointIntoWindow());
    ASSERT_TRUE(program.typeKeys("half"));
    ASSERT_TRUE(program.waitUntil([&] { return RunningPallendo::text(combo) == L"half"; }));
    auto inHistory = [&] {
        return ::SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                              reinterpret_cast<LPARAM>(L"half")) != CB_ERR;
    };

    UniqueWindow other(::CreateWindowExW(0, L"Static", L"other", WS_POPUP | WS_VISIBLE | WS_CAPTION,
                                         0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr));
    ::SetForegroundWindow(other.get());
    PumpUntil([&] { return ::GetForegroundWindow() == other.get(); });
    program.settle();
    EXPECT_FALSE(inHistory()) << "deactivation counted as leaving the field";
    ::SetForegroundWindow(program.window());
    EXPECT_TRUE(program.waitUntil([&] { return program.focusedControl() == field; }))
        << "the focus did not come back to the field";
    other.reset();
    program.settle();
    EXPECT_FALSE(inHistory());

    ASSERT_TRUE(program.pointIntoWindow());
    ASSERT_TRUE(program.pressKeys("Tab"));
    EXPECT_TRUE(program.waitUntil(inHistory)) << "leaving the field remembers the launcher";
    EXPECT_TRUE(program.closeAndWait());
}

TEST_F(Acceptance, FirstStartLeavesASettingsFileInTheCodePageWithEverySection) {
    RunningPallendo program;
    ASSERT_NE(program.window(), nullptr);
    EXPECT_EQ(RunningPallendo::text(program.window()), L"パレンド");
    ASSERT_TRUE(program.closeAndWait());

    ASSERT_TRUE(Exists(ProductSettingsFile())) << WideToUtf8(ProductSettingsFile());
    const std::string bytes = ReadBytes(ProductSettingsFile());
    ASSERT_GE(bytes.size(), 3u);
    EXPECT_NE(bytes.substr(0, 3), "\xEF\xBB\xBF") << "a new file has no byte-order mark";
    const std::wstring text = DecodeAnsi(bytes);
    EXPECT_EQ(text.rfind(L"[PROGRAM]\r\nName=Pallendo.exe\r\n", 0), 0u) << WideToUtf8(text);
    EXPECT_NE(text.find(L"\r\nVersion=V1.1\r\n"), std::wstring::npos);
    EXPECT_NE(text.find(L"\r\nIniFile=" + ProductSettingsFile() + L"\r\n"), std::wstring::npos);
    const std::wstring quarterWidth = std::to_wstring(::GetSystemMetrics(SM_CXSCREEN) / 4);
    EXPECT_NE(text.find(L"\r\n\r\n[POSITION]\r\nFlags="), std::wstring::npos);
    EXPECT_NE(text.find(L"\r\nLeft=" + quarterWidth + L"\r\n"), std::wstring::npos);
    EXPECT_NE(text.find(L"\r\n\r\n[OPTION]\r\nCloseQuery=0\r\nSaveStatus=1\r\nFileName=\r\nExeName="
                        L"\r\nAddHistory=0\r\n"),
              std::wstring::npos);
    EXPECT_EQ(text.substr(text.size() - 4), L"\r\n\r\n");
}

TEST_F(Acceptance, TheWholeRoadOpensTheDocumentWithTheChosenProgramThroughItsShortcut) {
    const std::wstring document =
        writeDocument(L"受け渡し テスト", L"月次 報告.txt", "monthly figures");
    Probe probe;
    RunningPallendo program;
    ASSERT_NE(program.window(), nullptr);

    const auto tested = testPairWithProbe(program, probe, document);
    ASSERT_TRUE(tested.has_value()) << "the combination test started nothing";
    ASSERT_EQ(tested->size(), 1u);
    EXPECT_EQ(ReadBytes((*tested)[0]), "monthly figures") << "the launcher opened the test copy";

    HWND create = program.control(WC_BUTTONW, L"作成");
    ASSERT_TRUE(program.enabled(create))
        << "the dedicated-shortcut panel opens after a successful test";
    program.click(create);
    const std::wstring notice = acknowledgeNotice(program);
    EXPECT_NE(notice.find(L"を作成しました"), std::wstring::npos) << WideToUtf8(notice);
    const std::wstring link = desktopLink(program);
    ASSERT_TRUE(Exists(link)) << WideToUtf8(link);
    EXPECT_EQ(ReadLink(link).arguments, L"\"" + document + L"\"");

    program.click(program.control(WC_BUTTONW, L"起動"));
    const auto started = probe.waitForArguments();
    ASSERT_TRUE(started.has_value()) << "the shortcut started nothing";
    ASSERT_EQ(*started, Args{document});
    EXPECT_TRUE(program.closeAndWait());
}

TEST_F(Acceptance, TheSendToShortcutHandsAFileToTheProgram) {
    const std::wstring sendToLink = JoinPath(GetSpecialFolder(CSIDL_SENDTO), L"パレンド.lnk");
    ::DeleteFileW(sendToLink.c_str());
    leftLinks_.push_back(sendToLink);
    {
        RunningPallendo program;
        ASSERT_NE(program.window(), nullptr);
        program.showPage(PageId::File);
        program.click(program.control(WC_BUTTONW, L"「送る」に登録・削除"));
        const std::wstring notice = acknowledgeNotice(program);
        EXPECT_NE(notice.find(L"を作成しました"), std::wstring::npos) << WideToUtf8(notice);
        HWND question = program.waitForBox();  // whether to open the folder
        ASSERT_NE(question, nullptr) << WideToUtf8(program.describeWindows());
        EXPECT_EQ(RunningPallendo::boxText(question), L"フォルダ 「送る」 を開きますか？");
        RunningPallendo::answer(question, IDNO);
        ASSERT_TRUE(program.closeAndWait());
    }
    const LinkFields fields = ReadLink(sendToLink);
    ASSERT_FALSE(fields.path.empty());

    // The shell starts a SendTo shortcut's target with the sent file as its argument.
    const std::wstring document = writeDocument(L"sendto", L"送る 文書.docx", "x");
    RunningPallendo sent({document}, fields.path);
    ASSERT_NE(sent.window(), nullptr);
    EXPECT_EQ(RunningPallendo::text(sent.Edit1()), document);
    EXPECT_EQ(sent.statusText(1), L"送る 文書.docx を受取りました");
    EXPECT_TRUE(sent.closeAndWait());
}

TEST_F(Acceptance, ADroppedDedicatedShortcutComesApartIntoProgramAndDocument) {
    const std::wstring document = writeDocument(L"drop back", L"図面 A.txt", "plan");
    Probe probe;
    RunningPallendo program;
    ASSERT_NE(program.window(), nullptr);
    ASSERT_TRUE(testPairWithProbe(program, probe, document).has_value());
    program.click(program.control(WC_BUTTONW, L"作成"));
    acknowledgeNotice(program);
    const std::wstring link = desktopLink(program);
    ASSERT_TRUE(Exists(link));

    program.type(program.Edit1(), L"");
    program.type(program.ComboBox2(), L"");
    program.drop({link});
    EXPECT_EQ(RunningPallendo::text(program.Edit1()), document);
    EXPECT_EQ(RunningPallendo::text(program.ComboBox2()), Probe::path());
    EXPECT_TRUE(program.enabled(program.control(WC_BUTTONW, L"組合せテスト")));
    EXPECT_TRUE(program.closeAndWait());
}

TEST_F(Acceptance, ASecondRunningCopyKeepsTheLaunchersTheOtherSaved) {
    // A file sent while the program is open starts a second copy; the first closes last.
    RunningPallendo first;
    ASSERT_NE(first.window(), nullptr);
    {
        RunningPallendo second;
        ASSERT_NE(second.window(), nullptr);
        for (const wchar_t* launcher : {L"C:\\Tools\\Second.exe", L"C:\\Tools\\Shared.exe"})
            second.type(second.ComboBox2(), launcher);
        ASSERT_TRUE(second.closeAndWait());
    }
    for (const wchar_t* launcher : {L"c:\\tools\\shared.exe", L"C:\\Tools\\First.exe"})
        first.type(first.ComboBox2(), launcher);
    ASSERT_TRUE(first.closeAndWait());

    const std::wstring text = DecodeAnsi(ReadBytes(ProductSettingsFile()));
    // This copy's own list first, then what the other saved, no launcher twice in any case;
    // the clear-history entry stays last. The pair is the last close's.
    EXPECT_NE(text.find(L"[DATA]\r\nExe0=C:\\Tools\\First.exe\r\nExe1=c:\\tools\\shared.exe\r\n"
                        L"Exe2=C:\\Tools\\Second.exe\r\nExe3=(履歴をクリア)\r\n\r\n"),
              std::wstring::npos)
        << WideToUtf8(text);
    EXPECT_NE(text.find(L"\r\nExeName=C:\\Tools\\First.exe\r\n"), std::wstring::npos);
}

TEST_F(Acceptance, ARestartBringsBackOptionsPairHistoryAndTheMaximisedWindow) {
    const std::wstring document = writeDocument(L"restart", L"議事録.txt", "minutes");
    const std::wstring stockLaunchers = L"履歴に「メモ帳」「ペイント」を追加";
    RECT normal{};
    {
        RunningPallendo program;
        ASSERT_NE(program.window(), nullptr);
        ASSERT_TRUE(program.clickAndWait(program.control(WC_BUTTONW, stockLaunchers)));
        program.showPage(PageId::Edit);
        program.type(program.Edit1(), document);
        program.type(program.ComboBox2(), Probe::path());
        WINDOWPLACEMENT placement{sizeof(placement)};
        ::GetWindowPlacement(program.window(), &placement);
        normal = placement.rcNormalPosition;
        // What the maximise box does.
        ::SendMessageW(program.window(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
        ASSERT_TRUE(::IsZoomed(program.window()));
        ASSERT_TRUE(program.closeAndWait());
    }
    RunningPallendo again;
    ASSERT_NE(again.window(), nullptr);
    EXPECT_TRUE(::IsZoomed(again.window()));
    // The restore box brings back the rectangle the window had before it was maximised. (Wine's
    // GetWindowPlacement reports the maximised rectangle as the normal one for a window first
    // shown maximised, so the window itself is asked.)
    ::SendMessageW(again.window(), WM_SYSCOMMAND, SC_RESTORE, 0);
    RECT restored{};
    ::GetWindowRect(again.window(), &restored);
    EXPECT_TRUE(::EqualRect(&restored, &normal))
        << restored.left << "," << restored.top << "," << restored.right << "," << restored.bottom
        << " instead of " << normal.left << "," << normal.top << "," << normal.right << ","
        << normal.bottom;
    EXPECT_TRUE(again.checked(again.control(WC_BUTTONW, stockLaunchers)));
    EXPECT_EQ(RunningPallendo::text(again.Edit1()), document);
    HWND launchers = again.ComboBox2();
    EXPECT_EQ(RunningPallendo::text(launchers), Probe::path());
    const auto count = ::SendMessageW(launchers, CB_GETCOUNT, 0, 0);
    EXPECT_GE(count, 3) << "the stock launchers and the typed one";
    EXPECT_GE(::SendMessageW(launchers, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                             reinterpret_cast<LPARAM>(Probe::path().c_str())),
              0);
    EXPECT_TRUE(again.closeAndWait());
}

}  // namespace
