#pragma once
// The program's one window. Its controls hold the program's state and its handlers carry the
// logic; each handler is defined in the folder of the subsystem it belongs to. The methods below
// are grouped by the file that defines them.
#include <windows.h>
#include <shellapi.h>

#include <array>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/Controls.h"
#include "app/GridPanel.h"
#include "app/Pages.h"
#include "shell/Handles.h"

class IniImage;
struct ControlRow;
struct TestNames;

// The window's registered class, by which other programs find it.
inline constexpr wchar_t kFormClass[] = L"TPallendoForm";

struct FormOptions {
    // The program's command-line arguments after its own path.
    std::vector<std::wstring> arguments;
    // The product ends its message loop when the window is destroyed; tests keep theirs.
    bool quitOnDestroy = false;
};

// The arguments of the running process, without the program path.
std::vector<std::wstring> ProcessArguments();

// A page holds its controls: a grid panel on it fills its client area.
class Page : public Control {
public:
    RECT panelArea() const override {
        const RECT r = placed();
        return {0, 0, r.right - r.left, r.bottom - r.top};
    }
};

// The window's state as a placement restores it, with the numbers the settings file stores.
enum class WindowState { Normal = 0, Minimised = 1, Maximised = 2 };

// A group box's panel lies inside its frame and below its caption; the Edit page's groups keep
// a wider margin on the left.
inline constexpr Insets kFileGroupInsets{2, 16, 2, 2};
inline constexpr Insets kEditGroupInsets{12, 16, 2, 2};

class TPallendoForm {
public:
    explicit TPallendoForm(FormOptions options = {});
    ~TPallendoForm();
    TPallendoForm(const TPallendoForm&) = delete;
    TPallendoForm& operator=(const TPallendoForm&) = delete;

    HWND hwnd = nullptr;

    // --- controls -----------------------------------------------------------------------------
    TabControl PageControl1;
    Page TsFile1, TsEdit1, TsHelp1;
    StatusBar StatusBar1;
    ImageList ImageList1, ImageList2, ImageList3;

    // File page
    GroupBox GroupBox1, GroupBox2;
    Button ButtonSendTo1, ButtonDeskTop1, ButtonStartMenu1, ButtonStartUp1;
    CheckBox CheckBoxCloseQuery1, CheckBoxSaveStatus1, CheckBoxAddHistory1;
    Button ButtonDefApp1;
    GridPanel GridPanel5{TsFile1, {}, {50, 50}, {100}};
    GridPanel GridPanel1{GroupBox1, kFileGroupInsets, {100}, {25, 25, 25, 25}};
    GridPanel GridPanel2{GroupBox2, kFileGroupInsets, {100}, {25, 25, 25, 25}};

    // Edit page
    GroupBox GroupBox4, GroupBox6;
    Label Label1, Label2, Label3;
    Button ButtonEdit1Clear, ButtonSelectFile1, ButtonOpenDefault1;
    Edit Edit1;
    Button ButtonComboBox2Clear, ButtonSelectExe2, ButtonExe2, ButtonTest12;
    ComboBox ComboBox2;
    RadioButton RadioButtonDeskTop1, RadioButtonStartMenu2, RadioButtonStartUp3;
    Button ButtonOpenFolder3, ButtonEdit3Clear, ButtonCreate3, ButtonProperties3, ButtonExeLink3;
    Edit Edit3;
    GridPanel GridPanel4{GroupBox4, kEditGroupInsets, {25, 25, 25, 25}, {20, 20, 20, 20, 20}};
    GridPanel GridPanel6{GroupBox6, kEditGroupInsets, {25, 25, 25, 25}, {1, 1, 1}};

    // Help page
    Button Button4, Button5, Button6, Button7, Button8;
    GridPanel GridPanel3{TsHelp1, {3, 3, 3, 3}, {50, 50}, {1, 1, 1}};

    // --- private fields of the window ---------------------------------------------------------
    std::wstring TargetFileName1;
    std::wstring TargetExeName1;
    std::wstring TempFileName1;
    std::wstring ShortCut1;
    bool FQueryEndSession = false;

    // The state the window takes when it is first shown.
    WindowState initialWindowState = WindowState::Normal;

    // --- app/PallendoForm.cpp: the window's life as the platform sees it -----------------------
    // Shows the window in the state that start-up chose (normal, minimised or maximised).
    void show();
    // Asks the window to close, as the close box does; true when it closed.
    bool close();

