#include "PreviewUnit.h"

#include "PictureImage.h"

#include "common/AsciiText.h"
#include "common/FileSystem.h"
#include "common/JpegCodec.h"
#include "common/MediaKinds.h"
#include "common/qt/Named.h"
#include "common/qt/QtText.h"
#include "reader/core/qt/ErrorReport.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFrame>
#include <QGuiApplication>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QSpinBox>
#include <QStatusBar>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <exception>

namespace quarto {

TPreviewForm* PreviewForm = nullptr;

namespace {

const QColor BackgroundColour(219, 216, 204); // the window's own face around the picture
const QColor PressedColour(128, 129, 255);    // a flat button held down
const QColor SlideShowOnColour(255, 0, 0);
constexpr int PanelWidth = 85;
constexpr int DescriptionHeight = 90;

QString FlatButtonStyle(const QColor& face) {
    return QStringLiteral("QToolButton { border: 1px solid transparent; background-color: %1; }"
                          "QToolButton:hover { border: 1px solid palette(dark); }"
                          "QToolButton:pressed { background-color: %2; }")
        .arg(face.isValid() ? face.name() : QStringLiteral("transparent"), PressedColour.name());
}

// A flat button of 76 × 17 at (4, top) of the column.
QToolButton* NewFlatButton(QWidget* parent, const char* name, const char* caption, int top) {
    auto* button = Named(new QToolButton(parent), name);
    button->setText(Ui(caption));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setStyleSheet(FlatButtonStyle(QColor()));
    button->setGeometry(4, top, 76, 17);
    return button;
}

QFrame* NewSeparator(QWidget* parent, const char* name, int top) {
    auto* line = Named(new QFrame(parent), name);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(4, top, 76, 2);
    return line;
}

} // namespace

TPreviewForm::TPreviewForm(QWidget* parent) : QWidget(parent) {
    setObjectName("PreviewForm");
    setWindowTitle(Ui("Иллюстрации"));
    QFont font(QStringLiteral("Times New Roman"));
    font.setPixelSize(13);
    setFont(font);
    // The window paints every pixel of its client area itself.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    CreateComponents();
    setMinimumHeight(150);
    resize(728, 492);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    PlaceComponents();
}

TPreviewForm::~TPreviewForm() {
    if (PreviewForm == this)
        PreviewForm = nullptr;
}

void TPreviewForm::CreateComponents() {
    Panel1 = Named(new QFrame(this), "Panel1");
    Panel1->setFrameShape(QFrame::NoFrame);
    Panel1->setAutoFillBackground(true);
    Panel1->setBackgroundRole(QPalette::Window);

    // Fixed places, so that the controls hidden in single mode leave their room empty.
    FlatSpeedButton1 = NewFlatButton(Panel1, "FlatSpeedButton1", "<<", 8);
    FlatSpeedButton2 = NewFlatButton(Panel1, "FlatSpeedButton2", ">>", 28);
    Shape1 = NewSeparator(Panel1, "Shape1", 52);
    FlatSpeedButton4 = NewFlatButton(Panel1, "FlatSpeedButton4", "Сохранить...", 60);
    FlatSpeedButton5 = NewFlatButton(Panel1, "FlatSpeedButton5", "В буфер", 80);
    Shape2 = NewSeparator(Panel1, "Shape2", 104);
    FlatSpeedButton3 = NewFlatButton(Panel1, "FlatSpeedButton3", "100%", 112);
    FlatSpeedButton3->setToolTip(Ui("Показать в полном разрешении."));
    CheckBox1 = Named(new QCheckBox(Ui("В окно"), Panel1), "CheckBox1");
    CheckBox1->setChecked(true);
    CheckBox1->setToolTip(Ui("Подгонять размеры картинки\nпод размеры окна."));
    CheckBox1->setFocusPolicy(Qt::NoFocus);
    CheckBox1->setGeometry(4, 134, 76, 17);
    Shape3 = NewSeparator(Panel1, "Shape3", 158);
    FlatSpeedButton6 = NewFlatButton(Panel1, "FlatSpeedButton6", "Слайд-шоу", 166);
    FlatSpinEditInteger1 = Named(new QSpinBox(Panel1), "FlatSpinEditInteger1");
    FlatSpinEditInteger1->setRange(0, 60);
    FlatSpinEditInteger1->setValue(2);
    FlatSpinEditInteger1->setGeometry(4, 188, 76, 21);
    SetSlideShowColour();

    Memo1 = Named(new QTextEdit(this), "Memo1");
    Memo1->setReadOnly(true);
    Memo1->setAcceptRichText(false);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QFont bold = font();
    bold.setBold(true);
    Memo1->setFont(bold);
    QPalette memoColours = Memo1->palette();
    memoColours.setColor(QPalette::Base, ScrollBarColour());
    Memo1->setPalette(memoColours);
    Memo1->hide();

    StatusBar1 = Named(new QStatusBar(this), "StatusBar1");
    StatusBar1->setAutoFillBackground(true);

    SBh = Named(new QScrollBar(Qt::Horizontal, this), "SBh");
    Sbv = Named(new QScrollBar(Qt::Vertical, this), "Sbv");
    for (QScrollBar* bar : {SBh, Sbv}) {
        bar->setRange(0, 0);
        bar->hide();
    }

    Timer1 = Named(new QTimer(this), "Timer1");
    Timer1->setInterval(2000);
    SaveDialog1 = nullptr; // made when first used

    connect(FlatSpeedButton1, &QToolButton::clicked, this,
            [this] { Guarded([&] { FlatSpeedButton1Click(); }); });
    connect(FlatSpeedButton2, &QToolButton::clicked, this,
            [this] { Guarded([&] { FlatSpeedButton2Click(); }); });
    connect(FlatSpeedButton3, &QToolButton::clicked, this,
            [this] { Guarded([&] { FlatSpeedButton3Click(); }); });
    connect(FlatSpeedButton4, &QToolButton::clicked, this,
            [this] { Guarded([&] { FlatSpeedButton4Click(); }); });
    connect(FlatSpeedButton5, &QToolButton::clicked, this,
            [this] { Guarded([&] { FlatSpeedButton5Click(); }); });
    connect(FlatSpeedButton6, &QToolButton::clicked, this,
            [this] { Guarded([&] { FlatSpeedButton6Click(); }); });
    connect(FlatSpinEditInteger1, &QSpinBox::valueChanged, this,
            [this](int value) { Guarded([&] { FlatSpinEditInteger1Change(value); }); });
    connect(SBh, &QScrollBar::valueChanged, this, [this] { Guarded([&] { SBhChange(); }); });
    connect(Sbv, &QScrollBar::valueChanged, this, [this] { Guarded([&] { SbvChange(); }); });
    connect(Timer1, &QTimer::timeout, this, [this] { Guarded([&] { Timer1Timer(); }); });
    // Escape closes the window as its close box does.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, [this] { close(); });
}

// The status bar along the bottom, the button column on the left above it, the description
// box right of the column above the status bar.
void TPreviewForm::PlaceComponents() {
    const int statusHeight = StatusBar1->sizeHint().height();
    StatusBar1->setGeometry(0, height() - statusHeight, width(), statusHeight);
    Panel1->setGeometry(0, 0, PanelWidth, std::max(height() - statusHeight, 0));
    Memo1->setGeometry(PanelWidth, height() - statusHeight - FMemoHeight,
                       std::max(width() - PanelWidth, 0), FMemoHeight);
    Memo1->setVisible(FMemoHeight > 0);
}

QColor TPreviewForm::ScrollBarColour() {
    // Qt has no colour role of scroll bars: the button colour a shade darker, which under the
    // default palette is the usual scroll-bar grey (200, 200, 200).
    return QColor(QApplication::palette().color(QPalette::Button).darker(120).rgb());
}

TViewerArea TPreviewForm::Area() const {
    return ViewerArea(width(), height(), Panel1->width(), FMemoHeight);
}

void TPreviewForm::SetCatalogue(QListWidget* listBox2, std::function<void()> listBox2Click) {
    FListBox2 = listBox2;
    FListBox2Click = std::move(listBox2Click);
}

bool TPreviewForm::LoadPicture(const std::string& path) {
    // Only the pictures the reader opens itself (common/MediaKinds.h) are decoded.
    if (const TMediaType& type = MediaTypeOfName(path);
        !type.ReaderOpens || type.Kind != TMediaKind::Picture)
        return true;
    try {
        TDibPicture picture = DecodePicture(ReadWholeFile(ResolvedOrGiven(path)));
        Picture = std::move(picture);
        Notice.clear();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool TPreviewForm::OpenPicture(const std::string& path) {
    if (LoadPicture(path))
        return true;
    Picture = TDibPicture();
    Notice = Ui("Не удаётся показать рисунок «") + FromUtf8(std::string(FileNameIn(path))) +
             Ui("»: файл не читается или повреждён.");
    return false;
}

void TPreviewForm::SetDescription(const QString& text) {
    Memo1->setPlainText(text);
    FMemoHeight = text.isEmpty() ? 0 : DescriptionHeight;
    PlaceComponents();
}

void TPreviewForm::ShowCatalogue() {
    FullSize = false;
    FlatSpeedButton3->setText(Ui("100%"));
    ViewerMode = TViewerMode::Catalogue;
    DrawPicture();
    // Opening brings the window up, which activates it.
    if (isVisible()) {
        raise();
        FormActivate();
    }
}

void TPreviewForm::ShowSingle(const std::string& path) {
    StopSlideShow(); // the article's picture is not one of the catalogue's
    OpenPicture(path);
    FullSize = false;
    FlatSpeedButton3->setText(Ui("100%"));
    ViewerMode = TViewerMode::Single;
    setWindowTitle(Ui("Иллюстрации"));
    show();
    raise();
    SetDescription(QString());
    DrawPicture();
    FormActivate();
}

bool TPreviewForm::PictureEmpty() const {
    return Picture.Width <= 0 || !Picture.Valid();
}

void TPreviewForm::ApplyFullSizeButtonRule() {
    const TViewerArea area = Area();
    const TFittedPicture fitted =
        FitPicture(Picture.Width, Picture.Height, area.Width, area.FitHeight);
    FlatSpeedButton3->setVisible(
        FullSizeButtonVisible(FullSize, Picture.Width, Picture.Height, fitted));
}

void TPreviewForm::DrawPicture() {
    if (PictureEmpty()) {
        // Only the face (and the notice) is painted; the window is brought up for a notice.
        ViewBuffer = QImage();
        FViewValid = false;
        if (!Notice.isEmpty()) {
            FlatSpeedButton3->hide(); // nothing to show pixel for pixel
            if (!isVisible())
                show();
        }
        update();
        return;
    }
    if (!isVisible())
        show();
    ApplyFullSizeButtonRule();
    BuildView();
    update();
}

TPreviewForm::TViewKey TPreviewForm::ViewKeyNow() const {
    TViewKey key;
    key.Pixels = Picture.Pixels.data();
    key.Width = Picture.Width;
    key.Height = Picture.Height;
    key.BitsPerPixel = Picture.BitsPerPixel;
    key.FullSize = FullSize;
    key.ClientWidth = width();
    key.ClientHeight = height();
    key.MemoHeight = FMemoHeight;
    if (FullSize) {
        key.Left = SBh->value();
        key.Top = Sbv->value();
    }
    return key;
}

// ViewBuffer and its place: the fitted picture scaled by bilinear interpolation, or in
// full-size mode the part of the picture at the scroll positions, at the column's edge.
void TPreviewForm::BuildView() {
    ViewBuffer = QImage();
    FViewKey = ViewKeyNow();
    FViewValid = true;
    if (PictureEmpty())
        return;
    const TViewerArea area = Area();
    if (FullSize) {
        const TPicturePart part = FullSizePart(Picture.Width, Picture.Height, SBh->value(),
                                               Sbv->value(), area.Width, area.ScrollHeight);
        FViewPlace = QPoint(Panel1->width(), 0);
        if (part.Width > 0 && part.Height > 0)
            ViewBuffer = PictureImageView(Picture)
                             .copy(part.Left, part.Top, part.Width, part.Height)
                             .convertToFormat(QImage::Format_RGB32);
        return;
    }
    const TFittedPicture fitted =
        FitPicture(Picture.Width, Picture.Height, area.Width, area.FitHeight);
    FViewPlace = QPoint(Panel1->width() + fitted.Left, fitted.Top);
    if (fitted.Width <= 0 || fitted.Height <= 0)
        return;
    // Qt's raster engine interpolates bilinearly between pixel centres, as common's
    // ScaleBilinear does, in a fraction of its time (QImage::scaled averages areas and is
    // slower still).
    ViewBuffer = QImage(fitted.Width, fitted.Height, QImage::Format_RGB32);
    if (ViewBuffer.isNull())
        return;
    QPainter painter(&ViewBuffer);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(0, 0, fitted.Width, fitted.Height), PictureImageView(Picture));
}

void TPreviewForm::DrawScrolled() {
    if (!FullSize || PictureEmpty())
        return; // a fitted picture is drawn again by the caller that moved the positions
    BuildView();
    update();
    BringTopButtonsToFront();
}

void TPreviewForm::SetScrollRanges(bool afterResize) {
    const TViewerArea area = Area();
    const auto maximum = afterResize ? ViewerScrollMaximumAfterResize : ViewerScrollMaximum;
    Sbv->setMaximum(maximum(Picture.Height, area.ScrollHeight));
    SBh->setMaximum(maximum(Picture.Width, area.Width));
}

void TPreviewForm::BringTopButtonsToFront() {
    FlatSpeedButton1->raise();
    FlatSpeedButton2->raise();
    FlatSpeedButton3->raise();
}

void TPreviewForm::FlatSpeedButton3Click() {
    FullSize = !FullSize;
    FlatSpeedButton3->setText(FullSize ? Ui("Обратно") : Ui("100%"));
    SetScrollRanges(false);
    SBh->setValue(0);
    Sbv->setValue(0);
    DrawPicture();
    BringTopButtonsToFront();
}

void TPreviewForm::Step(int delta) {
    if (ViewerMode == TViewerMode::Catalogue && FListBox2) {
        const int row = FListBox2->currentRow();
        const bool moves = delta < 0 ? row > 0 : row < FListBox2->count() - 1;
        if (moves) {
            FListBox2->setCurrentRow(row + delta);
            if (FListBox2Click)
                FListBox2Click();
        }
    }
    const bool fit = CheckBox1->isChecked();
    if (fit) {
        FullSize = false;
        FlatSpeedButton3->setText(Ui("100%"));
    }
    DrawPicture();
    if (!fit) {
        // Full-size mode stays and starts at the top left of the new picture.
        SetScrollRanges(false);
        SBh->setValue(0);
        Sbv->setValue(0);
    }
    BringTopButtonsToFront();
}

void TPreviewForm::FlatSpeedButton1Click() {
    Step(-1);
}

void TPreviewForm::FlatSpeedButton2Click() {
    Step(+1);
}

void TPreviewForm::FlatSpeedButton4Click() {
    if (PictureEmpty())
        return;
    hide();
    if (!SaveDialog1) {
        SaveDialog1 = Named(new QFileDialog(this), "SaveDialog1");
        SaveDialog1->setAcceptMode(QFileDialog::AcceptSave);
        SaveDialog1->setFileMode(QFileDialog::AnyFile);
        SaveDialog1->setNameFilter(Ui("Формат BMP (*.bmp)"));
        SaveDialog1->setDefaultSuffix(QStringLiteral("bmp"));
        SaveDialog1->setSizeGripEnabled(true);
    }
    if (SaveDialog1->exec() == QDialog::Accepted && !SaveDialog1->selectedFiles().isEmpty())
        SavePicture(ToUtf8(SaveDialog1->selectedFiles().constFirst()));
    show();
}

bool TPreviewForm::SavePicture(const std::string& path) {
    if (PictureEmpty() || path.empty())
        return false;
    std::string target = path;
    // A name typed without a dot gets the extension (".bmp" itself is kept as typed).
    if (FileNameOf(target).find('.') == std::string::npos)
        target += ".bmp";
    try {
        ReplaceWholeFile(target, EncodeBmp(Picture));
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void TPreviewForm::FlatSpeedButton5Click() {
    if (PictureEmpty())
        return;
    QGuiApplication::clipboard()->setImage(PictureImage(Picture));
}

void TPreviewForm::SetSlideShowColour() {
    FlatSpeedButton6->setStyleSheet(
        FlatButtonStyle(SlideShowOn ? SlideShowOnColour : ScrollBarColour()));
    // A style sheet set anew on a polished button gives it the application's font: it keeps
    // the column's.
    FlatSpeedButton6->setFont(Panel1->font());
}

// Timer1 ticks while it is switched on and its interval is not 0.
void TPreviewForm::UpdateTimer() {
    if (FTimerEnabled && Timer1->interval() > 0) {
        if (!Timer1->isActive())
            Timer1->start();
    } else {
        Timer1->stop();
    }
}

void TPreviewForm::FlatSpeedButton6Click() {
    FTimerEnabled = !FTimerEnabled;
    SlideShowOn = !SlideShowOn;
    UpdateTimer();
    SetSlideShowColour();
}

void TPreviewForm::FlatSpinEditInteger1Change(int value) {
    Timer1->setInterval(value * 1000); // restarts a running timer
    UpdateTimer();
}

void TPreviewForm::Timer1Timer() {
    if (FListBox2 && FListBox2->count() > 0) {
        const int last = FListBox2->count() - 1;
        if (FListBox2->currentRow() < last)
            FListBox2->setCurrentRow(FListBox2->currentRow() + 1);
        if (FListBox2Click)
            FListBox2Click();
        // The last entry shows only in passing: the show starts again at the first.
        if (FListBox2->currentRow() == last) {
            FListBox2->setCurrentRow(0);
            if (FListBox2Click)
                FListBox2Click();
        }
    }
    DrawPicture();
}

void TPreviewForm::SBhChange() {
    DrawScrolled();
}

void TPreviewForm::SbvChange() {
    DrawScrolled();
}

void TPreviewForm::FormActivate() {
    const bool catalogue = ViewerMode == TViewerMode::Catalogue;
    for (QWidget* control : std::initializer_list<QWidget*>{
             CheckBox1, FlatSpeedButton1, FlatSpeedButton2, FlatSpeedButton6, FlatSpinEditInteger1})
        control->setVisible(catalogue);
    if (catalogue) {
        FlatSpeedButton3->show();
        // The repaint that follows an activation hides it again for a small picture.
        if (!PictureEmpty())
            ApplyFullSizeButtonRule();
        else if (!Notice.isEmpty())
            FlatSpeedButton3->hide();
    }
    BringTopButtonsToFront();
}

void TPreviewForm::FormResize() {
    PlaceComponents();
    if (!isVisible())
        return;
    if (Painted && ViewerMode == TViewerMode::Catalogue)
        SetScrollRanges(true);
    DrawPicture();
    BringTopButtonsToFront();
    update();
}

void TPreviewForm::FormClose() {
    StopSlideShow();
}

void TPreviewForm::StopSlideShow() {
    FTimerEnabled = false;
    Timer1->stop();
    SlideShowOn = false;
    SetSlideShowColour();
}

void TPreviewForm::FormMouseDown(int x, int y) {
    DragPoint = QPoint(x, y);
}

void TPreviewForm::FormMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x,
                                 int y) {
    if (!FullSize || buttons != Qt::LeftButton ||
        (modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)))
        return;
    SBh->setValue(DraggedPosition(SBh->value(), DragPoint.x(), x, SBh->maximum()));
    Sbv->setValue(DraggedPosition(Sbv->value(), DragPoint.y(), y, Sbv->maximum()));
    DragPoint = QPoint(x, y);
}

void TPreviewForm::paintEvent(QPaintEvent*) {
    Painted = true;
    if (!PictureEmpty() && (!FViewValid || !(FViewKey == ViewKeyNow())))
        Guarded([&] { BuildView(); });
    QPainter painter(this);
    painter.fillRect(rect(), BackgroundColour);
    if (!PictureEmpty() && !ViewBuffer.isNull())
        painter.drawImage(FViewPlace, ViewBuffer);
    if (PictureEmpty() && !Notice.isEmpty()) {
        const TViewerArea area = Area();
        painter.setPen(Qt::black);
        painter.drawText(QRect(Panel1->width() + 10, 10, std::max(area.Width - 20, 0),
                               std::max(area.FitHeight - 20, 0)),
                         Qt::AlignCenter | Qt::TextWordWrap, Notice);
    }
}

void TPreviewForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Guarded([&] { FormResize(); });
}

void TPreviewForm::closeEvent(QCloseEvent* event) {
    Guarded([&] { FormClose(); });
    event->accept(); // hidden, not destroyed
}

void TPreviewForm::mousePressEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    Guarded([&] { FormMouseDown(point.x(), point.y()); });
}

void TPreviewForm::mouseMoveEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    Guarded([&] { FormMouseMove(event->buttons(), event->modifiers(), point.x(), point.y()); });
}

bool TPreviewForm::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate)
        Guarded([&] { FormActivate(); });
    return QWidget::event(event);
}

} // namespace quarto
