// Draws the system's pictures (splash, banner, icon, panel pictures, print logo) with one visual identity.
#include "tools/Artwork.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>

namespace darv {

namespace {

// The palette: drafting blue on paper white, with green and red kept for the two verdicts.
const QColor kNavy(18, 52, 96);
const QColor kNavyDeep(10, 32, 62);
const QColor kGridMinor(40, 82, 132);
const QColor kGridMajor(62, 108, 162);
const QColor kSky(120, 180, 240);
const QColor kPaper(252, 251, 246);
const QColor kInk(28, 40, 60);
const QColor kPencil(120, 135, 155);
const QColor kGreen(34, 150, 68);
const QColor kRed(206, 32, 41);

// Fonts that Debian ships; fontconfig falls back sensibly if one is missing.
QFont wordmarkFont(qreal pixelSize)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(QFont::Black);
    font.setPixelSize(qMax(1, qRound(pixelSize)));
    font.setLetterSpacing(QFont::PercentageSpacing, 104);
    return font;
}

QFont textFont(qreal pixelSize, bool bold)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setBold(bold);
    font.setPixelSize(qMax(1, qRound(pixelSize)));
    return font;
}

QImage canvas(int width, int height, const QColor& fill)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(fill);
    return image;
}

void beginPainting(QPainter& painter)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
}

// A dimension arrow head pointing along dx (-1 or +1) at the given point.
void drawArrowHead(QPainter& painter, const QPointF& tip, qreal dx, qreal size)
{
    QPainterPath head;
    head.moveTo(tip);
    head.lineTo(tip.x() - dx * size, tip.y() - size * 0.38);
    head.lineTo(tip.x() - dx * size, tip.y() + size * 0.38);
    head.closeSubpath();
    painter.fillPath(head, painter.pen().color());
}

} // namespace

void Artwork::drawBlueprintGrid(QPainter& painter, const QRectF& area, qreal step)
{
    painter.save();
    for (int pass = 0; pass < 2; ++pass) {
        const bool major = pass == 1;
        painter.setPen(QPen(major ? kGridMajor : kGridMinor, major ? 1.0 : 0.6));
        const qreal spacing = major ? step * 5 : step;
        for (qreal x = area.left(); x <= area.right(); x += spacing)
            painter.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
        for (qreal y = area.top(); y <= area.bottom(); y += spacing)
            painter.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
    }
    painter.restore();
}

