#include "app/FormFont.h"

UniqueFont CreateFormFont(int dpi) {
    return UniqueFont(::CreateFontW(-::MulDiv(12, dpi, 96), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                    DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                    CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Meiryo UI"));
}
