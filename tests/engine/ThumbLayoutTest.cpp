// The thumbnail grid's arithmetic and its cache.
#include "reader/media/ThumbLayout.h"

#include <gtest/gtest.h>

#include <string>

using namespace quarto;

namespace {

TEST(ThumbLayout, ColumnsRoundHalvesToEven) {
    const struct {
        int Width, Columns;
    } cases[] = {{375, 2}, {525, 4}, {700, 5}, {820, 5}, {225, 2},
                 {75, 1},  {0, 1},   {150, 1}, {1, 1},   {676, 5}};
    for (const auto& c : cases)
        EXPECT_EQ(LayoutGrid(c.Width, 300, 10).Columns, c.Columns) << c.Width;
    EXPECT_EQ(RoundHalfEven(-225, 150), -2);
    EXPECT_EQ(RoundHalfEven(-75, 150), 0);
}

TEST(ThumbLayout, RowsVisibleRowsAndCacheLimit) {
    const TThumbLayout layout = LayoutGrid(600, 600, 12); // 4 columns
    EXPECT_EQ(layout.Rows, 4);                            // the fourth row is empty
    EXPECT_EQ(layout.Visible, 4);
    EXPECT_EQ(layout.CacheLimit, 32u);
    EXPECT_EQ(LayoutGrid(600, 600, 11).Rows, 3);
    EXPECT_EQ(LayoutGrid(600, 600, 0).Rows, 1);
}

TEST(ThumbLayout, ScrollMaximum) {
    EXPECT_EQ(ScrollMaximum(LayoutGrid(600, 600, 36), 600), 900); // 10 rows
    EXPECT_EQ(ScrollMaximum(LayoutGrid(600, 600, 4), 600), 600);  // 2 rows
}

TEST(ThumbLayout, HitTest) {
    const TThumbLayout wide = LayoutGrid(820, 300, 20); // 5 columns, a 70-pixel black strip
    const struct {
        int X, Y, Scroll, Cell;
    } cases[] = {{0, 0, 0, 0},     {149, 149, 0, 0}, {150, 0, 0, 1},  {749, 0, 0, 4},
                 {750, 0, 0, -1},  {819, 10, 0, -1}, {10, 0, 150, 5}, {10, 140, 20, 5},
                 {10, 599, 0, 15}, {10, 600, 0, -1}, {-1, 0, 0, -1},  {0, -1, 0, -1},
                 {0, -10, 100, -1}};
    for (const auto& c : cases)
        EXPECT_EQ(HitCell(wide, c.X, c.Y, c.Scroll), c.Cell)
            << c.X << "," << c.Y << " at " << c.Scroll;
    const TThumbLayout twelve = LayoutGrid(600, 600, 12);
    EXPECT_EQ(HitCell(twelve, 10, 460, 0), -1); // the empty fourth row
    EXPECT_EQ(HitCell(twelve, 460, 310, 0), 11);
}

TEST(ThumbLayout, CellsAndThumbnailPlaces) {
    const TThumbLayout layout = LayoutGrid(450, 300, 10); // 3 columns, 4 rows
    const TCellRect rect = CellRectOf(layout, 4, 100);
    EXPECT_EQ(rect.Left, 150);
    EXPECT_EQ(rect.Top, 50);
    // Rows 0 and 1 are in view at 0; scrolled by 100, rows 0 to 2; at the end the empty cell
    // 11 of the last row is drawn too.
    EXPECT_EQ(VisibleCells(layout, 450, 300, 0), (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(VisibleCells(layout, 450, 300, 100).size(), 9u);
    EXPECT_EQ(VisibleCells(layout, 450, 300, 300), (std::vector<int>{6, 7, 8, 9, 10, 11}));
    EXPECT_EQ(VisibleCells(layout, 200, 10, 0), (std::vector<int>{0, 1}));
    EXPECT_EQ(CentredOffset(100), 25);
    EXPECT_EQ(CentredOffset(149), 0);
    EXPECT_EQ(CentredOffset(151), 0); // -1 div 2 truncates toward zero
    EXPECT_EQ(CentredOffset(155), -2);
    EXPECT_EQ(CentredOffset(200), -25);
}

TEST(ThumbCache, TheOldestGoesFirstEvenWhenJustUsed) {
    TThumbCache<std::string> cache;
    EXPECT_EQ(cache.Limit(), 50u);
    for (int i = 0; i < 50; ++i)
        cache.Add(i * 100, "t" + std::to_string(i));
    ASSERT_NE(cache.Find(0), nullptr); // a hit does not make it younger
    EXPECT_EQ(*cache.Find(0), "t0");
    cache.Add(5000, "new");
    EXPECT_EQ(cache.Find(0), nullptr);
    EXPECT_NE(cache.Find(100), nullptr);
    EXPECT_EQ(cache.Size(), 50u);
    EXPECT_EQ(cache.Tags().back(), 5000);

    cache.SetLimit(8); // a smaller limit: the next insertion trims to 7, then appends
    cache.Add(6000, "x");
    EXPECT_EQ(cache.Size(), 8u);
    EXPECT_EQ(cache.Tags().front(), 4400);
}

} // namespace
