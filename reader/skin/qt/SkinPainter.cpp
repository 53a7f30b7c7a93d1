// The faces are painted with anti-aliasing; each mask is painted alongside its face from the
// same shapes with anti-aliasing off, so that a command's area matches its picture and every
// mask pixel holds an exact colour of the region table.
#include "SkinPainter.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <numbers>

namespace quarto {
namespace {

// Mask colour of the places that are neither a command nor the move area: the panes, which
// widgets cover. Black is in no row of the region table.
const QColor InertColor(0, 0, 0);

QColor RegionColor(TSkinRegion region) {
    std::size_t count = 0;
    const TSkinRegionInfo* regions = SkinRegions(count);
    for (std::size_t i = 0; i < count; ++i)
        if (regions[i].Region == region)
            return QColor(regions[i].R, regions[i].G, regions[i].B);
    return InertColor;
}

QRect LeftPane(const TSkinData& d) {
    return QRect(d.X1, d.Y1, d.W1, d.H1);
}
QRect RightPane(const TSkinData& d) {
    return QRect(d.X2, d.Y2, d.W2, d.H2);
}

// 0x00BBGGRR, as data.inf holds the tree colour.
std::uint32_t WindowsColor(int r, int g, int b) {
    return static_cast<std::uint32_t>(b) << 16 | static_cast<std::uint32_t>(g) << 8 |
           static_cast<std::uint32_t>(r);
}

QFont Font(const char* family, int pixelSize, bool bold = false) {
    QFont font{QString::fromLatin1(family)};
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}
const char* const Sans = "DejaVu Sans";
const char* const Serif = "DejaVu Serif";

QPainterPath RoundedBox(const QRectF& r, double radius) {
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    return path;
}
QPainterPath Disc(const QRectF& r) {
    QPainterPath path;
    path.addEllipse(r);
    return path;
}

// Paints the face and the mask together. The mask starts all white (the move area).
class TSkinCanvas {
public:
    TSkinCanvas(int width, int height)
        : FFace(width, height, QImage::Format_RGB32), FMask(width, height, QImage::Format_RGB32) {
        FFace.fill(Qt::black);
        FMask.fill(RegionColor(TSkinRegion::Move));
        FFacePainter.begin(&FFace);
        FFacePainter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                                    QPainter::SmoothPixmapTransform);
        FMaskPainter.begin(&FMask);
        FMaskPainter.setRenderHint(QPainter::Antialiasing, false);
        FMaskPainter.setPen(Qt::NoPen);
    }

