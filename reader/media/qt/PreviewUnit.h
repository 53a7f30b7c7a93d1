// The picture viewer window: one full-size picture, fitted to the window or shown pixel for
// pixel and dragged with the mouse; saved as BMP, copied to the clipboard; stepping through
// the illustration catalogue and a slide show when it shows a catalogue picture.
#pragma once

#include "common/BmpFile.h"
#include "reader/media/ViewerGeometry.h"

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QWidget>

#include <functional>
#include <string>

class QCheckBox;
class QFileDialog;
class QFrame;
class QListWidget;
class QScrollBar;
class QSpinBox;
class QStatusBar;
class QTextEdit;
class QTimer;
class QToolButton;

namespace quarto {

enum class TViewerMode { Single, Catalogue };

class TPreviewForm : public QWidget {
    Q_OBJECT
public:
    explicit TPreviewForm(QWidget* parent = nullptr);
    ~TPreviewForm() override;

    // State.
    TDibPicture Picture;                          // the picture shown; empty at start
    bool FullSize = false;                        // pixel for pixel instead of fitted
    TViewerMode ViewerMode = TViewerMode::Single; // catalogue: stepping acts on ListBox2
    bool Painted = false;                         // painted at least once
    bool SlideShowOn = false;
    // Said in place of the picture when the last one opened could not be shown; else empty.
    QString Notice;
    QPoint DragPoint;  // the mouse at the last press or drag step
    QImage ViewBuffer; // what the last drawing put on the window

    // Components, by their designer names.
    QFrame* Panel1;
    QToolButton* FlatSpeedButton1; // "<<"
    QToolButton* FlatSpeedButton2; // ">>"
    QFrame* Shape1;
    QToolButton* FlatSpeedButton4; // "Сохранить..."
    QToolButton* FlatSpeedButton5; // "В буфер"
    QFrame* Shape2;
    QToolButton* FlatSpeedButton3; // "100%" / "Обратно"
    QCheckBox* CheckBox1;          // "В окно"
    QFrame* Shape3;
    QToolButton* FlatSpeedButton6; // "Слайд-шоу"
    QSpinBox* FlatSpinEditInteger1;
    QTextEdit* Memo1;
    QStatusBar* StatusBar1;
    QScrollBar* SBh; // never shown: the scroll positions of full-size mode
    QScrollBar* Sbv;
    QTimer* Timer1;           // the slide show; ticks while switched on and its interval is not 0
    QFileDialog* SaveDialog1; // made when "Сохранить..." is first pressed

    // The catalogue the viewer steps through: the main window's hidden title list (its
    // current row is the current entry) and its handler that shows the current entry (loads
    // Picture, sets the description and the caption). Without one, stepping stays put.
    void SetCatalogue(QListWidget* listBox2, std::function<void()> listBox2Click);

    // Reads the file at path (letter case folded) and, when its extension in lower case is
    // ".jpg", decodes it into Picture. Another extension leaves Picture as it is and gives
    // true; a file that cannot be read or decoded leaves Picture as it is and gives false.
    bool LoadPicture(const std::string& path);
    // Loads path as LoadPicture does; a file that cannot be read or decoded empties Picture and
    // sets Notice, so that the window says the picture cannot be shown and never shows the one
    // before. False then.
    bool OpenPicture(const std::string& path);
    // The description box: its text, 90 pixels high while there is one, else 0.
    void SetDescription(const QString& text);
    int MemoHeight() const { return FMemoHeight; }

    // Opens the picture in place as one of the catalogue: fitted, navigation on, drawn and
    // brought up.
    void ShowCatalogue();
    // Opens a picture from an article: stops the slide show, opens the file (a ".jpg") as
    // OpenPicture does, fitted, no navigation, caption "Иллюстрации", no description, shown and
    // drawn.
    void ShowSingle(const std::string& path);
    // Stops the slide show; the picture stays.
    void StopSlideShow();
    // Draws the current state: fills the window, draws the picture fitted or the full-size
    // part (or the notice), and brings the window up when Picture is not empty or there is a
    // notice.
    void DrawPicture();
    // Redraws the full-size part after a scroll position changed.
    void DrawScrolled();

    // Writes Picture at its own resolution as a BMP file (a name without an extension gets
    // ".bmp"); false, with nothing written, when there is no picture or the file cannot be
    // made.
    bool SavePicture(const std::string& path);
    // The scroll-bar colour of the system, used for the slide-show button while it is off and
    // for the description box.
    static QColor ScrollBarColour();

    // Handlers.
    void FlatSpeedButton1Click(); // "<<"
    void FlatSpeedButton2Click(); // ">>"
    void FlatSpeedButton3Click(); // "100%" / "Обратно"
    void FlatSpeedButton4Click(); // "Сохранить..."
    void FlatSpeedButton5Click(); // "В буфер"
    void FlatSpeedButton6Click(); // "Слайд-шоу"
    void FlatSpinEditInteger1Change(int value);
    void Timer1Timer();
    void SBhChange();
    void SbvChange();
    void FormActivate();
    void FormResize();
    void FormClose();
    void FormMouseDown(int x, int y);
    void FormMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void CreateComponents();
    void PlaceComponents();
    void Step(int delta);
    void SetScrollRanges(bool afterResize);
    void BringTopButtonsToFront();
    void SetSlideShowColour();
    void UpdateTimer();
    void BuildView();
    void ApplyFullSizeButtonRule();
    bool PictureEmpty() const;
    TViewerArea Area() const;

    QListWidget* FListBox2 = nullptr;
    std::function<void()> FListBox2Click;
    int FMemoHeight = 0;
    bool FTimerEnabled = false; // Timer1 switched on; it ticks while its interval is not 0
    QPoint FViewPlace;          // where ViewBuffer goes in the window
    // What ViewBuffer was made from, so that a paint without a change reuses it.
    struct TViewKey {
        const void* Pixels = nullptr;
        int Width = 0, Height = 0, BitsPerPixel = 0;
        bool FullSize = false;
        int ClientWidth = 0, ClientHeight = 0, MemoHeight = 0, Left = 0, Top = 0;
        bool operator==(const TViewKey&) const = default;
    };
    TViewKey ViewKeyNow() const;
    TViewKey FViewKey;
    bool FViewValid = false;
};

extern TPreviewForm* PreviewForm;

} // namespace quarto
