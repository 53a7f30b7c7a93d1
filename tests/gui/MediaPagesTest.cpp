// The main window's music, audio and video: the page "Музыка" with its notice and the disc
// lookup, the audio and video lists, the player bar, the embedded player, and the video window
// playing the clip links of the pages. The players are fakes: what they were told is checked.
#include "ReaderFixture.h"

#include "common/Cp1251.h"
#include "platform/PlatformFakes.h"
#include "reader/core/qt/ErrorReport.h"
#include "reader/core/qt/PlayerBar.h"
#include "reader/media/qt/Unit3.h"
#include "reader/skin/SkinData.h"
#include "tools/MusicWriter.h"
#include "tools/SupplementWriter.h"

#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QSlider>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <stdexcept>

using namespace quarto;
using namespace quarto::test;

namespace {

std::vector<std::string> Lines1251(const std::vector<std::string>& lines) {
    std::vector<std::string> out;
    for (const std::string& line : lines)
        out.push_back(Utf8ToCp1251(line));
    return out;
}

TMusicEntry Track(std::uint8_t album, const std::string& title, const std::string& file) {
    TMusicEntry entry;
    entry.AlbumNumber = album;
    entry.AlbumTitle = Utf8ToCp1251("Альбом " + std::to_string(album));
    entry.TrackTitle = Utf8ToCp1251(title);
    entry.TrackFile = file;
    return entry;
}

class MediaPages : public ::testing::Test {
protected:
    TReader Reader;
    TFakeDiscDrivesState Drives;
    TFakeMediaState Media;
    TFakeVideoState Video;
    TFakeVideoState ClipVideo; // the video window's
    std::string Book;
    std::string Disc;

    // An edition with music, audio and video, and a disc folder (not yet in a drive).
    void Start(const std::string& options = "Music=1\nAudio=1\nVideo=1\n") {
        Book = Reader.Add("Sky", "Sky", options);
        WriteSupplementList(Lines1251({"Гимн", "hymn.wav", "Нет файла", "missing.wav", "Снаружи",
                                       "../outside.wav", "Лекция", "talk/Lecture.MP3"}),
                            Book, TSupplementKind::Audio);
        WriteFiles(
            Book,
            {{"Audio/hymn.wav", "wav"}, {"Audio/talk/lecture.mp3", "mp3"}, {"outside.wav", "wav"}});
        WriteSupplementList(
            Lines1251({"Комета", "comet.avi", "Затмение", "eclipse.avi", "Нет", "none.avi"}), Book,
            TSupplementKind::Video);
        WriteFiles(Book, {{"Video/comet.avi", "avi"},
                          {"Video/eclipse.avi", "avi"},
                          {"video_1/clip.avi", "avi"},
                          {"secret.avi", "avi"}});
        Disc = Reader.App.Folder() + "disc";
        CreateFolders(Disc);
        Reader.Start();
        Form1->DiscDrives = std::make_unique<TFakeDiscDrives>(Drives);
        Form1->MediaPlayerFactory = [this] { return std::make_unique<TFakeMediaPlayer>(Media); };
        Form1->VideoPlayerFactory = [this](QWidget*) {
            return std::make_unique<TFakeVideoPlayer>(Video);
        };
        Form3->VideoPlayerFactory = [this](QWidget*) {
            return std::make_unique<TFakeVideoPlayer>(ClipVideo);
        };
    }
    // Albums 1, 1, 2, 2, 1: three album nodes.
    static void WriteMusic(const std::string& root) {
        TMusicSet set;
        set.Records = {Track(1, "Вальс цветов", "walz"), Track(1, "Вальс снаружи", "../walz"),
                       Track(2, "Марш", "march"), Track(2, "Марш без файла", "nomarch"),
                       Track(1, "Снова вальс", "Again")};
        WriteMusicList(set, root);
    }
    static void ChoosePage(QWidget* page) {
        Form1->PageControl1->setCurrentIndex(0);
        Form1->PageControl1->setCurrentWidget(page);
    }
    static void DoubleClickTrack(int album, int track) {
        QTreeWidgetItem* node = Form1->fcTreeView2->topLevelItem(album);
        ASSERT_NE(node, nullptr);
        if (track >= 0)
            node = node->child(track);
        ASSERT_NE(node, nullptr);
        emit Form1->fcTreeView2->itemDoubleClicked(node, 0);
    }
    static void DoubleClickItem(QListWidget* list, int row) {
        list->setCurrentRow(row);
        emit list->itemDoubleClicked(list->item(row));
    }
    // What the bar's player was last given to open, relative to the reader's folder.
    std::string LastOpened() const {
        if (Media.Opened.empty())
            return "";
        const std::string& path = Media.Opened.back();
        const std::string app = Reader.App.Folder();
        return path.rfind(app, 0) == 0 ? path.substr(app.size()) : path;
    }
};

} // namespace

