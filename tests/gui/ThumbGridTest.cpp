// The thumbnail grid in a panel of its own: layout and scroll range for the panel's size, the
// pixels of a frame, hover and press through the hit test, the thumbnail cache, and reloads
// that read nothing when nothing changed.
#include "EditionFixture.h"
#include "ExpectError.h"
#include "FaultFileSystem.h"

#include "common/BmpFile.h"
#include "common/JpegCodec.h"
#include "reader/media/qt/ThumbGrid.h"
#include "tools/PictureWriter.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QScrollBar>
#include <QTest>
#include <QToolTip>
#include <QWheelEvent>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

using namespace quarto;
using namespace quarto::test;

namespace {

constexpr int ScrollBarWidth = 16;

TDibPicture Plain(int width, int height, QRgb colour) {
    TDibPicture picture = BlankPicture(width, height);
    for (std::size_t i = 0; i < picture.Pixels.size(); i += 3) {
        picture.Pixels[i] = static_cast<std::uint8_t>(qRed(colour));
        picture.Pixels[i + 1] = static_cast<std::uint8_t>(qGreen(colour));
        picture.Pixels[i + 2] = static_cast<std::uint8_t>(qBlue(colour));
    }
    return picture;
}

// Thumbnail k's colour: well apart from its neighbours, the background and black.
QRgb ColourOf(int k) {
    return qRgb(40 + (k * 67) % 200, 40 + (k * 131) % 200, 220 - (k * 29) % 180);
}

// A cell background of 120 × 120, smaller than a cell: drawn at its own size.
constexpr int BackgroundSize = 120;
const QRgb BackgroundColour = qRgb(250, 240, 200);

// Colours as JPEG keeps them.
::testing::AssertionResult Near(QRgb actual, QRgb expected) {
    const int d = std::abs(qRed(actual) - qRed(expected)) +
                  std::abs(qGreen(actual) - qGreen(expected)) +
                  std::abs(qBlue(actual) - qBlue(expected));
    if (d <= 24)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "pixel " << std::hex << actual << " is not near " << expected;
}

// A reader folder with the cell background and an edition whose thumbnails the test chooses.
class ThumbGrid : public ::testing::Test {
protected:
    TTempFolder Temp;
    const TPath Book = Temp.Path() / "Books" / "Pics";
    QWidget Window;
    QWidget* Panel8 = new QWidget(&Window);

    ThumbGrid() {
        Window.resize(900, 700);
        Window.show();
        CreateFolders(Temp.Path() / "Skins");
        WriteWholeFile(Temp.Path() / "Skins" / "text.bmp",
                       EncodeBmp(Plain(BackgroundSize, BackgroundSize, BackgroundColour)));
    }
    std::string AppFolder() const { return JoinPath(Temp.Path(), ""); }

    // count thumbnails of width × height in their colours; the cells listed are damaged.
    void WriteThumbnails(int count, int width = 100, int height = 80, std::vector<int> damaged = {},
                         int colourShift = 0) {
        TPictureSet set;
        for (int k = 0; k < count; ++k) {
            set.CellLines.push_back(k);
            set.Thumbnails.push_back(EncodeJpeg(Plain(width, height, ColourOf(k + colourShift))));
        }
        for (const int k : damaged)
            set.Thumbnails[static_cast<std::size_t>(k)] = "not a jpeg";
        WritePictureSet(set, Book);
    }

    // The grid in Panel8 sized so that the grid is width × height, loaded.
    TThumbGrid* Grid(int width, int height) {
        Panel8->resize(width + ScrollBarWidth, height);
        TThumbGrid* grid = CreateThumbGrid(Panel8);
        grid->Load(AppFolder(), Book);
        return grid;
    }

    static QImage Shot(TThumbGrid* grid) { return grid->grab().toImage(); }

