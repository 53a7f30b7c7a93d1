#include "SkinFace.h"

#include "common/ByteStream.h"
#include "common/EditionLayout.h"
#include "common/FileSystem.h"
#include "common/qt/QtText.h"
#include "reader/core/qt/ErrorReport.h"

#include <QCursor>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

#include <algorithm>

namespace quarto {

namespace {

// A picture of the skin folder; EStreamError naming it when it is missing or unreadable.
QImage ReadSkinPicture(const std::string& folder, const char* name) {
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
        throw EStreamError("Не удалось открыть файл \"" + LayoutPath(folder, name) + "\".");
    return picture;
}

} // namespace

TSkinFace::TSkinFace(QWidget& window, TSkinCommands& commands)
    : FWindow(window), FCommands(commands) {}

void TSkinFace::CreatePictures() {
    FMaskPicture = new QLabel(&FWindow);
    FMaskPicture->hide();
    FPicture = new TSkinImage(FWindow, *this);
}

QLabel* TSkinFace::CreateHintPanel() {
    FHint = new QLabel(&FWindow);
    FHint->setAlignment(Qt::AlignCenter);
    // The mouse goes through the hint to the face (or pane) below it, so that moving off a
    // button across its hint still reaches the move area around the button.
    FHint->setAttribute(Qt::WA_TransparentForMouseEvents);
    FHint->setAutoFillBackground(true);
    QPalette palette = FHint->palette();
    palette.setColor(QPalette::Window, QColor(252, 248, 216));
    palette.setColor(QPalette::WindowText, Qt::black);
    FHint->setPalette(palette);
    return FHint;
}

void TSkinFace::SetPanes(QWidget* left, QWidget* right, QWidget* tree) {
    FLeftPane = left;
    FRightPane = right;
    FTree = tree;
}

void TSkinFace::Load(const std::string& folder) {
    const QImage face = ReadSkinPicture(folder, Layout::SkinFace);
    const QImage mask = ReadSkinPicture(folder, Layout::SkinMask);
    Apply(face, mask, ReadSkinData(folder));
}

void TSkinFace::Apply(const QImage& face, const QImage& mask, const TSkinData& data) {
    FPicture->SetPicture(face);
    FMask = mask.convertToFormat(QImage::Format_RGB32);
    FMaskPicture->setPixmap(QPixmap::fromImage(FMask));
    FMaskPicture->setGeometry(0, 0, FMask.width(), FMask.height());
    if (FLeftPane)
        FLeftPane->setGeometry(data.X1, data.Y1, data.W1, data.H1);
    if (FRightPane)
        FRightPane->setGeometry(data.X2, data.Y2, data.W2, data.H2);
    if (FTree) {
        QPalette palette = FTree->palette();
        palette.setColor(QPalette::Base, QColor(static_cast<int>(data.TreeColor & 0xFF),
                                                static_cast<int>((data.TreeColor >> 8) & 0xFF),
                                                static_cast<int>((data.TreeColor >> 16) & 0xFF)));
        FTree->setPalette(palette);
    }
    FWindow.setFixedSize(face.size());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect r = screen->geometry();
        FWindow.move(r.left() + r.width() / 2 - face.width() / 2,
                     r.top() + r.height() / 2 - face.height() / 2);
    }
    FPicture->lower();
    FMaskPicture->lower();
}

const TSkinRegionInfo* TSkinFace::RegionAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= FMask.width() || y >= FMask.height())
        return nullptr;
    const QRgb pixel = FMask.pixel(x, y);
    return SkinRegionOf(static_cast<std::uint8_t>(qRed(pixel)),
                        static_cast<std::uint8_t>(qGreen(pixel)),
                        static_cast<std::uint8_t>(qBlue(pixel)));
}

void TSkinFace::MouseMove(int x, int y) {
    const TSkinRegionInfo* info = RegionAt(x, y);
    if (!info)
        return;
    switch (info->Region) {
    case TSkinRegion::Move:
        FPicture->setCursor(Qt::ArrowCursor);
        HintRegion = 0;
        HideHint();
        return;
    case TSkinRegion::Minimise:
        FPicture->setCursor(Qt::PointingHandCursor);
        return;
    case TSkinRegion::None:
        return;
    default:
        FPicture->setCursor(Qt::PointingHandCursor);
        if (HintRegion != info->Number) {
            HideHint();
            HintRegion = info->Number;
        }
        ShowHint(x + info->HintDx, y + info->HintDy, FromUtf8(info->Hint));
    }
}

void TSkinFace::MouseDown(Qt::MouseButton button, int x, int y) {
    const TSkinRegionInfo* info = RegionAt(x, y);
    if (!info)
        return;
    switch (info->Region) {
    case TSkinRegion::Move:
        if (button != Qt::RightButton)
            FPicture->StartMove();
        break;
    case TSkinRegion::Exit:
        FCommands.SkinExit();
        break;
    case TSkinRegion::Minimise:
        FCommands.SkinMinimise();
        break;
    case TSkinRegion::Settings:
        FCommands.SkinSettings(x, y);
        break;
    case TSkinRegion::Print:
        FCommands.SkinPrint();
        break;
    case TSkinRegion::Copy:
        FCommands.SkinCopy();
        break;
    case TSkinRegion::Previous:
        FCommands.SkinPrevious();
        break;
    case TSkinRegion::Next:
        FCommands.SkinNext();
        break;
    case TSkinRegion::About:
        FCommands.SkinAbout();
        break;
    case TSkinRegion::None:
        break;
    }
}

void TSkinFace::ShowHint(int x, int y, const QString& text) {
    if (FHint->isVisible() || text.isEmpty())
        return;
    FHint->setText(text);
    // The text with a little room around it; the panel stays whole inside the window, moved
    // left or up just as far as its edge asks.
    const QFontMetrics metrics(FHint->font());
    const int width = metrics.horizontalAdvance(text) + 2 * HintPaddingX;
    const int height = metrics.height() + 2 * HintPaddingY;
    FHint->setGeometry(std::max(0, std::min(x, FWindow.width() - width)),
                       std::max(0, std::min(y, FWindow.height() - height)), width, height);
    FHint->show();
    FHint->raise();
}

void TSkinFace::HideHint() {
    FHint->hide();
}

void TSkinFace::LeaveFace() {
    HintRegion = 0;
    HideHint();
}

// The face picture.

TSkinImage::TSkinImage(QWidget& window, TSkinFace& face)
    : QWidget(&window), FWindow(window), FSkin(face) {
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
    if (QWindow* window = FWindow.windowHandle(); window && window->startSystemMove())
        return;
    FDragging = true;
    FDragOffset = QCursor::pos() - FWindow.pos();
    grabMouse();
}

void TSkinImage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, FFace);
}

void TSkinImage::mouseMoveEvent(QMouseEvent* event) {
    if (FDragging) {
        FWindow.move(event->globalPosition().toPoint() - FDragOffset);
        return;
    }
    const QPoint p = event->position().toPoint();
    Guarded([&] { FSkin.MouseMove(p.x(), p.y()); });
}

void TSkinImage::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    Guarded([&] { FSkin.MouseDown(event->button(), p.x(), p.y()); });
}

void TSkinImage::leaveEvent(QEvent* event) {
    // Off the face (onto a pane or out of the window) there is no command under the mouse.
    QWidget::leaveEvent(event);
    if (!FDragging)
        Guarded([&] { FSkin.LeaveFace(); });
}

void TSkinImage::mouseReleaseEvent(QMouseEvent*) {
    if (FDragging) {
        FDragging = false;
        releaseMouse();
    }
}

} // namespace quarto
