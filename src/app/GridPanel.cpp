#include "app/GridPanel.h"

#include <commctrl.h>

#include <algorithm>
#include <numeric>

#include "app/FormFont.h"

namespace {
// Beside a check box's caption: the box and the gap to the text, with room to spare, at 96 DPI.
constexpr int kBesideCaption = 34;
}  // namespace

int GridPanel::offset(const std::vector<int>& shares, int index, int length) {
    const int total = std::accumulate(shares.begin(), shares.end(), 0);
    const int before = std::accumulate(shares.begin(), shares.begin() + index, 0);
    return total == 0 ? 0 : MulDiv(length, before, total);
}

RECT GridPanel::cellRect(int row, int column, int rowSpan, int columnSpan) const {
    const int width = bounds_.right - bounds_.left;
    const int height = bounds_.bottom - bounds_.top;
    RECT r;
    r.left = bounds_.left + offset(columns_, column, width);
    r.right = bounds_.left + offset(columns_, column + columnSpan, width);
    r.top = bounds_.top + offset(rows_, row, height);
    r.bottom = bounds_.top + offset(rows_, row + rowSpan, height);
    return r;
}

RECT GridPanel::area(int dpi) const {
    RECT r = container_.panelArea();
    r.left += MulDiv(insets_.left, dpi, 96);
    r.top += MulDiv(insets_.top, dpi, 96);
    r.right -= MulDiv(insets_.right, dpi, 96);
    r.bottom -= MulDiv(insets_.bottom, dpi, 96);
    return r;
}

// The width the cell's control needs for its whole caption; 0 when the fixed width holds it.
// The caption is measured in memory first: the control's own ideal size is asked only when the
// caption comes near the fixed width, since asking a control costs a trip to the window server
// (a device context of its own) for each check box at every layout.
int GridPanel::captionWidth(const GridCell& cell, int fixedWidth, int dpi, HFONT font) {
    if (cell.caption.empty() || !font) return 0;
    const int text = TextWidth(font, cell.caption) + MulDiv(kBesideCaption, dpi, 96);
    if (text <= fixedWidth) return 0;
    SIZE ideal{};
    if (cell.control->hwnd &&
        ::SendMessageW(cell.control->hwnd, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal)))
        return ideal.cx;
    return text;  // a control not made yet is made as wide as the measure says
}

void GridPanel::layout(int dpi, int naturalHeight, HFONT font) const {
    bounds_ = area(dpi);
    for (const GridCell& cell : cells_) {
        RECT r = cellRect(cell.row, cell.column, cell.rowSpan, cell.columnSpan);
        const int margin = MulDiv(cell.margin, dpi, 96);
        ::InflateRect(&r, -margin, -margin);
        int x = r.left, y = r.top, w = r.right - r.left, h = r.bottom - r.top;
        switch (cell.fit) {
        case CellFit::Fill: break;
        case CellFit::Centered: {
            int fw = MulDiv(cell.fixedSize.cx, dpi, 96);
            const int fh = MulDiv(cell.fixedSize.cy, dpi, 96);
            // A caption longer than the fixed width widens the control up to its cell, so no
            // caption is cut off in another font or at another scale.
            const int needed = captionWidth(cell, fw, dpi, font);
            if (needed > fw) fw = std::min(needed, w);
            x = r.left + (w - fw) / 2;
            y = r.top + (h - fh) / 2;
            w = fw;
            h = fh;
            break;
        }
        case CellFit::TopNatural: h = naturalHeight; break;
        case CellFit::BottomNatural:
            h = naturalHeight;
            y = r.bottom - h;
            break;
        }
        cell.control->place({x, y, x + w, y + h});
    }
}