    QPainter& Face() { return FFacePainter; }
    // A pane: covered by widgets, so neither a command nor the move area.
    void MarkPane(const QRect& pane) { FMaskPainter.fillRect(pane, InertColor); }
    void MarkCommand(const QPainterPath& shape, TSkinRegion region) {
        FMaskPainter.fillPath(shape, RegionColor(region));
    }
    TSkinPictures Finish(const TSkinData& data) {
        FFacePainter.end();
        FMaskPainter.end();
        return {FFace, FMask, data};
    }

private:
    QImage FFace;
    QImage FMask;
    QPainter FFacePainter;
    QPainter FMaskPainter;
};

// A small deterministic generator (xorshift32), so the painted pictures are the same on every
// build.
class TRandom {
public:
    explicit TRandom(std::uint32_t seed) : FState(seed ? seed : 1) {}
    double Next() { // [0, 1)
        FState ^= FState << 13;
        FState ^= FState >> 17;
        FState ^= FState << 5;
        return (FState >> 8) / 16777216.0;
    }

private:
    std::uint32_t FState;
};

// Icons ------------------------------------------------------------------------------------

enum class TIcon { Close, Minimise, Font, Copy, Print, About, Previous, Next };

// A command area of a face: its mask region, where it lies, its icon and label.
struct TButton {
    TSkinRegion Region;
    QRect Rect;
    TIcon Icon;
    const char16_t* Label;
};

QPen InkPen(const QColor& ink, double width) {
    return QPen(ink, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void DrawSheet(QPainter& p, const QRectF& r, const QColor& ink, const QColor& paper,
               double lineWidth, int lines) {
    p.setPen(InkPen(ink, lineWidth));
    p.setBrush(paper);
    p.drawRoundedRect(r, 1.5, 1.5);
    p.setPen(InkPen(ink, lineWidth * 0.8));
    for (int i = 0; i < lines; ++i) {
        const double y = r.top() + r.height() * (0.3 + 0.2 * i);
        const double right = r.right() - r.width() * (i == lines - 1 ? 0.4 : 0.22);
        p.drawLine(QPointF(r.left() + r.width() * 0.22, y), QPointF(right, y));
    }
}

// An icon drawn into box (about 18 to 22 pixels square).
void DrawIcon(QPainter& p, TIcon icon, const QRectF& box, const QColor& ink, const QColor& paper) {
    p.save();
    const QPointF c = box.center();
    const double w = box.width(), h = box.height();
    const double line = std::max(1.4, w / 12);
    switch (icon) {
    case TIcon::Close: {
        const double d = w * 0.26;
        p.setPen(InkPen(ink, line * 1.15));
        p.drawLine(c + QPointF(-d, -d), c + QPointF(d, d));
        p.drawLine(c + QPointF(-d, d), c + QPointF(d, -d));
        break;
    }
    case TIcon::Minimise: {
        const double d = w * 0.26;
        p.setPen(InkPen(ink, line * 1.15));
        p.drawLine(c + QPointF(-d, d * 0.8), c + QPointF(d, d * 0.8));
        break;
    }
    case TIcon::Font: {
        QFont big = Font(Serif, static_cast<int>(h * 0.95), true);
        QFont small = Font(Serif, static_cast<int>(h * 0.68), true);
        const double bigWidth = QFontMetricsF(big).horizontalAdvance(QStringLiteral("A"));
        const double smallWidth = QFontMetricsF(small).horizontalAdvance(QStringLiteral("a"));
        const double left = c.x() - (bigWidth + smallWidth) / 2;
        const double baseline = box.bottom() - h * 0.1;
        p.setPen(ink);
        p.setFont(big);
        p.drawText(QPointF(left, baseline), QStringLiteral("A"));
        p.setFont(small);
        p.drawText(QPointF(left + bigWidth, baseline), QStringLiteral("a"));
        break;
    }
    case TIcon::Copy: {
        const QRectF back(box.left() + w * 0.08, box.top() + h * 0.02, w * 0.58, h * 0.7);
        const QRectF front(box.left() + w * 0.34, box.top() + h * 0.28, w * 0.58, h * 0.7);
        DrawSheet(p, back, ink, paper, line, 0);
        DrawSheet(p, front, ink, paper, line, 3);
        break;
    }
    case TIcon::Print: {
        p.setPen(InkPen(ink, line));
        p.setBrush(paper);
        p.drawRect(QRectF(box.left() + w * 0.26, box.top() + h * 0.04, w * 0.48, h * 0.34));
        p.setBrush(ink);
        p.drawRoundedRect(QRectF(box.left() + w * 0.04, box.top() + h * 0.34, w * 0.92, h * 0.4),
                          2.5, 2.5);
        p.setPen(Qt::NoPen);
        p.setBrush(paper);
        p.drawEllipse(QPointF(box.left() + w * 0.8, box.top() + h * 0.46), w * 0.05, w * 0.05);
        DrawSheet(p, QRectF(box.left() + w * 0.22, box.top() + h * 0.56, w * 0.56, h * 0.42), ink,
                  paper, line, 2);
        break;
    }
    case TIcon::About: {
        const double r = std::min(w, h) * 0.46;
        p.setPen(InkPen(ink, line));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(c, r, r);
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawEllipse(QPointF(c.x(), c.y() - r * 0.48), r * 0.15, r * 0.15);
        p.drawRoundedRect(QRectF(c.x() - r * 0.13, c.y() - r * 0.18, r * 0.26, r * 0.72), r * 0.08,
                          r * 0.08);
        break;
    }
    case TIcon::Previous:
    case TIcon::Next: {
        const double dx = (icon == TIcon::Next ? 1 : -1) * w * 0.3;
        QPainterPath arrow;
        arrow.moveTo(c + QPointF(dx, 0));
        arrow.lineTo(c + QPointF(-dx, -h * 0.34));
        arrow.lineTo(c + QPointF(-dx, h * 0.34));
        arrow.closeSubpath();
        p.setPen(InkPen(ink, 1));
        p.setBrush(ink);
        p.drawPath(arrow);
        break;
    }
    }
    p.restore();
}

// An open book facing the viewer, in box.
void DrawOpenBook(QPainter& p, const QRectF& box, const QColor& ink, const QColor& paper,
                  double lineWidth, int pageLines) {
    p.save();
    const double x0 = box.left(), x1 = box.right(), y0 = box.top(), y1 = box.bottom();
    const double cx = box.center().x(), w = box.width(), h = box.height();
    for (int side : {-1, 1}) {
        const double edge = side < 0 ? x0 : x1;
        QPainterPath page;
        page.moveTo(cx, y0 + h * 0.16);
        page.cubicTo(cx + side * w * 0.16, y0 - h * 0.02, edge - side * w * 0.14, y0 - h * 0.02,
                     edge, y0 + h * 0.08);
        page.lineTo(edge, y1 - h * 0.1);
        page.cubicTo(edge - side * w * 0.14, y1 - h * 0.2, cx + side * w * 0.16, y1 - h * 0.16, cx,
                     y1);
        page.closeSubpath();
        p.setPen(InkPen(ink, lineWidth));
        p.setBrush(paper);
        p.drawPath(page);
        p.setPen(InkPen(ink, lineWidth * 0.6));
        for (int i = 1; i <= pageLines; ++i) {
            const double t = static_cast<double>(i) / (pageLines + 1);
            const double lift = h * 0.1 * (1 - t * 0.6);
            const double y = y0 + h * 0.12 + t * h * 0.66;
            QPainterPath text;
            text.moveTo(cx + side * w * 0.07, y + lift * 0.3);
            text.cubicTo(cx + side * w * 0.18, y - lift, edge - side * w * 0.18, y - lift,
                         edge - side * w * 0.07, y);
            p.setBrush(Qt::NoBrush);
            p.drawPath(text);
        }
    }
    p.restore();
}

// The built-in skin -------------------------------------------------------------------------
// Warm grey stone with dark teal: the caption band across the top with the window buttons,
// the panes sunk into the face, the tool buttons under the left pane and the article
// buttons under the right one.

namespace builtin {

const QColor TealDeep(21, 56, 63);
const QColor Teal(32, 78, 87);
const QColor TealLight(48, 107, 117);
const QColor Cream(242, 236, 222);
const QColor Gold(201, 164, 92);
const QColor Ink(28, 62, 70);
const QColor ButtonTop(248, 245, 238);
const QColor ButtonBottom(221, 214, 199);
const QColor ButtonBorder(140, 131, 114);

const int BandHeight = 64;
const int SidebarWidth = 181;

const TButton Buttons[] = {
    {TSkinRegion::Minimise, {722, 18, 28, 28}, TIcon::Minimise, u""},
    {TSkinRegion::Exit, {758, 18, 28, 28}, TIcon::Close, u""},
    {TSkinRegion::Settings, {10, 336, 150, 47}, TIcon::Font, u"Шрифт"},
    {TSkinRegion::Copy, {10, 402, 150, 47}, TIcon::Copy, u"Копировать"},
    {TSkinRegion::Print, {10, 468, 150, 47}, TIcon::Print, u"Печать"},
    {TSkinRegion::About, {10, 534, 150, 47}, TIcon::About, u"О книге"},
    {TSkinRegion::Previous, {520, 541, 120, 40}, TIcon::Previous, u"Назад"},
    {TSkinRegion::Next, {649, 541, 120, 40}, TIcon::Next, u"Вперёд"},
};

void RaisedButton(QPainter& p, const QRectF& r, double radius, const QColor& top,
                  const QColor& bottom, const QColor& border) {
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 45));
    p.drawRoundedRect(r.translated(0, 1.5), radius, radius);
    QLinearGradient fill(r.topLeft(), r.bottomLeft());
    fill.setColorAt(0, top);
    fill.setColorAt(1, bottom);
    p.setBrush(fill);
    p.setPen(QPen(border, 1));
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    QLinearGradient shine(r.topLeft(), r.bottomLeft());
    shine.setColorAt(0, QColor(255, 255, 255, 170));
    shine.setColorAt(0.55, QColor(255, 255, 255, 0));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QBrush(shine), 1));
    p.drawRoundedRect(r.adjusted(1.5, 1.5, -1.5, -1.5), radius - 1, radius - 1);
    p.restore();
}

