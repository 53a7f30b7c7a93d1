// The tabs of the left pane's pages in as many rows as the pane's width needs, so that every tab
// shown stays in sight and legible however narrow the skin makes the pane (the tab widget's own
// bar, which scrolls, is hidden). A press on a tab chooses its page; the current page's tab is
// drawn selected.
#pragma once

#include <QRect>
#include <QString>
#include <QWidget>

#include <vector>

class QTabWidget;

namespace quarto {

class TPageTabs : public QWidget {
    Q_OBJECT
public:
    // The tabs of tabs' pages, named "PageTabs"; hides tabs' own bar.
    TPageTabs(QTabWidget& tabs, QWidget* parent);

    // Takes the pages' captions and which of them are shown again (after an edition's options
    // showed or hid some).
    void Refresh();

    // Where page index's tab lies, and its caption as drawn (cut with an ellipsis only when the
    // tab alone is wider than the strip); an empty rectangle while the page's tab is hidden.
    QRect TabRect(int index) const;
    QString ShownCaption(int index) const;
    int Rows() const { return FRows; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

private:
    struct TPlacedTab {
        int Index = 0;
        QRect Rect;
        QString Caption; // as drawn
        bool Cut = false;
    };
    // The shown tabs laid out in rows of width: each row filled in order while its tabs fit,
    // then widened to the full width.
    std::vector<TPlacedTab> Place(int width, int* rows) const;
    int TabHeight() const;
    int CaptionRoom() const;
    int NaturalWidth(int index) const;
    void Relayout();

    QTabWidget& FTabs;
    std::vector<TPlacedTab> FPlaced;
    int FRows = 0;
};

} // namespace quarto