TEST_F(MediaPages, TheStartUpMakesNoPlayer) {
    Start();
    EXPECT_EQ(Form1->MediaPlayer1, nullptr);
    EXPECT_EQ(Form1->MediaPlayer_TLB31, nullptr);
    EXPECT_EQ(Form3->MediaPlayer_TLB31, nullptr);
    EXPECT_TRUE(Form1->Panel5->isVisible());
    // The pause button before anything was played does nothing.
    Form1->SpeedButton1->click();
    EXPECT_TRUE(Media.Calls.empty());
}

TEST_F(MediaPages, TracksPlayFromBesideTheReaderOrFromTheDisc) {
    Start();
    WriteMusic(Reader.App.Folder());
    WriteFiles(Reader.App.Folder(), {{"mp3/walz.mp3", "mp3"}, {"walz.mp3", "mp3"}});
    WriteFiles(Disc, {{"mp3/march.mp3", "mp3"}, {"mp3/AGAIN.Mp3", "mp3"}});
    Drives.Folders = {Disc};
    ChoosePage(Form1->TabSheet3);
    EXPECT_FALSE(Form1->Panel10->isVisible());
    ASSERT_EQ(Form1->fcTreeView2->topLevelItemCount(), 3);
    const int tracks[] = {2, 2, 1};
    for (int a = 0; a < 3; ++a)
        EXPECT_EQ(Form1->fcTreeView2->topLevelItem(a)->childCount(), tracks[a]) << a;
    EXPECT_EQ(Form1->fcTreeView2->topLevelItem(2)->text(0), QString::fromUtf8("Альбом 1"));

    const struct {
        int Album, Track;   // -1: the album node
        const char* Opened; // relative to the reader's folder; "": nothing played
    } cases[] = {
        {0, -1, ""},                  // an album
        {0, 0, "mp3/walz.mp3"},       // beside the reader
        {1, 0, "disc/mp3/march.mp3"}, // on the disc
        {0, 1, ""},                   // a name leading out of "mp3"
        {1, 1, ""},                   // nowhere
        {2, 0, "disc/mp3/AGAIN.Mp3"}, // letter case folded
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.Album) + "," + std::to_string(c.Track));
        Media.Opened.clear();
        Form1->Label4->setText("-");
        DoubleClickTrack(c.Album, c.Track);
        EXPECT_EQ(LastOpened(), c.Opened);
        if (*c.Opened) {
            EXPECT_EQ(Media.Mode, TMediaMode::Playing);
            EXPECT_EQ(Form1->Label4->text(),
                      Form1->fcTreeView2->topLevelItem(c.Album)->child(c.Track)->text(0));
        } else {
            EXPECT_EQ(Form1->Label4->text(), "-");
        }
    }
    EXPECT_TRUE(Reader.Messages.empty());
}

TEST_F(MediaPages, EnterPlaysTheSelectedTrackSoundOrClipAsADoubleClick) {
    Start();
    WriteMusic(Reader.App.Folder());
    WriteFiles(Reader.App.Folder(), {{"mp3/walz.mp3", "mp3"}});
    Form1->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form1));
    const auto enter = [](QWidget* list, Qt::Key key) {
        list->setFocus();
        QTest::keyClick(list, key);
    };
    ChoosePage(Form1->TabSheet3);
    Form1->fcTreeView2->setCurrentItem(Form1->fcTreeView2->topLevelItem(0)->child(0));
    enter(Form1->fcTreeView2, Qt::Key_Return);
    EXPECT_EQ(LastOpened(), "mp3/walz.mp3");
    EXPECT_EQ(Form1->Label4->text(), QString::fromUtf8("Вальс цветов"));

    ChoosePage(Form1->TabSheet5);
    Form1->ListBox3->setCurrentRow(0);
    enter(Form1->ListBox3, Qt::Key_Enter); // the keypad's
    EXPECT_EQ(LastOpened(), "Books/Sky/Audio/hymn.wav");

    ChoosePage(Form1->TabSheet6);
    Form1->ListBox4->setCurrentRow(1);
    enter(Form1->ListBox4, Qt::Key_Return);
    EXPECT_EQ(Video.FileName, Book + "/Video/eclipse.avi");

    // Elsewhere Enter plays nothing.
    const std::size_t opened = Media.Opened.size();
    ChoosePage(Form1->TabSheet4);
    enter(Form1->Edit1, Qt::Key_Return);
    EXPECT_EQ(Media.Opened.size(), opened);
    EXPECT_TRUE(Reader.Messages.empty());
}

