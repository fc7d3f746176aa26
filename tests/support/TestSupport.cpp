#include "support/TestSupport.h"

#include <shellapi.h>

#include <thread>

#include "shell/Clock.h"
#include "shell/FileSystem.h"
#include "shell/Handles.h"
#include "shell/MessageLoop.h"
#include "shell/Text.h"
#include "shell/WindowQueries.h"

ScriptedPrompter::ScriptedPrompter() {
    previous_ = UsePrompter(this);
}
ScriptedPrompter::~ScriptedPrompter() {
    UsePrompter(previous_);
}

void ScriptedPrompter::showMessage(HWND, const std::wstring& caption, const std::wstring& text,
                                   bool cancellable) {
    asked.push_back({cancellable ? L"cancellable message" : L"message", caption, text, 0, {}});
}

int ScriptedPrompter::askBox(HWND, const std::wstring& caption, const std::wstring& text,
                             UINT flags) {
    asked.push_back({L"box", caption, text, flags, {}});
    if (boxAnswers.empty()) return IDCANCEL;
    const int answer = boxAnswers.front();
    boxAnswers.pop_front();
    return answer;
}

std::optional<std::wstring> ScriptedPrompter::chooseFile(HWND, const FileDialogRequest& request) {
    asked.push_back({L"file", L"", request.startFolder, 0, request});
    if (fileAnswers.empty()) return std::nullopt;
    auto answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

std::vector<std::wstring> ScriptedPrompter::texts(const std::wstring& kind) const {
    std::vector<std::wstring> result;
    for (const Asked& a : asked)
        if (kind.empty() || a.kind == kind) result.push_back(a.text);
    return result;
}

void PumpMessages() {
    ProcessMessages();
}

void TypeInto(HWND field, const std::wstring& text) {
    for (wchar_t c : text) ::SendMessageW(field, WM_CHAR, c, 1);
}

void ClickComboEntry(const ComboBox& combo, int index) {
    combo.setFocus();
    ::SendMessageW(combo.hwnd, CB_SHOWDROPDOWN, TRUE, 0);
    PumpMessages();
    COMBOBOXINFO info{sizeof(info)};
    ::GetComboBoxInfo(combo.hwnd, &info);
    RECT item{};
    ::SendMessageW(info.hwndList, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
    const LPARAM at = MAKELPARAM(item.left + 4, (item.top + item.bottom) / 2);
    ::SendMessageW(info.hwndList, WM_MOUSEMOVE, 0, at);
    ::SendMessageW(info.hwndList, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageW(info.hwndList, WM_LBUTTONUP, 0, at);
    PumpMessages();
}

bool PumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        PumpMessages();
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return true;
}

TestFolder::TestFolder(const std::wstring& name) {
    static int counter = 0;
    const std::wstring base = JoinPath(TempFolder(), L"pallendo-tests");
    ::CreateDirectoryW(base.c_str(), nullptr);
    path_ = JoinPath(base, name + L"-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                               std::to_wstring(++counter));
    RemoveTree(path_);
    ::CreateDirectoryW(path_.c_str(), nullptr);
}

TestFolder::~TestFolder() {
    RemoveTree(path_);
}

namespace {

// Calls `visit` with every entry the pattern matches but "." and "..".
template <typename Visit>
void ForEachEntry(const std::wstring& pattern, Visit visit) {
    WIN32_FIND_DATAW data;
    const UniqueFind find(::FindFirstFileW(pattern.c_str(), &data));
    if (!find) return;
    do {
        const std::wstring_view name = data.cFileName;
        if (name != L"." && name != L"..") visit(data);
    } while (::FindNextFileW(find.get(), &data));
}

bool IsFolder(const WIN32_FIND_DATAW& entry) {
    return (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

void RemoveTree(const std::wstring& path) {
    ForEachEntry(JoinPath(path, L"*"), [&](const WIN32_FIND_DATAW& entry) {
        const std::wstring child = JoinPath(path, entry.cFileName);
        if (IsFolder(entry)) {
            RemoveTree(child);
            return;
        }
        ::SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(child.c_str());
    });
    ::RemoveDirectoryW(path.c_str());
}

std::vector<std::wstring> NamesMatching(const std::wstring& pattern) {
    std::vector<std::wstring> names;
    ForEachEntry(pattern, [&](const WIN32_FIND_DATAW& entry) { names.push_back(entry.cFileName); });
    return names;
}

std::vector<std::wstring> FileNamesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    ForEachEntry(JoinPath(folder, L"*"), [&](const WIN32_FIND_DATAW& entry) {
        if (!IsFolder(entry)) names.push_back(entry.cFileName);
    });
    return names;
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    const UniqueFile file(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!file) return;
    DWORD written = 0;
    ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::string ReadBytes(const std::wstring& path) {
    const UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return {};
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (::ReadFile(file.get(), buffer, sizeof(buffer), &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    return bytes;
}

std::string DropBytes(const std::vector<std::wstring>& paths) {
    std::wstring list;
    for (const std::wstring& path : paths) list += path + L'\0';
    list += L'\0';
    DROPFILES header{};
    header.pFiles = sizeof(DROPFILES);
    header.fWide = TRUE;
    std::string bytes(reinterpret_cast<const char*>(&header), sizeof(header));
    bytes.append(reinterpret_cast<const char*>(list.data()), list.size() * sizeof(wchar_t));
    return bytes;
}

std::wstring Utf8ToWide(const std::string& text) {
    if (text.empty()) return {};
    const int n =
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

std::string WideToUtf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                        nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(), n,
                          nullptr, nullptr);
    return narrow;
}

bool Exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

SYSTEMTIME At(int year, int month, int day, int hour, int minute, int second, int milli) {
    return SystemTimeOf(year, month, day, hour, minute, second, milli);
}

std::wstring HostFolderOf(const wchar_t* variable) {
    wchar_t host[MAX_PATH] = {};
    if (::GetEnvironmentVariableW(variable, host, MAX_PATH) == 0) return {};
    std::wstring path = std::wstring(L"Z:") + host;
    for (wchar_t& c : path)
        if (c == L'/') c = L'\\';
    return path;
}

std::wstring TrashFolder() {
    // Wine does not pass HOME on to its programs; the test run names the test home again.
    return HostFolderOf(L"PALLENDO_TEST_HOME") + L"\\.local\\share\\Trash\\files";
}

std::wstring SmallDisk() {
    return HostFolderOf(L"PALLENDO_SMALL_DISK");
}

std::wstring TestProgramFolder() {
    return FolderPart(ExecutablePath());
}

std::wstring ProductPath() {
    return JoinPath(FolderPart(TestProgramFolder()), L"Pallendo.exe");
}

Probe::Probe() : folder_(L"probe"), log_(folder_ / L"probe-record.txt") {
    ::SetEnvironmentVariableW(L"PALLENDO_PROBE_LOG", log_.c_str());
}

Probe::~Probe() {
    ::SetEnvironmentVariableW(L"PALLENDO_PROBE_LOG", nullptr);
}

std::wstring Probe::path() {
    return JoinPath(TestProgramFolder(), L"probe.exe");
}

namespace {
std::vector<std::wstring> RecordLines(const std::wstring& log) {
    const std::string bytes = ReadBytes(log);
    std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()),
                      bytes.size() / sizeof(wchar_t));
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(L'\n', start)) != std::wstring::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}
}  // namespace

std::optional<std::vector<std::wstring>> Probe::waitForArguments(
    std::chrono::milliseconds deadline) const {
    if (!PumpUntil([&] { return Exists(log_); }, deadline)) return std::nullopt;
    std::vector<std::wstring> args;
    for (const std::wstring& line : RecordLines(log_))
        if (line.rfind(L"arg=", 0) == 0) args.push_back(line.substr(4));
    return args;
}

std::wstring Probe::commandLine() const {
    for (const std::wstring& line : RecordLines(log_))
        if (line.rfind(L"commandline=", 0) == 0) return line.substr(12);
    return {};
}

namespace {
BoxAnswerer*& CurrentAnswerer() {
    static BoxAnswerer* answerer = nullptr;
    return answerer;
}

// The texts a box shows, joined by "|": its static controls' (a task dialog draws its texts
// in one DirectUIHWND).
std::wstring ShownTexts(HWND box) {
    std::wstring joined;
    for (HWND child : ChildWindows(box)) {
        if (!HasClass(child, L"Static") && !HasClass(child, L"DirectUIHWND")) continue;
        const std::wstring text = WindowText(child);
        if (text.empty()) continue;
        if (!joined.empty()) joined += L"|";
        joined += text;
    }
    return joined;
}
}  // namespace

BoxAnswerer::BoxAnswerer(std::deque<int> queued) : answers(std::move(queued)) {
    CurrentAnswerer() = this;
    hook_ = ::SetWindowsHookExW(WH_CBT, &hook, nullptr, ::GetCurrentThreadId());
}

BoxAnswerer::~BoxAnswerer() {
    ::UnhookWindowsHookEx(hook_);
    CurrentAnswerer() = nullptr;
}

LRESULT CALLBACK BoxAnswerer::hook(int code, WPARAM wParam, LPARAM lParam) {
    BoxAnswerer* self = CurrentAnswerer();
    if (code == HCBT_ACTIVATE && self) {
        HWND box = reinterpret_cast<HWND>(wParam);
        if (HasClass(box, L"#32770") && !::GetPropW(box, L"PallendoAnswered")) {
            ::SetPropW(box, L"PallendoAnswered", reinterpret_cast<HANDLE>(1));
            self->captions.push_back(WindowText(box));
            self->texts.push_back(ShownTexts(box));
            if (self->onShow) self->onShow(box);
            const int answer = self->answers.empty() ? IDCANCEL : self->answers.front();
            if (!self->answers.empty()) self->answers.pop_front();
            ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}
