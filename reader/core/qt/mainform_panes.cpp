// The main window's components, built pane by pane: the face's pictures at the bottom, the
// left pane (edition box over the tabbed lists), the right pane (the text and the panels lying
// on top of it), the floating font panel, the hint panel on top, then the events.
#include "mainform.h"

#include "ErrorReport.h"
#include "FindBar.h"
#include "HtmlView.h"
#include "PageTabs.h"
#include "PlayerBar.h"
#include "TreeFiller.h"

#include "common/qt/Named.h"
#include "common/qt/QtText.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedLayout>
#include <QStyle>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace quarto {

namespace {

QFrame* NewPanel(QWidget* parent, const char* name) {
    auto* panel = Named(new QFrame(parent), name);
    panel->setFrameShape(QFrame::NoFrame);
    return panel;
}

// A pane over the face: opaque, in the system's window colours, so that its labels read on
// any skin.
QFrame* NewPane(QWidget* parent, const char* name) {
    QFrame* pane = NewPanel(parent, name);
    pane->setAutoFillBackground(true);
    pane->setBackgroundRole(QPalette::Window);
    return pane;
}

QTreeWidget* NewTree(QWidget* parent, const char* name) {
    auto* tree = Named(new QTreeWidget(parent), name);
    tree->setHeaderHidden(true);
    tree->setColumnCount(1);
    tree->setIndentation(19);
    tree->setRootIsDecorated(true);
    tree->setUniformRowHeights(true);
    tree->setTextElideMode(Qt::ElideRight);
    ShowTipsOnlyForCutLabels(*tree);
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

// A hidden line over a page's list saying why the list is empty.
QLabel* NewListNotice(QWidget* page, const char* name) {
    auto* notice = Named(new QLabel(page), name);
    notice->setWordWrap(true);
    notice->setAlignment(Qt::AlignCenter);
    notice->setContentsMargins(4, 8, 4, 8);
    notice->hide();
    page->layout()->addWidget(notice);
    return notice;
}

} // namespace

void TForm1::CreateComponents() {
    CreateFacePictures();
    CreateLeftPane();
    CreateRightPane();
    FFace->SetPanes(Panel2, Panel1, TreeView);
    CreateFontPanel();
    CreateHintPanel();
    CreateParts();
    ConnectEvents();
}

void TForm1::CreateFacePictures() {
    FFace->CreatePictures();
    Image2 = Named(FFace->MaskPicture(), "Image2");
    Image1 = Named(FFace->Picture(), "Image1");
}

// The left pane: the edition box over the tabbed lists.
void TForm1::CreateLeftPane() {
    Panel2 = NewPane(this, "Panel2");
    auto* left = new QVBoxLayout(Panel2);
    left->setContentsMargins(0, 0, 0, 0);
    left->setSpacing(2);
    CreateEditionBox();
    left->addWidget(Panel3);

    PageControl1 = Named(new QTabWidget(Panel2), "PageControl1");
    PageControl1->setUsesScrollButtons(true);
    PageControl1->setDocumentMode(true);
    CreateTextsPage();
    CreateSearchPage();
    CreatePicturesPage();
    CreateMusicPage();
    CreateAudioPage();
    CreateVideoPage();
    // The tabs in rows over the pages: all of them stay in sight in a narrow pane.
    PageTabs = new TPageTabs(*PageControl1, Panel2);
    left->addWidget(PageTabs);
    left->addWidget(PageControl1, 1);
}

void TForm1::CreateEditionBox() {
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
}

void TForm1::CreateTextsPage() {
    TabSheet1 = NewPage(PageControl1, "TabSheet1", "Тексты");
    TreeView = NewTree(TabSheet1, "TreeView");
    TabSheet1->layout()->addWidget(TreeView);
}

// Top to bottom: the query, the sequence option, the button, the results.
void TForm1::CreateSearchPage() {
    TabSheet4 = NewPage(PageControl1, "TabSheet4", "Поиск");
    Panel9 = NewPanel(TabSheet4, "Panel9");
    auto* query = new QVBoxLayout(Panel9);
    query->setContentsMargins(0, 0, 0, 0);
    query->setSpacing(3);
    Edit1 = Named(new QLineEdit(Panel9), "Edit1");
    CheckBox1 = Named(new QCheckBox(Ui("Слова должны идти подряд"), Panel9), "CheckBox1");
    CheckBox1->setChecked(true);
    Button1 = Named(new QPushButton(Ui("Найти"), Panel9), "Button1");
    query->addWidget(Edit1);
    query->addWidget(CheckBox1);
    query->addWidget(Button1, 0, Qt::AlignLeft);
    TabSheet4->layout()->addWidget(Panel9);
    // The arrows stepping through the hits, at the right above the results.
    auto* steps = new QHBoxLayout();
    steps->setContentsMargins(0, 0, 0, 0);
    steps->addStretch(1);
    FPreviousHit = Named(new QToolButton(TabSheet4), "PreviousHit");
    FPreviousHit->setArrowType(Qt::UpArrow);
    FPreviousHit->setAutoRaise(true);
    FPreviousHit->setToolTip(Ui("Предыдущая найденная статья (Ctrl+Вверх)"));
    FNextHit = Named(new QToolButton(TabSheet4), "NextHit");
    FNextHit->setArrowType(Qt::DownArrow);
    FNextHit->setAutoRaise(true);
    FNextHit->setToolTip(Ui("Следующая найденная статья (Ctrl+Вниз)"));
    steps->addWidget(FPreviousHit);
    steps->addWidget(FNextHit);
    static_cast<QVBoxLayout*>(TabSheet4->layout())->addLayout(steps);
    fcTreeView1 = NewTree(TabSheet4, "fcTreeView1");
    TabSheet4->layout()->addWidget(fcTreeView1);
}

void TForm1::CreatePicturesPage() {
    TabSheet2 = NewPage(PageControl1, "TabSheet2", "Иллюстрации");
    TitleTree = NewTree(TabSheet2, "TitleTree");
    TabSheet2->layout()->addWidget(TitleTree);
}

void TForm1::CreateMusicPage() {
    TabSheet3 = NewPage(PageControl1, "TabSheet3", "Музыка");
    Panel10 = NewPanel(TabSheet3, "Panel10");
    auto* music = new QVBoxLayout(Panel10);
    music->setContentsMargins(0, 0, 0, 0);
    Label2 = Named(new QLabel(Panel10), "Label2");
    Label2->setText(Ui("\nДля прослушивания музыки, \nвставьте любой диск из данной серии\n"
                       "и еще раз зайдите на вкладку\n'Музыка'"));
    Label2->setAlignment(Qt::AlignCenter);
    Label2->setWordWrap(true);
    music->addWidget(Label2);
    Panel10->hide();
    TabSheet3->layout()->addWidget(Panel10);
    fcTreeView2 = NewTree(TabSheet3, "fcTreeView2");
    TabSheet3->layout()->addWidget(fcTreeView2);
}

void TForm1::CreateAudioPage() {
    TabSheet5 = NewPage(PageControl1, "TabSheet5", "Аудиоприложения");
    FAudioNotice = NewListNotice(TabSheet5, "AudioNotice");
    ListBox3 = Named(new QListWidget(TabSheet5), "ListBox3");
    TabSheet5->layout()->addWidget(ListBox3);
}

void TForm1::CreateVideoPage() {
    TabSheet6 = NewPage(PageControl1, "TabSheet6", "Видеоприложения");
    FVideoNotice = NewListNotice(TabSheet6, "VideoNotice");
    ListBox4 = Named(new QListWidget(TabSheet6), "ListBox4");
    TabSheet6->layout()->addWidget(ListBox4);
}

// The right pane: the toolbar row (never shown), the player bar, the three panels lying on top
// of each other, then the find bar.
void TForm1::CreateRightPane() {
    Panel1 = NewPane(this, "Panel1");
    auto* right = new QVBoxLayout(Panel1);
    right->setContentsMargins(0, 0, 0, 0);
    right->setSpacing(0);
    Panel4 = NewPanel(Panel1, "Panel4");
    auto* toolbar = new QHBoxLayout(Panel4);
    Button2 = Named(new QPushButton(Ui("Об издании"), Panel4), "Button2");
    toolbar->addWidget(Button2);
    Panel4->hide();
    right->addWidget(Panel4);
    Panel5 = new TPlayerBar(Panel1);
    SpeedButton1 = Panel5->SpeedButton1;
    Label4 = Panel5->Label4;
    right->addWidget(Panel5);
    right->addWidget(CreatePanelStack(), 1);
    FFindBar = new TFindBar(*HTMLViewer1, Panel1);
    right->addWidget(FFindBar);
}

// The text (Panel6), the thumbnail grid's panel (Panel8, which also holds the hidden copy
// buffer and title list) and Panel12, of which BringToFront shows one.
QWidget* TForm1::CreatePanelStack() {
    auto* stack = new QWidget(Panel1);
    FPanelStack = new QStackedLayout(stack);
    Panel6 = NewPanel(stack, "Panel6");
    auto* textLayout = new QVBoxLayout(Panel6);
    textLayout->setContentsMargins(0, 0, 0, 0);
    HTMLViewer1 = Named(new THtmlView(Panel6), "HTMLViewer1");
    HTMLViewer1->setFrameShape(QFrame::NoFrame);
    textLayout->addWidget(HTMLViewer1);
    Panel8 = NewPanel(stack, "Panel8");
    RxRichEdit1 = Named(new QTextEdit(Panel8), "RxRichEdit1");
    RxRichEdit1->hide();
    ListBox2 = Named(new QListWidget(Panel8), "ListBox2");
    ListBox2->hide();
    Panel12 = NewPanel(stack, "Panel12");
    FPanelStack->addWidget(Panel6);
    FPanelStack->addWidget(Panel8);
    FPanelStack->addWidget(Panel12);
    return stack;
}

// The floating font panel, shown by the face's settings area.
void TForm1::CreateFontPanel() {
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
}

// The face's hint panel, over everything else.
void TForm1::CreateHintPanel() {
    Panel13 = Named(FFace->CreateHintPanel(), "Panel13");
}

void TForm1::ConnectEvents() {
    connect(ComboBox1, &QComboBox::activated, this,
            [this](int index) { Guarded([&] { ComboBox1Change(index); }); });
    connect(TreeView, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* node, int) { Guarded([&] { TreeViewDblClick(node); }); });
    connect(fcTreeView2, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* node, int) { Guarded([&] { fcTreeView2DblClick(node); }); });
    connect(ListBox3, &QListWidget::itemDoubleClicked, this,
            [this] { Guarded([&] { ListBox3DblClick(); }); });
    connect(ListBox4, &QListWidget::itemDoubleClicked, this,
            [this] { Guarded([&] { ListBox4DblClick(); }); });
    connect(SpeedButton1, &QToolButton::clicked, this,
            [this] { Guarded([&] { SpeedButton1Click(); }); });
    connect(TitleTree, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* node, int) { Guarded([&] { TitleTreeDblClick(node); }); });
    connect(PageControl1, &QTabWidget::currentChanged, this, [this](int index) {
        if (!FSettingPage)
            Guarded([&] { PageControl1Change(index); });
    });
    HTMLViewer1->OnParseBegin = [this](std::string& source) { HTMLViewer1ParseBegin(source); };
    HTMLViewer1->OnHotSpotClick = [this](const std::string& target, bool& handled) {
        // A link whose handler failed is not followed.
        if (!Guarded([&] { HTMLViewer1HotSpotClick(target, handled); }))
            handled = true;
    };
    connect(Button2, &QPushButton::clicked, this, [this] { Guarded([&] { Button2Click(); }); });
    connect(Button1, &QPushButton::clicked, this, [this] { Guarded([&] { Button1Click(); }); });
    // Every double-click on the results tree counts, also one beside the nodes.
    fcTreeView1->viewport()->installEventFilter(this);
    connect(FlatSpinEditInteger1, &QSpinBox::valueChanged, this,
            [this](int value) { Guarded([&] { FlatSpinEditInteger1Change(value); }); });
    connect(FlatSpeedButton1, &QPushButton::clicked, this,
            [this] { Guarded([&] { FlatSpeedButton1Click(); }); });
    FFocusConnection =
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
            const auto inPanel = [this](QWidget* w) {
                return w && (w == Panel7 || Panel7->isAncestorOf(w));
            };
            if (Panel7->isVisible() && inPanel(old) && !inPanel(now))
                Guarded([&] { Panel7Exit(); });
        });
}

} // namespace quarto
