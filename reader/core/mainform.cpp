#include "mainform.h"

#include "ErrorReport.h"
#include "HtmlView.h"
#include "refs_unit.h"

#include "common/ByteStream.h"
#include "common/FileSystem.h"
#include "common/RecordFile.h"
#include "common/qt/QtText.h"
#include "reader/core/ArticlePage.h"
#include "reader/core/ArticleStore.h"
#include "reader/core/PageComposer.h"
#include "reader/core/PageLinks.h"
#include "reader/core/TreeFiller.h"
#include "reader/search/SearchQuery.h"
#include "reader/search/SearchUnit.h"
#include "reader/skin/SkinPainter.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QFontMetrics>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QStackedLayout>
#include <QTabWidget>
#include <QTextEdit>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWindow>

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

template <class W> W* Named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QFrame* NewPanel(QWidget* parent, const char* name) {
    auto* panel = Named(new QFrame(parent), name);
    panel->setFrameShape(QFrame::NoFrame);
    return panel;
}

QTreeWidget* NewTree(QWidget* parent, const char* name) {
    auto* tree = Named(new QTreeWidget(parent), name);
    tree->setHeaderHidden(true);
    tree->setColumnCount(1);
    tree->setIndentation(19);
    tree->setRootIsDecorated(true);
    tree->setUniformRowHeights(true);
    tree->setTextElideMode(Qt::ElideRight);
    return tree;
}

QWidget* NewPage(QTabWidget* tabs, const char* name, const char* caption) {
    auto* page = Named(new QWidget(tabs), name);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    tabs->addTab(page, Ui(caption));
    return page;
}

} // namespace

