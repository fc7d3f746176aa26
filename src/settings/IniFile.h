#pragma once
// Loading a settings file into an image and writing an image out again.
#include <string>

#include "settings/IniEncoding.h"
#include "settings/IniImage.h"

struct LoadedIniFile {
    IniImage image;
    // The encoding the file had; a missing file is a new one, in the ANSI code page.
    IniEncoding encoding = IniEncoding::Ansi;
};

// The whole file as an image; a missing file (or folder) gives an empty one. A file that exists
// but cannot be read raises a failure naming it.
LoadedIniFile LoadIniFile(const std::wstring& path);
// Replaces the file's whole content in one step: the text goes to a new file in the same folder
// first, which then takes the old one's place, so a failed write leaves the old file as it was.
// Text the ANSI code page cannot hold makes a file without a mark UTF-8 with its mark instead.
void SaveIniFile(const std::wstring& path, const IniImage& image, IniEncoding encoding);
// The encoding SaveIniFile writes the text in.
IniEncoding EncodingToWrite(std::wstring_view text, IniEncoding encoding);
