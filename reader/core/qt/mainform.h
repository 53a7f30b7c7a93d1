// The main window: a frameless window whose face is the skin picture, with the catalogue and
// the tabbed lists on the left, the text view on the right. It owns the reader's state.
#pragma once

#include "reader/core/BookCatalogue.h"
#include "reader/core/ContentsFile.h"
#include "reader/core/ContentsTree.h"
#include "reader/core/PageHistory.h"
#include "reader/core/PageLinks.h"
#include "reader/media/Illustrations.h"
#include "reader/media/MusicList.h"
#include "reader/skin/qt/SkinFace.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QStackedLayout;
class QTabWidget;
class QTextEdit;
class QTreeWidget;
class QToolButton;
class QTreeWidgetItem;

namespace quarto {

class TDiscDrives;
class TFindBar;
class TKeyMap;
class TPageMenu;
class TPageTabs;
class TPlayerBar;
class TPrintRoute;
class TViewHistory;
enum class TKeyCommand;
class THtmlView;
class TMediaPlayer;
class TVideoPlayer;
class TThumbGrid;

class TForm1 : public QWidget, private TSkinCommands {
    Q_OBJECT
    // The face is made first: HintRegion refers into it.
    std::unique_ptr<TSkinFace> FFace;

public:
    // Creates the window and runs the start-up: appFolder is the reader's folder (ending with
    // a separator), arguments the command line without the program (only the first is used,
    // an edition's key, as 1251 bytes).
    TForm1(const std::string& appFolder, const std::vector<std::string>& arguments);
    ~TForm1() override;

    // The reader's state.
    std::string AppFolder;
    std::vector<Tbook> BookList;
    int CurrentBook = 0;
    std::vector<TContentsRec> ContentsList;
    TContentsTree ContentsTree; // what TreeView shows
    int CurrentArticle = 0;
    std::string HighlightWords; // 1251, separated by spaces
    bool HighlightOn = false;
    int& HintRegion; // the face's: the command area whose hint was shown last
    // The illustration catalogue of the edition shown (PicInfo, PictureFiles, CellFiles), kept
    // until another edition with illustrations is loaded.
    TIllustrations Illustrations;
    // The CD-ROM drives and disc folders the pictures are looked for on (this system's; tests
    // put a fake here).
    std::unique_ptr<TDiscDrives> DiscDrives;
    // The music list of the page "Музыка", as last loaded.
    TMusicList MusicList;
    // The audio and video supplements: item j's title and file name (1251, as the lists hold
    // them), kept until another edition with them is loaded.
    std::vector<std::string> AudioTitles;
    std::vector<std::string> AudioFiles;
    std::vector<std::string> VideoTitles;
    std::vector<std::string> VideoFiles;
    // The music and audio player of the bar, and the video player filling Panel12: made when
    // first needed, so that the start-up does not load the media framework.
    std::unique_ptr<TMediaPlayer> MediaPlayer1;
    std::unique_ptr<TVideoPlayer> MediaPlayer_TLB31;
    // How they are made: this system's players by default; tests give fakes.
    std::function<std::unique_ptr<TMediaPlayer>()> MediaPlayerFactory;
    std::function<std::unique_ptr<TVideoPlayer>(QWidget* host)> VideoPlayerFactory;
    // What closing the window does: ends the program at once, with exit code 0.
    std::function<void()> EndProgram;
    // Opens a file with the desktop's own program for its kind; false when none could be
    // started. QDesktopServices by default; tests give a fake.
    std::function<bool(const std::string& path)> OpenWithDesktop;

    // Components, by their designer names.
    TSkinImage* Image1;
    QLabel* Image2;
    QFrame* Panel2;
    QFrame* Panel3;
    QLabel* Label5;
    QComboBox* ComboBox1;
    QTabWidget* PageControl1;
    TPageTabs* PageTabs; // PageControl1's tabs, in rows
    QWidget* TabSheet1;
    QWidget* TabSheet4;
    QWidget* TabSheet2;
    QWidget* TabSheet3;
    QWidget* TabSheet5;
    QWidget* TabSheet6;
    QTreeWidget* TreeView;
    QFrame* Panel9;
    QLineEdit* Edit1;
    QPushButton* Button1;
    QCheckBox* CheckBox1;
    QTreeWidget* fcTreeView1;
    QTreeWidget* TitleTree;
    QFrame* Panel10;
    QLabel* Label2;
    QTreeWidget* fcTreeView2;
    QListWidget* ListBox3;
    QListWidget* ListBox4;
    QFrame* Panel1;
    QFrame* Panel4;
    QPushButton* Button2;
    TPlayerBar* Panel5;        // the player bar
    QToolButton* SpeedButton1; // the bar's: pause (down) and resume (up)
    QLabel* Label4;            // the bar's: the title of what plays
    QFrame* Panel6;
    THtmlView* HTMLViewer1;
    QFrame* Panel8;
    QTextEdit* RxRichEdit1;
    QListWidget* ListBox2;           // the catalogue's titles, never shown
    TThumbGrid* ThumbGrid = nullptr; // the thumbnails, once a catalogue is loaded
    QFrame* Panel12;
    QFrame* Panel7;
    QLabel* Label3;
    QSpinBox* FlatSpinEditInteger1;
    QPushButton* FlatSpeedButton1;
    QLabel* Panel13;