TEST_F(MediaPages, WithoutTheMusicListTheNoticeAsksForADisc) {
    Start();
    ChoosePage(Form1->TabSheet3);
    EXPECT_TRUE(Form1->Panel10->isVisible());
    EXPECT_EQ(Form1->Label2->text(), QString::fromUtf8("\nДля прослушивания музыки, \n"
                                                       "вставьте любой диск из данной серии\n"
                                                       "и еще раз зайдите на вкладку\n'Музыка'"));
    EXPECT_EQ(Form1->fcTreeView2->topLevelItemCount(), 0);

    // The disc inserted, the page chosen again: the tree; the disc taken out: the notice over
    // the tree as it was.
    WriteMusic(Disc);
    Drives.Folders = {Disc};
    ChoosePage(Form1->TabSheet3);
    EXPECT_FALSE(Form1->Panel10->isVisible());
    EXPECT_EQ(Form1->fcTreeView2->topLevelItemCount(), 3);
    Drives.Folders.clear();
    ChoosePage(Form1->TabSheet3);
    EXPECT_TRUE(Form1->Panel10->isVisible());
    EXPECT_EQ(Form1->fcTreeView2->topLevelItemCount(), 3);
}

TEST_F(MediaPages, AudioItemsPlayFromTheEditionsAudioFolder) {
    Start();
    ASSERT_EQ(Form1->ListBox3->count(), 4);
    EXPECT_EQ(Form1->ListBox3->item(3)->text(), QString::fromUtf8("Лекция"));
    const struct {
        int Row;
        const char* Opened;
    } cases[] = {
        {0, "Books/Sky/Audio/hymn.wav"},
        {1, ""},                                // missing
        {2, ""},                                // outside "Audio"
        {3, "Books/Sky/Audio/talk/lecture.mp3"} // letter case folded
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Row);
        Media.Opened.clear();
        DoubleClickItem(Form1->ListBox3, c.Row);
        EXPECT_EQ(LastOpened(), c.Opened);
    }
    EXPECT_EQ(Form1->Label4->text(), QString::fromUtf8("Лекция"));

    // A file the player cannot open: the error report; the title stays.
    Media.Unplayable = {Book + "/Audio/hymn.wav"};
    DoubleClickItem(Form1->ListBox3, 0);
    ASSERT_EQ(Reader.Messages.size(), 1u);
    EXPECT_TRUE(Reader.Messages[0].Text.contains(QString::fromUtf8("«hymn.wav»")));
    EXPECT_FALSE(Reader.Messages[0].Text.contains(QString::fromUtf8(Book)));
    EXPECT_EQ(Form1->Label4->text(), QString::fromUtf8("Лекция"));
}

TEST_F(MediaPages, TheBarPausesAndResumesAndIsUpAfterEveryStart) {
    Start();
    DoubleClickItem(Form1->ListBox3, 0);
    ASSERT_EQ(Media.Mode, TMediaMode::Playing);
    EXPECT_EQ(Form1->Label4->text(), QString::fromUtf8("Гимн"));
    QToolButton* pause = Form1->SpeedButton1;
    pause->click();
    EXPECT_EQ(Media.Mode, TMediaMode::Paused);
    EXPECT_TRUE(pause->isChecked());
    pause->click();
    EXPECT_EQ(Media.Mode, TMediaMode::Playing);
    EXPECT_FALSE(pause->isChecked());

    // Another item started while paused plays, the button up.
    pause->click();
    DoubleClickItem(Form1->ListBox3, 3);
    EXPECT_EQ(Media.Mode, TMediaMode::Playing);
    EXPECT_FALSE(pause->isChecked());
    EXPECT_EQ(Media.Calls.back(), "Play");

    // Played to its end: the bar no longer shows it playing, and the button does nothing.
    FinishPlaying(Media);
    const std::size_t calls = Media.Calls.size();
    EXPECT_FALSE(pause->isChecked());
    EXPECT_NE(pause->toolTip(), QString::fromUtf8("Пауза"));
    pause->click();
    EXPECT_EQ(Media.Mode, TMediaMode::Stopped);
    EXPECT_EQ(Media.Calls.size(), calls);
    EXPECT_FALSE(pause->isChecked());
}