TForm1::TForm1(const std::string& appFolder, const std::vector<std::string>& arguments)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), AppFolder(appFolder) {
    setObjectName("Form1");
    setWindowTitle(Ui(ReaderTitle));
    setAttribute(Qt::WA_QuitOnClose, true);
    MakePrinter = [] {
        const QPrinterInfo info = QPrinterInfo::defaultPrinter();
        if (info.isNull())
            throw std::runtime_error("Принтер не найден: в системе не настроен ни один "
                                     "принтер, печать невозможна.");
        return std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    };
    EndProgram = [] { QCoreApplication::exit(0); };
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

void TForm1::CreateComponents() {
    Image2 = Named(new QLabel(this), "Image2");
    Image2->hide();
    Image1 = Named(new TSkinImage(this), "Image1");

    // The left pane: the edition box over the tabbed lists.
    Panel2 = NewPanel(this, "Panel2");
    auto* left = new QVBoxLayout(Panel2);
    left->setContentsMargins(0, 0, 0, 0);
    left->setSpacing(2);
    Panel3 = NewPanel(Panel2, "Panel3");
    auto* top = new QVBoxLayout(Panel3);
    top->setContentsMargins(2, 2, 2, 2);
    top->setSpacing(1);
    Label5 = Named(new QLabel(Ui("Книга:"), Panel3), "Label5");
    ComboBox1 = Named(new QComboBox(Panel3), "ComboBox1");
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    ComboBox1->setMinimumContentsLength(4);
    top->addWidget(Label5);
    top->addWidget(ComboBox1);
    left->addWidget(Panel3);

    PageControl1 = Named(new QTabWidget(Panel2), "PageControl1");
    PageControl1->setUsesScrollButtons(true);
    PageControl1->setDocumentMode(true);
    left->addWidget(PageControl1, 1);

    TabSheet1 = NewPage(PageControl1, "TabSheet1", "Тексты");
    TreeView = NewTree(TabSheet1, "TreeView");
    TabSheet1->layout()->addWidget(TreeView);

    TabSheet4 = NewPage(PageControl1, "TabSheet4", "Поиск");
    Panel9 = NewPanel(TabSheet4, "Panel9");
    auto* query = new QVBoxLayout(Panel9);
    query->setContentsMargins(0, 0, 0, 0);
    auto* queryRow = new QHBoxLayout();
    Edit1 = Named(new QLineEdit(Panel9), "Edit1");
    Button1 = Named(new QPushButton(Ui("Найти"), Panel9), "Button1");
    queryRow->addWidget(Edit1, 1);
    queryRow->addWidget(Button1);
    query->addLayout(queryRow);
    CheckBox1 = Named(new QCheckBox(Ui("Слова должны идти подряд"), Panel9), "CheckBox1");
    CheckBox1->setChecked(true);
    query->addWidget(CheckBox1);
    TabSheet4->layout()->addWidget(Panel9);
    fcTreeView1 = NewTree(TabSheet4, "fcTreeView1");
    TabSheet4->layout()->addWidget(fcTreeView1);

    TabSheet2 = NewPage(PageControl1, "TabSheet2", "Иллюстрации");
    TitleTree = NewTree(TabSheet2, "TitleTree");
    TabSheet2->layout()->addWidget(TitleTree);

    TabSheet3 = NewPage(PageControl1, "TabSheet3", "Музыка");
    Panel10 = NewPanel(TabSheet3, "Panel10");
    auto* music = new QVBoxLayout(Panel10);
    music->setContentsMargins(0, 0, 0, 0);
    Label2 = Named(new QLabel(Panel10), "Label2");
    Label2->setWordWrap(true);
    music->addWidget(Label2);
    TabSheet3->layout()->addWidget(Panel10);
    fcTreeView2 = NewTree(TabSheet3, "fcTreeView2");
    TabSheet3->layout()->addWidget(fcTreeView2);

    TabSheet5 = NewPage(PageControl1, "TabSheet5", "Аудиоприложения");
    ListBox3 = Named(new QListWidget(TabSheet5), "ListBox3");
    TabSheet5->layout()->addWidget(ListBox3);

    TabSheet6 = NewPage(PageControl1, "TabSheet6", "Видеоприложения");
    ListBox4 = Named(new QListWidget(TabSheet6), "ListBox4");
    TabSheet6->layout()->addWidget(ListBox4);

    // The right pane: the toolbar row (never shown), the player bar, then the three panels
    // lying on top of each other.
    Panel1 = NewPanel(this, "Panel1");
    auto* right = new QVBoxLayout(Panel1);
    right->setContentsMargins(0, 0, 0, 0);
    right->setSpacing(0);
    Panel4 = NewPanel(Panel1, "Panel4");
    auto* toolbar = new QHBoxLayout(Panel4);
    Button2 = Named(new QPushButton(Ui("Об издании"), Panel4), "Button2");
    toolbar->addWidget(Button2);
    Panel4->hide();
    right->addWidget(Panel4);
    Panel5 = NewPanel(Panel1, "Panel5");
    Panel5->setFixedHeight(30);
    Panel5->setFrameShape(QFrame::StyledPanel);
    Panel5->hide();
    right->addWidget(Panel5);

    auto* stack = new QWidget(Panel1);
    PanelStack = new QStackedLayout(stack);
    Panel6 = NewPanel(stack, "Panel6");
    auto* textLayout = new QVBoxLayout(Panel6);
    textLayout->setContentsMargins(0, 0, 0, 0);
    HTMLViewer1 = Named(new THtmlView(Panel6), "HTMLViewer1");
    HTMLViewer1->setFrameShape(QFrame::NoFrame);
    textLayout->addWidget(HTMLViewer1);
    Panel8 = NewPanel(stack, "Panel8");
    RxRichEdit1 = Named(new QTextEdit(Panel8), "RxRichEdit1");
    RxRichEdit1->hide();
    Panel12 = NewPanel(stack, "Panel12");
    PanelStack->addWidget(Panel6);
    PanelStack->addWidget(Panel8);
    PanelStack->addWidget(Panel12);
    right->addWidget(stack, 1);

    // The floating font panel.
    Panel7 = NewPanel(this, "Panel7");
    Panel7->setFrameShape(QFrame::Panel);
    Panel7->setFrameShadow(QFrame::Raised);
    Panel7->setAutoFillBackground(true);
    auto* font = new QHBoxLayout(Panel7);
    font->setContentsMargins(6, 4, 6, 4);
    Label3 = Named(new QLabel(Ui("Шрифт текста:"), Panel7), "Label3");
    FlatSpinEditInteger1 = Named(new QSpinBox(Panel7), "FlatSpinEditInteger1");
    FlatSpinEditInteger1->setRange(12, 72);
    FlatSpinEditInteger1->setSingleStep(2);
    FlatSpinEditInteger1->setValue(12);
    FlatSpinEditInteger1->setMinimumWidth(56);
    FlatSpeedButton1 = Named(new QPushButton(Ui("ОК"), Panel7), "FlatSpeedButton1");
    FlatSpeedButton1->setFixedWidth(40);
    font->addWidget(Label3);
    font->addWidget(FlatSpinEditInteger1);
    font->addWidget(FlatSpeedButton1);
    Panel7->adjustSize();

    // The hint panel.
    Panel13 = Named(new QLabel(this), "Panel13");
    Panel13->setAlignment(Qt::AlignCenter);
    Panel13->setAutoFillBackground(true);
    QPalette hint = Panel13->palette();
    hint.setColor(QPalette::Window, QColor(252, 248, 216));
    hint.setColor(QPalette::WindowText, Qt::black);
    Panel13->setPalette(hint);

    // Events.
    connect(ComboBox1, &QComboBox::activated, this,
            [this](int index) { Guarded([&] { ComboBox1Change(index); }); });
    connect(TreeView, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* node, int) { Guarded([&] { TreeViewDblClick(node); }); });
    connect(PageControl1, &QTabWidget::currentChanged, this, [this](int index) {
        if (!FSettingPage)
            Guarded([&] { PageControl1Change(index); });
    });
    HTMLViewer1->OnParseBegin = [this](std::string& source) { HTMLViewer1ParseBegin(source); };
    HTMLViewer1->OnHotSpotClick = [this](const std::string& target, bool& handled) {
        HTMLViewer1HotSpotClick(target, handled);
    };
    connect(Button2, &QPushButton::clicked, this, [this] { Guarded([&] { Button2Click(); }); });
    connect(Button1, &QPushButton::clicked, this, [this] { Guarded([&] { Button1Click(); }); });
    // Every double-click on the results tree counts, also one beside the nodes.
    fcTreeView1->viewport()->installEventFilter(this);
    connect(FlatSpinEditInteger1, &QSpinBox::valueChanged, this,
            [this](int value) { FlatSpinEditInteger1Change(value); });
    connect(FlatSpeedButton1, &QPushButton::clicked, this, [this] { FlatSpeedButton1Click(); });
    FFocusConnection =
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
            const auto inPanel = [this](QWidget* w) {
                return w && (w == Panel7 || Panel7->isAncestorOf(w));
            };
            if (Panel7->isVisible() && inPanel(old) && !inPanel(now))
                Panel7Exit();
        });
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
    ApplySkin(builtin.Face, builtin.Mask, builtin.Data);

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
}