// A pane sunk into the face: a shallow well, dark edge above and left, light below and right.
void Well(QPainter& p, const QRect& pane, const QColor& placeholder) {
    p.save();
    const QRectF r(pane);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 50, 30, 30));
    p.drawRoundedRect(r.adjusted(-7, -7, 7, 7), 6, 6);
    p.setBrush(QColor(60, 50, 30, 35));
    p.drawRoundedRect(r.adjusted(-4, -4, 4, 4), 4, 4);
    p.setPen(QPen(QColor(255, 255, 255, 190), 1));
    p.drawLine(QPointF(r.left() - 1.5, r.bottom() + 1.5),
               QPointF(r.right() + 1.5, r.bottom() + 1.5));
    p.drawLine(QPointF(r.right() + 1.5, r.top() - 1.5), QPointF(r.right() + 1.5, r.bottom() + 1.5));
    p.setPen(QPen(QColor(70, 60, 45, 170), 1));
    p.drawLine(QPointF(r.left() - 0.5, r.top() - 0.5), QPointF(r.right() + 0.5, r.top() - 0.5));
    p.drawLine(QPointF(r.left() - 0.5, r.top() - 0.5), QPointF(r.left() - 0.5, r.bottom() + 0.5));
    p.drawLine(QPointF(r.right() + 0.5, r.top() - 0.5), QPointF(r.right() + 0.5, r.bottom() + 0.5));
    p.drawLine(QPointF(r.left() - 0.5, r.bottom() + 0.5),
               QPointF(r.right() + 0.5, r.bottom() + 0.5));
    p.fillRect(pane, placeholder);
    p.restore();
}

void Background(QPainter& p, int width, int height) {
    QLinearGradient body(0, BandHeight, 0, height);
    body.setColorAt(0, QColor(222, 216, 204));
    body.setColorAt(1, QColor(205, 198, 184));
    p.fillRect(QRect(0, BandHeight, width, height - BandHeight), body);

    // The side bar holding the left pane and the tool buttons.
    QLinearGradient side(0, 0, SidebarWidth, 0);
    side.setColorAt(0, QColor(198, 190, 174));
    side.setColorAt(1, QColor(190, 182, 166));
    p.fillRect(QRect(0, BandHeight, SidebarWidth, height - BandHeight), side);
    p.fillRect(QRect(SidebarWidth, BandHeight, 1, height - BandHeight), QColor(160, 151, 134));
    p.fillRect(QRect(SidebarWidth + 1, BandHeight, 1, height - BandHeight), QColor(238, 233, 224));

    // A faint grain, so the stone does not look flat.
    TRandom random(0x5EEDu);
    for (int i = 0; i < width * height / 40; ++i) {
        const int x = static_cast<int>(random.Next() * width);
        const int y = BandHeight + static_cast<int>(random.Next() * (height - BandHeight));
        const bool light = random.Next() < 0.5;
        p.fillRect(QRect(x, y, 1, 1), light ? QColor(255, 255, 255, 28) : QColor(60, 50, 30, 18));
    }
}