    // --- app/Lifecycle.cpp: start-up, the status bar, resizing, closing ------------------------
    void FormCreate();
    void FormCloseQuery(bool& CanClose);
    LRESULT WMQueryEndSession();
    void FormResize();
    void TsEdit1Resize();
    void PageControl1Change();
    void Timer1Timer();
    void SetPanelEnabled(GridPanel& panel, bool enabled);
    // The message panel of the status bar: the outcome of the user's last action.
    void setMessage(std::wstring_view text);
    std::wstring message() const;
    // The clock panel's text.
    std::wstring clock() const;

    // --- app/FormLayout.cpp: sizes and layout -------------------------------------------------
    int dpi() const { return dpi_; }
    int scale(int pixels) const { return MulDiv(pixels, dpi_, 96); }
    HFONT font() const { return font_.get(); }

    // --- app/Navigation.cpp: pages, keys and the focus ----------------------------------------
    // Shows the page, as a click on its tab would but without the page change's handling.
    void activatePage(PageId page);
    PageId activePage() const;
    Page& pageOf(PageId page);
    // A key the window handles before the focused control and the dialog keys do: the arrow keys
    // on the destination's radio buttons. True when it took the key. The window's keys go through
    // the message loop's dialog keys while it lives, with the page keys as keyboard shortcuts.
    bool previewKey(const MSG& msg);

    // --- settings/SettingsFile.cpp: the settings file -----------------------------------------
    // Start-up reads the settings file in two steps: the settings and the window's placement,
    // then, into the controls made for that placement, the options and the launcher history.
    IniImage readPlacement();
    void readOptions(const IniImage& image);
    void writeSettings();

    // --- app/FileIntake.cpp: files from the command line and from drops -----------------------
    void takeCommandLine();
    void WMDropFiles(HDROP drop);

    // --- pairing/LaunchPairFields.cpp: the target and launcher fields -------------------------
    void Edit1Change();
    void ComboBox2Change();
    void ComboBox2Enter();
    void WithdrawTest();
    void ShowTargetIcon(const std::wstring& path);
    void ShowLauncherIcon(const std::wstring& path);
    void ButtonEdit1ClearClick();
    void ButtonComboBox2ClearClick();
    void ButtonSelectFile1Click();
    void ButtonSelectExe2Click();
    // The combination test is offered: 組合せテスト is enabled and shows its image.
    void offerTest();
    // Closes the dedicated-shortcut panel unless both fields hold the pair that passed the test.
    void keepTestForPair();

    // --- pairing/LauncherHistory.cpp: the launcher history ------------------------------------
    void ComboBox2Exit();
    void RememberLauncher(const std::wstring& text);
    void CheckBoxAddHistory1Click();

    // --- pairing/LaunchActions.cpp: opening, starting, the combination test -------------------
    void ButtonOpenDefault1Click();
    void ButtonExe2Click();
    void ButtonTest12Click();
    // The launcher started with the copy: the pair passed, and the dedicated-shortcut panel opens
    // for it.
    void testPassed(const TestNames& names);
    // Deletes every test copy this run made that is still there (and the file reserved at
    // start-up), never the current target, then this run's own folder for test copies once it is
    // empty; the close runs it.
    void discardTestCopy();

    // --- shortcuts/ShortcutPlacement.cpp: placing shortcuts -----------------------------------
    void PlaceShortcut(int folderId, const std::wstring& programPath, const std::wstring& arguments,
                       const std::wstring& folderLabel);
    void ButtonSendTo1Click();
    void ButtonDeskTop1Click();
    void ButtonStartMenu1Click();
    void ButtonStartUp1Click();
    void ButtonCreate3Click();

    // --- shortcuts/DedicatedShortcutPanel.cpp: the dedicated-shortcut panel -------------------
    void Edit3Change();
    void Edit3KeyPress(wchar_t& key);
    void ButtonEdit3ClearClick();
    void ButtonOpenFolder3Click();
    void ButtonProperties3Click();
    void ButtonExeLink3Click();

    // --- help/HelpActions.cpp and help/VersionDialog.cpp: the Help page -----------------------
    void Button4Click();
    void Button5Click();
    void Button6Click();
    void Button7Click();
    void Button8Click();
    void ButtonDefApp1Click();

private:
    static constexpr wchar_t kPageClass[] = L"TPallendoPage";
    static constexpr UINT_PTR kTimer1 = 1;