void TForm1::ApplyBookOptions() {
    const Tbook& book = Book();
    PageControl1->setTabVisible(PageControl1->indexOf(TabSheet2), book.Pictures);
    PageControl1->setTabVisible(PageControl1->indexOf(TabSheet3), book.Music);
    Panel5->setVisible(book.Music);
    PageControl1->setTabVisible(PageControl1->indexOf(TabSheet5), book.Audio);
    if (book.Audio)
        Panel5->setVisible(true);
    PageControl1->setTabVisible(PageControl1->indexOf(TabSheet6), book.Video);
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
    // The results name articles of the edition searched: they go with it, so that a hit is
    // never opened as an article of another edition.
    if (SearchForm)
        SearchForm->ClearResults();
    ComboBox1->setToolTip(ComboBox1->itemText(index));
    ShowEditionNameFromStart();
    ApplyBookOptions();
    ContentsList = std::move(list);
    BuildContentsTree();
    if (!failure.isEmpty())
        ShowMessageBox(Ui("Ошибка!"), Ui("Не удалось прочитать содержание книги.\n") + failure);
    if (HasEditionSkin())
        LoadSkin(EditionSkinFolderOf(Book().BookFolder));
    LoadAboutPage();
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
    OpenArticle(CurrentArticle);
}

void TForm1::PageControl1Change(int index) {
    if (index == 0)
        BringToFront(Panel6);
}

// Articles and pages.

void TForm1::OpenArticle(int article) {
    if (BookList.empty() || article < 0 || article >= static_cast<int>(ContentsList.size()))
        return;
    QCoreApplication::processEvents();
    // Waiting events may have switched the edition meanwhile.
    if (article >= static_cast<int>(ContentsList.size()))
        return;
    const TWaitCursor wait;
    std::string body;
    try {
        body = ReadArticle(Book().BookFolder, ContentsList, article);
    } catch (const ETextStoreOpenError&) {
        ShowMessageBox(Ui("Ошибка!"), Ui(TextStoreMissingText));
        return;
    }
    ShowPage(body, ArticlePicturePath(AppFolder), std::string(ArticleTextColour));
}

