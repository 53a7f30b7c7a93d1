// The picture viewer's arithmetic: fitting, the "100%" button, scroll ranges and dragging.
#include "reader/media/ViewerGeometry.h"

#include <gtest/gtest.h>

#include <array>

using namespace quarto;

namespace {

TEST(ViewerGeometry, AreaLeavesButtonColumnAndDescription) {
    const TViewerArea area = ViewerArea(885, 500, 85, 90);
    EXPECT_EQ(area.Width, 800);
    EXPECT_EQ(area.FitHeight, 400);
    EXPECT_EQ(area.ScrollHeight, 410);
}

TEST(ViewerGeometry, FittedSizePlaceAndFullSizeButton) {
    const struct {
        int W, H, AW, AH;
        int D, E, Left, Top;
        bool Button;
    } cases[] = {
        {400, 300, 800, 400, 533, 400, 133, 0, false},  // enlarged; 533 > 410, 400 > 310
        {2000, 1500, 800, 400, 533, 400, 133, 0, true}, // reduced
        {1000, 200, 800, 400, 800, 160, 0, 120, true},  // the width limits
        {795, 300, 800, 400, 800, 301, 0, 49, true},    // enlarged by less than 10
        {100, 100, 800, 400, 400, 400, 200, 0, false},
        {390, 390, 400, 400, 400, 400, 0, 0, true},  // exactly 10 larger
        {389, 389, 400, 400, 400, 400, 0, 0, false}, // 11 larger
        {3, 7, 800, 400, 171, 400, 314, 0, false},   // 3 * 400 / 7 = 171.4
        {4000, 3000, 1000, 700, 933, 700, 33, 0, true},
    };
    for (const auto& c : cases) {
        const TFittedPicture fitted = FitPicture(c.W, c.H, c.AW, c.AH);
        EXPECT_EQ(fitted.Width, c.D) << c.W << "x" << c.H;
        EXPECT_EQ(fitted.Height, c.E) << c.W << "x" << c.H;
        EXPECT_EQ(fitted.Left, c.Left) << c.W << "x" << c.H;
        EXPECT_EQ(fitted.Top, c.Top) << c.W << "x" << c.H;
        EXPECT_EQ(FullSizeButtonVisible(false, c.W, c.H, fitted), c.Button) << c.W << "x" << c.H;
        EXPECT_TRUE(FullSizeButtonVisible(true, c.W, c.H, fitted));
    }
    EXPECT_DOUBLE_EQ(FitPicture(400, 300, 800, 400).Scale, 400.0 / 300.0);
}

TEST(ViewerGeometry, NothingToFit) {
    for (const auto& [w, h, aw, ah] :
         {std::array{0, 0, 800, 400}, {400, 300, 0, 400}, {400, 300, 800, -10}})
        EXPECT_EQ(FitPicture(w, h, aw, ah).Width * FitPicture(w, h, aw, ah).Height, 0);
}

TEST(ViewerGeometry, ScrollRanges) {
    EXPECT_EQ(ViewerScrollMaximum(2000, 800), 1200);
    EXPECT_EQ(ViewerScrollMaximum(1500, 410), 1090);
    EXPECT_EQ(ViewerScrollMaximum(800, 800), 0);
    EXPECT_EQ(ViewerScrollMaximum(400, 800), 0);
    EXPECT_EQ(ViewerScrollMaximum(400, -50), 450);
    EXPECT_EQ(ViewerScrollMaximumAfterResize(400, -50), 400); // no more than the picture
    EXPECT_EQ(ViewerScrollMaximumAfterResize(2000, 800), 1200);
}

TEST(ViewerGeometry, DragClampsAtBothEnds) {
    const struct {
        int Position, DragPoint, Mouse, Maximum, Result;
    } cases[] = {
        {0, 500, 400, 1200, 100},     // dragged 100 px left: the part further right
        {100, 400, 500, 1200, 0},     // and back
        {50, 400, 500, 1200, 0},      // past the left edge
        {1150, 500, 400, 1200, 1200}, // past the right edge
        {1200, 500, 300, 1200, 1200},
        {0, 500, 300, 0, 0}, // a picture smaller than the area: nothing moves
        {0, 300, 500, 0, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DraggedPosition(c.Position, c.DragPoint, c.Mouse, c.Maximum), c.Result)
            << c.Position << " " << c.DragPoint << "->" << c.Mouse;
}

TEST(ViewerGeometry, SmallPictureInFullSize) {
    // 300 × 200 in 800 × 410: both maxima 0, the whole picture shows at the top left.
    EXPECT_EQ(ViewerScrollMaximum(300, 800), 0);
    EXPECT_EQ(ViewerScrollMaximum(200, 410), 0);
    const TPicturePart part = FullSizePart(300, 200, 0, 0, 800, 410);
    EXPECT_EQ(part.Width, 300);
    EXPECT_EQ(part.Height, 200);
}

TEST(ViewerGeometry, FullSizePartIsClipped) {
    const TPicturePart part = FullSizePart(2000, 1500, 1200, 1090, 800, 410);
    EXPECT_EQ(part.Left, 1200);
    EXPECT_EQ(part.Width, 800);
    EXPECT_EQ(part.Height, 410);
    const TPicturePart beyond = FullSizePart(500, 400, 900, 100, 800, 410); // a smaller picture
    EXPECT_EQ(beyond.Left, 500);
    EXPECT_EQ(beyond.Width, 0);
    EXPECT_EQ(beyond.Height, 300);
}

} // namespace