    // The window's parts: the history of the pages shown, the page's context menu and the
    // print command's route (the find bar is the child "FindBar", the player bar Panel5).
    TViewHistory& PageHistory() { return *FHistory; }
    TPageMenu& PageMenu() { return *FPageMenu; }
    TPrintRoute& PrintRoute() { return *FPrintRoute; }

    const Tbook& Book() const { return BookList[static_cast<std::size_t>(CurrentBook)]; }

    // Catalogue and contents.
    void FindBooks();
    void ApplyBookOptions();
    void ComboBox1Change(int index);
    void LoadContents();
    void BuildContentsTree();
    void TreeViewDblClick(QTreeWidgetItem* node);
    void PageControl1Change(int index);

    // Articles and pages.
    // Shows article in the text view; false when its text could not be read (the user was
    // told).
    bool OpenArticle(int article);
    void ShowPage(const std::string& body, const std::string& picture, const std::string& colour);
    void HTMLViewer1ParseBegin(std::string& source);
    void HTMLViewer1HotSpotClick(const std::string& target, bool& handled);
    // A link of a page shown in view (HTMLViewer1 or the reference window's WB1) to a file that
    // is not a page: a picture opens in the viewer, a clip in the video window, a sound plays
    // in the player bar, a text is shown in view (in HTMLViewer1 as a step of the history), a
    // file of another kind is offered to the desktop's own program after a question. Only
    // files inside the edition's and the reader's folders are opened; a link to one that is
    // not there opens nothing. handled is left false for the other links (and for a clip that
    // is not there), which the caller or the view deals with.
    void OpenFileLink(const std::string& target, THtmlView& view, bool& handled);
    void SpeedButton6Click(); // previous article
    void SpeedButton7Click(); // next article
    void SpeedButton3Click(); // copy
    void SpeedButton8Click(); // print
    void Button2Click();      // the edition's about page
    void FlatSpinEditInteger1Change(int value);
    void FlatSpeedButton1Click();
    void Panel7Exit();

    // Illustrations (mainform_pictures.cpp).
    void LoadIllustrations();
    void CreateGrid();
    // Brings the grid up to date with its files; a failure is reported once, unless quiet (a
    // repaint), when it is only kept from the grid.
    void ReloadGrid(bool quiet = false);
    void ThumbGridMouseMove(int cell);
    void ThumbGridMouseDown(int cell);
    void TitleTreeDblClick(QTreeWidgetItem* node);
    void ListBox2Click();
    // Loads the full picture of line k of PictureFiles into the viewer (asking for the disc
    // when it is nowhere) and sets the viewer's description; true when a file was found.
    bool ShowPicture(int k);
    // The path of folder + "" + name beside the reader or on a disc; empty when nowhere.
    std::string FindOnDisc(const std::string& folder, const std::string& name);

    // Music, audio and video (mainform_media.cpp).
    void LoadAudioList();
    void LoadVideoList();
    // The page "Музыка" chosen: the tree from the music list when it is found, else the notice.
    void MusicPageActivate();
    void LoadMusic(const std::string& path);
    void fcTreeView2DblClick(QTreeWidgetItem* node);
    void ListBox3DblClick();
    void ListBox4DblClick();
    // Enter on the music tree or the audio or video list (whichever has the focus): plays its
    // selected item as a double-click does.
    void PlaySelected();
    void SpeedButton1Click(); // pause and resume

    // Search.
    void Button1Click();
    void fcTreeView1DblClick(QTreeWidgetItem* node);