TEST_F(MediaPages, AClipPausesTheTrackOnTheBarAndTheBarPausesTheClip) {
    Start();
    DoubleClickItem(Form1->ListBox3, 0);
    ChoosePage(Form1->TabSheet6);
    DoubleClickItem(Form1->ListBox4, 0);
    EXPECT_EQ(Video.Mode, TMediaMode::Playing);
    // The bar goes on showing its own track, paused and resumable.
    EXPECT_EQ(Media.Mode, TMediaMode::Paused);
    EXPECT_EQ(Form1->Label4->text(), QString::fromUtf8("Гимн"));
    EXPECT_TRUE(Form1->SpeedButton1->isChecked());
    EXPECT_EQ(TReader::Find<QLabel>("VideoTitle")->text(), QString::fromUtf8("Комета"));

    Form1->SpeedButton1->click();
    EXPECT_EQ(Media.Mode, TMediaMode::Playing);
    EXPECT_EQ(Video.Mode, TMediaMode::Paused);
    // The clip started again with its own button: seen within a moment.
    Video.Mode = TMediaMode::Playing;
    QTest::qWait(700);
    EXPECT_EQ(Media.Mode, TMediaMode::Paused);
    EXPECT_TRUE(Form1->SpeedButton1->isChecked());
    // A track started from the list pauses the clip.
    DoubleClickItem(Form1->ListBox3, 3);
    EXPECT_EQ(Media.Mode, TMediaMode::Playing);
    EXPECT_EQ(Video.Mode, TMediaMode::Paused);
}

TEST_F(MediaPages, TheBarStaysWhilePlayingOrPausedInAnEditionWithoutSound) {
    Reader.Add("Zed", "Zed", "Video=1\n");
    Start();
    const auto choose = [](int index) {
        Form1->ComboBox1->setCurrentIndex(index);
        emit Form1->ComboBox1->activated(index);
    };
    choose(1);
    EXPECT_FALSE(Form1->Panel5->isVisible());
    choose(0);
    DoubleClickItem(Form1->ListBox3, 0);
    choose(1);
    EXPECT_TRUE(Form1->Panel5->isVisible());
    EXPECT_TRUE(Form1->SpeedButton1->isEnabled());
    Form1->SpeedButton1->click();
    EXPECT_EQ(Media.Mode, TMediaMode::Paused);
    EXPECT_TRUE(Form1->Panel5->isVisible());
    Form1->SpeedButton1->click();
    FinishPlaying(Media);
    EXPECT_FALSE(Form1->Panel5->isVisible());
    choose(0);
    EXPECT_TRUE(Form1->Panel5->isVisible());
    EXPECT_FALSE(Form1->SpeedButton1->isEnabled()); // nothing to pause or resume
}

TEST_F(MediaPages, AnEditionWithoutVideoStopsTheClipAndShowsItsText) {
    Reader.Add("Zed", "Zed");
    Start();
    ChoosePage(Form1->TabSheet6);
    DoubleClickItem(Form1->ListBox4, 0);
    ASSERT_EQ(Video.Mode, TMediaMode::Playing);
    Form1->ComboBox1->setCurrentIndex(1);
    emit Form1->ComboBox1->activated(1);
    EXPECT_EQ(Video.Mode, TMediaMode::Stopped);
    EXPECT_TRUE(Form1->Panel6->isVisible());
    EXPECT_FALSE(Form1->Panel12->isVisible());
}

TEST_F(MediaPages, TheBarShowsThePositionAndSetsItAndTheLoudness) {
    Start();
    Media.Duration = 125000;
    DoubleClickItem(Form1->ListBox3, 0);
    Media.Position = 61000;
    Form1->Panel5->ShowState();
    auto* position = Form1->findChild<QSlider*>("PlayerPosition");
    EXPECT_EQ(Form1->findChild<QLabel*>("PlayerTime")->text(), "1:01 / 2:05");
    EXPECT_EQ(position->maximum(), 125000);
    EXPECT_EQ(position->value(), 61000);
    position->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(Media.Calls.back(), "Seek 125000");
    Form1->findChild<QSlider*>("PlayerVolume")->setValue(30);
    EXPECT_EQ(Media.Volume, 30);
}

