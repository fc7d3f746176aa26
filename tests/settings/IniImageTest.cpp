// The settings file's text rules, without a window: parsing, lookups, numbers, layout, encodings.
#include <gtest/gtest.h>

#include <optional>

#include "settings/IniEncoding.h"
#include "settings/IniFile.h"
#include "settings/IniImage.h"
#include "support/TestSupport.h"

namespace {

TEST(IniImage, ReadsLinesAsTheFileRulesSay) {
    const IniImage image = IniImage::parse(
        L"Orphan=before any section\r\n"
        L"  [ Option ]  \r\n"
        L"\tFileName =   C:\\My Docs\\a b.txt  \r\n"
        L"; CloseQuery=1\r\n"
        L"NoEquals\r\n"
        L"Formula=a=b\r\n"
        L"Dup=first\r\n"
        L"dup=second\r\n"
        L"Empty=\n"
        L"[DATA]\rExe0=cr only\r"
        L"[option]\r\n"
        L"Later=merged into the first OPTION\r\n"
        L"Last=no line end");
    struct Case {
        const wchar_t* section;
        const wchar_t* key;
        std::optional<std::wstring> value;
    };
    const Case cases[] = {
        {L"OPTION", L"filename", L"C:\\My Docs\\a b.txt"},  // stripped, case ignored on both names
        {L"option", L"CloseQuery", std::nullopt},           // a comment
        {L"OPTION", L"NoEquals", std::nullopt},             // no "=": absent
        {L"OPTION", L"Formula", L"a=b"},                    // split at the first "="
        {L"OPTION", L"DUP", L"first"},
        {L"OPTION", L"Empty", L""},
        {L"DATA", L"Exe0", L"cr only"},
        {L"Option", L"Later", L"merged into the first OPTION"},
        {L"OPTION", L"Last", L"no line end"},
        {L"OPTION", L"Orphan", std::nullopt},
        {L"MISSING", L"Orphan", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(WideToUtf8(std::wstring(c.section) + L"/" + c.key));
        EXPECT_EQ(image.value(c.section, c.key), c.value);
    }
    EXPECT_EQ(image.sectionNames(), (std::vector<std::wstring>{L"Option", L"DATA"}));
    EXPECT_EQ(image.readString(L"OPTION", L"Empty", L"default"), L"");
    EXPECT_EQ(image.readString(L"OPTION", L"Nothing", L"default"), L"default");
}

TEST(IniImage, IntegersBooleansAndTheWrittenLayout) {
    struct Number {
        const wchar_t* text;
        int expected;  // 99 is the default
    };
    const Number numbers[] = {
        {L"16", 16},
        {L"-5", -5},
        {L"+7", 7},
        {L"0x10", 16},
        {L"0X1f", 31},
        {L"$FF", 255},
        {L"$ffffffff", -1},
        {L"2147483647", 2147483647},
        {L"-2147483648", -2147483647 - 1},
        {L"2147483648", 99},
        {L"abc", 99},
        {L"", 99},
        {L"1 2", 99},
        {L"12abc", 99},
        {L"0x", 99},
        {L"$", 99},
        {L"-0x10", 99},
        {L"0x123456789", 99},
        {L"-", 99},
    };
    for (const Number& n : numbers) {
        SCOPED_TRACE(WideToUtf8(n.text));
        IniImage image;
        image.writeString(L"S", L"K", n.text);
        EXPECT_EQ(image.readInteger(L"s", L"k", 99), n.expected);
    }
    const IniImage flags = IniImage::parse(L"[S]\r\nZero=0\r\nTwo=2\r\nMinus=-1\r\nWord=yes\r\n");
    EXPECT_FALSE(flags.readBool(L"S", L"Zero", true));
    EXPECT_TRUE(flags.readBool(L"S", L"Two", false));
    EXPECT_TRUE(flags.readBool(L"S", L"Minus", false));
    EXPECT_TRUE(flags.readBool(L"S", L"Word", true));
    EXPECT_FALSE(flags.readBool(L"S", L"Word", false));

    IniImage image = IniImage::parse(L"[Old]\r\nKey=1\r\n");
    image.clear();
    image.writeString(L"PROGRAM", L"Name", L"a.exe");
    image.writeInteger(L"POSITION", L"Left", -12);
    image.writeString(L"PROGRAM", L"Version", L"V1.1");
    image.writeBool(L"POSITION", L"Flag", true);
    image.writeString(L"program", L"NAME", L"b.exe");  // replaces in place
    EXPECT_EQ(
        image.render(),
        L"[PROGRAM]\r\nName=b.exe\r\nVersion=V1.1\r\n\r\n[POSITION]\r\nLeft=-12\r\nFlag=1\r\n\r\n");
}

TEST(IniImage, AValueWithALineBreakStaysOneLineAndAddsNoKeys) {
    IniImage image;
    image.writeString(L"OPTION", L"FileName", L"C:\\a.txt\r\n[DATA]\r\nExe0=injected\rx\ny");
    image.writeString(L"OPTION", L"ExeName", L"C:\\viewer.exe");
    image.writeString(L"DATA", L"Exe0", L"C:\\real.exe");
    const IniImage read = IniImage::parse(image.render());
    EXPECT_EQ(read.sectionNames(), (std::vector<std::wstring>{L"OPTION", L"DATA"}));
    EXPECT_EQ(read.readString(L"OPTION", L"FileName"), L"C:\\a.txt  [DATA]  Exe0=injected x y");
    EXPECT_EQ(read.readString(L"OPTION", L"ExeName"), L"C:\\viewer.exe");
    EXPECT_EQ(read.readString(L"DATA", L"Exe0"), L"C:\\real.exe");
}

TEST(IniEncoding, EachMarkIsRecognisedAndWrittenBack) {
    const std::wstring text = L"[OPTION]\r\nFileName=日本語ファイル.txt\r\n";
    const std::string utf8 = WideToUtf8(text);
    std::string le = "\xFF\xFE", be = "\xFE\xFF";
    for (wchar_t c : text) {
        le += static_cast<char>(c & 0xFF);
        le += static_cast<char>(c >> 8);
        be += static_cast<char>(c >> 8);
        be += static_cast<char>(c & 0xFF);
    }
    char ansi[256] = {};
    const int ansiLength = ::WideCharToMultiByte(
        932, 0, text.c_str(), static_cast<int>(text.size()), ansi, 256, nullptr, nullptr);
    struct Case {
        std::string bytes;
        IniEncoding encoding;
    };
    const Case cases[] = {
        {"\xEF\xBB\xBF" + utf8, IniEncoding::Utf8},
        {le, IniEncoding::Utf16Le},
        {be, IniEncoding::Utf16Be},
        {std::string(ansi, static_cast<std::size_t>(ansiLength)),
         IniEncoding::Ansi},  // the test runs in code page 932
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.encoding));
        const DecodedIniText decoded = DecodeIniBytes(c.bytes);
        EXPECT_EQ(decoded.encoding, c.encoding);
        EXPECT_EQ(decoded.text, text);
        EXPECT_EQ(EncodeIniText(text, c.encoding), c.bytes);
    }
    EXPECT_EQ(DecodeIniBytes("").text, L"");
    // Text the ANSI code page cannot hold turns a file without a mark into UTF-8 with one.
    EXPECT_EQ(EncodingToWrite(L"日本語", IniEncoding::Ansi), IniEncoding::Ansi);
    EXPECT_EQ(EncodingToWrite(L"한국어", IniEncoding::Ansi), IniEncoding::Utf8);
    EXPECT_EQ(EncodingToWrite(L"\U0001F600", IniEncoding::Ansi), IniEncoding::Utf8);
    EXPECT_EQ(EncodingToWrite(L"한국어", IniEncoding::Utf16Be), IniEncoding::Utf16Be);
}

}  // namespace
