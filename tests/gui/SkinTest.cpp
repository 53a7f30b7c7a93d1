// The skin: hover hints and presses by mask colour, and loading an edition's own skin.
#include "ReaderFixture.h"
#include "SkinFixture.h"

#include "reader/core/qt/PageTabs.h"

#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextEdit>
#include <QTreeWidget>

#include <map>

using namespace quarto;
using namespace quarto::test;

namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// A point of each command colour of the mask in use, found by scanning the window.
std::map<TSkinRegion, QPoint> RegionPoints() {
    return RegionPointsOf([](int x, int y) { return Form1->RegionAt(x, y); }, Form1->size());
}

// A point of the mask with a colour that is no command (behind the panes).
QPoint InertPoint() {
    for (int y = 0; y < Form1->height(); ++y)
        for (int x = 0; x < Form1->width(); ++x)
            if (!Form1->RegionAt(x, y))
                return {x, y};
    return {-1, -1};
}

// Writes a painted skin as an edition's Skins/1 folder.
void WriteSkin(const std::string& bookFolder, const TSkinPictures& skin) {
    WriteSkinFolder(EditionSkinFolderOf(bookFolder), skin);
}

} // namespace

TEST(Skin, TheBuiltInFaceHasEveryCommandAndItsLayout) {
    TReader r;
    r.Add("1", "One");
    r.Start();
    EXPECT_EQ(Form1->size(), QSize(800, 600));
    EXPECT_EQ(TReader::Find<QFrame>("Panel2")->geometry(), QRect(0, 80, 169, 233));
    EXPECT_EQ(TReader::Find<QFrame>("Panel1")->geometry(), QRect(520, 336, 249, 193));
    EXPECT_EQ(TReader::Find<QTreeWidget>("TreeView")->palette().color(QPalette::Base),
              QColor(168, 165, 140));
    EXPECT_EQ(RegionPoints().size(), 9u);
}

TEST(Skin, EveryTabShownStaysWholeInSightInEitherFacesLeftPane) {
    TReader r;
    r.Add("1", "All", "Pictures=1\nMusic=1\nAudio=1\nVideo=1\n");
    const std::string skinned = r.Add("2", "Skinned", "Pictures=1\nMusic=1\nAudio=1\nVideo=1\n");
    WriteSkin(skinned, PaintSkin(TSkinStyle::Demo));
    r.Add("3", "Plain");
    r.Start();
    auto* tabs = TReader::Find<QTabWidget>("PageControl1");
    auto* strip = TReader::Find<TPageTabs>("PageTabs");
    auto* pane = TReader::Find<QFrame>("Panel2");
    const auto pick = [](int index) {
        auto* box = TReader::Find<QComboBox>("ComboBox1");
        box->setCurrentIndex(index);
        emit box->activated(index);
    };
    const auto check = [&](int rows) {
        pane->layout()->activate();
        EXPECT_EQ(strip->Rows(), rows);
        EXPECT_TRUE(pane->rect().contains(strip->geometry()));
        for (int i = 0; i < tabs->count(); ++i) {
            SCOPED_TRACE(tabs->tabText(i).toStdString());
            if (!tabs->isTabVisible(i)) {
                EXPECT_TRUE(strip->TabRect(i).isEmpty());
                continue;
            }
            const QRect tab = strip->TabRect(i);
            EXPECT_TRUE(strip->rect().contains(tab));
            EXPECT_EQ(strip->ShownCaption(i), tabs->tabText(i)); // whole, never cut
            EXPECT_GE(tab.width(), strip->fontMetrics().horizontalAdvance(tabs->tabText(i)) + 4);
        }
    };
    check(4); // the built-in face's pane is 169 pixels wide
    pick(1);
    check(2); // the demo skin's 272
    // A press on a tab chooses its page, which stays in sight after an edition switch.
    const QPoint audio = strip->TabRect(tabs->indexOf(Form1->TabSheet5)).center();
    QTest::mouseClick(strip, Qt::LeftButton, {}, audio);
    EXPECT_EQ(tabs->currentWidget(), Form1->TabSheet5);
    pick(2);
    check(1);
    EXPECT_TRUE(strip->rect().contains(strip->TabRect(tabs->currentIndex())));
}

