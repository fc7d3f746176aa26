#pragma once
// A grid panel: a rectangle divided into rows and columns whose sizes are shares of the panel;
// each control takes one cell or a span of cells. Sizes are at 96 DPI and scaled on layout.
#include <windows.h>

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
};

class GridPanel {
public:
    GridPanel(std::vector<int> columnShares, std::vector<int> rowShares)
        : columns_(std::move(columnShares)), rows_(std::move(rowShares)) {}

    void add(const GridCell& cell) { cells_.push_back(cell); }
    const std::vector<GridCell>& cells() const { return cells_; }
    const std::vector<int>& columnShares() const { return columns_; }
    const std::vector<int>& rowShares() const { return rows_; }

    // Lays the children out inside `bounds` (parent client coordinates, already scaled).
    // `naturalHeight` is the scaled natural height of a one-line control.
    void layout(const RECT& bounds, int dpi, int naturalHeight) const;
    RECT bounds() const { return bounds_; }
    RECT cellRect(int row, int column, int rowSpan = 1, int columnSpan = 1) const;

    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled) { enabled_ = enabled; }

private:
    static int Offset(const std::vector<int>& shares, int index, int length);
    std::vector<int> columns_, rows_;
    std::vector<GridCell> cells_;
    mutable RECT bounds_{};
    bool enabled_ = true;
};
