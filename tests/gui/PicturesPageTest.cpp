// The page "Иллюстрации" of the main window: the title tree and list from the catalogue, the
// thumbnail grid's hover and press, the disc lookup and prompt, and the picture links of pages.
#include "ReaderFixture.h"

#include "common/BmpFile.h"
#include "common/JpegCodec.h"
#include "platform/PlatformFakes.h"
#include "reader/media/qt/PreviewUnit.h"
#include "reader/media/qt/ThumbGrid.h"
#include "reader/media/qt/insertUnit.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

using namespace quarto;
using namespace quarto::test;

namespace {

std::string Jpeg(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    TDibPicture picture = BlankPicture(width, height);
    for (std::size_t i = 0; i < picture.Pixels.size(); i += 3)
        picture.Pixels[i] = r, picture.Pixels[i + 1] = g, picture.Pixels[i + 2] = b;
    return EncodeJpeg(picture);
}

// An edition with three pictures under two headings; the pages link them.
TFiles PicturesEdition(const std::string& key) {
    TFiles files = SampleEdition(key, "Pictures=1\n");
    files.push_back({"pictures.txt", "= Звёзды\n= Луна\n"
                                     "1 orion.jpg Орион@Зимнее созвездие\n"
                                     "1 lyra.jpg Лира\n"
                                     "2 moon.jpg Луна@Полнолуние\n"});
    files.push_back({"pictures/orion.jpg", Jpeg(400, 300, 200, 40, 40)});
    files.push_back({"pictures/lyra.jpg", Jpeg(300, 400, 40, 200, 40)});
    files.push_back({"pictures/moon.jpg", Jpeg(200, 200, 40, 40, 200)});
    files.push_back({"Base/side.jpg", Jpeg(100, 50, 250, 250, 250)});
    return files;
}

class PicturesPage : public ::testing::Test {
protected:
    TReader Reader;
    TFakeDiscDrivesState Drives;
    std::string Book;

    void Start(const std::string& folder = "Sky", const std::string& key = "Sky") {
        Book = Reader.App.AddEdition(folder, PicturesEdition(key));
        Reader.Start();
        Form1->DiscDrives = std::make_unique<TFakeDiscDrives>(Drives);
    }
    // Moves the edition's full pictures into a disc folder, as a disc holds them.
    std::string MovePicturesToDisc(const std::string& key = "Sky") {
        const std::string disc = Reader.App.Folder() + "disc";
        CreateFolders(disc + "/Books/" + key);
        FileSystem().Rename(Book + "/Pictures", disc + "/Books/" + key + "/Pictures");
        return disc;
    }
    static int PictureWidth() { return PreviewForm->Picture.Width; }
    // Answers the disc prompt with one of its buttons once it is shown.
    void AnswerPrompt(bool inserted, std::function<void()> before = {}) {
        QTimer::singleShot(0, [inserted, before] {
            ASSERT_TRUE(insertForm->isVisible());
            if (before)
                before();
            (inserted ? insertForm->FlatSpeedButton1 : insertForm->FlatSpeedButton2)->click();
        });
    }
};

} // namespace

TEST_F(PicturesPage, TheCatalogueFillsTheTreeTheListAndTheGrid) {
    Start();
    auto* tree = TReader::Find<QTreeWidget>("TitleTree");
    ASSERT_EQ(tree->topLevelItemCount(), 2);
    EXPECT_EQ(tree->topLevelItem(0)->text(0), QString::fromUtf8("Звёзды"));
    ASSERT_EQ(tree->topLevelItem(0)->childCount(), 2);
    EXPECT_EQ(tree->topLevelItem(0)->child(1)->text(0), QString::fromUtf8("Лира"));
    EXPECT_EQ(tree->topLevelItem(1)->child(0)->data(0, Qt::UserRole).toInt(), 2);
    EXPECT_EQ(Form1->ListBox2->count(), 3);
    EXPECT_FALSE(Form1->ListBox2->isVisible());
    ASSERT_NE(Form1->ThumbGrid, nullptr);
    EXPECT_EQ(Form1->ThumbGrid->Count(), 3);

    // Activating the page brings the grid's panel forward.
    Form1->PageControl1->setCurrentWidget(Form1->TabSheet2);
    EXPECT_TRUE(Form1->Panel8->isVisible());
    EXPECT_FALSE(Form1->Panel6->isVisible());
    EXPECT_TRUE(Reader.Messages.empty());
}

