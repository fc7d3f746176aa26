#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <regex>

#include "shell/Clock.h"
#include "shell/Failure.h"
#include "shell/FileSystem.h"
#include "shell/Handles.h"
#include "shell/PlatformError.h"
#include "shell/ProgramScope.h"
#include "shell/ShellActions.h"
#include "shortcuts/ShellLink.h"
#include "support/LinkFiles.h"
#include "support/TestSupport.h"

using Microsoft::WRL::ComPtr;

namespace {

class ShellLinks : public ::testing::Test {
protected:
    static void SetUpTestSuite() { static const ProgramScope program; }
    void TearDown() override { UseClock({}); }
    ScriptedPrompter prompter;
};

const std::wregex kStampPattern(
    LR"(\d{4}/\d\d/\d\d \d\d:\d\d:\d\d Created by pallendo_shortcuts_tests V1\.1)");

TEST_F(ShellLinks, FileThatIsNoLinkFallsBack) {
    TestFolder folder(L"no-link");
    const std::wstring text = folder / L"plain text.lnk";
    WriteBytes(text, "not a shell link");
    const std::wstring missing = folder / L"missing.lnk";
    for (const std::wstring& path : {text, missing}) {
        EXPECT_EQ(GetLinkTarget(path), path);
        EXPECT_EQ(GetLinkArguments(path), L"");
    }
}

// Links in each of the user's folders, written as the program writes them and
// read back through the platform's link object.
TEST_F(ShellLinks, WrittenLinksReadBackInEveryUserFolder) {
    TestFolder documents(L"link docs");
    const std::wstring document = documents / L"週報 第 3 版.txt";
    WriteBytes(document, "x");
    const std::wstring program = Probe::path();
    for (int csidl : {CSIDL_DESKTOP, CSIDL_PROGRAMS, CSIDL_STARTUP, CSIDL_SENDTO}) {
        SCOPED_TRACE(csidl);
        const std::wstring linkPath = GetSpecialFolder(csidl) + L"リンク テスト.lnk";
        SaveLink(WriteShellLink(CreateShellLink(), program, document), linkPath);
        const LinkFields fields = ReadLink(linkPath);
        EXPECT_EQ(fields.path, program);
        EXPECT_EQ(fields.arguments, L"\"" + document + L"\"");
        EXPECT_EQ(fields.workingDirectory, TempFolder());
        EXPECT_TRUE(std::regex_match(fields.description, kStampPattern))
            << WideToUtf8(fields.description);
        EXPECT_EQ(GetLinkTarget(linkPath), program);
        EXPECT_EQ(GetLinkArguments(linkPath), L"\"" + document + L"\"");
        ::DeleteFileW(linkPath.c_str());
    }
}

TEST_F(ShellLinks, EmptyArgumentsAreNotSetAndRewritingRenewsTheStamp) {
    TestFolder folder(L"link-stamp");
    const std::wstring linkPath = folder / L"own.lnk";
    UseClock([] { return At(2024, 5, 10, 14, 3, 9); });
    SaveLink(WriteShellLink(CreateShellLink(), Probe::path(), L""), linkPath);
    LinkFields fields = ReadLink(linkPath);
    EXPECT_EQ(fields.arguments, L"");
    EXPECT_EQ(GetLinkArguments(linkPath), L"");
    EXPECT_EQ(fields.description, L"2024/05/10 14:03:09 Created by pallendo_shortcuts_tests V1.1");

    UseClock([] { return At(2025, 12, 31, 23, 59, 58); });
    SaveLink(WriteShellLink(CreateShellLink(), Probe::path(), L""), linkPath);
    fields = ReadLink(linkPath);
    EXPECT_EQ(fields.description, L"2025/12/31 23:59:58 Created by pallendo_shortcuts_tests V1.1");
}

TEST_F(ShellLinks, LinkToAVirtualFolderHasNoTargetPath) {
    TestFolder folder(L"link-virtual");
    const std::wstring linkPath = folder / L"computer.lnk";
    ComPtr<IShellLinkW> link = CreateShellLink();
    UniqueItemIdList computer;
    ASSERT_EQ(::SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, computer.put()), S_OK);
    ASSERT_EQ(link->SetIDList(computer.get()), S_OK);
    SaveLink(link, linkPath);
    EXPECT_EQ(GetLinkTarget(linkPath), L"");
}

