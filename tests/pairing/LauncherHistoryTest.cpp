#include <windows.h>

#include <gtest/gtest.h>

#include "pairing/CombinationTest.h"
#include "pairing/LauncherHistory.h"
#include "PairingFixture.h"
#include "shell/Text.h"

namespace {

using List = std::vector<std::wstring>;
const std::wstring kClear(kClearHistoryEntry);

class LauncherHistory : public PairingFixture {
protected:
    void setList(const List& entries) {
        form->ComboBox2.clearItems();
        for (const std::wstring& entry : entries) form->ComboBox2.add(entry);
    }
};

TEST_F(LauncherHistory, LeavingTheFieldRemembersItsLauncherOnceWhateverTheLetterCase) {
    TPallendoForm& f = createForm();
    f.ComboBox2.setFocus();
    TypeInto(launcherEdit(), L"C:\\Tools\\Viewer.exe");
    EXPECT_EQ(f.TargetExeName1, L"C:\\Tools\\Viewer.exe");
    enterAndLeaveLauncher();
    EXPECT_EQ(historyEntries(), (List{L"C:\\Tools\\Viewer.exe", kClear}));

    setLauncher(L"c:\\tools\\viewer.exe");
    enterAndLeaveLauncher();
    EXPECT_EQ(historyEntries(), (List{L"C:\\Tools\\Viewer.exe", kClear}));

    // A new launcher goes to the top; the clear-history entry is not added twice.
    setLauncher(L"D:\\Apps\\editor.exe");
    enterAndLeaveLauncher();
    EXPECT_EQ(historyEntries(), (List{L"D:\\Apps\\editor.exe", L"C:\\Tools\\Viewer.exe", kClear}));

    // A launcher picked from the list is already there.
    pick(1);
    EXPECT_EQ(f.ComboBox2.text(), L"C:\\Tools\\Viewer.exe");
    EXPECT_EQ(f.TargetExeName1, L"C:\\Tools\\Viewer.exe");
    enterAndLeaveLauncher();
    EXPECT_EQ(historyEntries().size(), 3u);

    // Leaving it empty adds nothing and disables the launcher's button.
    setLauncher(L"");
    f.ButtonExe2.setEnabled(true);
    enterAndLeaveLauncher();
    EXPECT_EQ(historyEntries().size(), 3u);
    EXPECT_FALSE(f.ButtonExe2.enabled());
}

TEST_F(LauncherHistory, RememberingIgnoresEmptyAndKnownTextsAndHasNoUpperBound) {
    TPallendoForm& f = createForm();
    f.RememberLauncher(L"");
    // Blanks alone would be saved as an entry that reads back empty and ends the history there.
    f.RememberLauncher(L"   ");
    EXPECT_TRUE(historyEntries().empty());
    setLauncher(L"  ");
    enterAndLeaveLauncher();
    EXPECT_EQ(historyEntries(), (List{kClear}));
    setList({});
    // Remembered as the settings file will give it back.
    f.RememberLauncher(L"  C:\\Tools\\x.exe ");
    EXPECT_EQ(historyEntries(), (List{L"C:\\Tools\\x.exe"}));
    setList({});
    for (int i = 0; i < 150; ++i)
        f.RememberLauncher(L"C:\\Tools\\tool" + std::to_wstring(i) + L".exe");
    f.RememberLauncher(L"C:\\TOOLS\\TOOL7.EXE");
    const List history = historyEntries();
    ASSERT_EQ(history.size(), 150u);
    EXPECT_EQ(history.front(), L"C:\\Tools\\tool149.exe");  // newest first
    EXPECT_EQ(history.back(), L"C:\\Tools\\tool0.exe");
}

struct OptionCase {
    const char* name;
    bool check;
    List before;
    const wchar_t* field;
    List after;
    const wchar_t* fieldAfter;
};

const OptionCase kOptionCases[] = {
    {"checked, empty list", true, {}, L"", {L"notepad.exe", L"mspaint.exe", kClear}, L""},
    {"checked, list with entries",
     true,
     {L"A", L"B", kClear},
     L"A",
     {L"A", L"B", L"notepad.exe", L"mspaint.exe", kClear},
     L"A"},
    {"checked, one stock launcher in other case",
     true,
     {L"A", L"NOTEPAD.EXE", kClear},
     L"A",
     {L"A", L"NOTEPAD.EXE", L"mspaint.exe", kClear},
     L"A"},
    {"unchecked, only the stock entries",
     false,
     {L"notepad.exe", L"mspaint.exe", kClear},
     L"notepad.exe",
     {},
     L""},
    {"unchecked, the field holding a stock launcher in other case",
     false,
     {L"notepad.exe", L"mspaint.exe", kClear},
     L"MSPAINT.EXE",
     {},
     L""},
    {"unchecked, the field holding a launcher the user chose and never left",
     false,
     {L"notepad.exe", L"mspaint.exe", kClear},
     L"C:\\Mine\\my tool.exe",
     {},
     L"C:\\Mine\\my tool.exe"},
    {"unchecked, with a remembered launcher",
     false,
     {L"A", L"Notepad.exe", L"mspaint.exe", kClear},
     L"A",
     {L"A", kClear},
     L"A"},
};

TEST_F(LauncherHistory, StockLauncherOptionInBothDirections) {
    TPallendoForm& f = createForm();
    f.activatePage(PageId::File);  // where the option is
    for (const OptionCase& c : kOptionCases) {
        SCOPED_TRACE(c.name);
        ::SendMessageW(f.CheckBoxAddHistory1.hwnd, BM_SETCHECK,
                       c.check ? BST_UNCHECKED : BST_CHECKED, 0);
        setList(c.before);
        setLauncher(c.field);
        const std::wstring kept = f.TargetExeName1;
        const bool exeButton = f.ButtonExe2.enabled();
        ::SendMessageW(f.CheckBoxAddHistory1.hwnd, BM_CLICK, 0, 0);  // as the user's click does
        EXPECT_EQ(f.CheckBoxAddHistory1.checked(), c.check);
        EXPECT_EQ(historyEntries(), c.after);
        EXPECT_EQ(f.ComboBox2.text(), c.fieldAfter);
        // Emptying the field this way runs no change handling.
        EXPECT_EQ(f.TargetExeName1, kept);
        EXPECT_EQ(f.ButtonExe2.enabled(), exeButton);
    }
}

TEST_F(LauncherHistory, ThePlatformClickOnTheOptionRunsTheStep) {
    TPallendoForm& f = createForm();
    f.CheckBoxAddHistory1.setChecked(true);  // a change made by the program runs it as well
    EXPECT_EQ(historyEntries(), (List{L"notepad.exe", L"mspaint.exe", kClear}));
    // While checked, every launcher change keeps the stock launchers in the list.
    setList({L"A", kClear});
    setLauncher(L"A");
    EXPECT_EQ(historyEntries(), (List{L"A", L"notepad.exe", L"mspaint.exe", kClear}));
}

TEST_F(LauncherHistory, PickingTheClearEntryEmptiesTheListWithTheOptionUnchecked) {
    TPallendoForm& f = createForm();
    f.Edit1.setText(L"C:\\Docs\\a.txt");
    setList({L"C:\\Tools\\viewer.exe", L"notepad.exe", kClear});
    pick(0);
    f.testPassed(NamesOfTest(f));
    ASSERT_TRUE(f.ButtonTest12.enabled());
    f.setMessage(L"kept");

    clickEntry(2);
    EXPECT_TRUE(historyEntries().empty());
    EXPECT_EQ(f.ComboBox2.text(), kClear);
    EXPECT_EQ(f.TargetExeName1, kClear);
    EXPECT_FALSE(f.ButtonComboBox2Clear.enabled());
    EXPECT_FALSE(f.ButtonExe2.enabled());
    EXPECT_FALSE(f.ButtonTest12.enabled());
    EXPECT_FALSE(f.GridPanel6.enabled());
    EXPECT_EQ(f.ImageList2.count(), 0);
    EXPECT_EQ(shownMessage(), L"kept");
    // The entry names no launcher: a target typed now does not offer the test.
    TypeInto(f.Edit1.hwnd, L"x");
    EXPECT_FALSE(f.ButtonTest12.enabled());

    // Leaving the field now remembers its text, which is the one clear-history entry.
    enterAndLeaveLauncher();
    EXPECT_EQ(historyEntries(), (List{kClear}));
}

TEST_F(LauncherHistory, PickingTheClearEntryWithTheOptionCheckedLeavesTheStockEntries) {
    TPallendoForm& f = createForm();
    f.CheckBoxAddHistory1.setChecked(true);
    setList({L"C:\\Tools\\viewer.exe", L"notepad.exe", L"mspaint.exe", kClear});
    pick(3);
    PumpMessages();
    EXPECT_EQ(historyEntries(), (List{L"notepad.exe", L"mspaint.exe", kClear}));
    EXPECT_EQ(f.ComboBox2.text(), kClear);
    EXPECT_FALSE(f.ButtonExe2.enabled());
}

}  // namespace
