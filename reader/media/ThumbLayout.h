// The thumbnail grid's arithmetic: cells of 150 × 150 pixels numbered row by row from the top
// left, the layout for a control size, the scroll range, the hit test, the cells a frame draws
// and where a thumbnail sits in its cell; and the cache of decoded thumbnails.
#pragma once

#include "PicDataFormat.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <utility>
#include <vector>

namespace quarto {

// The cache limit a reload sets after the layout.
inline constexpr std::size_t ThumbCacheReloadLimit = 50;

// numerator / denominator rounded to the nearest integer, halves to the even neighbour
// (375 / 150 gives 2, 525 / 150 gives 4). denominator > 0; numerator may be negative.
int RoundHalfEven(int numerator, int denominator);

struct TThumbLayout {
    int Columns = 1; // width / 150 rounded (halves to even), at least 1
    int Visible = 1; // V: height / 150 rounded the same way, at least 1
    int Rows = 1;    // T div Columns + 1: always a row, an empty last one when T is a multiple
    int Count = 0;   // T, the number of thumbnails
    std::size_t CacheLimit = 2; // Columns * V * 2, what the layout alone sets
};

// The layout of count thumbnails in a control of width × height pixels.
TThumbLayout LayoutGrid(int width, int height, int count);

// ScrollBar1's maximum: the larger of height and Rows * 150 - height.
int ScrollMaximum(const TThumbLayout& layout, int height);

// The cell under point (x, y) of the control with the grid scrolled by scrollPosition:
// column x div 150, row (y + scrollPosition) div 150, k = column + row * Columns; k when
// column < Columns and k < T, else -1 (also for negative coordinates).
int HitCell(const TThumbLayout& layout, int x, int y, int scrollPosition);

struct TCellRect {
    int Left = 0, Top = 0, Width = PicDataFormat::CellSize, Height = PicDataFormat::CellSize;
};
// Cell k's rectangle in the control: column k mod Columns, row k div Columns, top-left corner
// (column × 150, row × 150 − scrollPosition).
TCellRect CellRectOf(const TThumbLayout& layout, int cell, int scrollPosition);

// The cells (column < Columns, row < Rows) at least partly inside a control of width × height
// at scrollPosition, in cell order. Cells from T on are included: they show their background
// only.
std::vector<int> VisibleCells(const TThumbLayout& layout, int width, int height,
                              int scrollPosition);

// Where a thumbnail of width × height sits in its cell: (150 − size) div 2 from the cell's
// top-left corner, truncating toward zero; negative for a thumbnail larger than the cell.
inline int CentredOffset(int size) {
    return (PicDataFormat::CellSize - size) / 2;
}

// Decoded thumbnails tagged with the "Data2.dat" offset they were decoded from, oldest first.
// A hit does not make an entry younger; an insertion first removes the oldest entries while
// the cache holds at least Limit() of them.
template <class TPicture> class TThumbCache {
public:
    // The picture tagged offset, looked for from the oldest entry; nullptr when none.
    const TPicture* Find(std::int64_t offset) const {
        for (const auto& [tag, picture] : FEntries)
            if (tag == offset)
                return &picture;
        return nullptr;
    }
    // Removes the oldest entries while there are at least Limit(), then appends picture.
    const TPicture& Add(std::int64_t offset, TPicture picture) {
        while (!FEntries.empty() && FEntries.size() >= FLimit)
            FEntries.pop_front();
        FEntries.emplace_back(offset, std::move(picture));
        return FEntries.back().second;
    }
    void SetLimit(std::size_t limit) { FLimit = limit; }
    std::size_t Limit() const { return FLimit; }
    std::size_t Size() const { return FEntries.size(); }
    void Clear() { FEntries.clear(); }
    // The tags, oldest first.
    std::vector<std::int64_t> Tags() const {
        std::vector<std::int64_t> tags;
        for (const auto& entry : FEntries)
            tags.push_back(entry.first);
        return tags;
    }

private:
    std::deque<std::pair<std::int64_t, TPicture>> FEntries;
    std::size_t FLimit = ThumbCacheReloadLimit;
};

} // namespace quarto