// A link object whose setters answer with chosen results, to see each failure
// message; the real object never refuses these texts.
class RefusingLink : public IShellLinkW {
public:
    HRESULT pathResult = S_OK, argumentsResult = S_OK, directoryResult = S_OK,
            descriptionResult = S_OK;
    std::vector<std::wstring> calls;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IShellLinkW) {
            *out = this;
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE GetPath(LPWSTR, int, WIN32_FIND_DATAW*, DWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDList(PIDLIST_ABSOLUTE*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetIDList(PCIDLIST_ABSOLUTE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDescription(LPWSTR, int) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetDescription(LPCWSTR text) override {
        calls.push_back(L"SetDescription " + std::wstring(text));
        return descriptionResult;
    }
    HRESULT STDMETHODCALLTYPE GetWorkingDirectory(LPWSTR, int) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetWorkingDirectory(LPCWSTR text) override {
        calls.push_back(L"SetWorkingDirectory " + std::wstring(text));
        return directoryResult;
    }
    HRESULT STDMETHODCALLTYPE GetArguments(LPWSTR, int) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetArguments(LPCWSTR text) override {
        calls.push_back(L"SetArguments " + std::wstring(text));
        return argumentsResult;
    }
    HRESULT STDMETHODCALLTYPE GetHotkey(WORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetHotkey(WORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetShowCmd(int*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetShowCmd(int) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIconLocation(LPWSTR, int, int*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetIconLocation(LPCWSTR, int) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetRelativePath(LPCWSTR, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Resolve(HWND, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetPath(LPCWSTR text) override {
        calls.push_back(L"SetPath " + std::wstring(text));
        return pathResult;
    }

private:
    ULONG refs = 1;
};

std::wstring WriteFailure(RefusingLink& link, const std::wstring& arguments) {
    try {
        WriteShellLink(ComPtr<IShellLinkW>(&link), L"C:\\Program Files\\App\\app.exe", arguments);
    } catch (const Failure& failure) {
        return failure.message();
    }
    return L"(no failure)";
}

TEST_F(ShellLinks, WriteSetsFieldsInOrderAndStopsAtTheFirstRefusal) {
    UseClock([] { return At(2024, 5, 10, 14, 3, 7); });
    const std::wstring temp = TempFolder();
    {
        RefusingLink link;
        EXPECT_EQ(WriteFailure(link, L"C:\\Docs\\say \"hi\".txt"), L"(no failure)");
        EXPECT_EQ(link.calls, (std::vector<std::wstring>{
                                  L"SetPath \"C:\\Program Files\\App\\app.exe\"",
                                  L"SetArguments \"C:\\Docs\\say \"\"hi\"\".txt\"",
                                  L"SetWorkingDirectory " + temp,
                                  L"SetDescription 2024/05/10 14:03:07 Created by "
                                  L"pallendo_shortcuts_tests V1.1",
                              }));
    }
    const HRESULT invalid = E_INVALIDARG;  // 0x80070057
    const std::wstring invalidText = SystemErrorText(static_cast<DWORD>(invalid));
    struct Case {
        HRESULT RefusingLink::*step;
        HRESULT result;
        std::wstring message;
        std::size_t calls;
    };
    const Case cases[] = {
        {&RefusingLink::pathResult, invalid,
         L"SetPath Failed HRESULT=-2147024809\r\n" + invalidText, 1},
        {&RefusingLink::argumentsResult, invalid,
         L"SetArguments Failed HRESULT=-2147024809\r\n" + invalidText, 2},
        {&RefusingLink::directoryResult, invalid,
         L"SetWorkingDirectory Failed HRESULT=-2147024809\r\n" + invalidText, 3},
        {&RefusingLink::descriptionResult, invalid, L"SetDescription HRESULT=-2147024809", 4},
        // A success code other than S_OK counts as a failure too.
        {&RefusingLink::pathResult, S_FALSE, L"SetPath Failed HRESULT=1\r\n" + SystemErrorText(1),
         1},
    };
    for (const Case& c : cases) {
        RefusingLink link;
        link.*c.step = c.result;
        EXPECT_EQ(WriteFailure(link, L"x"), c.message);
        EXPECT_EQ(link.calls.size(), c.calls);
    }
    RefusingLink noArguments;
    noArguments.argumentsResult = invalid;
    EXPECT_EQ(WriteFailure(noArguments, L""), L"(no failure)");
    EXPECT_EQ(noArguments.calls.size(), 3u);
}

}  // namespace
