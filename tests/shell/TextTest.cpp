#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/Failure.h"
#include "shell/Text.h"

namespace {

std::string WideToUtf8ForTest(const std::wstring& text) {
    std::string bytes;
    for (wchar_t c : text) bytes += c < 0x80 ? static_cast<char>(c) : '?';
    return bytes;
}

std::wstring FailureOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Failure& failure) {
        return failure.message();
    }
    return L"(no failure)";
}

TEST(PathParts, NameBaseExtensionAndFolder) {
    struct Case {
        std::wstring path, name, base, extension, folder;
    };
    const Case cases[] = {
        {L"C:\\Docs\\report.docx", L"report.docx", L"report", L".docx", L"C:\\Docs"},
        {L"C:\\report.docx", L"report.docx", L"report", L".docx", L"C:\\"},
        {L"C:/Docs/a.tar.gz", L"a.tar.gz", L"a.tar", L".gz", L"C:/Docs"},
        {L"notepad.exe", L"notepad.exe", L"notepad", L".exe", L""},
        {L"C:name.txt", L"name.txt", L"name", L".txt", L"C:"},
        {L"\\\\server\\share\\x", L"x", L"x", L"", L"\\\\server\\share"},
        {L"C:\\dir.v2\\README", L"README", L"README", L"", L"C:\\dir.v2"},
        {L"\\top.txt", L"top.txt", L"top", L".txt", L"\\"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "path index " << (&c - cases));
        EXPECT_EQ(FileNameOf(c.path), c.name);
        EXPECT_EQ(BaseNameOf(c.path), c.base);
        EXPECT_EQ(ExtensionOf(c.path), c.extension);
        EXPECT_EQ(FolderOf(c.path), c.folder);
    }
}

TEST(PathParts, InvalidCharactersAndEmptyNamesRaiseTheirTexts) {
    EXPECT_EQ(FailureOf([] { FileNameOf(L"C:\\a|b.txt"); }), L"パスに無効な文字が含まれています");
    EXPECT_EQ(FailureOf([] { FileNameOf(L"C:\\\"quoted\".txt"); }),
              L"パスに無効な文字が含まれています");
    EXPECT_EQ(FailureOf([] { FolderOf(L""); }), L"ファイル名が空です");
    EXPECT_EQ(FailureOf([] { FolderOf(L"   "); }), L"ファイル名が空です");
    EXPECT_EQ(FailureOf([] { FolderOf(L"C:\\a<b"); }), L"ファイル名に無効な文字が含まれています");
    EXPECT_EQ(FailureOf([] { JoinPath(L"C:\\", L"a>b"); }), L"パスに無効な文字が含まれています");
    // Blanks are ordinary characters of a name.
    EXPECT_EQ(FileNameOf(L" "), L" ");
}

TEST(PathParts, JoiningPutsOneSeparatorAndLetsRootedNamesStandAlone) {
    EXPECT_EQ(JoinPath(L"C:\\Temp\\", L"a.txt"), L"C:\\Temp\\a.txt");
    EXPECT_EQ(JoinPath(L"C:\\Temp", L"a.txt"), L"C:\\Temp\\a.txt");
    EXPECT_EQ(JoinPath(L"C:\\Temp", L"D:\\other.txt"), L"D:\\other.txt");
    EXPECT_EQ(JoinPath(L"C:\\Temp", L"\\root.txt"), L"\\root.txt");
    EXPECT_EQ(ChangeExtension(L"C:\\Tools\\Pallendo.exe", L".chm"), L"C:\\Tools\\Pallendo.chm");
    EXPECT_EQ(ChangeExtension(L"C:\\v1.2\\viewer", L".chm"), L"C:\\v1.2\\viewer.chm");
}

