// The main window's music, audio and video: the pages "Музыка" (the album tree from the music
// list found beside the reader or on a disc, or the notice asking for a disc), "Аудиоприложения"
// and "Видеоприложения" (the edition's lists, or a notice when a list is missing or cannot be
// read), the player bar over the right column, the embedded video player in Panel12 under its
// clip's title, and the clip links of the pages, played in the video window. One sound at a
// time: a clip starting pauses the bar's track (resumable there), and a track started or
// resumed on the bar pauses the clip.
#include "mainform.h"

#include "ErrorReport.h"

#include "common/EditionLayout.h"
#include "common/FileSystem.h"
#include "common/qt/Named.h"
#include "common/qt/QtText.h"
#include "platform/MediaPlayer.h"
#include "platform/VideoPlayer.h"
#include "reader/core/qt/PlayerBar.h"
#include "reader/media/SupplementLists.h"
#include "reader/media/qt/Unit3.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QStackedLayout>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace quarto {

namespace {

// How often the embedded player is looked at for a clip that started playing.
constexpr int ClipWatchMs = 300;

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

// A page's notice: shown with text (UTF-8), hidden when there is none.
void ShowNotice(QLabel& notice, const std::string& text) {
    notice.setText(FromUtf8(text));
    notice.setVisible(!text.empty());
}

// The number of the list's selected item, or -1.
int SelectedNumber(const QListWidget& list) {
    const QListWidgetItem* item = list.currentItem();
    if (!item || !item->isSelected())
        return -1;
    return item->data(Qt::UserRole).toInt();
}

} // namespace

void TForm1::LoadAudioList() {
    // A list that is missing, empty or odd gives what it holds; the checker names its problems,
    // the page says why it is empty.
    TSupplementList list = ReadAudioList(Book().BookFolder);
    ShowNotice(*FAudioNotice, SupplementListNotice(list, TSupplementKind::Audio));
    AudioTitles = std::move(list.Titles);
    AudioFiles = std::move(list.Files);
    FillList(*ListBox3, AudioTitles);
}

void TForm1::LoadVideoList() {
    TSupplementList list = ReadVideoList(Book().BookFolder);
    ShowNotice(*FVideoNotice, SupplementListNotice(list, TSupplementKind::Video));
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
    PlayOnBar(path, node->text(0));
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
    PlayOnBar(path, From1251(AudioTitles[static_cast<std::size_t>(j)]));
}

void TForm1::PlayOnBar(const std::string& path, const QString& title) {
    Player();
    try {
        Panel5->Play(path, title); // a file it cannot play: the title stays
    } catch (const std::exception& e) {
        ReportFileError(e);
        return;
    }
    PauseClip();
}

TMediaPlayer& TForm1::Player() {
    if (!MediaPlayer1) {
        MediaPlayer1 = MediaPlayerFactory();
        Panel5->Bind(*MediaPlayer1);
    }
    return *MediaPlayer1;
}

void TForm1::SpeedButton1Click() {
    Panel5->PauseOrResume();
    if (MediaPlayer1 && MediaPlayer1->Mode() == TMediaMode::Playing)
        PauseClip();
}

void TForm1::PauseClip() {
    // One sound at a time: the bar's track goes on, the clip waits.
    if (MediaPlayer_TLB31 && MediaPlayer_TLB31->Mode() == TMediaMode::Playing)
        MediaPlayer_TLB31->Pause();
    FClipPlaying = false;
}

void TForm1::WatchClip() {
    // The embedded player tells no mode: a clip started (by the list or by its own play
    // button) is seen here, and pauses the bar's track.
    const bool playing = MediaPlayer_TLB31 && MediaPlayer_TLB31->Mode() == TMediaMode::Playing;
    if (playing && !FClipPlaying)
        Panel5->Pause();
    FClipPlaying = playing;
}

void TForm1::ListBox4DblClick() {
    const int j = SelectedNumber(*ListBox4);
    if (j < 0 || j >= static_cast<int>(VideoFiles.size()))
        return;
    const std::string path = SupplementFilePath(Book().BookFolder, TSupplementKind::Video,
                                                VideoFiles[static_cast<std::size_t>(j)]);
    if (path.empty())
        return;
    if (!MediaPlayer_TLB31) {
        // The clip's title over the picture; the player fills the rest of Panel12's layout.
        auto* layout = new QVBoxLayout(Panel12);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        FVideoTitle = Named(new QLabel(Panel12), "VideoTitle");
        FVideoTitle->setContentsMargins(6, 3, 6, 3);
        FVideoTitle->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        layout->addWidget(FVideoTitle);
        MediaPlayer_TLB31 = VideoPlayerFactory(Panel12);
        MediaPlayer_TLB31->OnReadyStateChange(
            [this](TVideoReadyState) { Guarded([&] { WatchClip(); }); });
        auto* watch = new QTimer(this);
        watch->setInterval(ClipWatchMs);
        connect(watch, &QTimer::timeout, this, [this] { Guarded([&] { WatchClip(); }); });
        watch->start();
    }
    const QString title = From1251(VideoTitles[static_cast<std::size_t>(j)]);
    FVideoTitle->setText(title);
    FVideoTitle->setToolTip(title);
    FClipPlaying = false;
    MediaPlayer_TLB31->SetFileName(path);
    WatchClip();
}

void TForm1::PutAwayClip() {
    if (MediaPlayer_TLB31)
        MediaPlayer_TLB31->Stop();
    FClipPlaying = false;
    if (FPanelStack->currentWidget() == Panel12)
        BringToFront(Panel6);
}

void TForm1::PlaySelected() {
    const QWidget* focus = QApplication::focusWidget();
    if (focus == fcTreeView2) {
        QTreeWidgetItem* node = fcTreeView2->currentItem();
        if (node && node->isSelected())
            fcTreeView2DblClick(node);
    } else if (focus == ListBox3) {
        ListBox3DblClick();
    } else if (focus == ListBox4) {
        ListBox4DblClick();
    }
}

void TForm1::OpenSoundLink(const TPageLink& link) {
    // Played as an audio supplement plays, titled by its file's name; the bar shows even in an
    // edition without music or audio.
    const std::string path = LinkedFile(link);
    if (path.empty())
        return;
    PlayOnBar(path, FromUtf8(FileNameOf(path)));
}

void TForm1::OpenVideoLink(const TPageLink& link, bool& handled) {
    // Only a clip of the edition's "video_1": a link without a folder names none.
    if (link.Name.empty())
        return;
    const std::string folder = LayoutPath(Book().BookFolder, Layout::VideoClipsFolder);
    const std::string path = ResolvePath(link.Path);
    if (!FileExists(path) || !LiesInside(path, {folder}))
        return;
    Panel5->Pause(); // resumable on the bar once the window is closed
    PauseClip();
    Form3->ShowVideo(path);
    handled = true;
}

} // namespace quarto
