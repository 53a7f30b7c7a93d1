#include "reader/core/qt/PageTabs.h"

#include "reader/core/qt/ErrorReport.h"

#include <QCursor>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QStyleOptionTab>
#include <QStylePainter>
#include <QTabBar>
#include <QTabWidget>
#include <QToolTip>

#include <algorithm>

namespace quarto {

TPageTabs::TPageTabs(QTabWidget& tabs, QWidget* parent) : QWidget(parent), FTabs(tabs) {
    setObjectName("PageTabs");
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    setMouseTracking(true);
    if (QTabBar* bar = tabs.findChild<QTabBar*>(QString(), Qt::FindDirectChildrenOnly))
        bar->hide();
    connect(&tabs, &QTabWidget::currentChanged, this, [this] { update(); });
    Refresh();
}

int TPageTabs::TabHeight() const {
    return fontMetrics().height() + 8;
}

int TPageTabs::CaptionRoom() const {
    // A row holds the tabs whose captions fit with a little room each; the row's spare width
    // then widens them all.
    return 8;
}

int TPageTabs::NaturalWidth(int index) const {
    return fontMetrics().horizontalAdvance(FTabs.tabText(index)) + CaptionRoom();
}

std::vector<TPageTabs::TPlacedTab> TPageTabs::Place(int width, int* rows) const {
    std::vector<TPlacedTab> placed;
    width = std::max(width, 1);
    const int height = TabHeight();
    std::vector<std::vector<TPlacedTab>> lines(1);
    int used = 0;
    for (int i = 0; i < FTabs.count(); ++i) {
        if (!FTabs.isTabVisible(i))
            continue;
        TPlacedTab tab;
        tab.Index = i;
        tab.Caption = FTabs.tabText(i);
        const int natural = NaturalWidth(i);
        if (!lines.back().empty() && used + natural > width) {
            lines.emplace_back();
            used = 0;
        }
        tab.Rect = QRect(used, 0, std::min(natural, width), height);
        used += tab.Rect.width();
        lines.back().push_back(tab);
    }
    if (lines.back().empty())
        lines.pop_back();
    for (std::size_t row = 0; row < lines.size(); ++row) {
        std::vector<TPlacedTab>& line = lines[row];
        // The row takes the full width, the room left shared out among its tabs.
        const int natural = line.back().Rect.right() + 1;
        const int spare = std::max(0, width - natural);
        int left = 0;
        for (std::size_t k = 0; k < line.size(); ++k) {
            TPlacedTab& tab = line[k];
            const int share = spare * static_cast<int>(k + 1) / static_cast<int>(line.size()) -
                              spare * static_cast<int>(k) / static_cast<int>(line.size());
            tab.Rect =
                QRect(left, static_cast<int>(row) * height, tab.Rect.width() + share, height);
            left += tab.Rect.width();
            const QString whole = tab.Caption;
            tab.Caption =
                fontMetrics().elidedText(whole, Qt::ElideRight, tab.Rect.width() - CaptionRoom());
            tab.Cut = tab.Caption != whole;
            placed.push_back(tab);
        }
    }
    if (rows)
        *rows = static_cast<int>(lines.size());
    return placed;
}

void TPageTabs::Relayout() {
    FPlaced = Place(width(), &FRows);
    // Every row stays whole: the pages below give way.
    setMinimumHeight(std::max(FRows, 1) * TabHeight());
    update();
}

void TPageTabs::Refresh() {
    Relayout();
    updateGeometry();
}

QRect TPageTabs::TabRect(int index) const {
    for (const TPlacedTab& tab : FPlaced)
        if (tab.Index == index)
            return tab.Rect;
    return QRect();
}

QString TPageTabs::ShownCaption(int index) const {
    for (const TPlacedTab& tab : FPlaced)
        if (tab.Index == index)
            return tab.Caption;
    return QString();
}

QSize TPageTabs::sizeHint() const {
    int width = 0;
    for (int i = 0; i < FTabs.count(); ++i)
        if (FTabs.isTabVisible(i))
            width += NaturalWidth(i);
    return QSize(width, TabHeight());
}

QSize TPageTabs::minimumSizeHint() const {
    return QSize(CaptionRoom(), TabHeight());
}

int TPageTabs::heightForWidth(int width) const {
    int rows = 0;
    Place(width, &rows);
    return std::max(rows, 1) * TabHeight();
}

void TPageTabs::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int before = FRows;
    Relayout();
    if (FRows != before)
        updateGeometry();
}

void TPageTabs::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    const int current = FTabs.currentIndex();
    // The selected tab last, so that it lies over its neighbours.
    std::vector<const TPlacedTab*> order;
    for (const TPlacedTab& tab : FPlaced)
        if (tab.Index != current)
            order.push_back(&tab);
    for (const TPlacedTab& tab : FPlaced)
        if (tab.Index == current)
            order.push_back(&tab);
    for (const TPlacedTab* tab : order) {
        QStyleOptionTab option;
        option.initFrom(this);
        option.shape = QTabBar::RoundedNorth;
        option.documentMode = true;
        option.rect = tab->Rect;
        option.text = tab->Caption;
        option.row = tab->Rect.top() / std::max(TabHeight(), 1);
        const bool first = tab->Rect.left() == 0;
        const bool last = tab->Rect.right() >= width() - 1;
        option.position = first && last ? QStyleOptionTab::OnlyOneTab
                          : first       ? QStyleOptionTab::Beginning
                          : last        ? QStyleOptionTab::End
                                        : QStyleOptionTab::Middle;
        if (tab->Index == current)
            option.state |= QStyle::State_Selected;
        if (!FTabs.isTabEnabled(tab->Index))
            option.state &= ~QStyle::State_Enabled;
        if (!tab->Rect.contains(mapFromGlobal(QCursor::pos())))
            option.state &= ~QStyle::State_MouseOver;
        // The style draws a selected tab over the row below; each stays in its own row. The
        // caption is centred in the whole tab (the style's own label keeps wider margins).
        painter.setClipRect(tab->Rect);
        painter.drawControl(QStyle::CE_TabBarTabShape, option);
        painter.drawItemText(tab->Rect, Qt::AlignCenter, option.palette,
                             option.state & QStyle::State_Enabled, tab->Caption,
                             QPalette::WindowText);
    }
}

void TPageTabs::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    for (const TPlacedTab& tab : FPlaced)
        if (tab.Rect.contains(at) && FTabs.isTabEnabled(tab.Index)) {
            Guarded([&] { FTabs.setCurrentIndex(tab.Index); });
            return;
        }
}

bool TPageTabs::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        // A cut caption shows whole as the tab's tip.
        const auto* help = static_cast<QHelpEvent*>(event);
        for (const TPlacedTab& tab : FPlaced)
            if (tab.Cut && tab.Rect.contains(help->pos())) {
                QToolTip::showText(help->globalPos(), FTabs.tabText(tab.Index), this, tab.Rect);
                return true;
            }
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    if (event->type() == QEvent::MouseMove || event->type() == QEvent::Leave)
        update();
    return QWidget::event(event);
}

} // namespace quarto
