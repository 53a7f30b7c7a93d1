// The picture viewer's arithmetic: the picture area of the window, the fitted size and place
// of a picture in it, when the "100%" button shows, the scroll ranges of full-size mode, the
// part of the picture full-size mode shows, and dragging.
#pragma once

namespace quarto {

// The picture area of a viewer window: right of the button column, above the description
// box. Sizes may come out zero or negative in a very small window.
struct TViewerArea {
    int Width = 0;        // AW: client width - button column width
    int FitHeight = 0;    // AH: client height - description height - 10 (fitted picture)
    int ScrollHeight = 0; // AH': client height - description height (full-size mode)
};
TViewerArea ViewerArea(int clientWidth, int clientHeight, int panelWidth, int memoHeight);

// A picture of W × H fitted into an area of AW × AH keeping its aspect: s is the smaller of
// AW / W and AH / H (so a small picture is enlarged), d = W × s and e = H × s truncated toward
// zero, placed at ox = (AW - d) div 2, oy = (AH - e) div 2 in the area. The products are
// taken exactly (as fractions), so the side that limits s gets the area's size. Width and
// Height are 0 (nothing to draw) for an empty picture or an area without room.
struct TFittedPicture {
    double Scale = 0;
    int Width = 0;  // d
    int Height = 0; // e
    int Left = 0;   // ox
    int Top = 0;    // oy
};
TFittedPicture FitPicture(int pictureWidth, int pictureHeight, int areaWidth, int areaHeight);

// The "100%" button shows in full-size mode, and otherwise unless the fitted picture would be
// more than 10 pixels larger than the picture in both width and height (W >= d - 10 or
// H >= e - 10 shows it).
bool FullSizeButtonVisible(bool fullSize, int pictureWidth, int pictureHeight,
                           const TFittedPicture& fitted);

// The scroll range of full-size mode along one side: picture size - area size when the
// picture is the larger, else 0.
int ViewerScrollMaximum(int pictureSize, int areaSize);
// The same after the window was resized: in addition never more than the picture size (the
// area may have shrunk below zero).
int ViewerScrollMaximumAfterResize(int pictureSize, int areaSize);

// A scroll position moved by a drag step: position + (dragPoint - mouse), clamped to
// 0 .. maximum, so the picture follows the mouse.
int DraggedPosition(int position, int dragPoint, int mouse, int maximum);

// The part of a W × H picture full-size mode shows: the rectangle at (left, top) of
// areaWidth × areaHeight, clipped to the picture (Width or Height 0 when nothing is left).
struct TPicturePart {
    int Left = 0, Top = 0, Width = 0, Height = 0;
};
TPicturePart FullSizePart(int pictureWidth, int pictureHeight, int left, int top, int areaWidth,
                          int areaHeight);

} // namespace quarto