void TitleBand(QPainter& p, int width) {
    QLinearGradient band(0, 0, 0, BandHeight);
    band.setColorAt(0, TealLight);
    band.setColorAt(0.5, Teal);
    band.setColorAt(1, TealDeep);
    p.fillRect(QRect(0, 0, width, BandHeight), band);
    p.fillRect(QRect(0, 0, width, 1), QColor(255, 255, 255, 60));
    p.fillRect(QRect(0, BandHeight - 2, width, 2), Gold);
    QLinearGradient shadow(0, BandHeight, 0, BandHeight + 8);
    shadow.setColorAt(0, QColor(30, 25, 15, 70));
    shadow.setColorAt(1, QColor(30, 25, 15, 0));
    p.fillRect(QRect(0, BandHeight, width, 8), shadow);

    DrawOpenBook(p, QRectF(18, 20, 36, 24), QColor(30, 40, 40), Cream, 1.3, 2);
    const QFont caption = Font(Serif, 22, true);
    const QString text = QStringLiteral("Электронные книги");
    p.setFont(caption);
    p.setPen(QColor(0, 0, 0, 90));
    p.drawText(QPointF(67, 41), text);
    p.setPen(Cream);
    p.drawText(QPointF(66, 40), text);

    // The grip: engraved grooves between the caption and the window buttons.
    const double left = 66 + QFontMetricsF(caption).horizontalAdvance(text) + 26;
    const double right = 722 - 22;
    for (int i = 0; i < 5; ++i) {
        const double y = 23.5 + i * 4;
        p.setPen(QPen(QColor(8, 30, 34, 170), 1));
        p.drawLine(QPointF(left, y), QPointF(right, y));
        p.setPen(QPen(QColor(255, 255, 255, 45), 1));
        p.drawLine(QPointF(left, y + 1), QPointF(right, y + 1));
    }
}

// The emblem card: a large open book and the reader's name.
void Emblem(QPainter& p, const QRectF& r) {
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 30, 15, 50));
    p.drawRoundedRect(r.translated(0, 2), 8, 8);
    QLinearGradient fill(r.topLeft(), r.bottomRight());
    fill.setColorAt(0, TealLight);
    fill.setColorAt(1, TealDeep);
    p.setBrush(fill);
    p.drawRoundedRect(r, 8, 8);
    p.setClipPath(RoundedBox(r, 8));
    const QPointF bookCentre(r.left() + 122, r.center().y() + 4);
    QRadialGradient glow(bookCentre, 170);
    glow.setColorAt(0, QColor(255, 240, 200, 46));
    glow.setColorAt(1, QColor(255, 240, 200, 0));
    p.fillRect(r, glow);
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 6; ++i) {
        p.setPen(QPen(QColor(255, 255, 255, 16 - 2 * i), 1));
        p.drawEllipse(bookCentre, 70.0 + i * 26, 70.0 + i * 26);
    }
    p.setClipping(false);
    p.setPen(QPen(QColor(Gold.red(), Gold.green(), Gold.blue(), 140), 1));
    p.drawRoundedRect(r.adjusted(6.5, 6.5, -6.5, -6.5), 5, 5);

    DrawOpenBook(p, QRectF(bookCentre.x() - 84, bookCentre.y() - 50, 168, 104), QColor(24, 44, 48),
                 Cream, 1.8, 6);

    const double textLeft = r.left() + 256;
    p.setFont(Font(Serif, 54, true));
    p.setPen(QColor(0, 0, 0, 70));
    p.drawText(QPointF(textLeft + 1.5, r.top() + 112.5), QStringLiteral("Quarto"));
    p.setPen(Cream);
    p.drawText(QPointF(textLeft, r.top() + 111), QStringLiteral("Quarto"));
    p.fillRect(QRectF(textLeft + 2, r.top() + 128, 176, 2), Gold);
    p.setFont(Font(Sans, 16));
    p.setPen(QColor(196, 219, 216));
    p.drawText(QPointF(textLeft + 2, r.top() + 156), QStringLiteral("электронная библиотека"));
    p.setFont(Font(Sans, 12));
    p.setPen(QColor(160, 190, 188));
    p.drawText(QPointF(textLeft + 2, r.top() + 178), QStringLiteral("издания на компакт-дисках"));
    p.restore();
}