// A drawing sheet: border, title block, and (when there is room) a small bracket drawn on it.
void Artwork::drawSheet(QPainter& painter, const QRectF& sheet, bool withPart)
{
    painter.save();
    const qreal unit = sheet.width() / 100.0;
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 50));
    painter.drawRect(sheet.translated(unit * 1.6, unit * 1.6));
    painter.setBrush(kPaper);
    painter.setPen(QPen(kInk, qMax(0.8, unit * 0.6)));
    painter.drawRect(sheet);

    const QRectF frame = sheet.adjusted(unit * 4, unit * 4, -unit * 4, -unit * 4);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kInk, qMax(0.6, unit * 0.45)));
    painter.drawRect(frame);

    // Title block in the lower right corner, as on every school drawing sheet.
    const QRectF block(frame.right() - frame.width() * 0.42, frame.bottom() - frame.height() * 0.2,
                       frame.width() * 0.42, frame.height() * 0.2);
    painter.drawRect(block);
    painter.drawLine(QPointF(block.left(), block.center().y()), QPointF(block.right(), block.center().y()));
    painter.drawLine(QPointF(block.left() + block.width() * 0.4, block.top()),
                     QPointF(block.left() + block.width() * 0.4, block.bottom()));

    if (withPart) {
        // An L-shaped bracket with a bored hole and its centre lines.
        const qreal left = frame.left() + frame.width() * 0.1;
        const qreal top = frame.top() + frame.height() * 0.12;
        const qreal width = frame.width() * 0.5;
        const qreal height = frame.height() * 0.56;
        QPainterPath part;
        part.moveTo(left, top);
        part.lineTo(left + width * 0.34, top);
        part.lineTo(left + width * 0.34, top + height * 0.62);
        part.lineTo(left + width, top + height * 0.62);
        part.lineTo(left + width, top + height);
        part.lineTo(left, top + height);
        part.closeSubpath();
        painter.setPen(QPen(kNavy, qMax(0.9, unit * 0.9), Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        painter.drawPath(part);

        const QPointF hole(left + width * 0.17, top + height * 0.28);
        const qreal holeRadius = width * 0.09;
        painter.drawEllipse(hole, holeRadius, holeRadius);
        painter.setPen(QPen(kPencil, qMax(0.5, unit * 0.35), Qt::DashDotLine));
        painter.drawLine(QPointF(hole.x() - holeRadius * 1.8, hole.y()),
                         QPointF(hole.x() + holeRadius * 1.8, hole.y()));
        painter.drawLine(QPointF(hole.x(), hole.y() - holeRadius * 1.8),
                         QPointF(hole.x(), hole.y() + holeRadius * 1.8));

        // Overall width dimension under the part.
        painter.setPen(QPen(kPencil, qMax(0.5, unit * 0.35)));
        const qreal dimY = top + height + frame.height() * 0.1;
        painter.drawLine(QPointF(left, top + height + unit), QPointF(left, dimY + unit * 2));
        painter.drawLine(QPointF(left + width, top + height + unit), QPointF(left + width, dimY + unit * 2));
        painter.drawLine(QPointF(left, dimY), QPointF(left + width, dimY));
        drawArrowHead(painter, QPointF(left, dimY), -1, unit * 3);
        drawArrowHead(painter, QPointF(left + width, dimY), 1, unit * 3);
    }
    painter.restore();
}

void Artwork::drawMagnifier(QPainter& painter, const QPointF& centre, qreal radius)
{
    painter.save();
    const qreal rim = radius * 0.2;

    // Handle first, so that the rim covers its inner end.
    // Only this part turns: the painter may already be scaled (icons of every size).
    painter.save();
    painter.translate(centre);
    painter.rotate(45);
    QRectF handle(radius * 0.9, -rim * 0.75, radius * 1.15, rim * 1.5);
    QLinearGradient handleShade(0, -rim, 0, rim);
    handleShade.setColorAt(0, QColor(70, 50, 40));
    handleShade.setColorAt(0.5, QColor(120, 86, 62));
    handleShade.setColorAt(1, QColor(52, 36, 28));
    painter.setPen(Qt::NoPen);
    painter.setBrush(handleShade);
    painter.drawRoundedRect(handle, rim * 0.6, rim * 0.6);
    painter.setBrush(QColor(150, 156, 166));
    painter.drawRect(QRectF(radius * 0.86, -rim * 0.55, rim * 0.9, rim * 1.1));
    painter.restore();

    // Glass: a faint blue tint with a highlight, so the sheet below shows through.
    QRadialGradient glass(centre - QPointF(radius * 0.3, radius * 0.3), radius * 1.2);
    glass.setColorAt(0, QColor(255, 255, 255, 110));
    glass.setColorAt(1, QColor(150, 200, 245, 70));
    painter.setBrush(glass);
    painter.setPen(QPen(QColor(46, 52, 64), rim));
    painter.drawEllipse(centre, radius, radius);
    painter.setPen(QPen(QColor(160, 168, 180), rim * 0.35));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(centre, radius - rim * 0.15, radius - rim * 0.15);

    painter.setPen(QPen(QColor(255, 255, 255, 200), qMax(0.8, rim * 0.45), Qt::SolidLine, Qt::RoundCap));
    const QRectF highlight(centre.x() - radius * 0.62, centre.y() - radius * 0.62, radius * 1.24, radius * 1.24);
    painter.drawArc(highlight, 100 * 16, 60 * 16);
    painter.restore();
}

// "DARV" set to fill the box; with dimensioned = true a drafting dimension spans the word above it.
void Artwork::drawWordmark(QPainter& painter, const QRectF& box, const QColor& colour, bool dimensioned)
{
    painter.save();
    const qreal textHeight = dimensioned ? box.height() * 0.74 : box.height();
    const QRectF textBox(box.left(), box.bottom() - textHeight, box.width(), textHeight);
    QFont font = wordmarkFont(textHeight * 0.95);
    QFontMetricsF metrics(font);
    const qreal natural = metrics.horizontalAdvance(QStringLiteral("DARV"));
    if (natural > textBox.width())
        font.setPixelSize(qMax(1, qRound(textHeight * 0.95 * textBox.width() / natural)));
    metrics = QFontMetricsF(font);
    const QRectF inked = metrics.tightBoundingRect(QStringLiteral("DARV"));
    const qreal x = textBox.left() + (textBox.width() - inked.width()) / 2 - inked.left();
    const qreal y = textBox.top() + (textBox.height() - inked.height()) / 2 - inked.top();
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(QPointF(x, y), QStringLiteral("DARV"));

    if (dimensioned) {
        const qreal left = x + inked.left();
        const qreal right = x + inked.right();
        const qreal top = y + inked.top();
        const qreal dimY = box.top() + box.height() * 0.1;
        const qreal weight = qMax(0.6, box.height() * 0.018);
        QColor line = colour;
        line.setAlphaF(0.75);
        painter.setPen(QPen(line, weight));
        painter.drawLine(QPointF(left, top - weight * 3), QPointF(left, dimY - weight * 3));
        painter.drawLine(QPointF(right, top - weight * 3), QPointF(right, dimY - weight * 3));
        painter.drawLine(QPointF(left, dimY), QPointF(right, dimY));
        drawArrowHead(painter, QPointF(left, dimY), -1, weight * 7);
        drawArrowHead(painter, QPointF(right, dimY), 1, weight * 7);
    }
    painter.restore();
}

void Artwork::drawTick(QPainter& painter, const QPointF& centre, qreal radius)
{
    painter.save();
    QRadialGradient disc(centre - QPointF(radius * 0.35, radius * 0.4), radius * 1.4);
    disc.setColorAt(0, kGreen.lighter(135));
    disc.setColorAt(1, kGreen.darker(115));
    painter.setPen(QPen(Qt::white, radius * 0.12));
    painter.setBrush(disc);
    painter.drawEllipse(centre, radius, radius);
    QPainterPath tick;
    tick.moveTo(centre + QPointF(-radius * 0.48, radius * 0.02));
    tick.lineTo(centre + QPointF(-radius * 0.12, radius * 0.38));
    tick.lineTo(centre + QPointF(radius * 0.52, -radius * 0.36));
    painter.setPen(QPen(Qt::white, radius * 0.22, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(tick);
    painter.restore();
}

// A red warning triangle with a white exclamation mark; size is the triangle's side.
void Artwork::drawWarning(QPainter& painter, const QPointF& centre, qreal size)
{
    painter.save();
    const qreal height = size * 0.866;
    QPainterPath triangle;
    triangle.moveTo(centre.x(), centre.y() - height * 0.62);
    triangle.lineTo(centre.x() + size / 2, centre.y() + height * 0.38);
    triangle.lineTo(centre.x() - size / 2, centre.y() + height * 0.38);
    triangle.closeSubpath();
    QLinearGradient shade(0, centre.y() - height * 0.6, 0, centre.y() + height * 0.4);
    shade.setColorAt(0, kRed.lighter(125));
    shade.setColorAt(1, kRed.darker(110));
    painter.setPen(QPen(Qt::white, size * 0.05, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(shade);
    painter.drawPath(triangle);

    const qreal stroke = size * 0.1;
    painter.setPen(QPen(Qt::white, stroke, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(centre.x(), centre.y() - height * 0.3), QPointF(centre.x(), centre.y() + height * 0.04));
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QPointF(centre.x(), centre.y() + height * 0.2), stroke * 0.62, stroke * 0.62);
    painter.restore();
}

void Artwork::drawCaption(QPainter& painter, const QRectF& box, const QString& text, const QColor& colour)
{
    painter.save();
    QFont font = textFont(box.height() * 0.8, true);
    font.setLetterSpacing(QFont::AbsoluteSpacing, box.height() * 0.06);
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(box, Qt::AlignCenter, text);
    painter.restore();
}

QImage Artwork::splash()
{
    QImage image = canvas(640, 480, kNavy);
    QPainter painter(&image);
    beginPainting(painter);

    QLinearGradient sky(0, 0, 0, 480);
    sky.setColorAt(0, kNavy.lighter(112));
    sky.setColorAt(1, kNavyDeep);
    painter.fillRect(image.rect(), sky);
    drawBlueprintGrid(painter, QRectF(0, 0, 640, 420), 16);

    // Two sheets, one over the other: the system sets drawings side by side.
    drawSheet(painter, QRectF(368, 86, 232, 168), false);
    drawSheet(painter, QRectF(336, 62, 232, 168), true);
    drawMagnifier(painter, QPointF(496, 200), 58);

    drawWordmark(painter, QRectF(44, 78, 260, 118), Qt::white, true);
    painter.setFont(textFont(40, true));
    painter.setPen(kSky);
    painter.drawText(QRectF(44, 200, 260, 48), Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("2007"));

    painter.setFont(textFont(17, false));
    painter.setPen(Qt::white);
    painter.drawText(QRectF(44, 290, 560, 26), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Finds copied work among students' CAD drawings"));
    painter.setFont(textFont(13, false));
    painter.setPen(kSky);
    painter.drawText(QRectF(44, 318, 560, 22), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Creation times \u00B7 Shared entity handles \u00B7 Drawing age"));

    // Footer band, like the strip along the bottom of a drawing sheet.
    painter.fillRect(QRectF(0, 420, 640, 60), kNavyDeep);
    painter.setPen(QPen(kSky, 1.2));
    painter.drawLine(QPointF(0, 420.5), QPointF(640, 420.5));
    painter.setFont(textFont(12, false));
    painter.setPen(QColor(200, 215, 235));
    painter.drawText(QRectF(24, 420, 400, 60), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("DARV 2007 for Linux \u2013 a tool for teachers"));
    painter.setFont(textFont(12, true));
    painter.drawText(QRectF(400, 420, 216, 60), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("Starting\u2026"));
    painter.end();
    return image;
}

QImage Artwork::banner()
{
    QImage image = canvas(225, 29, Qt::white);
    QPainter painter(&image);
    beginPainting(painter);

    drawSheet(painter, QRectF(3, 3, 26, 20), false);
    drawMagnifier(painter, QPointF(20, 15), 6.5);

    painter.setFont(wordmarkFont(20));
    painter.setPen(kNavy);
    painter.drawText(QRectF(38, 0, 80, 26), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("DARV"));
    const qreal wordWidth = QFontMetricsF(wordmarkFont(20)).horizontalAdvance(QStringLiteral("DARV"));
    painter.setFont(textFont(17, true));
    painter.setPen(QColor(42, 111, 219));
    painter.drawText(QRectF(44 + wordWidth, 0, 60, 26), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("2007"));

    painter.setPen(QPen(kNavy, 1));
    painter.drawLine(QPointF(38, 26.5), QPointF(222, 26.5));
    painter.setFont(textFont(8.5, false));
    painter.setPen(kPencil);
    painter.drawText(QRectF(150, 2, 72, 22), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("drawing checks"));
    painter.end();
    return image;
}

QImage Artwork::icon(int size)
{
    QImage image = canvas(size, size, Qt::transparent);
    QPainter painter(&image);
    beginPainting(painter);
    paintIcon(painter, size);
    painter.end();
    return image;
}

// Drawn on a 64 x 64 grid and scaled. Small icons leave the blueprint grid out: at 16 or 24 pixels it
// would only blur the sheet. No clipping is used, so that an SVG generator draws the same picture.
void Artwork::paintIcon(QPainter& painter, qreal size)
{
    painter.save();
    painter.scale(size / 64.0, size / 64.0);
    const QRectF tileRect(2, 2, 60, 60);
    const qreal corner = 12;
    QPainterPath tile;
    tile.addRoundedRect(tileRect, corner, corner);
    QLinearGradient sky(0, 0, 0, 64);
    sky.setColorAt(0, kNavy.lighter(120));
    sky.setColorAt(1, kNavyDeep);
    painter.fillPath(tile, sky);
    if (size >= 32)
        drawTileGrid(painter, tileRect, corner, 6);

    drawSheet(painter, QRectF(9, 10, 40, 32), true);
    drawMagnifier(painter, QPointF(38, 37), 13);
    painter.restore();
}

// The blueprint grid inside a rounded tile: each line is cut where the rounded corners begin.
void Artwork::drawTileGrid(QPainter& painter, const QRectF& tile, qreal corner, qreal step)
{
    // How far the tile's edge lies inside its bounding box at a distance from the nearest side.
    const auto inset = [corner](qreal fromSide) {
        if (fromSide >= corner)
            return 0.0;
        const qreal d = corner - fromSide;
        return corner - std::sqrt(corner * corner - d * d);
    };
    painter.save();
    for (int pass = 0; pass < 2; ++pass) {
        const bool major = pass == 1;
        painter.setPen(QPen(major ? kGridMajor : kGridMinor, major ? 1.0 : 0.6));
        const qreal spacing = major ? step * 5 : step;
        for (qreal offset = spacing; offset < tile.width(); offset += spacing) {
            const qreal cut = inset(std::min(offset, tile.width() - offset));
            const qreal x = tile.left() + offset;
            const qreal y = tile.top() + offset;
            painter.drawLine(QPointF(x, tile.top() + cut), QPointF(x, tile.bottom() - cut));
            painter.drawLine(QPointF(tile.left() + cut, y), QPointF(tile.right() - cut, y));
        }
    }
    painter.restore();
}

QImage Artwork::logo()
{
    QImage image = canvas(90, 75, Qt::white);
    QPainter painter(&image);
    beginPainting(painter);
    drawSheet(painter, QRectF(10, 5, 56, 42), true);
    drawMagnifier(painter, QPointF(58, 38), 14);
    drawWordmark(painter, QRectF(6, 55, 78, 17), kNavy, false);
    painter.end();
    return image;
}

QImage Artwork::allClear()
{
    QImage image = canvas(90, 75, Qt::white);
    QPainter painter(&image);
    beginPainting(painter);
    drawSheet(painter, QRectF(10, 5, 56, 42), true);
    drawTick(painter, QPointF(62, 36), 15);
    drawCaption(painter, QRectF(0, 57, 90, 15), QStringLiteral("ALL CLEAR"), kGreen.darker(110));
    painter.end();
    return image;
}

QImage Artwork::conflict()
{
    QImage image = canvas(90, 75, Qt::white);
    QPainter painter(&image);
    beginPainting(painter);
    drawSheet(painter, QRectF(20, 10, 50, 38), true);
    drawSheet(painter, QRectF(8, 3, 50, 38), true);
    drawWarning(painter, QPointF(64, 38), 34);
    drawCaption(painter, QRectF(0, 57, 90, 15), QStringLiteral("CONFLICT"), kRed);
    painter.end();
    return image;
}

QImage Artwork::printLogo()
{
    QImage image = canvas(375, 300, Qt::white);
    QPainter painter(&image);
    beginPainting(painter);
    drawSheet(painter, QRectF(60, 16, 200, 150), true);
    drawMagnifier(painter, QPointF(236, 132), 46);
    drawWordmark(painter, QRectF(40, 186, 230, 96), kNavy, true);
    painter.setFont(textFont(30, true));
    painter.setPen(QColor(42, 111, 219));
    painter.drawText(QRectF(276, 222, 96, 56), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("2007"));
    painter.end();
    return image;
}

} // namespace darv