TEST(Skin, HoverShowsAndReplacesHints) {
    TReader r;
    r.Add("1", "One");
    r.Start();
    const auto points = RegionPoints();
    QWidget* image = TReader::Find<QWidget>("Image1");
    auto* hint = TReader::Find<QLabel>("Panel13");
    const auto hover = [&](QPoint p) { SendMouse(image, QEvent::MouseMove, p); };

    const QPoint copy = points.at(TSkinRegion::Copy);
    hover(copy);
    EXPECT_TRUE(hint->isVisible());
    EXPECT_EQ(hint->text(), U("Копировать в буфер"));
    EXPECT_EQ(hint->pos(), copy + QPoint(-10, 15));
    EXPECT_EQ(Form1->HintRegion, 3);
    EXPECT_EQ(image->cursor().shape(), Qt::PointingHandCursor);

    hover(copy + QPoint(1, 1)); // within the area the hint keeps its place
    EXPECT_EQ(hint->pos(), copy + QPoint(-10, 15));

    const QPoint print = points.at(TSkinRegion::Print);
    hover(print); // another area: the hint moves and changes
    EXPECT_EQ(hint->text(), U("Печатать"));
    EXPECT_EQ(hint->pos(), print + QPoint(-10, 15));
    EXPECT_EQ(Form1->HintRegion, 4);

    hover(InertPoint()); // an unlisted colour changes nothing
    EXPECT_TRUE(hint->isVisible());
    EXPECT_EQ(Form1->HintRegion, 4);

    hover(points.at(TSkinRegion::Minimise)); // hand pointer, the hint stays
    EXPECT_TRUE(hint->isVisible());
    EXPECT_EQ(image->cursor().shape(), Qt::PointingHandCursor);

    const QPoint exit = points.at(TSkinRegion::Exit);
    hover(exit);
    EXPECT_EQ(hint->text(), U("Выход"));
    EXPECT_EQ(hint->pos(), exit + QPoint(-40, 15));

    hover(points.at(TSkinRegion::Move)); // white hides it
    EXPECT_FALSE(hint->isVisible());
    EXPECT_EQ(Form1->HintRegion, 0);
    EXPECT_EQ(image->cursor().shape(), Qt::ArrowCursor);
}

TEST(Skin, PressesRunTheCommandsByColour) {
    TReader r;
    r.Add("1", "One");
    r.Start();
    const auto points = RegionPoints();
    QWidget* image = TReader::Find<QWidget>("Image1");
    const auto press = [&](TSkinRegion region, Qt::MouseButton button = Qt::LeftButton) {
        SendMouse(image, QEvent::MouseButtonPress, points.at(region), button);
        SendMouse(image, QEvent::MouseButtonRelease, points.at(region), button);
    };

    // Next and previous, any button.
    press(TSkinRegion::Next);
    EXPECT_EQ(Form1->CurrentArticle, 1);
    EXPECT_TRUE(TReader::Page().contains(U("Звезда светит")));
    press(TSkinRegion::Next, Qt::RightButton);
    EXPECT_EQ(Form1->CurrentArticle, 2);
    press(TSkinRegion::Previous);
    EXPECT_EQ(Form1->CurrentArticle, 1);

    // Copy puts the page on the clipboard.
    QApplication::clipboard()->clear();
    press(TSkinRegion::Copy, Qt::RightButton);
    EXPECT_TRUE(QApplication::clipboard()->text().contains(U("Звезда светит")));

    // Settings toggles the font panel at the press point.
    auto* panel = TReader::Find<QFrame>("Panel7");
    press(TSkinRegion::Settings);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->pos(), points.at(TSkinRegion::Settings) - QPoint(5, 5));
    press(TSkinRegion::Settings);
    EXPECT_FALSE(panel->isVisible());

    // About shows the edition's about page.
    press(TSkinRegion::About);
    EXPECT_TRUE(TReader::Page().contains(U("О книге One")));

    // The right button on white does not move the window; the left one does.
    const QPoint at = Form1->pos();
    const QPoint white = points.at(TSkinRegion::Move);
    SendMouse(image, QEvent::MouseButtonPress, white, Qt::RightButton);
    SendMouse(image, QEvent::MouseMove, white + QPoint(30, 20), Qt::RightButton);
    SendMouse(image, QEvent::MouseButtonRelease, white + QPoint(30, 20), Qt::RightButton);
    EXPECT_EQ(Form1->pos(), at);
    QCursor::setPos(image->mapToGlobal(white));
    SendMouse(image, QEvent::MouseButtonPress, white, Qt::LeftButton);
    SendMouse(image, QEvent::MouseMove, white + QPoint(30, 20), Qt::LeftButton);
    SendMouse(image, QEvent::MouseButtonRelease, white + QPoint(30, 20), Qt::LeftButton);
    EXPECT_EQ(Form1->pos(), at + QPoint(30, 20));

    // Minimise, then exit through the window's ordinary close.
    press(TSkinRegion::Minimise);
    EXPECT_TRUE(Form1->windowState() & Qt::WindowMinimized);
    Form1->showNormal();
    press(TSkinRegion::Exit);
    EXPECT_EQ(r.EndCount, 1);
    EXPECT_TRUE(r.Messages.empty());
}

