#include "ThumbLayout.h"

#include <algorithm>
#include <cstdlib>

namespace quarto {

namespace {
constexpr int Cell = PicDataFormat::CellSize;

// Floor division for a positive divisor.
int FloorDiv(int a, int b) {
    return a / b - (a % b != 0 && a < 0 ? 1 : 0);
}
} // namespace

int RoundHalfEven(int numerator, int denominator) {
    const int quotient = FloorDiv(numerator, denominator);
    const int twiceRest = 2 * (numerator - quotient * denominator);
    if (twiceRest > denominator || (twiceRest == denominator && quotient % 2 != 0))
        return quotient + 1;
    return quotient;
}

TThumbLayout LayoutGrid(int width, int height, int count) {
    TThumbLayout layout;
    layout.Count = std::max(count, 0);
    layout.Columns = std::max(RoundHalfEven(width, Cell), 1);
    layout.Visible = std::max(RoundHalfEven(height, Cell), 1);
    layout.CacheLimit =
        static_cast<std::size_t>(layout.Columns) * static_cast<std::size_t>(layout.Visible) * 2;
    layout.Rows = layout.Count / layout.Columns + 1;
    return layout;
}

int ScrollMaximum(const TThumbLayout& layout, int height) {
    return std::max(height, layout.Rows * Cell - height);
}

int HitCell(const TThumbLayout& layout, int x, int y, int scrollPosition) {
    if (x < 0 || y < 0 || y + scrollPosition < 0)
        return -1;
    const int column = x / Cell;
    const int row = (y + scrollPosition) / Cell;
    if (column >= layout.Columns)
        return -1;
    const std::int64_t k = column + static_cast<std::int64_t>(row) * layout.Columns;
    return k < layout.Count ? static_cast<int>(k) : -1;
}

TCellRect CellRectOf(const TThumbLayout& layout, int cell, int scrollPosition) {
    TCellRect rect;
    rect.Left = cell % layout.Columns * Cell;
    rect.Top = cell / layout.Columns * Cell - scrollPosition;
    return rect;
}

std::vector<int> VisibleCells(const TThumbLayout& layout, int width, int height,
                              int scrollPosition) {
    std::vector<int> cells;
    if (width <= 0 || height <= 0)
        return cells;
    const int firstRow = std::max(FloorDiv(scrollPosition, Cell), 0);
    const int lastRow = std::min(FloorDiv(scrollPosition + height - 1, Cell), layout.Rows - 1);
    const int lastColumn = std::min(FloorDiv(width - 1, Cell), layout.Columns - 1);
    for (int row = firstRow; row <= lastRow; ++row)
        for (int column = 0; column <= lastColumn; ++column)
            cells.push_back(row * layout.Columns + column);
    return cells;
}

} // namespace quarto
