#include "mainform.h"

#include "ErrorReport.h"
#include "HtmlView.h"
#include "KeyMap.h"
#include "PageMenu.h"
#include "PageTabs.h"
#include "PlayerBar.h"
#include "PrintRoute.h"
#include "ViewHistory.h"
#include "refs_unit.h"

#include "common/FileSystem.h"
#include "common/qt/QtText.h"
#include "platform/DiscDrives.h"
#include "platform/MediaPlayer.h"
#include "platform/qt/VideoPlayerQt.h"
#include "reader/core/ArticlePage.h"
#include "reader/core/ArticleStore.h"
#include "reader/core/PageComposer.h"
#include "reader/core/PageLinks.h"
#include "reader/core/qt/TreeFiller.h"
#include "reader/media/qt/PreviewUnit.h"
#include "reader/search/SearchQuery.h"
#include "reader/search/qt/SearchUnit.h"
#include "reader/skin/qt/SkinPainter.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedLayout>
#include <QStyle>
#include <QTabWidget>
#include <QTextEdit>
#include <QTreeWidget>
#include <QUrl>

#include <algorithm>

namespace quarto {

TForm1* Form1 = nullptr;

namespace {

// "Невозможно открыть файл", line feed, carriage return, "Unable to open file", ...
const char* const TextStoreMissingText =
    "Невозможно открыть файл\n\rUnable to open file\n\rcData.dat";

// Restores the mouse cursor when an operation ends, whichever way it ends.
class TWaitCursor {
public:
    TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;
};

} // namespace

TForm1::TForm1(const std::string& appFolder, const std::vector<std::string>& arguments)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint),
      FFace(std::make_unique<TSkinFace>(*this, static_cast<TSkinCommands&>(*this))),
      AppFolder(appFolder), HintRegion(FFace->HintRegion) {
    setObjectName("Form1");
    setWindowTitle(Ui(ReaderTitle));
    setAttribute(Qt::WA_QuitOnClose, true);
    EndProgram = [] { QCoreApplication::exit(0); };
    OpenWithDesktop = [](const std::string& path) {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(FromUtf8(path)));
    };
    MediaPlayerFactory = [] { return MakeMediaPlayer(); };
    VideoPlayerFactory = [](QWidget* host) { return MakeVideoPlayer(host); };
    DiscDrives = MakeDiscDrives();
    CreateComponents();
    FormCreate(arguments);
}

TForm1::~TForm1() {
    // The widgets outlive this part of the window while it is destroyed: their signals must not
    // reach the handlers any more.
    disconnect(FFocusConnection);
    fcTreeView1->viewport()->removeEventFilter(this);
    for (QObject* child : findChildren<QObject*>())
        child->disconnect(this);
}

void TForm1::FormCreate(const std::vector<std::string>& arguments) {
    Panel13->hide();
    Panel13->setFrameShape(QFrame::NoFrame);
    CurrentArticle = 0;
    Panel7->setParent(this);
    Panel7->hide();
    BringToFront(Panel6);

    // The built-in face until an edition brings its own.
    TSkinPictures builtin = PaintSkin(TSkinStyle::Builtin);
    FFace->Apply(builtin.Face, builtin.Mask, builtin.Data);

    CurrentBook = 0;
    FindBooks();
    if (BookList.empty())
        return; // the program says so and ends
    if (!arguments.empty()) {
        const int found = FindBookByKey(BookList, arguments.front());
        if (found >= 0)
            CurrentBook = found;
    }
    {
        const QSignalBlocker blocker(ComboBox1);
        ComboBox1->setCurrentIndex(CurrentBook);
        ShowEditionNameFromStart();
    }
    ApplyBookOptions();
    if (Book().Pictures)
        Guarded([&] { LoadIllustrations(); });
    try {
        std::vector<TContentsRec> list;
        quarto::LoadContents(Book().BookFolder, list);
        ContentsList = std::move(list);
    } catch (const std::exception& e) {
        ReportError(e);
    }
    BuildContentsTree();
    SetActivePage(1);
    SetActivePage(0);
    Guarded([&] { LoadAboutPage(); });
    if (HasEditionSkin())
        Guarded([&] { LoadSkin(EditionSkinFolderOf(Book().BookFolder)); });
}

// Catalogue and contents.

void TForm1::FindBooks() {
    BookList = ::quarto::FindBooks(AppFolder);
    ComboBox1->clear();
    for (std::size_t i = 0; i < BookList.size(); ++i)
        ComboBox1->addItem(From1251(BookList[i].DisplayName), static_cast<int>(i));
    FitEditionListWidth();
}