// The shelf card: a row of books on a plank.
void Shelf(QPainter& p, const QRectF& r) {
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 30, 15, 40));
    p.drawRoundedRect(r.translated(0, 2), 8, 8);
    QLinearGradient fill(r.topLeft(), r.bottomLeft());
    fill.setColorAt(0, QColor(238, 233, 223));
    fill.setColorAt(1, QColor(224, 216, 200));
    p.setBrush(fill);
    p.setPen(QPen(QColor(168, 158, 140), 1));
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);

    struct TBook {
        int Width, Height;
        QColor Colour;
    };
    const TBook books[] = {
        {22, 150, QColor(43, 100, 112)}, {18, 132, QColor(186, 140, 66)},
        {26, 166, QColor(124, 56, 56)},  {16, 120, QColor(78, 92, 108)},
        {24, 154, QColor(110, 116, 80)}, {20, 140, QColor(214, 200, 172)},
        {28, 170, QColor(28, 70, 78)},
    };
    const double plank = r.bottom() - 40;
    // A book seen from its spine; one wider than tall lies flat.
    const auto drawBook = [&](const QRectF& b, const QColor& colour) {
        const bool flat = b.width() > b.height();
        QLinearGradient spine(b.topLeft(), flat ? b.bottomLeft() : b.topRight());
        spine.setColorAt(0, colour.lighter(125));
        spine.setColorAt(0.35, colour);
        spine.setColorAt(1, colour.darker(140));
        p.setPen(QPen(colour.darker(170), 1));
        p.setBrush(spine);
        p.drawRoundedRect(b, 2, 2);
        const bool light = colour.lightness() > 150;
        p.setPen(QPen(light ? QColor(120, 90, 40) : Gold, 1.2));
        if (flat) {
            for (double x : {b.left() + 8, b.left() + 12, b.right() - 10})
                p.drawLine(QPointF(x, b.top() + 3), QPointF(x, b.bottom() - 3));
            return;
        }
        for (double y : {b.top() + 12, b.top() + 16, b.bottom() - 14})
            p.drawLine(QPointF(b.left() + 3, y), QPointF(b.right() - 3, y));
        if (!light) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(255, 250, 235, 60));
            p.drawRect(QRectF(b.left() + 4, b.top() + 30, b.width() - 8, 22));
        }
    };
    // Two lying flat, a row standing, and one leaning against the row.
    drawBook(QRectF(r.left() + 18, plank - 15, 62, 15), QColor(124, 56, 56));
    drawBook(QRectF(r.left() + 22, plank - 28, 54, 13), QColor(186, 140, 66));
    double x = r.left() + 86;
    for (const TBook& book : books) {
        drawBook(QRectF(x, plank - book.Height, book.Width, book.Height), book.Colour);
        x += book.Width + 1;
    }
    const double lean = 10, leaning = 126;
    p.save();
    p.translate(x + leaning * std::sin(lean * std::numbers::pi / 180) + 1, plank);
    p.rotate(-lean);
    drawBook(QRectF(0, -leaning, 20, leaning), QColor(64, 84, 120));
    p.restore();

    QLinearGradient wood(0, plank, 0, plank + 12);
    wood.setColorAt(0, QColor(150, 116, 80));
    wood.setColorAt(1, QColor(100, 74, 48));
    p.setPen(Qt::NoPen);
    p.setBrush(wood);
    p.drawRoundedRect(QRectF(r.left() + 12, plank, r.width() - 24, 12), 2, 2);
    QLinearGradient below(0, plank + 12, 0, plank + 22);
    below.setColorAt(0, QColor(60, 45, 25, 70));
    below.setColorAt(1, QColor(60, 45, 25, 0));
    p.fillRect(QRectF(r.left() + 14, plank + 12, r.width() - 28, 10), below);
    p.restore();
}

void Button(QPainter& p, const TButton& b) {
    const QRectF r(b.Rect);
    const QString label = QString::fromUtf16(b.Label);
    if (b.Region == TSkinRegion::Exit || b.Region == TSkinRegion::Minimise) {
        const bool exit = b.Region == TSkinRegion::Exit;
        RaisedButton(p, r, 5, exit ? QColor(176, 92, 74) : QColor(64, 126, 136),
                     exit ? QColor(138, 62, 50) : QColor(36, 88, 97),
                     exit ? QColor(80, 30, 24) : QColor(14, 44, 50));
        DrawIcon(p, b.Icon, r.adjusted(5, 5, -5, -5), Cream, Cream);
        return;
    }
    RaisedButton(p, r, 6, ButtonTop, ButtonBottom, ButtonBorder);
    const QFont font =
        Font(Sans, 14, b.Region == TSkinRegion::Previous || b.Region == TSkinRegion::Next);
    p.setFont(font);
    p.setPen(Ink);
    if (b.Region == TSkinRegion::Previous || b.Region == TSkinRegion::Next) {
        const double textWidth = QFontMetricsF(font).horizontalAdvance(label);
        const double arrow = 12, gap = 8;
        const double left = r.center().x() - (textWidth + arrow + gap) / 2;
        const bool next = b.Region == TSkinRegion::Next;
        const QRectF arrowBox(next ? left + textWidth + gap : left, r.center().y() - 7, arrow, 14);
        DrawIcon(p, b.Icon, arrowBox, Ink, Ink);
        p.setFont(font);
        p.setPen(Ink);
        p.drawText(QRectF(next ? left : left + arrow + gap, r.top(), textWidth + 1, r.height()),
                   Qt::AlignVCenter | Qt::AlignLeft, label);
        return;
    }
    DrawIcon(p, b.Icon, QRectF(r.left() + 14, r.center().y() - 11, 22, 22), Ink,
             QColor(255, 253, 247));
    p.setFont(font);
    p.setPen(Ink);
    p.drawText(r.adjusted(48, 0, -6, 0), Qt::AlignVCenter | Qt::AlignLeft, label);
}