TEST_F(MediaPages, TheBarFitsTheNarrowPaneOfTheBuiltInFaceWithTheTimeWhole) {
    Start();
    Media.Duration = 59 * 60000 + 58000;
    DoubleClickItem(Form1->ListBox3, 3);
    Media.Position = 48 * 60000 + 38000;
    Form1->Panel5->ShowState();
    Form1->Label4->setText(QString::fromUtf8("Лекция о звёздах и планетах, долгая"));
    QFrame* bar = Form1->Panel5;
    bar->parentWidget()->layout()->activate();
    bar->layout()->activate();
    EXPECT_EQ(Form1->Panel1->width(), BuiltinSkinData.W2); // the pane as the face places it
    EXPECT_LE(bar->width(), Form1->Panel1->width());
    auto* time = bar->findChild<QLabel*>("PlayerTime");
    EXPECT_EQ(time->text(), "48:38 / 59:58");
    EXPECT_GE(time->width(), time->fontMetrics().horizontalAdvance(time->text()));
    // Every control lies whole inside the bar.
    for (const char* name : {"SpeedButton1", "PlayerTime", "PlayerPosition", "PlayerVolume"}) {
        auto* control = bar->findChild<QWidget*>(name);
        ASSERT_NE(control, nullptr) << name;
        EXPECT_TRUE(bar->contentsRect().contains(control->geometry())) << name;
        EXPECT_GE(control->width(), control->minimumSizeHint().width()) << name;
    }
    // The title keeps its text for the tip and the tests, cut where it is shown.
    EXPECT_EQ(Form1->Label4->text(), QString::fromUtf8("Лекция о звёздах и планетах, долгая"));
}

TEST_F(MediaPages, TheVideoPageLoadsTheEmbeddedPlayerAndKeepsItInFront) {
    Start();
    ASSERT_EQ(Form1->ListBox4->count(), 3);
    ChoosePage(Form1->TabSheet6);
    EXPECT_TRUE(Form1->Panel12->isVisible());
    EXPECT_FALSE(Form1->Panel6->isVisible());

    DoubleClickItem(Form1->ListBox4, 2); // no file: nothing
    EXPECT_EQ(Form1->MediaPlayer_TLB31, nullptr);
    DoubleClickItem(Form1->ListBox4, 1);
    EXPECT_EQ(Video.FileName, Book + "/Video/eclipse.avi");
    EXPECT_EQ(Video.Mode, TMediaMode::Playing);
    EXPECT_EQ(TReader::Find<QLabel>("VideoTitle")->text(), QString::fromUtf8("Затмение"));

    // "Поиск" leaves the player in front and playing; "Тексты" brings the text forward.
    Form1->PageControl1->setCurrentWidget(Form1->TabSheet4);
    EXPECT_TRUE(Form1->Panel12->isVisible());
    EXPECT_EQ(Video.Mode, TMediaMode::Playing);
    Form1->PageControl1->setCurrentWidget(Form1->TabSheet1);
    EXPECT_TRUE(Form1->Panel6->isVisible());
    EXPECT_EQ(Video.Mode, TMediaMode::Playing);
}

TEST_F(MediaPages, MissingOrOddListsGiveWhatTheyHoldAndTheSwitchCompletes) {
    Reader.Add("Zed", "Zed", "Audio=1\nVideo=1\n");
    Start();
    const std::string bare = Reader.App.Folder() + "Books/Zed";
    WriteSupplementList(Lines1251({"Один", "one.avi", "Без файла"}), bare, TSupplementKind::Video);
    Form1->ComboBox1->setCurrentIndex(1);
    emit Form1->ComboBox1->activated(1);
    EXPECT_EQ(Form1->CurrentBook, 1);
    EXPECT_EQ(Form1->ListBox3->count(), 0);
    EXPECT_EQ(Form1->ListBox4->count(), 1);
    EXPECT_TRUE(TReader::Page().contains("Zed"));
    EXPECT_TRUE(Reader.Messages.empty());
    // The empty page says why; the other holds its item.
    auto* audio = TReader::Find<QLabel>("AudioNotice");
    auto* video = TReader::Find<QLabel>("VideoNotice");
    ChoosePage(Form1->TabSheet5);
    EXPECT_TRUE(audio->isVisible());
    EXPECT_EQ(audio->text(),
              QString::fromUtf8("Список аудиоприложений не найден (Audio\\files.txt)."));
    EXPECT_TRUE(video->isHidden());

    WriteSupplementList({}, bare, TSupplementKind::Video);
    Form1->ComboBox1->setCurrentIndex(0);
    emit Form1->ComboBox1->activated(0);
    EXPECT_TRUE(audio->isHidden());
    Form1->ComboBox1->setCurrentIndex(1);
    emit Form1->ComboBox1->activated(1);
    EXPECT_EQ(
        video->text(),
        QString::fromUtf8("В списке видеоприложений нет ни одного пункта (Video\\files.txt)."));
}

