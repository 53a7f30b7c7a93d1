// The face a frameless window wears: the skin picture it shows, the mask whose exact colours
// make the command areas, the hint naming the command under the mouse, and the two panes the
// skin's data.inf places. A press on a command area runs that command of the window.
#pragma once

#include "reader/skin/SkinData.h"

#include <QImage>
#include <QPoint>
#include <QWidget>

#include <string>

class QLabel;

namespace quarto {

// The commands of the mask's areas, run by the window that wears the face. The move area is
// the face's own: it drags the window.
class TSkinCommands {
public:
    virtual void SkinExit() = 0;
    virtual void SkinMinimise() = 0;
    // The settings area, pressed at (x, y) of the window.
    virtual void SkinSettings(int x, int y) = 0;
    virtual void SkinCopy() = 0;
    virtual void SkinPrint() = 0;
    virtual void SkinPrevious() = 0;
    virtual void SkinNext() = 0;
    virtual void SkinAbout() = 0;

protected:
    ~TSkinCommands() = default;
};

class TSkinImage;

class TSkinFace {
public:
    // The face of window; presses run commands. Its widgets come with CreatePictures and
    // CreateHintPanel.
    TSkinFace(QWidget& window, TSkinCommands& commands);
    TSkinFace(const TSkinFace&) = delete;
    TSkinFace& operator=(const TSkinFace&) = delete;

    // Puts the face picture and the mask picture (never shown) on the window, below what the
    // window holds and what it adds later.
    void CreatePictures();
    // The hint panel, on top of what the window holds at the time.
    QLabel* CreateHintPanel();
    // The panes data.inf places and the tree whose background it colours; until they are
    // given, applying a skin leaves them alone.
    void SetPanes(QWidget* left, QWidget* right, QWidget* tree);

    TSkinImage* Picture() const { return FPicture; }
    QLabel* MaskPicture() const { return FMaskPicture; }
    QLabel* HintPanel() const { return FHint; }

    // Reads the skin of folder (face picture, mask, data.inf; names matched ignoring case)
    // and wears it. Throws EStreamError naming the picture that cannot be read; both pictures
    // are read before anything changes, so the face in use stays whole.
    void Load(const std::string& folder);
    // Wears face and mask, places the panes, gives the window the face's size and puts it in
    // the middle of the screen.
    void Apply(const QImage& face, const QImage& mask, const TSkinData& data);

    // The mask's command area under a point of the window, or nothing outside the mask.
    const TSkinRegionInfo* RegionAt(int x, int y) const;

    // The mouse over the face at (x, y) of the window: the pointer and the hint follow the
    // command area under it.
    void MouseMove(int x, int y);
    // A press at (x, y): runs the command of the area under it, any button; on the move area
    // the left button drags the window.
    void MouseDown(Qt::MouseButton button, int x, int y);

    // Shows the hint at (x, y) unless one is showing or text is empty: sized to the text with
    // a little padding, and moved left or up as far as needed to lie whole inside the window.
    void ShowHint(int x, int y, const QString& text);
    void HideHint();
    // The mouse has left the face for a pane or another window: as on the move area, the
    // hint goes.
    void LeaveFace();

    // Room between the hint's text and its edges, in pixels.
    static constexpr int HintPaddingX = 4;
    static constexpr int HintPaddingY = 2;

    // The number of the command area whose hint was shown last; 0 once the mouse is on the
    // move area.
    int HintRegion = 0;

private:
    QWidget& FWindow;
    TSkinCommands& FCommands;
    TSkinImage* FPicture = nullptr;
    QLabel* FMaskPicture = nullptr;
    QLabel* FHint = nullptr;
    QWidget* FLeftPane = nullptr;
    QWidget* FRightPane = nullptr;
    QWidget* FTree = nullptr;
    QImage FMask; // RGB32
};

// The face picture: shows the face and hands the mouse to it.
class TSkinImage : public QWidget {
    Q_OBJECT
public:
    TSkinImage(QWidget& window, TSkinFace& face);
    void SetPicture(const QImage& face);
    const QImage& Picture() const { return FFace; }
    // Starts moving the window with the mouse, as if its title bar were dragged.
    void StartMove();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QWidget& FWindow;
    TSkinFace& FSkin;
    QImage FFace;
    bool FDragging = false;
    QPoint FDragOffset;
};

} // namespace quarto