TEST(PathParts, AParentFolderKeepsTheRootItsFolderStartsWith) {
    struct Case {
        std::wstring folder, root, parent;
    };
    const Case cases[] = {
        {L"C:\\Tools", L"C:\\", L"C:\\"},
        {L"C:\\", L"C:\\", L""},
        {L"C:\\Tools\\App\\", L"C:\\", L"C:\\Tools"},
        {L"C:/Tools//App", L"C:/", L"C:/Tools"},
        {L"C:Tools", L"C:", L"C:"},
        {L"C:", L"C:", L""},
        // A share's root is the last folder: the server is no folder.
        {L"\\\\server\\share\\App", L"\\\\server\\share", L"\\\\server\\share"},
        {L"\\\\server\\share\\", L"\\\\server\\share", L""},
        {L"\\\\server", L"\\\\server", L""},
        // The long form and the device form have the same roots behind their prefix.
        {L"\\\\?\\C:\\Tools", L"\\\\?\\C:\\", L"\\\\?\\C:\\"},
        {L"\\\\?\\C:\\", L"\\\\?\\C:\\", L""},
        {L"\\\\.\\C:\\Tools", L"\\\\.\\C:\\", L"\\\\.\\C:\\"},
        {L"\\\\?\\UNC\\server\\share\\App", L"\\\\?\\UNC\\server\\share",
         L"\\\\?\\UNC\\server\\share"},
        {L"\\\\?\\UNC\\server\\share", L"\\\\?\\UNC\\server\\share", L""},
        {L"\\\\?\\unc\\server\\share", L"\\\\?\\unc\\server\\share", L""},
        {L"\\Tools", L"\\", L"\\"},
        {L"Tools\\App", L"", L"Tools"},
        {L"Tools", L"", L""},
        {L"", L"", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(WideToUtf8ForTest(c.folder));
        EXPECT_EQ(c.folder.substr(0, RootLength(c.folder)), c.root);
        EXPECT_EQ(ParentFolder(c.folder), c.parent);
    }
}

TEST(PathParts, TrailingSeparatorsComeOffEvenARoot) {
    struct Case {
        std::wstring path, trimmed;
    };
    const Case cases[] = {
        {L"C:\\Docs\\", L"C:\\Docs"},
        {L"C:\\Docs", L"C:\\Docs"},
        {L"C:/Docs\\/", L"C:/Docs"},
        {L"C:\\", L"C:"},
        {L"C:", L"C:"},
        {L"\\\\server\\share\\", L"\\\\server\\share"},
        {L"\\", L""},
        {L"", L""},
        {L"C:\\My Docs \\", L"C:\\My Docs "},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WithoutTrailingSeparators(c.path), c.trimmed) << WideToUtf8ForTest(c.path);
}

TEST(Quoting, QuoteAndDequoteAreInverse) {
    const std::wstring texts[] = {
        L"", L"C:\\Program Files\\App\\app.exe", L"say \"hi\"", L"\"", L"\"\"", L"a\"\"b"};
    for (const std::wstring& text : texts) EXPECT_EQ(Dequote(Quote(text)), text);
    EXPECT_EQ(Quote(L"C:\\Tools\\viewer.exe"), L"\"C:\\Tools\\viewer.exe\"");
    EXPECT_EQ(Quote(L"a\"b"), L"\"a\"\"b\"");
    EXPECT_EQ(Quote(L""), L"\"\"");
    // Texts that are not quoted come back as they are.
    EXPECT_EQ(Dequote(L"plain"), L"plain");
    EXPECT_EQ(Dequote(L"\"open"), L"\"open");
    EXPECT_EQ(Dequote(L"\""), L"\"");
}

TEST(Quoting, OnlyQuotesThatGroupTheWholeTextAreTakenOffALauncher) {
    struct Case {
        std::wstring text, launcher;
    };
    const Case cases[] = {
        {L"\"C:\\My Apps\\app.exe\"", L"C:\\My Apps\\app.exe"},  // Explorer's "copy as path"
        {L" \"C:\\app.exe\" ", L"C:\\app.exe"},
        {L"C:\\app.exe", L"C:\\app.exe"},
        {L"notepad.exe", L"notepad.exe"},
        {L"\"C:\\a\" b\"", L"\"C:\\a\" b\""},  // a quote inside: not one group
        {L"\"open", L"\"open"},
        {L"\"", L"\""},
        {L"   ", L"   "},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WithoutGroupingQuotes(c.text), c.launcher) << WideToUtf8ForTest(c.text);
}

TEST(CommandLine, ArgumentsAreGroupedByQuotesOnlyAsTheShellWritesThem) {
    using Args = std::vector<std::wstring>;
    struct Case {
        std::wstring line;
        Args arguments;
    };
    const Case cases[] = {
        // A batch file's "%~dp0" ends in a backslash right before the closing quote.
        {L"\"C:\\Tools\\Pallendo.exe\" \"C:\\My Files\\\"", {L"C:\\My Files\\"}},
        {L"\"C:\\Tools\\Pallendo.exe\" \"C:\\My Files\\\" next", {L"C:\\My Files\\", L"next"}},
        {L"\"C:\\Program Files\\P\\Pallendo.exe\" C:\\a.txt", {L"C:\\a.txt"}},
        {L"Pallendo.exe \"C:\\報告 書\\月次.txt\"", {L"C:\\報告 書\\月次.txt"}},
        {L"Pallendo.exe   C:\\a\\\\b.txt\t x", {L"C:\\a\\\\b.txt", L"x"}},
        {L"Pallendo.exe C:\\\"My Files\"\\a.txt", {L"C:\\My Files\\a.txt"}},
        {L"Pallendo.exe \"\"", {L""}},
        {L"\"C:\\no close", {}},
        {L"Pallendo.exe", {}},
        {L"", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SplitCommandLine(c.line), c.arguments) << WideToUtf8ForTest(c.line);
}

TEST(PathParts, FileNameCharactersAreThoseANameMayHold) {
    for (const wchar_t* name : {L"メモ", L"R&D (v2); x=1", L"メモ.", L"a.b"})
        EXPECT_FALSE(HasInvalidFileNameChars(name)) << WideToUtf8ForTest(name);
    for (const wchar_t* name :
         {L"C:メモ", L"\\メモ", L"a/b", L"a*", L"a?", L"\"a\"", L"a<b>", L"a|b", L"tab\there"})
        EXPECT_TRUE(HasInvalidFileNameChars(name)) << WideToUtf8ForTest(name);
}

TEST(ErrorBox, AppendsAFullStopOnlyAfterCharactersAboveIt) {
    struct Case {
        std::wstring message, shown;
    };
    const Case cases[] = {
        {L"Add failed notepad.exe", L"Add failed notepad.exe."},
        {L"HRESULT=-2147467259", L"HRESULT=-2147467259."},
        {L"ファイル名が空です", L"ファイル名が空です."},
        {L"Done.", L"Done."},
        {L"(履歴をクリア)", L"(履歴をクリア)"},
        {L"ends with blank ", L"ends with blank "},
        {L"ends with break\r\n", L"ends with break\r\n"},
        {L"ends with comma,", L"ends with comma,"},
        {L"", L""},
    };
    for (const Case& c : cases) EXPECT_EQ(ErrorBoxText(c.message), c.shown);
}

TEST(Numbers, ResultCodesReadAsSignedDecimal) {
    EXPECT_EQ(SignedText(0x80070057u), L"-2147024809");
    EXPECT_EQ(SignedText(0x80004005u), L"-2147467259");
    EXPECT_EQ(SignedText(1u), L"1");
}

}  // namespace
