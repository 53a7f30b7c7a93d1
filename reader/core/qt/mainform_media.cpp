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
#include "reader/core/qt/PlayerBar.h"
#include "reader/media/SupplementLists.h"
#include "reader/media/qt/Unit3.h"

#include <QApplication>
#include <QListWidget>
#include <QTreeWidget>

#include <algorithm>

namespace quarto {

namespace {

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
    Player();
    Panel5->Play(path, node->text(0)); // a file it cannot play: the error report, the title stays
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
    Player();
    Panel5->Play(path, From1251(AudioTitles[static_cast<std::size_t>(j)]));
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
    Panel5->ShowTitle(From1251(VideoTitles[static_cast<std::size_t>(j)]));
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
    Player();
    Panel5->show();
    Panel5->Play(path, FromUtf8(FileNameOf(path)));
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