void TForm1::FitEditionListWidth() {
    // The list drops down as wide as its longest name, however narrow the box.
    QAbstractItemView* list = ComboBox1->view();
    const int names = list->sizeHintForColumn(0);
    const int frame = 2 * list->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, list);
    const int scrollBar = list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list);
    list->setMinimumWidth(std::max(0, names) + frame + scrollBar);
}

void TForm1::ShowPageTab(QWidget* page, bool shown) {
    const int index = PageControl1->indexOf(page);
    PageControl1->setTabVisible(index, shown);
    // Ctrl+Tab steps over the disabled pages, not over the hidden ones.
    PageControl1->setTabEnabled(index, shown);
}

void TForm1::ApplyBookOptions() {
    const Tbook& book = Book();
    ShowPageTab(TabSheet2, book.Pictures);
    ShowPageTab(TabSheet3, book.Music);
    // What plays stays in reach whatever the edition: the bar shows itself while it plays.
    Panel5->ShowForEdition(book.Music || book.Audio);
    ShowPageTab(TabSheet5, book.Audio);
    if (book.Audio)
        LoadAudioList();
    ShowPageTab(TabSheet6, book.Video);
    if (book.Video)
        LoadVideoList();
    else
        PutAwayClip();
    PageTabs->Refresh();
}

void TForm1::ComboBox1Change(int index) {
    if (index < 0 || index >= ComboBox1->count())
        return;
    bool ok = false;
    const int number = ComboBox1->itemData(index).toInt(&ok);
    if (!ok || number < 0 || number >= static_cast<int>(BookList.size()))
        return;
    // The new edition's contents are read before anything is switched, so that the window
    // always shows the contents of the edition it names.
    const Tbook& book = BookList[static_cast<std::size_t>(number)];
    std::vector<TContentsRec> list;
    QString failure;
    try {
        if (!quarto::LoadContents(book.BookFolder, list))
            failure = Ui("Файл содержания не найден: ") + FromUtf8(ContentsPath(book.BookFolder));
    } catch (const std::exception& e) {
        failure = ErrorText(e);
        list.clear();
    }
    CurrentBook = number;
    // The viewer's slide show steps through the catalogue of the edition before: it ends
    // with it, so that no picture of that edition is looked for on the new one's disc.
    if (PreviewForm) {
        PreviewForm->StopSlideShow();
        PreviewForm->hide();
    }
    // The results name articles of the edition searched: they go with it, so that a hit is
    // never opened as an article of another edition.
    if (SearchForm)
        SearchForm->ClearResults();
    ComboBox1->setToolTip(ComboBox1->itemText(index));
    ShowEditionNameFromStart();
    ApplyBookOptions();
    if (book.Pictures)
        Guarded([&] { LoadIllustrations(); });
    ContentsList = std::move(list);
    BuildContentsTree();
    if (!failure.isEmpty())
        ShowMessageBox(Ui("Ошибка!"), Ui("Не удалось прочитать содержание книги.\n") + failure);
    if (HasEditionSkin())
        LoadSkin(EditionSkinFolderOf(Book().BookFolder));
    // The pages of the edition before are not stepped back to, nor shown: an edition without
    // an about page starts with an empty page.
    FHistory->Clear();
    if (!LoadAboutPage())
        HTMLViewer1->LoadFromBytes(std::string());
}

void TForm1::ShowEditionNameFromStart() {
    if (QLineEdit* edit = ComboBox1->lineEdit())
        edit->setCursorPosition(0);
}

void TForm1::LoadContents() {
    quarto::LoadContents(Book().BookFolder, ContentsList);
}

void TForm1::BuildContentsTree() {
    TreeView->setUpdatesEnabled(false);
    TreeView->clear();
    ContentsTree = ::quarto::BuildContentsTree(ContentsList);
    std::vector<TTreeRow> rows;
    rows.reserve(ContentsTree.Nodes.size());
    for (const TContentsNode& node : ContentsTree.Nodes)
        rows.push_back({node.Parent, node.Text, node.ArticleNo, std::nullopt});
    FillTree(*TreeView, rows);
    TreeView->collapseAll();
    TreeView->setUpdatesEnabled(true);
}

void TForm1::TreeViewDblClick(QTreeWidgetItem* node) {
    if (!node)
        return;
    if (!node->parent() && node->childCount() > 0)
        return; // the tree opens or closes the heading itself
    CurrentArticle = node->data(0, TreeArticleRole).toInt();
    if (OpenArticle(CurrentArticle))
        FHistory->Visited(THistoryStep::OfArticle(CurrentArticle, true));
}

