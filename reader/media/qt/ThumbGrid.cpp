#include "ThumbGrid.h"

#include "common/BmpFile.h"
#include "common/EditionLayout.h"
#include "common/FileSystem.h"
#include "common/JpegCodec.h"
#include "reader/core/qt/ErrorReport.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <vector>

namespace quarto {

namespace {

constexpr int Cell = PicDataFormat::CellSize;
constexpr int ScrollBarWidth = 16;
constexpr int ScrollSmallStep = 10;
constexpr int ScrollLargeStep = 100;

// A decoded picture as a QImage the frame can draw quickly (32 bits, no alpha).
QImage ToImage(const TDibPicture& picture) {
    QImage image(picture.Width, picture.Height, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    const int pixelBytes = picture.PixelBytes();
    for (int y = 0; y < picture.Height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const std::uint8_t* p =
            picture.Pixels.data() + static_cast<std::size_t>(y) * picture.Width * pixelBytes;
        if (pixelBytes == 3) {
            for (int x = 0; x < picture.Width; ++x, p += 3)
                line[x] = qRgb(p[0], p[1], p[2]);
        } else {
            for (int x = 0; x < picture.Width; ++x) {
                std::uint8_t rgb[3];
                picture.ColourAt(x, y, rgb);
                line[x] = qRgb(rgb[0], rgb[1], rgb[2]);
            }
        }
    }
    return image;
}

// Keeps the grid and its scroll bar fitted to the panel they fill.
class TPanelFitter final : public QObject {
public:
    TPanelFitter(QWidget* panel, TThumbGrid* grid, QScrollBar* scrollBar)
        : QObject(grid), FPanel(panel), FGrid(grid), FScrollBar(scrollBar) {
        panel->installEventFilter(this);
        Fit();
    }
    void Fit() {
        const int width = FPanel->width(), height = FPanel->height();
        if (FScrollBar)
            FScrollBar->setGeometry(width - ScrollBarWidth, 0, ScrollBarWidth, height);
        // Raised to the grid's minimum size when the panel is smaller.
        FGrid->setGeometry(0, 0, width - ScrollBarWidth, height);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == FPanel && event->type() == QEvent::Resize)
            Fit();
        return false;
    }

private:
    QWidget* FPanel;
    TThumbGrid* FGrid;
    QPointer<QScrollBar> FScrollBar;
};

// Clears a flag when it goes out of scope.
struct TFlagScope {
    bool& Flag;
    explicit TFlagScope(bool& flag) : Flag(flag) { Flag = true; }
    ~TFlagScope() { Flag = false; }
};

} // namespace

TThumbGrid::TThumbGrid(QWidget* parent) : QWidget(parent) {
    setObjectName("ThumbGrid");
    setMinimumSize(Cell, Cell);
    setMouseTracking(true);
    // Every pixel is painted by the frame.
    setAttribute(Qt::WA_OpaquePaintEvent);
    FCache.SetLimit(ThumbCacheReloadLimit);
}

TThumbGrid::~TThumbGrid() = default;

void TThumbGrid::SetScrollBar(QScrollBar* scrollBar) {
    FScrollBar = scrollBar;
    if (scrollBar)
        connect(scrollBar, &QScrollBar::valueChanged, this,
                [this] { Guarded([this] { ScrollBar1Change(); }); });
}

void TThumbGrid::Load(const std::string& appFolder, const std::string& bookFolder) {
    FAppFolder = appFolder;
    FBookFolder = bookFolder;
    FLoaded = true;
    ReloadGrid();
}

void TThumbGrid::ReloadGrid() {
    if (!FLoaded)
        return;
    FOriginY = FScrollBar ? -FScrollBar->value() : 0;
    setMinimumSize(Cell, Cell);
    LoadBackground();
    if (FData.Reload(FBookFolder)) {
        // The cached pictures were decoded from the data read before.
        FCache.Clear();
        FUndecodable.clear();
    }
    FLayout = LayoutGrid(width(), height(), FData.Count());
    FCache.SetLimit(FLayout.CacheLimit);
    FCache.SetLimit(ThumbCacheReloadLimit);
    if (FScrollBar) {
        // The position stays where it was unless the new maximum is below it; the origin
        // follows it then, and the next frame shows it.
        const QSignalBlocker blocker(FScrollBar);
        FScrollBar->setMaximum(ScrollMaximum(FLayout, height()));
        if (-FScrollBar->value() != FOriginY) {
            FOriginY = -FScrollBar->value();
            update();
        }
    }
}

void TThumbGrid::LoadBackground() {
    const std::string path = ResolvePath(ArticlePicturePath(FAppFolder));
    const TFileStamp stamp = path.empty() ? TFileStamp() : StampOf(path);
    if (path == FBackgroundPath && stamp == FBackgroundStamp)
        return;
    FBackgroundPath = path;
    FBackgroundStamp = stamp;
    FBackground = QImage();
    if (!stamp.IsFile)
        return;
    // A background that cannot be read or decoded leaves the cells without one.
    try {
        FBackground = ToImage(DecodeBmp(FileSystem().ReadWholeFile(path)));
    } catch (const EStreamError&) {
    } catch (const EPictureError&) {
    }
}

const QImage* TThumbGrid::Thumbnail(int k) {
    const std::int64_t offset = FData.Offset(k);
    if (const QImage* cached = FCache.Find(offset))
        return cached;
    if (FUndecodable.count(offset))
        return nullptr;
    const std::string_view bytes = FData.Bytes(k);
    QImage image;
    if (!bytes.empty()) {
        try {
            image = ToImage(DecodeJpeg(bytes));
        } catch (const EPictureError&) {
        }
    }
    if (image.isNull()) {
        FUndecodable.insert(offset);
        return nullptr;
    }
    return &FCache.Add(offset, std::move(image));
}

void TThumbGrid::ClearCache() {
    FCache.Clear();
    FUndecodable.clear();
}

void TThumbGrid::DrawFrame() {
    if (FBusy)
        return;
    const TFlagScope busy(FBusy);
    if (FFrame.size() != size())
        FFrame = QImage(size(), QImage::Format_RGB32);
    FFrame.fill(Qt::black);
    if (!FLoaded)
        return;
    const std::vector<int> cells = VisibleCells(FLayout, width(), height(), -FOriginY);
    QPainter painter(&FFrame);
    // The background at its own size, cut at the cell's edges: a larger one would cover the
    // strip right of the columns and the space below the last row, where nothing is hit.
    const QRect backgroundPart(0, 0, std::min(FBackground.width(), Cell),
                               std::min(FBackground.height(), Cell));
    if (!FBackground.isNull())
        for (const int k : cells) {
            const TCellRect cell = CellRectOf(FLayout, k, -FOriginY);
            painter.drawImage(QPoint(cell.Left, cell.Top), FBackground, backgroundPart);
        }
    for (const int k : cells) {
        if (k >= FLayout.Count)
            continue;
        const QImage* thumbnail = Thumbnail(k);
        if (!thumbnail)
            continue;
        const TCellRect cell = CellRectOf(FLayout, k, -FOriginY);
        painter.drawImage(cell.Left + CentredOffset(thumbnail->width()),
                          cell.Top + CentredOffset(thumbnail->height()), *thumbnail);
    }
}

void TThumbGrid::paintEvent(QPaintEvent*) {
    // A paint request while a frame is being drawn is ignored.
    if (FBusy)
        return;
    Guarded([this] { DrawFrame(); });
    QPainter(this).drawImage(0, 0, FFrame);
}

void TThumbGrid::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // Files that cannot be read are reported once, by the window that loads the grid (at the
    // load and when its page is chosen), never from here: a resize comes with every layout.
    try {
        ReloadGrid();
    } catch (const std::exception&) {
        // the grid keeps what it had
    }
}

