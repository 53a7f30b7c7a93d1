// The skins the team paints: face and mask agree, the mask holds only exact command colours,
// and the layout fits the picture. Painting text needs the GUI application the test
// program's main creates.
#include "reader/skin/qt/SkinPainter.h"

#include <QColor>
#include <QRect>
#include <gtest/gtest.h>

#include <map>
#include <tuple>

using namespace quarto;

namespace {

const TSkinStyle Styles[] = {TSkinStyle::Builtin, TSkinStyle::Demo};

auto Fields(const TSkinData& d) {
    return std::tie(d.X1, d.Y1, d.W1, d.H1, d.X2, d.Y2, d.W2, d.H2, d.TreeColor);
}

} // namespace

TEST(SkinPainter, FaceAndMaskShareTheSizeAndThePanesFit) {
    for (TSkinStyle style : Styles) {
        const TSkinPictures skin = PaintSkin(style);
        SCOPED_TRACE(static_cast<int>(style));
        ASSERT_FALSE(skin.Face.isNull());
        EXPECT_EQ(skin.Face.size(), skin.Mask.size());
        const QRect picture(QPoint(0, 0), skin.Face.size());
        const QRect left(skin.Data.X1, skin.Data.Y1, skin.Data.W1, skin.Data.H1);
        const QRect right(skin.Data.X2, skin.Data.Y2, skin.Data.W2, skin.Data.H2);
        EXPECT_TRUE(picture.contains(left)) << skin.Data.X1 << "," << skin.Data.Y1;
        EXPECT_TRUE(picture.contains(right)) << skin.Data.X2 << "," << skin.Data.Y2;
        EXPECT_FALSE(left.intersects(right));
        // Painted the same way on every build.
        EXPECT_TRUE(PaintSkin(style).Face == skin.Face);
    }
    const TSkinPictures builtin = PaintSkin(TSkinStyle::Builtin);
    EXPECT_EQ(builtin.Face.size(), QSize(BuiltinSkinWidth, BuiltinSkinHeight));
    EXPECT_EQ(Fields(builtin.Data), Fields(BuiltinSkinData));

    const TSkinPictures demo = PaintSkin(TSkinStyle::Demo);
    EXPECT_TRUE(demo.Face.size() != builtin.Face.size() ||
                Fields(demo.Data) != Fields(builtin.Data));
    EXPECT_FALSE(demo.Face == builtin.Face);
}

TEST(SkinPainter, MaskHoldsEveryCommandInExactColoursAndLeavesThePanesInert) {
    std::size_t regionCount = 0;
    const TSkinRegionInfo* regions = SkinRegions(regionCount);
    for (TSkinStyle style : Styles) {
        const TSkinPictures skin = PaintSkin(style);
        SCOPED_TRACE(static_cast<int>(style));
        const QRect left(skin.Data.X1, skin.Data.Y1, skin.Data.W1, skin.Data.H1);
        const QRect right(skin.Data.X2, skin.Data.Y2, skin.Data.W2, skin.Data.H2);
        std::map<TSkinRegion, int> area;
        int strays = 0, listedInPanes = 0;
        for (int y = 0; y < skin.Mask.height(); ++y) {
            for (int x = 0; x < skin.Mask.width(); ++x) {
                const QColor c = skin.Mask.pixelColor(x, y);
                const TSkinRegionInfo* info = SkinRegionOf(c.red(), c.green(), c.blue());
                const bool inPane = left.contains(x, y) || right.contains(x, y);
                if (info) {
                    ++area[info->Region];
                    listedInPanes += inPane;
                } else if (c != Qt::black) {
                    ++strays;
                }
            }
        }
        EXPECT_EQ(strays, 0) << "anti-aliased or unlisted mask colours";
        EXPECT_EQ(listedInPanes, 0) << "widgets cover the panes: no command, no move there";
        for (std::size_t i = 0; i < regionCount; ++i)
            EXPECT_GE(area[regions[i].Region], 400)
                << "region colour " << int(regions[i].R) << "," << int(regions[i].G) << ","
                << int(regions[i].B);
        EXPECT_GE(area[TSkinRegion::Move], skin.Mask.width() * 40) << "room to drag the window";
    }
}

TEST(SkinPainter, EveryCommandAreaIsRingedByTheMoveArea) {
    // Leaving a button crosses white at once, which hides the button's hint: just outside
    // every command area (a ring 3 pixels out) the mask is white.
    for (TSkinStyle style : Styles) {
        const TSkinPictures skin = PaintSkin(style);
        SCOPED_TRACE(static_cast<int>(style));
        const QImage& mask = skin.Mask;
        const auto regionAt = [&](int x, int y) -> const TSkinRegionInfo* {
            if (x < 0 || y < 0 || x >= mask.width() || y >= mask.height())
                return nullptr;
            const QColor c = mask.pixelColor(x, y);
            return SkinRegionOf(c.red(), c.green(), c.blue());
        };
        std::map<TSkinRegion, int> ringPixels;
        for (int y = 0; y < mask.height(); ++y)
            for (int x = 0; x < mask.width(); ++x) {
                const TSkinRegionInfo* info = regionAt(x, y);
                if (!info || info->Region == TSkinRegion::Move)
                    continue;
                // A command pixel on the area's edge: the pixels 3 out from it, in each
                // direction it borders something else, are white (or past the picture's edge).
                const int steps[][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
                for (const auto& step : steps) {
                    if (regionAt(x + step[0], y + step[1]) == info)
                        continue;
                    const int rx = x + 3 * step[0], ry = y + 3 * step[1];
                    if (rx < 0 || ry < 0 || rx >= mask.width() || ry >= mask.height())
                        continue;
                    ++ringPixels[info->Region];
                    const TSkinRegionInfo* out = regionAt(rx, ry);
                    ASSERT_TRUE(out && out->Region == TSkinRegion::Move)
                        << "at " << rx << "," << ry << " beside the area of colour " << int(info->R)
                        << "," << int(info->G) << "," << int(info->B);
                }
            }
        EXPECT_EQ(ringPixels.size(), 8u) << "every command area has a ring";
    }
}