void TForm1::PageControl1Change(int index) {
    if (index == 0)
        BringToFront(Panel6);
    QWidget* page = PageControl1->widget(index);
    if (page == TabSheet2) {
        BringToFront(Panel8);
        ReloadGrid();
    } else if (page == TabSheet3) {
        MusicPageActivate();
    } else if (page == TabSheet6) {
        BringToFront(Panel12);
    }
}

// Articles and pages.

bool TForm1::OpenArticle(int article) {
    if (BookList.empty() || article < 0 || article >= static_cast<int>(ContentsList.size()))
        return false;
    QCoreApplication::processEvents();
    // Waiting events may have switched the edition meanwhile.
    if (article >= static_cast<int>(ContentsList.size()))
        return false;
    const TWaitCursor wait;
    std::string body;
    try {
        body = ReadArticle(Book().BookFolder, ContentsList, article);
    } catch (const ETextStoreOpenError&) {
        ShowMessageBox(Ui("Ошибка!"), Ui(TextStoreMissingText));
        return false;
    }
    ShowPage(body, ArticlePicturePath(AppFolder), std::string(ArticleTextColour));
    return true;
}

void TForm1::ShowPage(const std::string& body, const std::string& picture,
                      const std::string& colour) {
    const TComposedPage page = ComposeBookPage(AppFolder, Book(), body, picture, colour);
    FHistory->KeepScroll();
    ConfineViews();
    HTMLViewer1->SetBaseFolder(page.BaseFolder);
    HTMLViewer1->LoadFromBytes(page.Source);
}

void TForm1::HTMLViewer1ParseBegin(std::string& source) {
    if (BookList.empty())
        return;
    RewriteBookPage(Book(), source, HighlightWords, HighlightOn);
}

std::vector<std::string> TForm1::ConfineViews() {
    std::vector<std::string> allowed = {Book().BookFolder, AppFolder};
    HTMLViewer1->SetAllowedFolders(allowed);
    if (Refs)
        Refs->WB1->SetAllowedFolders(allowed);
    return allowed;
}

void TForm1::HTMLViewer1HotSpotClick(const std::string& target, bool& handled) {
    if (BookList.empty())
        return;
    // Links lead only into the edition's folder and the reader's: the reference pages opened
    // here, and what both views follow or load themselves.
    const std::vector<std::string> allowed = ConfineViews();
    OpenFileLink(target, *HTMLViewer1, handled);
    if (handled)
        return;
    const TPageLink link = ClassifyLink(target, Book());
    if (link.Kind == TLinkKind::Video)
        return; // a clip that is not there: the view follows the link itself
    if (link.Kind == TLinkKind::PageAnchor) {
        // The view goes to the anchor itself; the place is a step of the history.
        FHistory->FollowedAnchor(link.Anchor);
        return;
    }
    if (link.Kind != TLinkKind::ReferencePage)
        return; // the view follows the link itself
    if (!LiesInside(SplitAnchor(link.Path).first, allowed)) {
        handled = true; // a file elsewhere on the system: nothing is opened
        return;
    }
    try {
        Refs->WB1->LoadFromFile(link.Path);
        Refs->show();
        Refs->raise();
        handled = true;
    } catch (const std::exception&) {
        handled = false; // the view follows the link itself
    }
}

void TForm1::SpeedButton6Click() {
    if (const std::optional<int> j = PreviousArticle(ContentsList, CurrentArticle)) {
        CurrentArticle = *j;
        if (OpenArticle(*j))
            FHistory->Visited(THistoryStep::OfArticle(*j, true));
    }
}

void TForm1::SpeedButton7Click() {
    if (const std::optional<int> j = NextArticle(ContentsList, CurrentArticle)) {
        CurrentArticle = *j;
        if (OpenArticle(*j))
            FHistory->Visited(THistoryStep::OfArticle(*j, true));
    }
}

void TForm1::SpeedButton3Click() {
    if (HTMLViewer1->SelectionLength() == 0)
        HTMLViewer1->SelectAllText();
    HTMLViewer1->CopySelection();
    RxRichEdit1->clear();
    RxRichEdit1->paste();
    RxRichEdit1->selectAll();
    RxRichEdit1->copy();
}

void TForm1::SpeedButton8Click() {
    FPrintRoute->Print(*HTMLViewer1);
}

bool TForm1::HasEditionSkin() const {
    return FileExists(LayoutPath(EditionSkinFolderOf(Book().BookFolder), Layout::SkinData));
}

