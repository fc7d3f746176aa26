// The settings file: read during start-up, written at close.
#include <windows.h>

#include <unordered_set>

#include "app/PallendoForm.h"
#include "pairing/LauncherHistory.h"
#include "settings/IniFile.h"
#include "settings/SettingsPath.h"
#include "shell/Clock.h"
#include "shell/FileSystem.h"
#include "shell/LetterCase.h"
#include "shell/ProgramIdentity.h"
#include "shell/Text.h"

namespace {
constexpr wchar_t kProgram[] = L"PROGRAM";
constexpr wchar_t kPosition[] = L"POSITION";
constexpr wchar_t kOption[] = L"OPTION";
constexpr wchar_t kData[] = L"DATA";

WINDOWPLACEMENT CurrentPlacement(HWND window) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    ::GetWindowPlacement(window, &placement);
    return placement;
}

std::wstring DataKey(std::size_t n) {
    return L"Exe" + std::to_wstring(n);
}

// The entries of DATA up to the first absent or empty one.
std::vector<std::wstring> HistoryEntries(const IniImage& image) {
    std::vector<std::wstring> entries;
    for (std::size_t n = 0;; ++n) {
        std::wstring entry = image.readString(kData, DataKey(n));
        if (entry.empty()) return entries;
        entries.push_back(std::move(entry));
    }
}

// This copy's list as the file gives it back (no entry that would read back empty, which would
// end the history there), followed by the launchers that another running copy saved since this
// one started; a trailing clear-history entry stays last.
std::vector<std::wstring> HistoryToSave(const std::vector<std::wstring>& own,
                                        const std::vector<std::wstring>& atStart,
                                        const std::vector<std::wstring>& inFile) {
    std::vector<std::wstring> merged;
    std::unordered_set<std::wstring> listed;
    for (const std::wstring& entry : own)
        if (const std::wstring_view kept = Trim(entry); !kept.empty()) {
            merged.emplace_back(kept);
            listed.insert(CaseKey(kept));
        }
    const bool clearLast = !merged.empty() && merged.back() == kClearHistoryEntry;
    if (clearLast) merged.pop_back();
    std::unordered_set<std::wstring> known;
    for (const std::wstring& entry : atStart) known.insert(CaseKey(entry));
    for (const std::wstring& entry : inFile) {
        if (entry == kClearHistoryEntry) continue;
        std::wstring key = CaseKey(entry);
        if (known.contains(key) || !listed.insert(std::move(key)).second) continue;
        merged.push_back(entry);
    }
    if (clearLast) merged.emplace_back(kClearHistoryEntry);
    return merged;
}

std::wstring LocaleText(const SYSTEMTIME& time, bool date) {
    wchar_t buffer[128] = {};
    const int n = date
                      ? ::GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr,
                                          buffer, 128, nullptr)
                      : ::GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &time, nullptr, buffer, 128);
    return n > 0 ? std::wstring(buffer) : std::wstring();
}

// Short date, a blank and long time; midnight shows the date alone.
std::wstring LastCloseText(const SYSTEMTIME& time) {
    std::wstring text = LocaleText(time, true);
    if (time.wHour || time.wMinute || time.wSecond || time.wMilliseconds)
        text += L" " + LocaleText(time, false);
    return text;
}

WindowState StateOf(HWND window) {
    if (::IsZoomed(window)) return WindowState::Maximised;
    if (::IsIconic(window)) return WindowState::Minimised;
    return WindowState::Normal;
}

// The placement of section POSITION, over the window's own where a key is absent; the default
// rectangle is the middle of the screen.
WINDOWPLACEMENT StoredPlacement(const IniImage& image, WINDOWPLACEMENT placement) {
    placement.flags = static_cast<UINT>(
        image.readInteger(kPosition, L"Flags", static_cast<int>(placement.flags)));
    placement.showCmd = static_cast<UINT>(
        image.readInteger(kPosition, L"ShowCmd", static_cast<int>(placement.showCmd)));
    placement.ptMaxPosition.x = image.readInteger(kPosition, L"MaxX", placement.ptMaxPosition.x);
    placement.ptMaxPosition.y = image.readInteger(kPosition, L"MaxY", placement.ptMaxPosition.y);
    RECT& normal = placement.rcNormalPosition;
    normal.top = image.readInteger(kPosition, L"Top", ::GetSystemMetrics(SM_CYSCREEN) / 4);
    normal.left = image.readInteger(kPosition, L"Left", ::GetSystemMetrics(SM_CXSCREEN) / 4);
    normal.right = image.readInteger(kPosition, L"Right", 3 * normal.left);
    normal.bottom = image.readInteger(kPosition, L"Bottom", 3 * normal.top);
    return placement;
}

