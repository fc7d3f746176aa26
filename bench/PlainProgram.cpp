// The yardstick for パレンド's start-up and memory: a plain Win32 program with the same window
// and the same controls (kind, number and caption) as its main window, and nothing else: no
// COM, no image lists, no settings, no icons of files. The start-up benchmark compares the two.
// Built a second time with PLAIN_PLATFORM_STEPS, it also does what any program of this kind
// does before its first show: COM for the window's thread, the shell's drop registration and
// the look-up of the per-user application-data folder (the manifest is the same for both).
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

namespace {

#ifdef PLAIN_PLATFORM_STEPS
constexpr wchar_t kClass[] = L"PlainPlatformProgram";
#else
constexpr wchar_t kClass[] = L"PlainProgram";
#endif
constexpr wchar_t kPageClass[] = L"PlainPage";

// The main window's controls by kind and page, as its control table lists them, in the state
// the window shows them at start-up and with their captions: the first paint draws the same
// controls and the same characters.
struct Kind {
    const wchar_t* cls;
    DWORD style;
    DWORD exStyle;
    int page;  // 0 File, 1 Edit (shown at start-up), 2 Help
    int count;
    int disabled;  // how many of them are disabled
    const wchar_t* const* captions;
};
constexpr DWORD kPush = BS_PUSHBUTTON | WS_TABSTOP;
constexpr const wchar_t* kFileGroups[] = {L"このプログラムのショートカット", L"設定"};
constexpr const wchar_t* kFileButtons[] = {L"「送る」に登録・削除", L"デスクトップに登録・削除",
                                           L"スタートメニューに登録・削除",
                                           L"スタートアップに登録・削除", L"既定のアプリの選択"};
constexpr const wchar_t* kFileChecks[] = {L"終了時に確認", L"終了時の設定を保存",
                                          L"履歴に「メモ帳」「ペイント」を追加"};
constexpr const wchar_t* kEditGroups[] = {L"起動の組合せ", L"専用ショートカットを作成"};
constexpr const wchar_t* kEditLabels[] = {L"表示名", L"対象ファイル（文書・画像等）",
                                          L"起動プログラム（*.exe）"};
// The disabled ones first.
constexpr const wchar_t* kEditButtons[] = {
    L"クリア", L"既定で開く", L"クリア",           L"単体で起動", L"組合せテスト", L"作成先を開く",
    L"クリア", L"作成",       L"プロパティを表示", L"起動",       L"参照",         L"参照"};
constexpr const wchar_t* kFields[] = {L"", L""};
constexpr const wchar_t* kRadios[] = {L"デスクトップ", L"スタートメニュー", L"スタートアップ"};
constexpr const wchar_t* kHelpButtons[] = {L"ヘルプ表示", L"バージョン情報", L"プロパティ表示",
                                           L"開発支援", L"ホームページ"};
constexpr Kind kKinds[] = {
    {WC_BUTTONW, BS_GROUPBOX, 0, 0, 2, 0, kFileGroups},
    {WC_BUTTONW, kPush, 0, 0, 5, 0, kFileButtons},
    {WC_BUTTONW, BS_AUTOCHECKBOX | WS_TABSTOP, 0, 0, 3, 0, kFileChecks},
    {WC_BUTTONW, BS_GROUPBOX, 0, 1, 2, 0, kEditGroups},
    {WC_STATICW, SS_LEFT | SS_NOPREFIX, 0, 1, 3, 1, kEditLabels},
    {WC_BUTTONW, kPush, 0, 1, 12, 10, kEditButtons},
    {WC_EDITW, ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, 1, 2, 1, kFields},
    {WC_COMBOBOXW, CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP, 0, 1, 1, 0, kFields},
    {WC_BUTTONW, BS_RADIOBUTTON | WS_TABSTOP, 0, 1, 3, 3, kRadios},
    {WC_BUTTONW, kPush, 0, 2, 5, 0, kHelpButtons},
};

HFONT font = nullptr;

#ifdef PLAIN_PLATFORM_STEPS
// The same marks as the profiled build of パレンド, so the benchmark can set the two side by side:
// milliseconds since the process was created, written at the end to PALLENDO_STARTUP_PROFILE.
double created = 0;
double marks[3] = {};
const char* const kMarkNames[3] = {"process start until the program's entry",
                                   "platform steps and window with its controls created",
                                   "window shown"};

double Milliseconds(FILETIME time) {
    return static_cast<double>(static_cast<ULONGLONG>(time.dwHighDateTime) << 32 |
                               time.dwLowDateTime) /
           10'000.0;
}

void Mark(int n) {
    FILETIME now{};
    ::GetSystemTimePreciseAsFileTime(&now);
    marks[n] = Milliseconds(now) - created;
}

void WriteMarks() {
    wchar_t path[MAX_PATH] = {};
    if (::GetEnvironmentVariableW(L"PALLENDO_STARTUP_PROFILE", path, MAX_PATH) == 0) return;
    HANDLE file = ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    for (int n = 0; n < 3; ++n) {
        char line[128];
        const int length =
            wsprintfA(line, "%d.000\t%s\n", static_cast<int>(marks[n]), kMarkNames[n]);
        DWORD written = 0;
        ::WriteFile(file, line, static_cast<DWORD>(length), &written, nullptr);
    }
    ::CloseHandle(file);
}
#endif
HWND pages[3] = {};

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: {
        HINSTANCE instance = ::GetModuleHandleW(nullptr);
        const UINT dpi = ::GetDpiForWindow(window);
        font = ::CreateFontW(-::MulDiv(12, static_cast<int>(dpi), 96), 0, 0, 0, FW_NORMAL, FALSE,
                             FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Meiryo UI");
        auto child = [&](const wchar_t* cls, const wchar_t* text, DWORD style, DWORD exStyle,
                         HWND parent, int x, int y, int w, int h) {
            HWND control = ::CreateWindowExW(exStyle, cls, text, style | WS_CHILD | WS_VISIBLE, x,
                                             y, w, h, parent, nullptr, instance, nullptr);
            ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
            return control;
        };
        RECT client{};
        ::GetClientRect(window, &client);
        // The pages first: the tab control, made later, lies below them and does not hide them.
        for (int i = 0; i < 3; ++i) {
            pages[i] = child(kPageClass, L"", WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT, window, 8, 30,
                             client.right - 16, client.bottom - 62);
            if (i != 1) ::ShowWindow(pages[i], SW_HIDE);
        }
        HWND tabs = child(WC_TABCONTROLW, L"", WS_CLIPSIBLINGS, 0, window, 3, 3, client.right - 6,
                          client.bottom - 28);
        const wchar_t* captions[] = {L"ファイル", L"編集", L"ヘルプ"};
        for (int i = 0; i < 3; ++i) {
            TCITEMW item{TCIF_TEXT};
            item.pszText = const_cast<wchar_t*>(captions[i]);
            TabCtrl_InsertItem(tabs, i, &item);
        }
        TabCtrl_SetCurSel(tabs, 1);
        HWND status = child(STATUSCLASSNAMEW, L"", SBARS_SIZEGRIP, 0, window, 0, 0, 0, 0);
        const int parts[] = {120, 620};
        ::SendMessageW(status, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
        int onPage[3] = {};
        for (const Kind& kind : kKinds)
            for (int i = 0; i < kind.count; ++i) {
                const int n = onPage[kind.page]++;
                const DWORD state = i < kind.disabled ? WS_DISABLED : 0;
                child(kind.cls, kind.captions[i], kind.style | state, kind.exStyle,
                      pages[kind.page], 4 + n % 4 * 130, 4 + n / 4 * 26, 120, 22);
            }
        return 0;
    }
    case WM_DESTROY: ::PostQuitMessage(0); return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
#ifdef PLAIN_PLATFORM_STEPS
    FILETIME creation{}, exit{}, kernel{}, user{};
    ::GetProcessTimes(::GetCurrentProcess(), &creation, &exit, &kernel, &user);
    created = Milliseconds(creation);
    Mark(0);
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    wchar_t appData[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData);
#endif
    INITCOMMONCONTROLSEX controls{sizeof(controls),
                                  ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
    WNDCLASSEXW wc{sizeof(wc)};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClass;
    ::RegisterClassExW(&wc);
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.lpszClassName = kPageClass;
    ::RegisterClassExW(&wc);
    HWND window = ::CreateWindowExW(WS_EX_APPWINDOW | WS_EX_CONTROLPARENT, kClass, L"パレンド",
                                    WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 572, 363,
                                    nullptr, nullptr, instance, nullptr);
#ifdef PLAIN_PLATFORM_STEPS
    ::DragAcceptFiles(window, TRUE);
    Mark(1);
#endif
    ::ShowWindow(window, SW_SHOWNORMAL);
    ::UpdateWindow(window);
#ifdef PLAIN_PLATFORM_STEPS
    Mark(2);
#endif
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (::IsDialogMessageW(window, &msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    ::DeleteObject(font);
#ifdef PLAIN_PLATFORM_STEPS
    ::CoUninitialize();
    WriteMarks();
#endif
    return 0;
}