TEST_F(PicturesPage, HoverShowsTheTitleAndAPressOpensThePicture) {
    Start();
    Form1->ThumbGrid->OnHover(1);
    EXPECT_EQ(Form1->windowTitle(), QString::fromUtf8("Лира"));
    EXPECT_EQ(Form1->ThumbGrid->TitleOf(1), QString::fromUtf8("Лира")); // its tool tip
    Form1->ThumbGrid->OnPress(2);
    EXPECT_EQ(Form1->ListBox2->currentRow(), 2);
    EXPECT_EQ(Form1->windowTitle(), QString::fromUtf8("Луна"));
    EXPECT_EQ(PreviewForm->windowTitle(), QString::fromUtf8("Луна"));
    EXPECT_TRUE(PreviewForm->isVisible());
    EXPECT_EQ(PictureWidth(), 200);
    EXPECT_EQ(PreviewForm->findChild<QWidget*>("Memo1")->height(), 90);

    // From the tree: a heading does nothing, an entry opens its picture.
    auto* tree = TReader::Find<QTreeWidget>("TitleTree");
    Form1->TitleTreeDblClick(tree->topLevelItem(0));
    EXPECT_EQ(PictureWidth(), 200);
    Form1->TitleTreeDblClick(tree->topLevelItem(0)->child(0));
    EXPECT_EQ(PictureWidth(), 400);
    EXPECT_EQ(Form1->ListBox2->currentRow(), 0);
    EXPECT_EQ(PreviewForm->windowTitle(), QString::fromUtf8("Орион"));
}

TEST_F(PicturesPage, AMissingPictureAsksForTheDisc) {
    Start();
    const std::string disc = MovePicturesToDisc();
    // Not found: the prompt; "Отмена" leaves the viewer as it was.
    AnswerPrompt(false);
    Form1->ThumbGrid->OnPress(1);
    EXPECT_EQ(PictureWidth(), 0);
    EXPECT_FALSE(insertForm->isVisible());
    EXPECT_EQ(insertForm->Label1->text(), QString::fromUtf8("Книга - Часть"));

    // "Уже вставлен" before the disc is there keeps asking; once it is, the picture opens.
    AnswerPrompt(true, [&] {
        insertForm->FlatSpeedButton1->click();
        EXPECT_TRUE(insertForm->isVisible());
        Drives.Folders = {disc};
    });
    Form1->ThumbGrid->OnPress(1);
    EXPECT_EQ(PictureWidth(), 300);

    // With the disc named, the pictures are found there without asking; an open tray is
    // skipped without looking at the drive's files.
    Drives.Drives = {disc};
    Drives.OpenTrays = {disc};
    Drives.Folders.clear();
    AnswerPrompt(false);
    Form1->TitleTreeDblClick(TReader::Find<QTreeWidget>("TitleTree")->topLevelItem(1)->child(0));
    EXPECT_EQ(PictureWidth(), 300);
    EXPECT_EQ(Form1->windowTitle(), QString::fromUtf8("Луна"));
    Drives.OpenTrays.clear();
    Form1->TitleTreeDblClick(TReader::Find<QTreeWidget>("TitleTree")->topLevelItem(1)->child(0));
    EXPECT_EQ(PictureWidth(), 200);
}

TEST_F(PicturesPage, PictureLinksOpenTheViewer) {
    // The edition's folder is not named after its key, so that the edition's "Pictures" and
    // "Books\KEY\Pictures" beside the reader are different places.
    Start("Folder", "Sky");
    const std::string disc = MovePicturesToDisc();
    Drives.Folders = {disc};
    CreateFolders(Book + "/Pictures");
    WriteWholeFile(Book + "/Pictures/p1.jpg", Jpeg(64, 32, 0, 0, 0));
    CreateFolders(Book + "/Base/pictures");
    WriteWholeFile(Book + "/Base/pictures/p2.jpg", Jpeg(48, 32, 0, 0, 0));
    CreateFolders(Reader.App.Folder() + "Pictures");
    WriteWholeFile(Reader.App.Folder() + "Pictures/p1.jpg", Jpeg(80, 32, 0, 0, 0));
    const struct {
        const char* Target;
        int Width; // of the picture shown; 0: nothing shown
    } cases[] = {
        {"../Pictures/p1.jpg", 64},      // the edition's Pictures
        {"../Pictures/ORION.JPG", 400},  // not there: on the disc, by its name
        {"side.jpg", 100},               // beside the page
        {"p1.jpg", 0},                   // a bare name: only Base, then the discs
        {"pictures/p2.jpg", 48},         // small p: below Base
        {"pictures/moon.jpg", 200},      // not there: the disc
        {"../../../Pictures/p1.jpg", 0}, // outside the edition, and the discs know no p1
        {"nowhere.jpg", 0},
    };
    for (const auto& c : cases) {
        PreviewForm->Picture = TDibPicture();
        PreviewForm->hide();
        bool handled = false;
        Form1->HTMLViewer1HotSpotClick(c.Target, handled);
        EXPECT_TRUE(handled) << c.Target;
        EXPECT_EQ(PictureWidth(), c.Width) << c.Target;
        EXPECT_EQ(PreviewForm->isVisible(), c.Width > 0) << c.Target;
        if (c.Width > 0) {
            EXPECT_EQ(PreviewForm->windowTitle(), QString::fromUtf8("Иллюстрации")) << c.Target;
        }
    }
    EXPECT_FALSE(insertForm->isVisible());
    // A clip stays with the view until the video window comes.
    bool handled = false;
    Form1->HTMLViewer1HotSpotClick("video_1/clip.avi", handled);
    EXPECT_FALSE(handled);
}

