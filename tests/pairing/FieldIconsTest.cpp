// The icons of the two fields while the user types: the target's follows its extension (letter
// case aside), the launcher's follows the file its text names, and a UNC name being typed never
// reaches the file system.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "PairingFixture.h"
#include "shell/Handles.h"
#include "shell/Text.h"

namespace {

// The pixels of the icon an image list holds at index 0; empty when it holds none.
std::vector<std::uint32_t> PixelsOf(const ImageList& list) {
    const UniqueIcon icon = list.iconAt(0);
    if (!icon) return {};
    ICONINFO info{};
    if (!::GetIconInfo(icon.get(), &info)) return {};
    UniqueBitmap colour(info.hbmColor), mask(info.hbmMask);
    const int size = list.size();
    BITMAPINFO format{};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), size, -size, 1, 32, BI_RGB};
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(size * size));
    const WindowDC screen(nullptr);
    ::GetDIBits(screen.get(), colour ? colour.get() : mask.get(), 0, static_cast<UINT>(size),
                pixels.data(), &format, DIB_RGB_COLORS);
    return pixels;
}

// The image list a button was handed to draw from.
HIMAGELIST ShownList(const Button& button) {
    BUTTON_IMAGELIST images{};
    ::SendMessageW(button.hwnd, BCM_GETIMAGELIST, 0, reinterpret_cast<LPARAM>(&images));
    return images.himl;
}

int IconSizeOf(HIMAGELIST list) {
    int cx = 0, cy = 0;
    ::ImageList_GetIconSize(list, &cx, &cy);
    return cx;
}

class FieldIcons : public PairingFixture {};

TEST_F(FieldIcons, TheTargetShowsTheIconOfItsExtensionWhateverItsCase) {
    TPallendoForm& f = createForm();
    struct Step {
        const wchar_t* text;
        const wchar_t* sameIconAs;  // an earlier text of the same type, or nullptr
    };
    const Step steps[] = {{L"C:\\docs\\report.txt", nullptr},
                          {L"C:\\docs\\picture.bmp", nullptr},
                          {L"C:\\docs\\REPORT.TXT", L"C:\\docs\\report.txt"},
                          {L"\\\\server", nullptr},
                          {L"C:\\docs\\Picture.Bmp", L"C:\\docs\\picture.bmp"}};
    std::map<std::wstring, std::vector<std::uint32_t>> seen;
    for (const Step& step : steps) {
        SCOPED_TRACE(WideToUtf8(step.text));
        f.Edit1.setText(step.text);
        EXPECT_EQ(f.ImageList1.count(), 1);
        EXPECT_TRUE(f.ButtonOpenDefault1.showsImage());
        EXPECT_EQ(ShownList(f.ButtonOpenDefault1), f.ImageList1.handle());
        seen[step.text] = PixelsOf(f.ImageList1);
        EXPECT_FALSE(seen[step.text].empty());
        if (step.sameIconAs) {
            EXPECT_EQ(seen[step.text], seen[step.sameIconAs]);
        }
    }
}

TEST_F(FieldIcons, ATypeShownAgainAfterAChangeOfSizeHasTheNewSize) {
    TPallendoForm& f = createForm();
    f.Edit1.setText(L"C:\\docs\\report.txt");
    f.Edit1.setText(L"C:\\docs\\picture.bmp");
    f.ImageList1.resize(32);
    EXPECT_EQ(IconSizeOf(ShownList(f.ButtonOpenDefault1)), 32);
    f.Edit1.setText(L"C:\\docs\\report.txt");
    EXPECT_EQ(f.ImageList1.size(), 32);
    EXPECT_EQ(IconSizeOf(f.ImageList1.handle()), 32);
    EXPECT_EQ(IconSizeOf(ShownList(f.ButtonOpenDefault1)), 32);
}

TEST_F(FieldIcons, TheLauncherShowsAnIconOnlyWhileItsTextNamesAProgram) {
    TestFolder folder(L"launcher-icon-steps");
    const std::wstring batch = folder / L"run.bat";
    WriteBytes(batch, "@echo off\r\n");
    TPallendoForm& f = createForm();
    struct Step {
        std::wstring text;
        bool icon;
    };
    const Step steps[] = {
        {ProductPath(), true},
        {ProductPath() + L"x", false},    // names no file
        {ProductPath(), true},            // the same program again
        {batch, false},                   // a file without an icon
        {L"notepad.exe", true},           // found on the search path, as the shell finds it
        {Probe::path(), false},           // a program without an icon of its own
        {L"\\\\server\\share\\", false},  // a UNC name not yet naming a file
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(WideToUtf8(step.text));
        setLauncher(step.text);
        EXPECT_EQ(f.ImageList2.count(), step.icon ? 1 : 0);
        EXPECT_EQ(f.ButtonExe2.showsImage(), step.icon);
        EXPECT_TRUE(f.ButtonExe2.enabled());
    }
    // Typed key by key: every prefix of a UNC name shows no icon and keeps the button enabled.
    setLauncher(L"");
    form->ComboBox2.setFocus();
    TypeInto(launcherEdit(), L"\\\\fileserver\\public");
    EXPECT_EQ(f.ComboBox2.text(), L"\\\\fileserver\\public");
    EXPECT_EQ(f.ImageList2.count(), 0);
    EXPECT_TRUE(f.ButtonExe2.enabled());
}

}  // namespace
