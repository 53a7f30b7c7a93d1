// The skin face on a window of its own: presses run the wearer's commands by mask colour, and
// a skin folder that cannot be read leaves the face in use whole.
#include "ReaderFixture.h"
#include "SkinFixture.h"

#include "common/ByteStream.h"
#include "common/EditionLayout.h"
#include "reader/skin/qt/SkinFace.h"

#include <QLabel>
#include <QTreeWidget>

#include <string>
#include <vector>

using namespace quarto;
using namespace quarto::test;

namespace {

// Notes the commands the face runs.
class TCommandLog final : public TSkinCommands {
public:
    std::vector<std::string> Ran;
    void SkinExit() override { Ran.push_back("exit"); }
    void SkinMinimise() override { Ran.push_back("minimise"); }
    void SkinSettings(int x, int y) override {
        Ran.push_back("settings " + std::to_string(x) + "," + std::to_string(y));
    }
    void SkinCopy() override { Ran.push_back("copy"); }
    void SkinPrint() override { Ran.push_back("print"); }
    void SkinPrevious() override { Ran.push_back("previous"); }
    void SkinNext() override { Ran.push_back("next"); }
    void SkinAbout() override { Ran.push_back("about"); }
};

// A plain window wearing a face, with two panes and a tree.
struct TFacedWindow {
    QWidget Window;
    TCommandLog Log;
    TSkinFace Face{Window, Log};
    QWidget* Left;
    QWidget* Right;
    QTreeWidget* Tree;

    explicit TFacedWindow(TSkinStyle style = TSkinStyle::Builtin) {
        Window.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
        Face.CreatePictures();
        Left = new QWidget(&Window);
        Right = new QWidget(&Window);
        Tree = new QTreeWidget(Left);
        Face.CreateHintPanel()->hide();
        Face.SetPanes(Left, Right, Tree);
        const TSkinPictures skin = PaintSkin(style);
        Face.Apply(skin.Face, skin.Mask, skin.Data);
        Window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&Window));
    }
    std::map<TSkinRegion, QPoint> Points() const {
        return RegionPointsOf([this](int x, int y) { return Face.RegionAt(x, y); }, Window.size());
    }
    // The layout the face gave the window, its panes and the tree.
    std::vector<QRect> Layout() const {
        return {QRect(QPoint(), Window.size()), Left->geometry(), Right->geometry(),
                Face.Picture()->geometry(), Face.MaskPicture()->geometry()};
    }
};

void Press(QWidget* picture, QPoint at, Qt::MouseButton button) {
    SendMouse(picture, QEvent::MouseButtonPress, at, button);
    SendMouse(picture, QEvent::MouseButtonRelease, at, button);
}

} // namespace

TEST(SkinFace, PressesRunTheWearersCommandsByColourWithEitherButton) {
    TFacedWindow w;
    const auto points = w.Points();
    ASSERT_EQ(points.size(), 9u);
    const QPoint settings = points.at(TSkinRegion::Settings);
    struct TCase {
        TSkinRegion Region;
        std::vector<std::string> Ran;
    };
    const TCase cases[] = {
        {TSkinRegion::Exit, {"exit"}},
        {TSkinRegion::Minimise, {"minimise"}},
        {TSkinRegion::Settings, // at the press point
         {"settings " + std::to_string(settings.x()) + "," + std::to_string(settings.y())}},
        {TSkinRegion::Copy, {"copy"}},
        {TSkinRegion::Print, {"print"}},
        {TSkinRegion::Previous, {"previous"}},
        {TSkinRegion::Next, {"next"}},
        {TSkinRegion::About, {"about"}},
        {TSkinRegion::Move, {}}, // the face's own: it drags the window
    };
    for (const Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
        for (const TCase& c : cases) {
            SCOPED_TRACE(std::to_string(static_cast<int>(c.Region)) + " button " +
                         std::to_string(button));
            w.Log.Ran.clear();
            Press(w.Face.Picture(), points.at(c.Region), button);
            EXPECT_EQ(w.Log.Ran, c.Ran);
        }
    }
    // Behind the panes the mask has a colour of no command: a press there runs nothing.
    const QPoint inert = w.Left->geometry().center();
    EXPECT_EQ(w.Face.RegionAt(inert.x(), inert.y()), nullptr);
    w.Log.Ran.clear();
    Press(w.Face.Picture(), inert, Qt::LeftButton);
    EXPECT_TRUE(w.Log.Ran.empty());
}

TEST(SkinFace, ASkinFolderIsWornWholeOrNotAtAll) {
    const TSkinPictures demo = PaintSkin(TSkinStyle::Demo);
    struct TCase {
        const char* Name;
        const char* Damaged;  // the file spoilt, or null for a whole skin
        const char* Bytes;    // what it then holds; null: it is removed
        const char* Reported; // the file the error names, or null
    };
    const TCase cases[] = {
        {"whole", nullptr, nullptr, nullptr},
        {"no face", "main.bmp", nullptr, Layout::SkinFace},
        {"no mask", "mask.bmp", nullptr, Layout::SkinMask},
        {"face no picture", "main.bmp", "BM??", Layout::SkinFace},
        {"mask no picture", "mask.bmp", "BM??", Layout::SkinMask},
        {"empty mask", "mask.bmp", "", Layout::SkinMask},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TTempFolder temp;
        const std::string skin = temp.Path();
        WriteSkinFolder(skin, demo);
        if (c.Damaged && c.Bytes)
            WriteWholeFile(JoinPath(skin, c.Damaged), c.Bytes);
        else if (c.Damaged)
            FileSystem().Remove(JoinPath(skin, c.Damaged));
        TFacedWindow w;
        const std::vector<QRect> before = w.Layout();
        const std::string folder = skin + "/";
        if (!c.Reported) {
            w.Face.Load(folder);
            EXPECT_EQ(w.Window.size(), demo.Face.size());
            EXPECT_EQ(w.Left->geometry(),
                      QRect(demo.Data.X1, demo.Data.Y1, demo.Data.W1, demo.Data.H1));
            EXPECT_EQ(w.Right->geometry(),
                      QRect(demo.Data.X2, demo.Data.Y2, demo.Data.W2, demo.Data.H2));
            EXPECT_EQ(w.Face.Picture()->Picture().size(), demo.Face.size());
            EXPECT_EQ(w.Points().size(), 9u);
            continue;
        }
        try {
            w.Face.Load(folder);
            ADD_FAILURE() << "no error";
        } catch (const EStreamError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "Не удалось открыть файл \"" + LayoutPath(folder, c.Reported) + "\".");
        }
        EXPECT_EQ(w.Layout(), before);
        EXPECT_EQ(w.Face.Picture()->Picture().size(), QSize(800, 600));
        EXPECT_EQ(w.Points().size(), 9u);
    }
}
