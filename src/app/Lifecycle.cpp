// Start-up, the clock, resizing and closing of the main window.
#include <windows.h>
#include <commctrl.h>

#include "app/PallendoForm.h"
#include "settings/IniImage.h"
#include "shell/Boxes.h"
#include "shell/Clock.h"
#include "shell/DateText.h"
#include "shell/Failure.h"
#include "shell/FileSystem.h"
#include "shell/Handles.h"
#include "shell/MessageLoop.h"
#include "shell/PlatformError.h"
#include "shell/ProgramIdentity.h"
#include "shell/StartupSteps.h"

namespace {
// The status bar's two panels.
constexpr int kClockPanel = 0;
constexpr int kMessagePanel = 1;

std::wstring ReserveTempFile() {
    wchar_t path[MAX_PATH + 1] = {};
    if (::GetTempFileNameW(TempFolder().c_str(), L"tmp", 0, path) == 0) FailLastError();
    return path;
}
}  // namespace

void TPallendoForm::FormCreate() {
    ::SetWindowTextW(hwnd, std::wstring(kApplicationTitle).c_str());
    Timer1Timer();
    MarkStartup("title and first clock tick");
    activatePage(PageId::Edit);
    TempFileName1 = ReserveTempFile();
    MarkStartup("Edit page, temporary file");
    const IniImage settings = readPlacement();
    MarkStartup("settings file read, window placed");
    // The window has its place and size: its controls are made there, for the options to fill.
    makeControls();
    MarkStartup("controls made in their places");
    readOptions(settings);
    MarkStartup("options and launcher history");
    Edit1Change();
    ComboBox2Change();
    MarkStartup("field handling of the pair");
    {
        // Registered for drops also when the command line's file is refused.
        const ScopeExit acceptDrops([this] { ::DragAcceptFiles(hwnd, TRUE); });
        takeCommandLine();
    }
    MarkStartup("command line, drop registration");
}

void TPallendoForm::Timer1Timer() {
    StatusBar1.setPanelText(kClockPanel, ClockText(LocalNow()));
    ProcessMessages();
}

std::wstring TPallendoForm::clock() const {
    return StatusBar1.panelText(kClockPanel);
}

void TPallendoForm::setMessage(std::wstring_view text) {
    StatusBar1.setPanelText(kMessagePanel, text);
}

std::wstring TPallendoForm::message() const {
    return StatusBar1.panelText(kMessagePanel);
}

void TPallendoForm::FormResize() {
    RECT client{};
    ::GetClientRect(PageControl1.hwnd, &client);
    const int width = client.right / static_cast<int>(std::size(kPages) + 1);
    TabCtrl_SetItemSize(PageControl1.hwnd, width, naturalHeight());
}

void TPallendoForm::TsEdit1Resize() {
    RECT page{};
    ::GetClientRect(TsEdit1.hwnd, &page);
    const int upper = page.bottom * 60 / 100;
    GroupBox4.place({0, 0, page.right, upper});
    GroupBox6.place({0, upper, page.right, page.bottom});
}

void TPallendoForm::PageControl1Change() {
    setMessage(L"");
}

void TPallendoForm::SetPanelEnabled(GridPanel& panel, bool enabled) {
    panel.setEnabled(enabled);
    for (const GridCell& cell : panel.cells()) cell.control->setEnabled(enabled);
}

void TPallendoForm::FormCloseQuery(bool& CanClose) {
    if (FQueryEndSession) {
        FQueryEndSession = false;
    } else if (CheckBoxCloseQuery1.checked() &&
               ApplicationMessageBox(L"終了してよいですか？", MB_YESNO | MB_ICONQUESTION) == IDNO) {
        CanClose = false;
        return;
    }
    writeSettings();
    discardTestCopy();
}

LRESULT TPallendoForm::WMQueryEndSession() {
    FQueryEndSession = true;
    bool canClose = true;
    try {
        FormCloseQuery(canClose);
    } catch (const Failure& failure) {
        // The settings could not be saved: say so, but do not hold up the end of the session.
        ShowApplicationError(failure.message());
    }
    return canClose ? 1 : 0;
}