    // --- app/PallendoForm.cpp -----------------------------------------------------------------
    static LRESULT CALLBACK windowProc(HWND, UINT, WPARAM, LPARAM) noexcept;
    static LRESULT CALLBACK pageProc(HWND, UINT, WPARAM, LPARAM) noexcept;
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleCommand(WPARAM wParam, LPARAM lParam);
    bool handleSetCursor(HWND over);
    void onCreate();
    void onClose();

    // --- app/FormControls.cpp: the controls, made from the control table ----------------------
    void createFrameControls();
    void makeControls();
    void createPages();
    void createControl(const ControlRow& row);
    HWND createChild(const wchar_t* cls, std::wstring_view text, DWORD style, DWORD exStyle,
                     HWND parent, int id, const RECT& place = {});
    void bindHandlers(const ControlRow& row, Control& control);
    void createImageLists();

    // --- app/FormLayout.cpp -------------------------------------------------------------------
    static SIZE designFrameSize(DWORD style, DWORD exStyle, int dpi);
    void sizeClientForDpi();
    void applyDpi(int dpi);
    void onDpiChanged(int dpi, const RECT& suggested);
    void layout();
    void layoutPanels();
    void fitComboBoxToFont();
    int naturalHeight() const;

    // --- app/Navigation.cpp -------------------------------------------------------------------
    void createPageKeys();
    void pageKey(WORD command);
    void cyclePage(int step);
    void onNotify(const NMHDR& header);
    void showActivePage();
    std::array<RadioButton*, 3> destinations();
    void radioClicked(RadioButton& clicked);
    void moveRadioChoice(int step);
    void focusShownPage();
    void onActivate(WPARAM wParam);
    // Focus memory: what had the focus when the window was last deactivated.
    void rememberFocus();
    void restoreFocus();
    HWND focusTarget(HWND control) const;
    HWND startUpFocus() const;

    // --- shortcuts/ShortcutPlacement.cpp ------------------------------------------------------
    void placeLink(const std::wstring& linkPath, const std::wstring& programPath,
                   const std::wstring& arguments, const std::wstring& label, bool updating);
    void deleteLink(const std::wstring& linkPath, const std::wstring& label);
    void offerFolder(const std::wstring& folder, const std::wstring& label);

    // --- pairing/LaunchPairFields.cpp ---------------------------------------------------------
    void fieldCleared(const Control& field);

    // --- pairing/LaunchActions.cpp ------------------------------------------------------------
    void deleteTestCopies();
    DWORD prepareTestCopyFolder();
    DWORD makeTestCopy();
    void testFailed(DWORD code, const std::wstring& targetName, const std::wstring& launcherName);

    FormOptions options_;
    // True once start-up has read the settings: only then may closing write them back.
    bool settingsRead_ = false;
    int dpi_ = 96;
    UniqueFont font_;
    UniqueAccelerators accelerators_;
    // The control that had the focus when the window was deactivated; it gets it back.
    HWND lastFocus_ = nullptr;
    // The control that last had the focus on each page, which gets it back when the page shows.
    HWND pageFocus_[std::size(kPages)] = {};
    // True once the table's controls are made.
    bool created_ = false;
    // The client size the controls were last laid out for: a WM_SIZE that changes nothing
    // (the first show, a placement of the same size) lays nothing out again.
    SIZE laidOut_{-1, -1};
    // The target's type icon by lower-cased extension, what ImageList1 shows (an extension)
    // and what ImageList2 shows (a launcher file): typing looks nothing up twice.
    std::map<std::wstring, UniqueIcon> targetIcons_;
    std::wstring targetIconShown_, launcherIconShown_;
    // The folder of this run's own that holds the test copies; "" until the first test.
    std::wstring testCopyFolder_;
    // Every test copy this run made, so that none is left behind.
    std::vector<std::wstring> testCopies_;
    // The target and the launcher of the last test that passed; empty once it no longer holds.
    std::optional<std::pair<std::wstring, std::wstring>> testedPair_;
    // The launcher history as the settings file held it at start-up, to tell apart what
    // another running copy saved since.
    std::vector<std::wstring> historyAtStart_;
};

// The program's entry, for the product's wWinMain.
int RunPallendo();