bool TForm1::LoadAboutPage() {
    const std::string about = ResolvePath(AboutPagePath(Book().BookFolder));
    if (!FileExists(about))
        return false;
    FHistory->KeepScroll();
    ConfineViews();
    HTMLViewer1->LoadFromFile(about);
    FHistory->Visited(THistoryStep::OfFile(about));
    return true;
}

void TForm1::Button2Click() {
    if (BookList.empty() || !LoadAboutPage())
        return;
    SetActivePage(0);
    BringToFront(Panel6);
}

void TForm1::FlatSpinEditInteger1Change(int value) {
    try {
        const std::string source = HTMLViewer1->DocumentSource();
        HTMLViewer1->SetDefaultFontSize(value);
        HTMLViewer1->LoadFromText(source);
    } catch (...) {
        // The view keeps whatever it shows.
    }
}

void TForm1::FlatSpeedButton1Click() {
    HideFontPanel();
}

void TForm1::HideFontPanel() {
    // The text takes the focus before the panel goes, so that it does not fall to the next
    // widget in line, the edition box, which would select its text.
    if (Panel7->isAncestorOf(QApplication::focusWidget()))
        HTMLViewer1->setFocus(Qt::OtherFocusReason);
    Panel7->hide();
}

void TForm1::Panel7Exit() {
    Panel7->hide();
}

// Search.

void TForm1::Button1Click() {
    if (!SearchForm)
        return;
    SearchForm->QueryText = To1251(Edit1->text());
    SearchForm->RunSearch();
}

void TForm1::fcTreeView1DblClick(QTreeWidgetItem* node) {
    BringToFront(Panel6);
    if (!node || !SearchForm)
        return;
    int depth = 0;
    for (const QTreeWidgetItem* p = node->parent(); p; p = p->parent())
        ++depth;
    if (depth == 0)
        return;
    // A first-level node is a heading, unless it is a hit with nothing below it: an article
    // at the top of the contents without sub-entries, or an entry the contents tree leaves
    // out, which is listed right under the root.
    if (depth == 1 && (node->childCount() > 0 || !node->data(0, ResultHitRole).toBool()))
        return;
    HighlightOn = true;
    HighlightWords = QueryWords(SearchForm->QueryText);
    // Unlike the contents tree, the current article stays: previous and next step from it.
    const int article = node->data(0, ResultArticleRole).toInt();
    const std::string words = HighlightWords;
    if (OpenArticle(article))
        FHistory->Visited(THistoryStep::OfArticle(article, false, words));
}

// Skin.

void TForm1::LoadSkin(const std::string& folder) {
    FFace->Load(folder);
}

const TSkinRegionInfo* TForm1::RegionAt(int x, int y) const {
    return FFace->RegionAt(x, y);
}

void TForm1::Image1MouseMove(int x, int y) {
    FFace->MouseMove(x, y);
}

void TForm1::Image1MouseDown(Qt::MouseButton button, int x, int y) {
    FFace->MouseDown(button, x, y);
}

void TForm1::SkinExit() {
    close();
}

void TForm1::SkinMinimise() {
    showMinimized();
}

void TForm1::SkinSettings(int x, int y) {
    // At the press point, kept inside the window.
    Panel7->move(std::clamp(x - 5, 0, std::max(0, width() - Panel7->width())),
                 std::clamp(y - 5, 0, std::max(0, height() - Panel7->height())));
    if (Panel7->isVisible()) {
        HideFontPanel();
        return;
    }
    Panel7->show();
    Panel7->raise();
    FlatSpinEditInteger1->setFocus();
}

void TForm1::SkinCopy() {
    SpeedButton3Click();
}

void TForm1::SkinPrint() {
    SpeedButton8Click();
}

void TForm1::SkinPrevious() {
    SpeedButton6Click();
}

void TForm1::SkinNext() {
    SpeedButton7Click();
}

void TForm1::SkinAbout() {
    Button2Click();
}

void TForm1::closeEvent(QCloseEvent* event) {
    event->accept();
    EndProgram();
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick && watched == fcTreeView1->viewport()) {
        const auto* mouse = static_cast<const QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            QTreeWidgetItem* node = fcTreeView1->itemAt(mouse->position().toPoint());
            Guarded([&] { fcTreeView1DblClick(node); });
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TForm1::BringToFront(QFrame* panel) {
    FPanelStack->setCurrentWidget(panel);
}

void TForm1::SetActivePage(int index) {
    FSettingPage = true;
    PageControl1->setCurrentIndex(index);
    FSettingPage = false;
}

} // namespace quarto