    // Skin: each hands over to the face (reader/skin/qt/SkinFace.h).
    void LoadSkin(const std::string& folder);
    void Image1MouseMove(int x, int y);
    void Image1MouseDown(Qt::MouseButton button, int x, int y);
    // The mask colour under a point of the window, or nothing outside the mask.
    const TSkinRegionInfo* RegionAt(int x, int y) const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate(const std::vector<std::string>& arguments);
    // The components, pane by pane, in the order they lie on top of each other
    // (mainform_panes.cpp).
    void CreateComponents();
    void CreateFacePictures();
    void CreateLeftPane();
    void CreateEditionBox();
    void CreateTextsPage();
    void CreateSearchPage();
    void CreatePicturesPage();
    void CreateMusicPage();
    void CreateAudioPage();
    void CreateVideoPage();
    void CreateRightPane();
    QWidget* CreatePanelStack();
    void CreateFontPanel();
    void CreateHintPanel();
    void CreateParts();
    void ConnectEvents();

    // Lets the edition box's list drop down as wide as its longest name.
    void FitEditionListWidth();
    // Shows or hides the tab of a page of PageControl1; a hidden page is not stepped to.
    void ShowPageTab(QWidget* page, bool shown);
    void BringToFront(QFrame* panel);
    void SetActivePage(int index);
    // Shows the edition's about page; false when it has none.
    bool LoadAboutPage();
    void ShowEditionNameFromStart();
    bool HasEditionSkin() const;
    // Gives both views the folders their links and pictures may come from: the edition's and
    // the reader's; returns them.
    std::vector<std::string> ConfineViews();
    // Loads a step of the history into the text view again; false without an edition.
    bool ShowStepContent(const THistoryStep& step);
    // Hides the font panel, handing the focus back to the text when the panel held it.
    void HideFontPanel();
    // The font size by the keyboard: delta 2 or -2 within the font panel's range, 0 back to
    // the size at start.
    void ChangeFontSize(int delta);
    // The next or previous hit of the results tree, opened as a double-click opens it.
    void StepHit(bool forward);
    // A command of the key table (KeyMap.h).
    void RunKeyCommand(TKeyCommand command);
    // The player of the bar, made and bound to the bar at the first call.
    TMediaPlayer& Player();
    // Plays path on the bar titled title; a file the player cannot open is reported by name.
    void PlayOnBar(const std::string& path, const QString& title);
    // Pauses the embedded clip when it plays.
    void PauseClip();
    // Pauses the bar's track when the embedded clip has started playing since last looked.
    void WatchClip();
    // An edition without video: its clip stops, and the text comes forward in its place.
    void PutAwayClip();
    // A picture or clip link of a page in pageFolder: shows the picture in the viewer, or plays
    // the clip of the edition's "video_1" in the video window (handled once it closes; a clip
    // that is not there is left to the view).
    void OpenMediaLink(const std::string& target, bool& handled, const std::string& pageFolder);
    void OpenVideoLink(const TPageLink& link, bool& handled);
    // A sound link: played in the player bar (mainform_media.cpp).
    void OpenSoundLink(const TPageLink& link);
    // A text link: the text file shown in view as preformatted text (mainform_navigation.cpp).
    void OpenTextLink(const TPageLink& link, THtmlView& view);
    // Shows the text file at path in view; throws EStreamError when it cannot be read.
    void ShowTextFile(THtmlView& view, const std::string& path);
    // A link to a file the reader does not show: asked, then handed to the desktop.
    void OpenDesktopFileLink(const TPageLink& link);
    // The file a link of kind Sound, Text, Program or DesktopFile names, looked up ignoring
    // letter case, when it is there and inside the edition's or the reader's folder; else "".
    std::string LinkedFile(const TPageLink& link);

    // The commands of the face's areas.
    void SkinExit() override;
    void SkinMinimise() override;
    void SkinSettings(int x, int y) override; // the font panel, at the press point
    void SkinCopy() override;
    void SkinPrint() override;
    void SkinPrevious() override;
    void SkinNext() override;
    void SkinAbout() override;

    QStackedLayout* FPanelStack = nullptr; // Panel6, Panel8, Panel12, one in front
    QToolButton* FPreviousHit = nullptr;   // the arrows above the search results
    QToolButton* FNextHit = nullptr;
    TFindBar* FFindBar = nullptr;
    std::unique_ptr<TViewHistory> FHistory;
    std::unique_ptr<TPrintRoute> FPrintRoute;
    TPageMenu* FPageMenu = nullptr;
    std::unique_ptr<TKeyMap> FKeyMap;
    // The last failure of the grid reported, so that it is not reported again.
    std::string FGridFailure;
    QLabel* FAudioNotice = nullptr; // over the audio and video lists: why a list is empty
    QLabel* FVideoNotice = nullptr;
    QLabel* FVideoTitle = nullptr; // over the embedded player, once it is made
    bool FClipPlaying = false;     // the embedded clip played when last looked at
    QMetaObject::Connection FFocusConnection;
    bool FSettingPage = false;
};

extern TForm1* Form1;

} // namespace quarto
