#pragma once
// A grid panel: a rectangle divided into rows and columns whose sizes are shares of the panel;
// each control takes one cell or a span of cells. Sizes are at 96 DPI and scaled on layout.
#include <windows.h>

#include <string_view>
#include <vector>

#include "app/Controls.h"

enum class CellFit {
    Fill,          // fills the cell inside its margin
    Centered,      // a fixed size, centred in the cell
    TopNatural,    // its natural height at the top of the cell (edit fields, combo boxes)
    BottomNatural  // its natural height at the bottom of the cell (labels)
};

struct GridCell {
    Control* control = nullptr;
    int row = 0, column = 0, rowSpan = 1, columnSpan = 1;
    int margin = 3;  // at 96 DPI
    CellFit fit = CellFit::Fill;
    SIZE fixedSize{};  // for CellFit::Centered, at 96 DPI
    // For CellFit::Centered: a caption wider than the fixed width widens the control.
    std::wstring_view caption;
};

// Space kept free between a container's edges and the panel it holds, at 96 DPI.
struct Insets {
    int left = 0, top = 0, right = 0, bottom = 0;
};

class GridPanel {
public:
    // The panel fills `container` (a page, or a group box on a page) inside `insets`; its
    // controls are children of that page.
    GridPanel(const Control& container, Insets insets, std::vector<int> columnShares,
              std::vector<int> rowShares)
        : container_(container),
          insets_(insets),
          columns_(std::move(columnShares)),
          rows_(std::move(rowShares)) {}

    void add(const GridCell& cell) { cells_.push_back(cell); }
    const std::vector<GridCell>& cells() const { return cells_; }

    // Places the controls in the container where the layout last put it (a control not made
    // yet keeps its place to be made there). `naturalHeight` is the scaled natural height of a
    // one-line control; `font` is the controls' font.
    void layout(int dpi, int naturalHeight, HFONT font) const;
    RECT bounds() const { return bounds_; }
    RECT cellRect(int row, int column, int rowSpan = 1, int columnSpan = 1) const;

    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled) { enabled_ = enabled; }

private:
    static int offset(const std::vector<int>& shares, int index, int length);
    static int captionWidth(const GridCell& cell, int fixedWidth, int dpi, HFONT font);
    // The container's rectangle inside the insets, in the page's client coordinates.
    RECT area(int dpi) const;
    const Control& container_;
    Insets insets_;
    std::vector<int> columns_, rows_;
    std::vector<GridCell> cells_;
    mutable RECT bounds_{};
    bool enabled_ = true;
};