TEST_F(MediaPages, AClipLinkPlaysInTheVideoWindowCentredAndStoppedOnClose) {
    Start();
    DoubleClickItem(Form1->ListBox3, 0);
    ClipVideo.LoadAtOnce = false;
    bool seen = false;
    QTimer::singleShot(0, [&] {
        seen = true;
        ASSERT_TRUE(Form3->isVisible());
        EXPECT_TRUE(Form3->isModal());
        EXPECT_EQ(Form3->windowTitle(), "Form3");
        EXPECT_EQ(ClipVideo.FileName, Book + "/video_1/clip.avi");
        FinishLoading(ClipVideo);
        const QRect screen = Form3->screen()->geometry();
        const QWidget* player = Form3->PlayerHost;
        EXPECT_EQ(player->size(), QSize(320, 240));
        EXPECT_EQ(Form3->pos(), QPoint(screen.width() / 2 - player->width() / 2,
                                       screen.height() / 2 - player->height() / 2));
        EXPECT_EQ(ClipVideo.Mode, TMediaMode::Playing);
        Form3->close();
    });
    bool handled = false;
    Form1->HTMLViewer1HotSpotClick("video_1/clip.avi", handled);
    EXPECT_TRUE(seen);
    EXPECT_TRUE(handled);
    EXPECT_FALSE(Form3->isVisible());
    EXPECT_EQ(ClipVideo.Mode, TMediaMode::Stopped);
    EXPECT_EQ(Media.Mode, TMediaMode::Paused); // the track waits on the bar

    // Left to the view: no folder in the link, no such clip, a name leading out of "video_1".
    ClipVideo.Calls.clear();
    for (const char* target : {"clip.avi", "video_1/none.avi", "video_1/..\\secret.avi"}) {
        handled = false;
        Form1->HTMLViewer1HotSpotClick(target, handled);
        EXPECT_FALSE(handled) << target;
    }
    EXPECT_TRUE(ClipVideo.Calls.empty());
}

namespace {

// A fake video player whose clip size and stopping fail while fail is set.
class TFailingVideoPlayer : public TFakeVideoPlayer {
public:
    TFailingVideoPlayer(TFakeVideoState& state, const bool& fail)
        : TFakeVideoPlayer(state), FFail(fail) {}
    TVideoSize VideoSize() const override {
        if (FFail)
            throw std::runtime_error("Видео повреждено");
        return TFakeVideoPlayer::VideoSize();
    }
    void Stop() override {
        if (FFail)
            throw std::runtime_error("Проигрыватель не остановлен");
        TFakeVideoPlayer::Stop();
    }

private:
    const bool& FFail;
};

} // namespace

TEST_F(MediaPages, AFailingHandlerOfTheVideoWindowIsReportedOnceAndTheWindowGoesOn) {
    Start();
    bool fail = true;
    Form3->VideoPlayerFactory = [&](QWidget*) {
        return std::make_unique<TFailingVideoPlayer>(ClipVideo, fail);
    };
    ClipVideo.LoadAtOnce = false;
    bool escaped = false;
    QTimer::singleShot(0, [&] {
        // The player tells the window directly, not through the application's event
        // notification: the report comes from the handler's own guard.
        try {
            FinishLoading(ClipVideo);
        } catch (...) {
            escaped = true;
        }
        EXPECT_EQ(Reader.Messages.size(), 1u);
        EXPECT_TRUE(Form3->isVisible());
        Form3->close(); // its stop fails as well
    });
    bool handled = false;
    Form1->HTMLViewer1HotSpotClick("video_1/clip.avi", handled);
    EXPECT_FALSE(escaped);
    EXPECT_FALSE(Form3->isVisible());
    ASSERT_EQ(Reader.Messages.size(), 2u);
    EXPECT_EQ(Reader.Messages[0].Caption, QString::fromUtf8(ReaderTitle));
    EXPECT_EQ(Reader.Messages[0].Text, QString::fromUtf8("Видео повреждено"));
    EXPECT_EQ(Reader.Messages[1].Text, QString::fromUtf8("Проигрыватель не остановлен"));

    // The window goes on: the clip plays again at its size and stops when the window closes.
    fail = false;
    QTimer::singleShot(0, [&] {
        FinishLoading(ClipVideo);
        EXPECT_EQ(Form3->PlayerHost->size(), QSize(320, 240));
        EXPECT_EQ(ClipVideo.Mode, TMediaMode::Playing);
        Form3->close();
    });
    Form1->HTMLViewer1HotSpotClick("video_1/clip.avi", handled);
    EXPECT_FALSE(Form3->isVisible());
    EXPECT_EQ(ClipVideo.Mode, TMediaMode::Stopped);
    EXPECT_EQ(Reader.Messages.size(), 2u);
}