void TThumbGrid::ScrollBar1Change() {
    // A change while pending events run here is drawn by this run, at the latest position.
    if (FScrolling)
        return;
    const QPointer<TThumbGrid> self(this);
    {
        const TFlagScope scrolling(FScrolling);
        QCoreApplication::processEvents();
        if (!self)
            return;
    }
    if (!FScrollBar)
        return;
    FOriginY = -FScrollBar->value();
    repaint();
}

int TThumbGrid::CellAt(QPoint point) const {
    return HitCell(FLayout, point.x(), point.y(), FScrollBar ? FScrollBar->value() : 0);
}

void TThumbGrid::mouseMoveEvent(QMouseEvent* event) {
    const int cell = CellAt(event->position().toPoint());
    if (cell >= 0 && OnHover)
        Guarded([&] { OnHover(cell); });
}

void TThumbGrid::mousePressEvent(QMouseEvent* event) {
    const int cell = CellAt(event->position().toPoint());
    if (cell >= 0 && OnPress)
        Guarded([&] { OnPress(cell); });
}

void TThumbGrid::wheelEvent(QWheelEvent* event) {
    if (!FScrollBar) {
        event->ignore();
        return;
    }
    // A notch (120 eighths of a degree) moves a third of a row; finer wheels move in part.
    constexpr int Notch = 120;
    constexpr int NotchMove = Cell / 3;
    FWheelRest += event->angleDelta().y();
    const int move = FWheelRest * NotchMove / Notch;
    FWheelRest -= move * Notch / NotchMove;
    if (move != 0)
        FScrollBar->setValue(FScrollBar->value() - move);
    event->accept();
}

bool TThumbGrid::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const int cell = CellAt(help->pos());
    QString title;
    if (cell >= 0 && TitleOf)
        Guarded([&] { title = TitleOf(cell); });
    if (title.isEmpty()) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    // The tip goes when the mouse leaves the thumbnail's cell.
    const TCellRect rect = CellRectOf(FLayout, cell, FScrollBar ? FScrollBar->value() : 0);
    QToolTip::showText(help->globalPos(), title, this,
                       QRect(rect.Left, rect.Top, rect.Width, rect.Height));
    return true;
}

TThumbGrid* CreateThumbGrid(QWidget* panel8) {
    // Another edition's grid and scroll bar go; while that grid is running its scroll handler
    // (letting events run), they go once it has returned.
    const QList<QWidget*> children =
        panel8->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    std::vector<QWidget*> old;
    bool inHandler = false;
    for (QWidget* child : children)
        if (child->objectName() == "ThumbGrid" || child->objectName() == "ScrollBar1") {
            old.push_back(child);
            if (const auto* oldGrid = qobject_cast<TThumbGrid*>(child))
                inHandler = inHandler || oldGrid->FScrolling || oldGrid->FBusy;
        }
    for (QWidget* child : old) {
        child->hide();
        child->setObjectName(QString());
        if (inHandler)
            child->deleteLater();
        else
            delete child;
    }
    auto* scrollBar = new QScrollBar(Qt::Vertical, panel8);
    scrollBar->setObjectName("ScrollBar1");
    scrollBar->setMinimum(0);
    scrollBar->setSingleStep(ScrollSmallStep);
    scrollBar->setPageStep(ScrollLargeStep);
    auto* grid = new TThumbGrid(panel8);
    grid->SetScrollBar(scrollBar);
    new TPanelFitter(panel8, grid, scrollBar);
    scrollBar->show();
    grid->show();
    return grid;
}

} // namespace quarto