void WritePlacement(IniImage& image, const WINDOWPLACEMENT& placement, WindowState state) {
    image.writeInteger(kPosition, L"Flags", placement.flags);
    image.writeInteger(kPosition, L"ShowCmd", placement.showCmd);
    image.writeInteger(kPosition, L"MaxX", placement.ptMaxPosition.x);
    image.writeInteger(kPosition, L"MaxY", placement.ptMaxPosition.y);
    image.writeInteger(kPosition, L"Left", placement.rcNormalPosition.left);
    image.writeInteger(kPosition, L"Top", placement.rcNormalPosition.top);
    image.writeInteger(kPosition, L"Right", placement.rcNormalPosition.right);
    image.writeInteger(kPosition, L"Bottom", placement.rcNormalPosition.bottom);
    image.writeInteger(kPosition, L"State", static_cast<int>(state));
}

// For information only: which program wrote the file, where, and when.
void WriteProgramSection(IniImage& image, const std::wstring& path) {
    const std::wstring executable = ExecutablePath();
    image.writeString(kProgram, L"Name", FileNamePart(executable));
    // A drive root's folder part keeps its separator; the key holds the folder without one.
    image.writeString(kProgram, L"Path", WithoutTrailingSeparators(FolderPart(executable)));
    image.writeString(kProgram, L"Version", kVersionText);
    image.writeString(kProgram, L"IniFile", path);
    image.writeString(kProgram, L"LastClose", LastCloseText(LocalNow()));
}

// A state the program never writes opens the window normally.
WindowState StoredState(int stored) {
    const auto state = static_cast<WindowState>(stored);
    return state == WindowState::Minimised || state == WindowState::Maximised ? state
                                                                              : WindowState::Normal;
}
}  // namespace

IniImage TPallendoForm::readPlacement() {
    const WINDOWPLACEMENT current = CurrentPlacement(hwnd);
    IniImage image = LoadIniFile(SettingsFilePath(kSettingsFolderName)).image;
    WINDOWPLACEMENT placement = StoredPlacement(image, current);
    initialWindowState =
        StoredState(image.readInteger(kPosition, L"State", static_cast<int>(WindowState::Normal)));
    if (!::IsWindowVisible(hwnd)) placement.showCmd = SW_HIDE;
    ::SetWindowPlacement(hwnd, &placement);
    return image;
}

void TPallendoForm::readOptions(const IniImage& image) {
    CheckBoxCloseQuery1.setChecked(image.readBool(kOption, L"CloseQuery", false));
    CheckBoxSaveStatus1.setChecked(image.readBool(kOption, L"SaveStatus", true));
    Edit1.setText(image.readString(kOption, L"FileName"));
    ComboBox2.setText(image.readString(kOption, L"ExeName"));
    CheckBoxAddHistory1.setChecked(image.readBool(kOption, L"AddHistory", false));

    historyAtStart_ = HistoryEntries(image);
    ComboBox2.clearItems();
    ComboBox2.addAll(historyAtStart_);
    settingsRead_ = true;
}

void TPallendoForm::writeSettings() {
    // Settings this run never read must not be replaced by the defaults it ran with.
    if (!settingsRead_) return;
    const WINDOWPLACEMENT placement = CurrentPlacement(hwnd);
    std::wstring path = SettingsFilePath(kSettingsFolderName);
    if (!CreateFolderTree(FolderPart(path))) path = FallbackSettingsPath();
    LoadedIniFile file = LoadIniFile(path);
    IniImage& image = file.image;
    const std::vector<std::wstring> savedSinceStart = HistoryEntries(image);
    image.clear();
    WriteProgramSection(image, path);
    if (CheckBoxSaveStatus1.checked()) {
        WritePlacement(image, placement, StateOf(hwnd));
        image.writeBool(kOption, L"CloseQuery", CheckBoxCloseQuery1.checked());
        image.writeBool(kOption, L"SaveStatus", CheckBoxSaveStatus1.checked());
        image.writeString(kOption, L"FileName", Edit1.text());
        image.writeString(kOption, L"ExeName", ComboBox2.text());
        image.writeBool(kOption, L"AddHistory", CheckBoxAddHistory1.checked());
        const std::vector<std::wstring> entries =
            HistoryToSave(ComboBox2.items(), historyAtStart_, savedSinceStart);
        for (std::size_t n = 0; n < entries.size(); ++n)
            image.writeString(kData, DataKey(n), entries[n]);
    }
    SaveIniFile(path, image, file.encoding);
}
