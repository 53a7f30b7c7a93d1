// The main window's music, audio and video: the pages "Музыка" (the album tree from the music
// list found beside the reader or on a disc, or the notice asking for a disc), "Аудиоприложения"
// and "Видеоприложения" (the edition's lists), the player bar over the right column, the
// embedded video player in Panel12, and the clip links of the pages, played in the video window.
#include "mainform.h"

#include "ErrorReport.h"

#include "common/EditionLayout.h"
#include "common/FileSystem.h"
#include "common/qt/QtText.h"
#include "platform/MediaPlayer.h"
#include "platform/VideoPlayer.h"
#include "reader/media/SupplementLists.h"
#include "reader/media/qt/Unit3.h"

#include <QLabel>
#include <QListWidget>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <algorithm>
#include <limits>

namespace quarto {

namespace {

// How often the bar's position follows a playing track.
constexpr int PositionStepMs = 250;

// A list's items: the titles (1251) shown, each carrying its number.
void FillList(QListWidget& list, const std::vector<std::string>& titles) {
    list.setUpdatesEnabled(false);
    list.clear();
    for (std::size_t j = 0; j < titles.size(); ++j) {
        auto* item = new QListWidgetItem(From1251(titles[j]), &list);
        item->setData(Qt::UserRole, static_cast<int>(j));
    }
    list.setUpdatesEnabled(true);
}

// The number of the list's selected item, or -1.
int SelectedNumber(const QListWidget& list) {
    const QListWidgetItem* item = list.currentItem();
    if (!item || !item->isSelected())
        return -1;
    return item->data(Qt::UserRole).toInt();
}

// m:ss
QString Clock(std::int64_t ms) {
    const std::int64_t seconds = std::max<std::int64_t>(0, ms) / 1000;
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

void TForm1::LoadAudioList() {
    // A list that is missing, empty or odd gives what it holds; the checker names its problems.
    TSupplementList list = ReadAudioList(Book().BookFolder);
    AudioTitles = std::move(list.Titles);
    AudioFiles = std::move(list.Files);
    FillList(*ListBox3, AudioTitles);
}

void TForm1::LoadVideoList() {
    TSupplementList list = ReadVideoList(Book().BookFolder);
    VideoTitles = std::move(list.Titles);
    VideoFiles = std::move(list.Files);
    FillList(*ListBox4, VideoTitles);
}

void TForm1::MusicPageActivate() {
    const std::string path =
        FindOnDisc(std::string(MusicListFolder()), std::string(MusicListName()));
    if (path.empty()) {
        Panel10->show(); // the tree keeps what it had
        return;
    }
    Panel10->hide();
    LoadMusic(path);
}

void TForm1::LoadMusic(const std::string& path) {
    MusicList = ReadMusicList(path);
    fcTreeView2->setUpdatesEnabled(false);
    fcTreeView2->clear();
    for (const TMusicAlbumNode& album : BuildMusicTree(MusicList)) {
        auto* root = new QTreeWidgetItem(fcTreeView2, {From1251(album.Title)});
        root->setData(0, Qt::UserRole, static_cast<int>(album.Number));
        for (const TMusicTrackNode& track : album.Tracks) {
            auto* node = new QTreeWidgetItem(root, {From1251(track.Title)});
            // The record's full index: a list may hold more than the 256 its position byte
            // can name.
            node->setData(0, Qt::UserRole, track.Record);
        }
    }
    fcTreeView2->setUpdatesEnabled(true);
}

void TForm1::fcTreeView2DblClick(QTreeWidgetItem* node) {
    if (!node || !node->parent())
        return; // an album: the tree opens or closes it
    const int k = node->data(0, Qt::UserRole).toInt();
    if (k < 0 || k >= static_cast<int>(MusicList.Records.size()))
        return;
    const std::string name = MusicTrackName(MusicList.Records[static_cast<std::size_t>(k)]);
    if (name.empty())
        return; // a name leading out of the folder "mp3"
    const std::string path = FindOnDisc(std::string(MusicTracksFolder()), name);
    if (path.empty())
        return;
    PlayFile(path, node->text(0));
}

void TForm1::ListBox3DblClick() {
    const int j = SelectedNumber(*ListBox3);
    if (j < 0 || j >= static_cast<int>(AudioFiles.size()))
        return;
    // Only in the edition's folder, never on a disc.
    const std::string path = SupplementFilePath(Book().BookFolder, TSupplementKind::Audio,
                                                AudioFiles[static_cast<std::size_t>(j)]);
    if (path.empty())
        return;
    PlayFile(path, From1251(AudioTitles[static_cast<std::size_t>(j)]));
}

TMediaPlayer& TForm1::Player() {
    if (!MediaPlayer1) {
        MediaPlayer1 = MediaPlayerFactory();
        FPlayerTimer = new QTimer(this);
        FPlayerTimer->setInterval(PositionStepMs);
        connect(FPlayerTimer, &QTimer::timeout, this, [this] { ShowPlayerState(); });
        MediaPlayer1->SetVolume(PlayerVolume->value());
        MediaPlayer1->OnModeChange([this](TMediaMode mode) {
            if (mode == TMediaMode::Playing)
                FPlayerTimer->start();
            else
                FPlayerTimer->stop();
            ShowPlayerState();
        });
    }
    return *MediaPlayer1;
}

void TForm1::PlayFile(const std::string& path, const QString& title) {
    TMediaPlayer& player = Player();
    player.SetFileName(path);
    player.Open(); // a file it cannot play: the error report, the title stays
    player.Play();
    SpeedButton1->setChecked(false);
    Label4->setText(title);
    Label4->setToolTip(title);
    ShowPlayerState();
}

void TForm1::SpeedButton1Click() {
    if (!MediaPlayer1 || MediaPlayer1->FileName().empty())
        return;
    switch (MediaPlayer1->Mode()) {
    case TMediaMode::Playing:
        MediaPlayer1->Pause();
        break;
    case TMediaMode::Paused:
        MediaPlayer1->Resume();
        break;
    default:
        break;
    }
}

void TForm1::PlayerPositionMoved(int ms) {
    if (MediaPlayer1)
        MediaPlayer1->Seek(ms);
    ShowPlayerState();
}

void TForm1::PlayerVolumeChange(int percent) {
    if (MediaPlayer1)
        MediaPlayer1->SetVolume(percent);
}

void TForm1::ShowPlayerState() {
    const bool open = MediaPlayer1 && MediaPlayer1->Mode() != TMediaMode::NotOpen;
    const std::int64_t length = open ? MediaPlayer1->Duration() : 0;
    const std::int64_t at = open ? MediaPlayer1->Position() : 0;
    PlayerPosition->setEnabled(open && length > 0);
    if (!PlayerPosition->isSliderDown()) {
        const QSignalBlocker quiet(PlayerPosition);
        PlayerPosition->setRange(
            0, static_cast<int>(std::min<std::int64_t>(length, std::numeric_limits<int>::max())));
        PlayerPosition->setValue(
            static_cast<int>(std::min<std::int64_t>(at, std::numeric_limits<int>::max())));
    }
    PlayerTime->setText(open ? Clock(at) + QStringLiteral(" / ") + Clock(length) : QString());
}

void TForm1::ListBox4DblClick() {
    const int j = SelectedNumber(*ListBox4);
    if (j < 0 || j >= static_cast<int>(VideoFiles.size()))
        return;
    const std::string path = SupplementFilePath(Book().BookFolder, TSupplementKind::Video,
                                                VideoFiles[static_cast<std::size_t>(j)]);
    if (path.empty())
        return;
    if (!MediaPlayer_TLB31)
        MediaPlayer_TLB31 = VideoPlayerFactory(Panel12);
    MediaPlayer_TLB31->SetFileName(path);
    Label4->setText(From1251(VideoTitles[static_cast<std::size_t>(j)]));
    Label4->setToolTip(Label4->text());
}

void TForm1::OpenVideoLink(const TPageLink& link, bool& handled) {
    // Only a clip of the edition's "video_1": a link without a folder names none.
    if (link.Name.empty())
        return;
    const std::string folder = LayoutPath(Book().BookFolder, Layout::VideoClipsFolder);
    const std::string path = ResolvePath(link.Path);
    if (!FileExists(path) || !LiesInside(path, {folder}))
        return;
    Form3->ShowVideo(path);
    handled = true;
}

} // namespace quarto