void TForm1::ShowPage(const std::string& body, const std::string& picture,
                      const std::string& colour) {
    const TComposedPage page = ComposeBookPage(AppFolder, Book(), body, picture, colour);
    HTMLViewer1->SetBaseFolder(page.BaseFolder);
    HTMLViewer1->LoadFromBytes(page.Source);
}

void TForm1::HTMLViewer1ParseBegin(std::string& source) {
    if (BookList.empty())
        return;
    RewriteBookPage(Book(), source, HighlightWords, HighlightOn);
}

void TForm1::HTMLViewer1HotSpotClick(const std::string& target, bool& handled) {
    if (BookList.empty())
        return;
    const TPageLink link = ClassifyLink(target, Book());
    if (link.Kind != TLinkKind::ReferencePage)
        return; // the view follows the link itself
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
        OpenArticle(*j);
    }
}

void TForm1::SpeedButton7Click() {
    if (const std::optional<int> j = NextArticle(ContentsList, CurrentArticle)) {
        CurrentArticle = *j;
        OpenArticle(*j);
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
    const std::unique_ptr<QPrinter> printer = MakePrinter();
    const int pages = HTMLViewer1->PrintedPageCount(*printer);
    HTMLViewer1->PrintPages(*printer, 1, pages);
}

bool TForm1::HasEditionSkin() const {
    return FileExists(LayoutPath(EditionSkinFolderOf(Book().BookFolder), Layout::SkinData));
}

void TForm1::LoadAboutPage() {
    const std::string about = ResolvePath(AboutPagePath(Book().BookFolder));
    if (FileExists(about))
        HTMLViewer1->LoadFromFile(about);
}

void TForm1::Button2Click() {
    if (BookList.empty())
        return;
    const std::string about = ResolvePath(AboutPagePath(Book().BookFolder));
    if (!FileExists(about))
        return;
    HTMLViewer1->LoadFromFile(about);
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
    OpenArticle(node->data(0, ResultArticleRole).toInt());
}

// Skin.

void TForm1::LoadSkin(const std::string& folder) {
    const auto readPicture = [&](const char* name) {
        const std::string path = ResolvePath(LayoutPath(folder, name));
        QImage picture;
        std::string bytes;
        if (FileExists(path)) {
            try {
                bytes = ReadWholeFile(path);
            } catch (const EStreamError&) {
                bytes.clear();
            }
        }
        if (bytes.empty() || !picture.loadFromData(reinterpret_cast<const uchar*>(bytes.data()),
                                                   static_cast<int>(bytes.size())))
            throw EStreamError("Cannot open file \"" + LayoutPath(folder, name) + "\".");
        return picture;
    };
    // Both pictures are read before anything changes, so a damaged skin leaves the one in use
    // whole.
    const QImage face = readPicture(Layout::SkinFace);
    const QImage mask = readPicture(Layout::SkinMask);
    ApplySkin(face, mask, ReadSkinData(folder));
}

void TForm1::ApplySkin(const QImage& face, const QImage& mask, const TSkinData& data) {
    Image1->SetPicture(face);
    FMask = mask.convertToFormat(QImage::Format_RGB32);
    Image2->setPixmap(QPixmap::fromImage(FMask));
    Image2->setGeometry(0, 0, FMask.width(), FMask.height());
    Panel2->setGeometry(data.X1, data.Y1, data.W1, data.H1);
    Panel1->setGeometry(data.X2, data.Y2, data.W2, data.H2);
    QPalette palette = TreeView->palette();
    palette.setColor(QPalette::Base, QColor(static_cast<int>(data.TreeColor & 0xFF),
                                            static_cast<int>((data.TreeColor >> 8) & 0xFF),
                                            static_cast<int>((data.TreeColor >> 16) & 0xFF)));
    TreeView->setPalette(palette);
    setFixedSize(face.size());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect r = screen->geometry();
        move(r.left() + r.width() / 2 - face.width() / 2,
             r.top() + r.height() / 2 - face.height() / 2);
    }
    Image1->lower();
    Image2->lower();
}

