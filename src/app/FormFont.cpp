#include "app/FormFont.h"

UniqueFont CreateFormFont(int dpi) {
    return UniqueFont(::CreateFontW(-::MulDiv(12, dpi, 96), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                    DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                    CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Meiryo UI"));
}

int TextWidth(HFONT font, std::wstring_view text) {
    const UniqueMemoryDC dc(::CreateCompatibleDC(nullptr));
    if (!dc) return 0;
    const HGDIOBJ previous = ::SelectObject(dc.get(), font);
    SIZE size{};
    ::GetTextExtentPoint32W(dc.get(), text.data(), static_cast<int>(text.size()), &size);
    ::SelectObject(dc.get(), previous);
    return size.cx;
}
