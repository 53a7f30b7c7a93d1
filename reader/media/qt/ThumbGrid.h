// The thumbnail grid of the page "Иллюстрации": the edition's thumbnails in cells of
// 150 × 150 pixels filling Panel8, with ScrollBar1 at its right edge. A frame is drawn into an
// off-screen picture and copied to the screen in one step; thumbnails are decoded when their
// cell is drawn and kept in a cache of 50.
#pragma once

#include "common/FileSystem.h"
#include "reader/media/Illustrations.h"
#include "reader/media/ThumbLayout.h"

#include <QImage>
#include <QPoint>
#include <QPointer>
#include <QScrollBar>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_set>

namespace quarto {

class TThumbGrid : public QWidget {
    Q_OBJECT
public:
    // A grid without thumbnails (Load gives it some) and with no scroll bar yet.
    explicit TThumbGrid(QWidget* parent = nullptr);
    ~TThumbGrid() override;

    // Takes the reader folder (for "Skins/text.bmp") and the edition folder (for "PicData")
    // and runs ReloadGrid. Throws what ReloadGrid throws.
    void Load(const std::string& appFolder, const std::string& bookFolder);

    // Brings the grid up to date with the files and its size: the origin at the top, cell size
    // and minimum size, the cell background (read again only when "Skins/text.bmp" changed,
    // by size or time stamp; missing or unreadable: no background), the thumbnails (read
    // again only when "PosID2.dat" or "Data2.dat" changed), the layout, the cache limit 50 and
    // ScrollBar1's maximum. Runs on every activation of the page and repaint of the main
    // window, so it stays cheap when nothing changed. Keeps the cache, unless the thumbnails
    // were read again (its entries are tagged with offsets into the old data), and draws
    // nothing. Does nothing before Load. Throws EStreamError naming the file when "PosID2.dat"
    // or "Data2.dat" cannot be read; the grid then keeps what it had.
    void ReloadGrid();

    // Draws a frame into the off-screen picture (the busy mark is set meanwhile): black, the
    // backgrounds of the cells at least partly inside the grid (at their own size, cut at the
    // cell's edges), then their thumbnails centred (a larger one overlaps its neighbours). Paint
    // events draw a frame and copy it; this is for tests and measurements.
    void DrawFrame();
    // The off-screen picture of the last frame drawn.
    const QImage& Frame() const { return FFrame; }
    // Forgets every decoded thumbnail and every thumbnail that could not be decoded.
    void ClearCache();

    // The mouse moved over cell k (a thumbnail); nothing is reported over no thumbnail.
    std::function<void(int cell)> OnHover;
    // A mouse button was pressed on cell k (a thumbnail); nothing is reported elsewhere.
    std::function<void(int cell)> OnPress;
    // The title of cell k (a thumbnail), shown as the tool tip while the mouse rests on it;
    // an empty title shows none.
    std::function<QString(int cell)> TitleOf;

    int Columns() const { return FLayout.Columns; }
    int Rows() const { return FLayout.Rows; }
    // T, the number of thumbnails.
    int Count() const { return FLayout.Count; }
    // Decoded thumbnails held now.
    int CachedCount() const { return static_cast<int>(FCache.Size()); }
    // The cache's tags ("Data2.dat" offsets), oldest first.
    std::vector<std::int64_t> CachedOffsets() const { return FCache.Tags(); }
    QScrollBar* ScrollBar1() const { return FScrollBar; }
    void SetScrollBar(QScrollBar* scrollBar);
    // The thumbnail cell under a point of the grid at the scroll bar's position; -1 for none.
    int CellAt(QPoint point) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    // The wheel moves ScrollBar1, a notch a third of a row.
    void wheelEvent(QWheelEvent* event) override;
    bool event(QEvent* event) override;

private:
    friend TThumbGrid* CreateThumbGrid(QWidget* panel8);

    // ScrollBar1 moved: let pending events run, then move the origin and draw at once.
    void ScrollBar1Change();
    void LoadBackground();
    // Thumbnail k decoded, from the cache or decoded now (and cached); nullptr when its
    // record is damaged or does not decode.
    const QImage* Thumbnail(int k);

    std::string FAppFolder, FBookFolder;
    bool FLoaded = false;
    QPointer<QScrollBar> FScrollBar;
    TThumbnailData FData;
    TThumbLayout FLayout;
    TThumbCache<QImage> FCache;
    std::unordered_set<std::int64_t> FUndecodable; // offsets whose bytes did not decode
    QImage FBackground;                            // null: cells without background
    std::string FBackgroundPath;                   // as found; empty: none
    TFileStamp FBackgroundStamp;
    QImage FFrame;
    int FOriginY = 0;        // the world origin's vertical position: -ScrollBar1's position
    bool FBusy = false;      // a frame is being drawn
    bool FScrolling = false; // the scroll handler is letting pending events run
    int FWheelRest = 0;      // the wheel's turn short of a pixel's move, in eighths of a degree
};

// Makes the grid and ScrollBar1 in Panel8, the grid filling the panel beside the scroll bar
// (16 pixels wide at its right edge, steps 10 and 100, minimum 0), both following the
// panel's size. A grid and scroll bar made earlier in the panel (another edition's) are
// deleted. The caller loads the grid and hooks its events.
TThumbGrid* CreateThumbGrid(QWidget* panel8);

} // namespace quarto