const TSkinRegionInfo* TForm1::RegionAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= FMask.width() || y >= FMask.height())
        return nullptr;
    const QRgb pixel = FMask.pixel(x, y);
    return SkinRegionOf(static_cast<std::uint8_t>(qRed(pixel)),
                        static_cast<std::uint8_t>(qGreen(pixel)),
                        static_cast<std::uint8_t>(qBlue(pixel)));
}

void TForm1::Image1MouseMove(int x, int y) {
    const TSkinRegionInfo* info = RegionAt(x, y);
    if (!info)
        return;
    switch (info->Region) {
    case TSkinRegion::Move:
        Image1->setCursor(Qt::ArrowCursor);
        HintRegion = 0;
        HideSkinHint();
        return;
    case TSkinRegion::Minimise:
        Image1->setCursor(Qt::PointingHandCursor);
        return;
    case TSkinRegion::None:
        return;
    default:
        Image1->setCursor(Qt::PointingHandCursor);
        if (HintRegion != info->Number) {
            HideSkinHint();
            HintRegion = info->Number;
        }
        ShowSkinHint(x + info->HintDx, y + info->HintDy, FromUtf8(info->Hint));
    }
}

void TForm1::Image1MouseDown(Qt::MouseButton button, int x, int y) {
    const TSkinRegionInfo* info = RegionAt(x, y);
    if (!info)
        return;
    switch (info->Region) {
    case TSkinRegion::Move:
        if (button != Qt::RightButton)
            Image1->StartMove();
        break;
    case TSkinRegion::Exit:
        close();
        break;
    case TSkinRegion::Minimise:
        showMinimized();
        break;
    case TSkinRegion::Settings:
        // At the press point, kept inside the window.
        Panel7->move(std::clamp(x - 5, 0, std::max(0, width() - Panel7->width())),
                     std::clamp(y - 5, 0, std::max(0, height() - Panel7->height())));
        Panel7->setVisible(!Panel7->isVisible());
        if (Panel7->isVisible()) {
            Panel7->raise();
            FlatSpinEditInteger1->setFocus();
        }
        break;
    case TSkinRegion::Print:
        SpeedButton8Click();
        break;
    case TSkinRegion::Copy:
        SpeedButton3Click();
        break;
    case TSkinRegion::Previous:
        SpeedButton6Click();
        break;
    case TSkinRegion::Next:
        SpeedButton7Click();
        break;
    case TSkinRegion::About:
        Button2Click();
        break;
    case TSkinRegion::None:
        break;
    }
}

void TForm1::ShowSkinHint(int x, int y, const QString& text) {
    if (Panel13->isVisible() || text.isEmpty())
        return;
    Panel13->setText(text);
    const QFontMetrics metrics(Panel13->font());
    Panel13->setGeometry(x, y, metrics.horizontalAdvance(text) + 3, metrics.height() + 3);
    Panel13->show();
    Panel13->raise();
}

void TForm1::HideSkinHint() {
    Panel13->hide();
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
    PanelStack->setCurrentWidget(panel);
}

void TForm1::SetActivePage(int index) {
    FSettingPage = true;
    PageControl1->setCurrentIndex(index);
    FSettingPage = false;
}

// The skin picture.

TSkinImage::TSkinImage(TForm1* form) : QWidget(form), FForm(form) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TSkinImage::SetPicture(const QImage& face) {
    FFace = face;
    setGeometry(0, 0, face.width(), face.height());
    update();
}

void TSkinImage::StartMove() {
    // The system's own move, as if the title bar were dragged; without a window manager the
    // window follows the mouse itself.
    if (QWindow* window = FForm->windowHandle(); window && window->startSystemMove())
        return;
    FDragging = true;
    FDragOffset = QCursor::pos() - FForm->pos();
    grabMouse();
}

void TSkinImage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, FFace);
}

void TSkinImage::mouseMoveEvent(QMouseEvent* event) {
    if (FDragging) {
        FForm->move(event->globalPosition().toPoint() - FDragOffset);
        return;
    }
    const QPoint p = event->position().toPoint();
    Guarded([&] { FForm->Image1MouseMove(p.x(), p.y()); });
}

void TSkinImage::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    Guarded([&] { FForm->Image1MouseDown(event->button(), p.x(), p.y()); });
}

void TSkinImage::mouseReleaseEvent(QMouseEvent*) {
    if (FDragging) {
        FDragging = false;
        releaseMouse();
    }
}

} // namespace quarto