    // Mouse events as the window system delivers them.
    static void Move(TThumbGrid* grid, QPoint point) {
        QMouseEvent event(QEvent::MouseMove, point, grid->mapToGlobal(point), Qt::NoButton,
                          Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(grid, &event);
    }
    static void Press(TThumbGrid* grid, QPoint point, Qt::MouseButton button = Qt::LeftButton) {
        QMouseEvent event(QEvent::MouseButtonPress, point, grid->mapToGlobal(point), button, button,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(grid, &event);
    }
};

} // namespace

TEST_F(ThumbGrid, LayoutAndScrollRangeFollowTheSize) {
    const struct {
        int Width, Height, Count;
        int Columns, Rows, Maximum;
    } cases[] = {
        {700, 600, 12, 5, 3, 600},  // 4.67 columns round to 5, the fifth cut off
        {820, 600, 12, 5, 3, 600},  // 5.47 round to 5: a strip of 70 pixels
        {375, 300, 12, 2, 7, 750},  // halves go to the even neighbour
        {525, 300, 12, 4, 4, 300},  // ... both ways
        {600, 600, 12, 4, 4, 600},  // a multiple of the columns: an empty last row
        {750, 600, 45, 5, 10, 900}, // 10 rows
        {750, 600, 5, 5, 2, 600},   // 2 rows: more than the 300 pixels they take
        {150, 150, 0, 1, 1, 150},   // no thumbnails: still a row
    };
    for (const auto& c : cases) {
        WriteThumbnails(c.Count, 10, 10);
        TThumbGrid* grid = Grid(c.Width, c.Height);
        SCOPED_TRACE(std::to_string(c.Width) + " x " + std::to_string(c.Height));
        EXPECT_EQ(grid->size(), QSize(c.Width, c.Height));
        EXPECT_EQ(grid->Columns(), c.Columns);
        EXPECT_EQ(grid->Rows(), c.Rows);
        EXPECT_EQ(grid->Count(), c.Count);
        EXPECT_EQ(grid->ScrollBar1()->maximum(), c.Maximum);
    }
    // A later grid replaces the earlier one in the panel; the scroll bar stands at the right.
    EXPECT_EQ(Panel8->findChildren<TThumbGrid*>().size(), 1);
    const QList<QScrollBar*> bars = Panel8->findChildren<QScrollBar*>();
    ASSERT_EQ(bars.size(), 1);
    QScrollBar* bar = bars.front();
    EXPECT_EQ(bar->objectName(), "ScrollBar1");
    EXPECT_EQ(bar->orientation(), Qt::Vertical);
    EXPECT_EQ(bar->geometry(), QRect(150, 0, ScrollBarWidth, 150));
    EXPECT_EQ(bar->singleStep(), 10);
    EXPECT_EQ(bar->pageStep(), 100);
    EXPECT_EQ(bar->minimum(), 0);
    // Smaller than a cell: raised to 150 × 150.
    Panel8->resize(60, 40);
    EXPECT_EQ(Panel8->findChild<TThumbGrid*>("ThumbGrid")->size(), QSize(150, 150));
}

TEST_F(ThumbGrid, AFrameShowsBackgroundsAndCentredThumbnailsOnBlack) {
    // Cell 1 is damaged, cell 3 wider than its cell; 6 thumbnails in 5 columns.
    TPictureSet set;
    for (int k = 0; k < 6; ++k) {
        set.CellLines.push_back(k);
        set.Thumbnails.push_back(EncodeJpeg(Plain(k == 3 ? 200 : 60, 90, ColourOf(k))));
    }
    set.Thumbnails[1] = "not a jpeg";
    set.OffsetOverrides = {{4, 1 << 30}};
    WritePictureSet(set, Book);
    TThumbGrid* grid = Grid(820, 600);
    const QImage frame = Shot(grid);
    ASSERT_EQ(frame.size(), QSize(820, 600));
    const struct {
        QPoint Point;
        QRgb Colour;
        const char* What;
    } pixels[] = {
        {{75, 75}, ColourOf(0), "thumbnail 0, centred"},
        {{46, 31}, ColourOf(0), "its top-left corner"},
        {{44, 75}, BackgroundColour, "left of it"},
        {{225, 75}, BackgroundColour, "a damaged thumbnail: background"},
        {{150 + 130, 130}, qRgb(0, 0, 0), "beyond the background's own size"},
        {{375, 75}, ColourOf(2), "thumbnail 2"},
        {{430, 75}, ColourOf(3), "thumbnail 3 overlapping cell 2"},
        {{620, 75}, ColourOf(3), "... and cell 4's background"},
        {{675, 75}, BackgroundColour, "an offset outside the data: background"},
        {{160, 160}, BackgroundColour, "cell 6, after the last thumbnail"},
        {{800, 50}, qRgb(0, 0, 0), "the strip right of the columns"},
        {{10, 310}, qRgb(0, 0, 0), "below the last row"},
    };
    for (const auto& p : pixels)
        EXPECT_TRUE(Near(frame.pixel(p.Point), p.Colour)) << p.What;
    EXPECT_EQ(grid->CachedCount(), 4); // 0, 2, 3 and 5

    // A background larger than a cell is cut at the cell's edges.
    WriteWholeFile(Temp.Path() / "Skins" / "text.bmp",
                   EncodeBmp(Plain(200, 200, BackgroundColour)));
    grid->ReloadGrid();
    const QImage large = Shot(grid);
    EXPECT_TRUE(Near(large.pixel(299, 149), BackgroundColour));
    EXPECT_EQ(large.pixel(751, 10), qRgb(0, 0, 0));
    EXPECT_EQ(large.pixel(10, 301), qRgb(0, 0, 0));

    // Only thumbnails are hit: not the strip, not cells after the last thumbnail.
    std::vector<int> pressed;
    grid->OnPress = [&](int cell) { pressed.push_back(cell); };
    Press(grid, {760, 10});
    Press(grid, {160, 160});
    Press(grid, {10, 10}, Qt::RightButton);
    Press(grid, {610, 10}, Qt::MiddleButton);
    EXPECT_EQ(pressed, (std::vector<int>{0, 4}));
}

TEST_F(ThumbGrid, HoverAndPressFindTheCellAtTheScrollPosition) {
    WriteThumbnails(12);
    TThumbGrid* grid = Grid(600, 300);
    ASSERT_EQ(grid->Columns(), 4);
    ASSERT_EQ(grid->Rows(), 4);
    std::vector<int> hovered, pressed;
    grid->OnHover = [&](int cell) { hovered.push_back(cell); };
    grid->OnPress = [&](int cell) { pressed.push_back(cell); };

    grid->ScrollBar1()->setValue(150);
    Move(grid, {160, 10});  // row 1, column 1
    Move(grid, {599, 299}); // row 2, column 3
    Press(grid, {10, 10});
    grid->ScrollBar1()->setValue(300);
    Press(grid, {10, 10});
    Press(grid, {10, 160}); // the fourth row holds no thumbnail
    Move(grid, {10, 160});
    EXPECT_EQ(hovered, (std::vector<int>{5, 11}));
    EXPECT_EQ(pressed, (std::vector<int>{4, 8}));
    EXPECT_EQ(grid->CellAt({160, 10}), 9);

    // The frame follows the scroll bar: rows 2 and 3 on top.
    const QImage frame = Shot(grid);
    EXPECT_TRUE(Near(frame.pixel(75, 75), ColourOf(8)));
    EXPECT_TRUE(Near(frame.pixel(525, 75), ColourOf(11)));
    EXPECT_TRUE(Near(frame.pixel(75, 225), BackgroundColour));
}

TEST_F(ThumbGrid, TheWheelScrollsAndTheTitleShowsAsATipOverItsThumbnail) {
    WriteThumbnails(12);
    TThumbGrid* grid = Grid(600, 300);
    QScrollBar* bar = grid->ScrollBar1();
    ASSERT_EQ(bar->maximum(), 300);
    const auto wheel = [&](int delta) {
        QWheelEvent event(QPointF(10, 10), QPointF(grid->mapToGlobal(QPoint(10, 10))), QPoint(),
                          QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(grid, &event);
        return bar->value();
    };
    EXPECT_EQ(wheel(120), 0); // not above the top
    EXPECT_EQ(wheel(-120), 50);
    EXPECT_EQ(wheel(-60), 75);
    EXPECT_EQ(wheel(-120 * 3), 225);
    EXPECT_EQ(wheel(-120 * 9), 300); // not below the end
    EXPECT_TRUE(Near(grid->Frame().pixel(75, 75), ColourOf(8)));

    grid->TitleOf = [](int cell) {
        return cell == 9 ? QString() : QStringLiteral("Cell %1").arg(cell);
    };
    // The tip shown at a point; one that goes fades out after a while.
    const auto tip = [&](QPoint at) {
        QHelpEvent event(QEvent::ToolTip, at, grid->mapToGlobal(at));
        QCoreApplication::sendEvent(grid, &event);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    const auto noTip = [&](QPoint at) {
        tip(at);
        return QTest::qWaitFor([] { return !QToolTip::isVisible(); });
    };
    EXPECT_TRUE(noTip({160, 10})); // a thumbnail without a title
    EXPECT_EQ(tip({10, 10}), QStringLiteral("Cell 8"));
    EXPECT_TRUE(noTip({10, 160})); // below the last thumbnail
    EXPECT_EQ(tip({460, 10}), QStringLiteral("Cell 11"));
    QToolTip::hideText();
}

TEST_F(ThumbGrid, AScrollLetsPendingEventsRunThenDrawsTheLatestPosition) {
    WriteThumbnails(12);
    TThumbGrid* grid = Grid(600, 300);
    QScrollBar* bar = grid->ScrollBar1();
    // A move that was waiting: drawn by the scroll that let it run, at its position.
    QMetaObject::invokeMethod(
        bar, [bar] { bar->setValue(300); }, Qt::QueuedConnection);
    bar->setValue(150);
    EXPECT_TRUE(Near(grid->Frame().pixel(75, 75), ColourOf(8)));
    // Another edition's grid made meanwhile: the old one goes once its scroll has returned.
    const QPointer<TThumbGrid> old(grid);
    QMetaObject::invokeMethod(
        Panel8, [this] { CreateThumbGrid(Panel8); }, Qt::QueuedConnection);
    bar->setValue(0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(old.isNull());
    EXPECT_EQ(Panel8->findChildren<TThumbGrid*>().size(), 1);
    EXPECT_EQ(Panel8->findChildren<QScrollBar*>().size(), 1);
}

TEST_F(ThumbGrid, TheCacheDropsTheFirstDecodedAfterFifty) {
    WriteThumbnails(60, 8, 8);
    TThumbnailData data;
    data.Reload(Book);
    TThumbGrid* grid = Grid(750, 1500); // rows 0..9: cells 0..49
    grid->DrawFrame();
    EXPECT_EQ(grid->CachedCount(), 50);
    // Cells 0..4 drawn again: a hit does not make them younger.
    Panel8->resize(750 + ScrollBarWidth, 150);
    grid->DrawFrame();
    // Row 10 comes in: cells 50..54 take the places of the first five decoded.
    grid->ScrollBar1()->setValue(1500);
    grid->DrawFrame();
    const std::vector<std::int64_t> cached = grid->CachedOffsets();
    ASSERT_EQ(cached.size(), 50u);
    EXPECT_EQ(cached.front(), data.Offset(5));
    EXPECT_EQ(cached.back(), data.Offset(54));
    EXPECT_TRUE(Near(grid->Frame().pixel(75, 75), ColourOf(50)));
    // A reload keeps the cache.
    grid->ReloadGrid();
    EXPECT_EQ(grid->CachedCount(), 50);
    grid->ClearCache();
    EXPECT_EQ(grid->CachedCount(), 0);
}

TEST_F(ThumbGrid, AReloadReadsOnlyWhatChanged) {
    WriteThumbnails(3);
    TThumbGrid* grid = Grid(450, 300);
    grid->ScrollBar1()->setValue(10);
    {
        // Nothing changed: nothing is read, and the frame is whole.
        TFaultFileSystem faults;
        for (const char* file : {"Data2.dat", "PosID2.dat", "text.bmp"})
            faults.FailOpen(file);
        const TFileSystemScope scope(faults);
        grid->ReloadGrid();
        EXPECT_EQ(grid->ScrollBar1()->value(), 10);
        const QImage frame = Shot(grid);
        EXPECT_TRUE(Near(frame.pixel(375, 75), ColourOf(2)));
        EXPECT_TRUE(Near(frame.pixel(155, 5), BackgroundColour));

        // A changed file that cannot be read: the error names it, the grid keeps its data.
        WriteThumbnails(5, 100, 80, {}, 7);
        ExpectThrowContaining<EStreamError>([&] { grid->ReloadGrid(); }, {"PosID2.dat"});
        EXPECT_EQ(grid->Count(), 3);
        EXPECT_TRUE(Near(Shot(grid).pixel(375, 75), ColourOf(2)));
    }
    // Readable again: the new thumbnails, not the cached old ones.
    grid->ReloadGrid();
    EXPECT_EQ(grid->Count(), 5);
    EXPECT_TRUE(Near(Shot(grid).pixel(75, 75), ColourOf(7)));

    // A background that no longer decodes, then none at all: cells without background.
    WriteWholeFile(Temp.Path() / "Skins" / "text.bmp", "BM broken");
    grid->ReloadGrid();
    EXPECT_EQ(Shot(grid).pixel(5, 5), qRgb(0, 0, 0));
    FileSystem().Remove(Temp.Path() / "Skins" / "text.bmp");
    grid->ReloadGrid();
    EXPECT_EQ(Shot(grid).pixel(5, 5), qRgb(0, 0, 0));
}

TEST_F(ThumbGrid, MissingThumbnailFilesAreReported) {
    TThumbGrid* grid = CreateThumbGrid(Panel8);
    ExpectThrowContaining<EStreamError>([&] { grid->Load(AppFolder(), Book); }, {"PosID2.dat"});
    WriteThumbnails(2);
    FileSystem().Remove(Book / "PicData" / "Data2.dat");
    ExpectThrowContaining<EStreamError>([&] { grid->ReloadGrid(); }, {"Data2.dat"});
}