TEST(PlayerBar, ShowsTheBoundPlayerAndFollowsItWhilePlaying) {
    TFakeMediaState state;
    TFakeMediaPlayer player(state);
    QWidget window;
    TPlayerBar bar(&window);
    auto* time = bar.findChild<QLabel*>("PlayerTime");
    auto* position = bar.findChild<QSlider*>("PlayerPosition");
    auto* loudness = bar.findChild<QSlider*>("PlayerVolume");
    loudness->setValue(40);
    bar.Play("a.mp3", "A"); // bound to nothing: nothing happens
    EXPECT_TRUE(state.Calls.empty());
    EXPECT_EQ(time->text(), QString());
    EXPECT_FALSE(position->isEnabled());

    bar.Bind(player);
    EXPECT_EQ(state.Volume, 40); // the player takes the bar's loudness
    state.Duration = 90000;
    bar.Play("a.mp3", QString::fromUtf8("Первая"));
    EXPECT_EQ(state.Mode, TMediaMode::Playing);
    EXPECT_EQ(bar.Label4->text(), QString::fromUtf8("Первая"));
    EXPECT_EQ(time->text(), "0:00 / 1:30");
    EXPECT_TRUE(position->isEnabled());
    // While it plays the bar follows the position.
    state.Position = 75000;
    QTest::qWait(400);
    EXPECT_EQ(time->text(), "1:15 / 1:30");
    EXPECT_EQ(position->value(), 75000);

    bar.PauseOrResume();
    EXPECT_EQ(state.Mode, TMediaMode::Paused);
    state.Position = 80000;
    QTest::qWait(400); // paused: not followed
    EXPECT_EQ(time->text(), "1:15 / 1:30");
    bar.PauseOrResume();
    EXPECT_EQ(state.Mode, TMediaMode::Playing);

    // To its end: the button up, the position where the player tells it, also when the end
    // is told after the mode went to Stopped and the player went back to the start.
    FinishPlaying(state);
    EXPECT_EQ(time->text(), "1:30 / 1:30");
    EXPECT_FALSE(bar.SpeedButton1->isChecked());
    state.Position = 0;
    state.End();
    EXPECT_EQ(time->text(), "0:00 / 1:30");
    EXPECT_EQ(position->value(), 0);

    // A file the player cannot open: its error, and the title stays.
    state.Unplayable.insert("b.mp3");
    EXPECT_THROW(bar.Play("b.mp3", "B"), EMediaError);
    EXPECT_EQ(bar.Label4->text(), QString::fromUtf8("Первая"));
}

TEST(PlayerBar, NamesFilesWithoutTheirFolders) {
    const struct {
        const char* Text;
        const char* Shown;
    } cases[] = {
        {"Не удаётся открыть файл «/home/u/Books/Sky/Audio/hymn.wav»: нет.",
         "Не удаётся открыть файл «hymn.wav»: нет."},
        {"«C:\\Книги\\a.mp3» и «/b/c.jpg»", "«a.mp3» и «c.jpg»"},
        {"Страница «Аудиоприложения» пуста.", "Страница «Аудиоприложения» пуста."},
        {"Папка «/home/u/mp3/» пуста, «/x/y.wav", "Папка «/home/u/mp3/» пуста, «/x/y.wav"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WithFileNames(QString::fromUtf8(c.Text)), QString::fromUtf8(c.Shown)) << c.Text;
}