TEST(Skin, AnEditionSkinReplacesTheFaceAndStaysAcrossEditionsWithout) {
    TReader r;
    r.Add("1", "Plain");
    const std::string skinned = r.Add("2", "Skinned");
    const TSkinPictures demo = PaintSkin(TSkinStyle::Demo);
    WriteSkin(skinned, demo);
    r.Start({"Skinned"});
    EXPECT_EQ(Form1->size(), demo.Face.size());
    EXPECT_EQ(TReader::Find<QFrame>("Panel2")->geometry(),
              QRect(demo.Data.X1, demo.Data.Y1, demo.Data.W1, demo.Data.H1));
    EXPECT_EQ(TReader::Find<QFrame>("Panel1")->geometry(),
              QRect(demo.Data.X2, demo.Data.Y2, demo.Data.W2, demo.Data.H2));
    EXPECT_EQ(RegionPoints().size(), 9u);

    // An edition without a skin keeps the one in use.
    auto* box = TReader::Find<QComboBox>("ComboBox1");
    box->setCurrentIndex(0);
    emit box->activated(0);
    EXPECT_EQ(Form1->CurrentBook, 0);
    EXPECT_EQ(Form1->size(), demo.Face.size());

    // A skin whose mask cannot be read is reported and changes nothing.
    FileSystem().Remove(LayoutPath(EditionSkinFolderOf(skinned), Layout::SkinMask));
    Guarded([&] { Form1->LoadSkin(skinned + "/Skins/1/"); });
    ASSERT_EQ(r.Messages.size(), 1u);
    EXPECT_TRUE(r.Messages[0].Text.contains("mask.bmp"));
    EXPECT_EQ(Form1->size(), demo.Face.size());
}

namespace {

// The points of a command area the hint is tried from: its middle and the pixels of its area
// furthest right and furthest down, where the hint is likeliest to pass the window's edge.
std::vector<QPoint> HintTryPoints(TSkinRegion region, QPoint middle) {
    std::vector<QPoint> points = {middle};
    QPoint right = middle, down = middle;
    for (int y = 0; y < Form1->height(); ++y)
        for (int x = 0; x < Form1->width(); ++x)
            if (const TSkinRegionInfo* info = Form1->RegionAt(x, y);
                info && info->Region == region) {
                if (x > right.x())
                    right = {x, y};
                if (y > down.y())
                    down = {x, y};
            }
    points.push_back(right);
    points.push_back(down);
    return points;
}

} // namespace

TEST(Skin, TheHintFitsItsTextAndStaysWholeInsideTheWindow) {
    for (const bool demoFace : {false, true}) {
        SCOPED_TRACE(demoFace ? "demo face" : "built-in face");
        TReader r;
        const std::string folder = r.Add("1", "One");
        if (demoFace)
            WriteSkin(folder, PaintSkin(TSkinStyle::Demo));
        r.Start();
        QWidget* image = TReader::Find<QWidget>("Image1");
        auto* hint = TReader::Find<QLabel>("Panel13");
        const QRect window(QPoint(0, 0), Form1->size());
        int moved = 0;
        const auto points = RegionPoints();
        for (const auto& [region, middle] : points) {
            const TSkinRegionInfo* info = Form1->RegionAt(middle.x(), middle.y());
            if (info->Hint.empty())
                continue;
            for (const QPoint at : HintTryPoints(region, middle)) {
                SCOPED_TRACE(std::string(info->Hint) + " at " + std::to_string(at.x()) + "," +
                             std::to_string(at.y()));
                SendMouse(image, QEvent::MouseMove, points.at(TSkinRegion::Move));
                SendMouse(image, QEvent::MouseMove, at);
                ASSERT_TRUE(hint->isVisible());
                EXPECT_EQ(hint->text(), U(std::string(info->Hint).c_str()));
                // The whole text with room around it, inside the window.
                const QFontMetrics metrics(hint->font());
                EXPECT_GE(hint->width(), metrics.horizontalAdvance(hint->text()) + 6);
                EXPECT_GE(hint->height(), metrics.height() + 2);
                EXPECT_GE(hint->width(), hint->sizeHint().width());
                EXPECT_TRUE(window.contains(hint->geometry())) << hint->geometry().x();
                // At the documented place, moved left or up only as far as the edge asks.
                const QPoint documented = at + QPoint(info->HintDx, info->HintDy);
                const QPoint expected(
                    std::max(0, std::min(documented.x(), window.width() - hint->width())),
                    std::max(0, std::min(documented.y(), window.height() - hint->height())));
                EXPECT_EQ(hint->pos(), expected);
                moved += expected != documented;
            }
        }
        EXPECT_GT(moved, 0) << "some hint would pass the edge: the case is tried";
    }
}

TEST(Skin, LeavingTheFaceForAPaneHidesTheHint) {
    TReader r;
    r.Add("1", "One");
    r.Start();
    QWidget* image = TReader::Find<QWidget>("Image1");
    auto* hint = TReader::Find<QLabel>("Panel13");
    const QPoint next = RegionPoints().at(TSkinRegion::Next);
    SendMouse(image, QEvent::MouseMove, next);
    ASSERT_TRUE(hint->isVisible());
    // The hint lets the mouse through to what lies below it.
    EXPECT_TRUE(hint->testAttribute(Qt::WA_TransparentForMouseEvents));
    // Straight from the button onto the text pane: the face hears it leave.
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(image, &leave);
    EXPECT_FALSE(hint->isVisible());
    EXPECT_EQ(Form1->HintRegion, 0);
    SendMouse(image, QEvent::MouseMove, next); // back on the button: the hint again
    EXPECT_TRUE(hint->isVisible());
    EXPECT_EQ(Form1->HintRegion, 5);
}