TEST_F(PicturesPage, TheSlideShowEndsWithTheEditionAndWhenALinkOpensAPicture) {
    Reader.Add("Zed", "Zed");
    Start();
    const auto startShow = [] {
        Form1->ThumbGrid->OnPress(0);
        PreviewForm->FlatSpeedButton6->click();
        ASSERT_TRUE(PreviewForm->SlideShowOn);
        ASSERT_TRUE(PreviewForm->Timer1->isActive());
    };
    // Left running, it would step through this edition's catalogue with the next one's disc.
    startShow();
    Form1->ComboBox1->setCurrentIndex(1);
    emit Form1->ComboBox1->activated(1);
    ASSERT_EQ(Form1->CurrentBook, 1);
    EXPECT_FALSE(PreviewForm->SlideShowOn);
    EXPECT_FALSE(PreviewForm->Timer1->isActive());
    EXPECT_FALSE(PreviewForm->isVisible());

    Form1->ComboBox1->setCurrentIndex(0);
    emit Form1->ComboBox1->activated(0);
    startShow();
    bool handled = false;
    Form1->HTMLViewer1HotSpotClick("side.jpg", handled);
    EXPECT_EQ(PictureWidth(), 100);
    EXPECT_FALSE(PreviewForm->SlideShowOn);
    EXPECT_FALSE(PreviewForm->Timer1->isActive());
    EXPECT_TRUE(Reader.Messages.empty());
}

TEST_F(PicturesPage, APictureThatDoesNotDecodeIsSaidSoNeverShownAsTheOneBefore) {
    Start();
    WriteWholeFile(Book + "/Base/broken.jpg", "not a picture");
    WriteWholeFile(Book + "/Pictures/lyra.jpg", Jpeg(300, 400, 0, 0, 0).substr(0, 40));
    const struct {
        const char* Name;
        std::function<void()> Open;
    } cases[] = {
        {"broken.jpg",
         [] {
             bool handled = false;
             Form1->HTMLViewer1HotSpotClick("broken.jpg", handled);
         }},
        {"lyra.jpg", [] { Form1->ThumbGrid->OnPress(1); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Form1->ThumbGrid->OnPress(0);
        ASSERT_EQ(PictureWidth(), 400);
        c.Open();
        EXPECT_EQ(PictureWidth(), 0);
        EXPECT_TRUE(PreviewForm->isVisible());
        EXPECT_TRUE(PreviewForm->Notice.contains(QString::fromUtf8(c.Name)));
        EXPECT_FALSE(PreviewForm->Notice.contains(QString::fromUtf8(Book)));
        EXPECT_TRUE(PreviewForm->FlatSpeedButton3->isHidden());
    }
    // The next picture that decodes takes the notice's place.
    Form1->ThumbGrid->OnPress(2);
    EXPECT_EQ(PictureWidth(), 200);
    EXPECT_TRUE(PreviewForm->Notice.isEmpty());
}

TEST(PicturesPageData, MissingThumbnailDataIsReportedOnceByNameAndNotFromARepaint) {
    for (const char* missing : {"Data2.dat", "PosID2.dat"}) {
        SCOPED_TRACE(missing);
        TReader reader;
        const std::string book = reader.App.AddEdition("Sky", PicturesEdition("Sky"));
        FileSystem().Remove(PicDataPath(book, missing));
        bool painting = false;
        MessageBoxHook = [&](const QString&, const QString& text) {
            reader.Messages.push_back({QString(), text});
            EXPECT_FALSE(painting);
        };
        reader.Start();
        ASSERT_EQ(reader.Messages.size(), 1u);
        EXPECT_TRUE(reader.Messages[0].Text.contains(QString::fromUtf8(missing)));
        EXPECT_FALSE(reader.Messages[0].Text.contains(QString::fromUtf8(book)));
        painting = true;
        Form1->repaint();
        Form1->resize(Form1->width() + 40, Form1->height());
        QCoreApplication::processEvents();
        Form1->repaint();
        painting = false;
        Form1->PageControl1->setCurrentWidget(Form1->TabSheet2);
        EXPECT_EQ(reader.Messages.size(), 1u);
    }
}