TSkinPictures Paint() {
    const TSkinData data = BuiltinSkinData;
    TSkinCanvas canvas(BuiltinSkinWidth, BuiltinSkinHeight);
    QPainter& p = canvas.Face();
    Background(p, BuiltinSkinWidth, BuiltinSkinHeight);
    TitleBand(p, BuiltinSkinWidth);
    Emblem(p, QRectF(192, 80, 577, 233));
    Shelf(p, QRectF(192, 336, 308, 245));
    Well(p, LeftPane(data), QColor(168, 165, 140));
    Well(p, RightPane(data), QColor(246, 242, 232));
    canvas.MarkPane(LeftPane(data));
    canvas.MarkPane(RightPane(data));
    for (const TButton& b : Buttons) {
        Button(p, b);
        canvas.MarkCommand(RoundedBox(QRectF(b.Rect), b.Rect.height() > 30 ? 6 : 5), b.Region);
    }
    return canvas.Finish(data);
}

} // namespace builtin

// The demo edition's skin ------------------------------------------------------------------
// A night sky: a starfield with the Plough, a crescent moon and the edition's name in gold;
// the contents pane on the left, and the reading pane on the right under a tool bar with the
// article and text commands.

namespace demo {

const int Width = 1000;
const int Height = 700;
const int BandHeight = 80;
const QColor Gold(222, 188, 112);
const QColor PaleGold(240, 222, 170);
const QColor Navy(16, 26, 62);
const TSkinData Data = {24, 96, 272, 580, 320, 148, 656, 528, WindowsColor(232, 236, 246)};
const QRect ToolBar(320, 96, 656, 40);

const TButton Buttons[] = {
    {TSkinRegion::Minimise, {910, 26, 28, 28}, TIcon::Minimise, u""},
    {TSkinRegion::Exit, {948, 26, 28, 28}, TIcon::Close, u""},
    {TSkinRegion::Previous, {326, 100, 116, 32}, TIcon::Previous, u"Назад"},
    {TSkinRegion::Next, {448, 100, 116, 32}, TIcon::Next, u"Вперёд"},
    {TSkinRegion::Settings, {776, 100, 44, 32}, TIcon::Font, u""},
    {TSkinRegion::Copy, {826, 100, 44, 32}, TIcon::Copy, u""},
    {TSkinRegion::Print, {876, 100, 44, 32}, TIcon::Print, u""},
    {TSkinRegion::About, {926, 100, 44, 32}, TIcon::About, u""},
};

bool IsRound(const TButton& b) {
    return b.Region == TSkinRegion::Exit || b.Region == TSkinRegion::Minimise;
}
QPainterPath Shape(const TButton& b) {
    return IsRound(b) ? Disc(QRectF(b.Rect)) : RoundedBox(QRectF(b.Rect), 7);
}

void Star(QPainter& p, const QPointF& at, double radius, const QColor& colour, bool glint) {
    QRadialGradient glow(at, radius * 4);
    glow.setColorAt(0, QColor(colour.red(), colour.green(), colour.blue(), colour.alpha() / 2));
    glow.setColorAt(1, QColor(colour.red(), colour.green(), colour.blue(), 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(at, radius * 4, radius * 4);
    p.setBrush(colour);
    p.drawEllipse(at, radius, radius);
    if (glint) {
        QColor ray = colour;
        ray.setAlpha(colour.alpha() / 2);
        p.setPen(QPen(ray, 0.8));
        p.drawLine(at - QPointF(radius * 5, 0), at + QPointF(radius * 5, 0));
        p.drawLine(at - QPointF(0, radius * 5), at + QPointF(0, radius * 5));
    }
}

void Sky(QPainter& p) {
    QLinearGradient sky(0, 0, 0, Height);
    sky.setColorAt(0, QColor(5, 9, 28));
    sky.setColorAt(0.55, QColor(10, 20, 52));
    sky.setColorAt(1, QColor(20, 34, 74));
    p.fillRect(QRect(0, 0, Width, Height), sky);
    // A faint band of the Milky Way across the sky.
    p.save();
    p.translate(Width / 2.0, Height / 2.0);
    p.rotate(-28);
    QLinearGradient haze(0, -120, 0, 120);
    haze.setColorAt(0, QColor(120, 120, 200, 0));
    haze.setColorAt(0.5, QColor(130, 130, 210, 34));
    haze.setColorAt(1, QColor(120, 120, 200, 0));
    p.fillRect(QRectF(-Width, -120, Width * 2, 240), haze);
    p.restore();

    // No stars behind the moon, the lettering, the grip and the window buttons.
    const QRectF clear[] = {
        {20, 10, 60, 60}, {84, 8, 240, 64}, {772, 22, 120, 36}, {900, 18, 84, 44}};
    TRandom random(0x0A57A12u);
    for (int i = 0; i < 900; ++i) {
        const QPointF at(random.Next() * Width, random.Next() * Height);
        const double brightness = std::pow(random.Next(), 3.0);
        const double tint = random.Next();
        if (std::any_of(std::begin(clear), std::end(clear),
                        [&](const QRectF& r) { return r.contains(at); }))
            continue;
        const QColor colour(static_cast<int>(200 + 55 * tint), static_cast<int>(215 + 25 * tint),
                            static_cast<int>(255 - 45 * tint),
                            static_cast<int>(70 + 185 * brightness));
        Star(p, at, 0.45 + 1.1 * brightness, colour, brightness > 0.9);
    }
}

void Constellation(QPainter& p, const QPointF& origin, double scale, const QPointF* stars,
                   std::size_t count, const int* lines, std::size_t lineCount) {
    p.save();
    p.setPen(QPen(QColor(150, 180, 240, 120), 1, Qt::SolidLine, Qt::RoundCap));
    for (std::size_t i = 0; i + 1 < lineCount; i += 2)
        p.drawLine(origin + stars[lines[i]] * scale, origin + stars[lines[i + 1]] * scale);
    for (std::size_t i = 0; i < count; ++i)
        Star(p, origin + stars[i] * scale, 1.9, QColor(235, 240, 255, 255), i % 2 == 0);
    p.restore();
}

void Moon(QPainter& p, const QPointF& c, double r) {
    p.save();
    QRadialGradient glow(c, r * 3);
    glow.setColorAt(0, QColor(240, 222, 170, 70));
    glow.setColorAt(1, QColor(240, 222, 170, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(c, r * 3, r * 3);
    QPainterPath crescent = Disc(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r));
    const QPointF cut = c + QPointF(r * 0.42, -r * 0.26);
    crescent -= Disc(QRectF(cut.x() - r * 0.86, cut.y() - r * 0.86, 1.72 * r, 1.72 * r));
    QRadialGradient light(c - QPointF(r * 0.5, -r * 0.2), r * 1.4);
    light.setColorAt(0, QColor(255, 244, 206));
    light.setColorAt(1, QColor(226, 196, 120));
    p.setBrush(light);
    p.drawPath(crescent);
    p.restore();
}

void TitleBand(QPainter& p) {
    Moon(p, QPointF(50, 40), 21);
    const QFont caption = Font(Serif, 28, true);
    p.setFont(caption);
    p.setPen(QColor(0, 0, 0, 120));
    p.drawText(QPointF(89, 43), QStringLiteral("Ночное небо"));
    p.setPen(Gold);
    p.drawText(QPointF(88, 42), QStringLiteral("Ночное небо"));
    QFont subtitle = Font(Sans, 13);
    subtitle.setLetterSpacing(QFont::AbsoluteSpacing, 1.2);
    p.setFont(subtitle);
    p.setPen(QColor(170, 186, 222));
    p.drawText(QPointF(90, 63), QStringLiteral("Путеводитель наблюдателя"));

    // The Plough, and Cassiopeia across the pole from it.
    const QPointF plough[] = {{0, 10}, {28, 2}, {52, 6}, {74, 16}, {80, 40}, {116, 44}, {120, 16}};
    const int ploughLines[] = {0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 3};
    Constellation(p, QPointF(430, 13), 1.15, plough, std::size(plough), ploughLines,
                  std::size(ploughLines));
    const QPointF cassiopeia[] = {{0, 6}, {20, 30}, {40, 14}, {62, 34}, {80, 2}};
    const int cassiopeiaLines[] = {0, 1, 1, 2, 2, 3, 3, 4};
    Constellation(p, QPointF(626, 20), 1.0, cassiopeia, std::size(cassiopeia), cassiopeiaLines,
                  std::size(cassiopeiaLines));

    // The grip: a small plate of gold studs beside the window buttons.
    const QRectF grip(778, 29, 110, 22);
    p.setPen(QPen(QColor(222, 188, 112, 120), 1));
    p.setBrush(QColor(120, 140, 220, 22));
    p.drawRoundedRect(grip.adjusted(0.5, 0.5, -0.5, -0.5), 11, 11);
    p.setPen(Qt::NoPen);
    for (int row = 0; row < 3; ++row)
        for (int i = 0; i < (row == 1 ? 13 : 12); ++i) {
            const QPointF at(grip.left() + (row == 1 ? 13 : 16.5) + i * 7,
                             grip.top() + 6 + row * 5);
            p.setBrush(QColor(0, 0, 0, 160));
            p.drawEllipse(at + QPointF(0.7, 0.7), 1.4, 1.4);
            p.setBrush(QColor(232, 200, 130, 230));
            p.drawEllipse(at, 1.3, 1.3);
        }

    // A gold rule under the title.
    QLinearGradient rule(24, 0, Width - 24, 0);
    rule.setColorAt(0, QColor(222, 188, 112, 0));
    rule.setColorAt(0.15, QColor(222, 188, 112, 170));
    rule.setColorAt(0.85, QColor(222, 188, 112, 170));
    rule.setColorAt(1, QColor(222, 188, 112, 0));
    p.fillRect(QRectF(24, BandHeight, Width - 48, 1), rule);
}

// A pane in a dark glass frame with a gold hairline.
void Frame(QPainter& p, const QRect& pane, const QColor& placeholder) {
    p.save();
    const QRectF r(pane);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 10, 90));
    p.drawRoundedRect(r.adjusted(-9, -7, 9, 11), 11, 11);
    p.setBrush(QColor(6, 10, 30, 220));
    p.setPen(QPen(QColor(222, 188, 112, 150), 1));
    p.drawRoundedRect(r.adjusted(-6.5, -6.5, 6.5, 6.5), 8, 8);
    p.setPen(QPen(QColor(0, 0, 0, 200), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(-0.5, -0.5, 0.5, 0.5));
    p.fillRect(pane, placeholder);
    p.restore();
}

void Button(QPainter& p, const TButton& b) {
    p.save();
    const QRectF r(b.Rect);
    const QPainterPath shape = Shape(b);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 110));
    p.drawPath(shape.translated(0, 1.5));
    QLinearGradient fill(r.topLeft(), r.bottomLeft());
    fill.setColorAt(0, QColor(40, 58, 112));
    fill.setColorAt(1, QColor(20, 32, 72));
    p.setBrush(fill);
    p.setPen(QPen(QColor(222, 188, 112, IsRound(b) ? 230 : 170), 1));
    p.drawPath(shape);
    p.setPen(QPen(QColor(255, 255, 255, 40), 1));
    p.setBrush(Qt::NoBrush);
    if (!IsRound(b))
        p.drawLine(QPointF(r.left() + 6, r.top() + 1.5), QPointF(r.right() - 6, r.top() + 1.5));

    const QString label = QString::fromUtf16(b.Label);
    if (label.isEmpty()) {
        const double side = IsRound(b) ? 18 : 20;
        DrawIcon(p, b.Icon,
                 QRectF(r.center().x() - side / 2, r.center().y() - side / 2, side, side), PaleGold,
                 Navy);
    } else {
        const QFont font = Font(Sans, 14, true);
        const double textWidth = QFontMetricsF(font).horizontalAdvance(label);
        const double arrow = 11, gap = 8;
        const double left = r.center().x() - (textWidth + arrow + gap) / 2;
        const bool next = b.Region == TSkinRegion::Next;
        DrawIcon(p, b.Icon,
                 QRectF(next ? left + textWidth + gap : left, r.center().y() - 6.5, arrow, 13),
                 PaleGold, PaleGold);
        p.setFont(font);
        p.setPen(PaleGold);
        p.drawText(QRectF(next ? left : left + arrow + gap, r.top(), textWidth + 1, r.height()),
                   Qt::AlignVCenter | Qt::AlignLeft, label);
    }
    p.restore();
}

TSkinPictures Paint() {
    TSkinCanvas canvas(Width, Height);
    QPainter& p = canvas.Face();
    Sky(p);
    TitleBand(p);
    Frame(p, LeftPane(Data), QColor(232, 236, 246));
    Frame(p, RightPane(Data), QColor(244, 239, 226));
    // The tool bar over the reading pane.
    p.setPen(QPen(QColor(222, 188, 112, 130), 1));
    p.setBrush(QColor(12, 20, 50, 215));
    p.drawRoundedRect(QRectF(ToolBar).adjusted(-6.5, -0.5, 6.5, 0.5), 8, 8);
    // Between the two groups of buttons: a hairline with a star.
    const QPointF middle(670, ToolBar.center().y() + 0.5);
    QLinearGradient hairline(middle.x() - 80, 0, middle.x() + 80, 0);
    hairline.setColorAt(0, QColor(222, 188, 112, 0));
    hairline.setColorAt(0.5, QColor(222, 188, 112, 150));
    hairline.setColorAt(1, QColor(222, 188, 112, 0));
    p.fillRect(QRectF(middle.x() - 80, middle.y() - 0.5, 160, 1), hairline);
    Star(p, middle, 2.2, QColor(240, 222, 170, 255), true);
    canvas.MarkPane(LeftPane(Data));
    canvas.MarkPane(RightPane(Data));
    for (const TButton& b : Buttons) {
        Button(p, b);
        canvas.MarkCommand(Shape(b), b.Region);
    }
    return canvas.Finish(Data);
}

} // namespace demo

} // namespace

TSkinPictures PaintSkin(TSkinStyle style) {
    return style == TSkinStyle::Demo ? demo::Paint() : builtin::Paint();
}

} // namespace quarto
