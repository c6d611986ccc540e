// Draws the system's pictures (splash, banner, icon, panel pictures, print logo) with one visual identity.
#pragma once

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QString>

class QPainter;

namespace darv {

// Every picture is painted from the same few motifs: a drawing sheet with a title block, a magnifier,
// and the "DARV" wordmark with drafting dimension marks, in drafting blue on paper white.
class Artwork
{
public:
    static QImage splash();            // 640 x 480, shown while the system starts
    static QImage banner();            // 225 x 29, the About page
    static QImage icon(int size = 64); // size x size: the window icon (64) and the desktop's icons
    static QImage logo();              // 90 x 75, the panel picture before and during a run
    static QImage allClear();          // 90 x 75, a run without conflicts
    static QImage conflict();          // 90 x 75, a run that found conflicts
    static QImage printLogo();         // 375 x 300, printed reports (drawn 1.25 x 1.0 inch)

    // The application icon on any paint device, such as an SVG generator: a size x size square.
    static void paintIcon(QPainter& painter, qreal size);

private:
    static void drawTileGrid(QPainter& painter, const QRectF& tile, qreal corner, qreal step);
    static void drawBlueprintGrid(QPainter& painter, const QRectF& area, qreal step);
    static void drawSheet(QPainter& painter, const QRectF& sheet, bool withPart);
    static void drawMagnifier(QPainter& painter, const QPointF& centre, qreal radius);
    static void drawWordmark(QPainter& painter, const QRectF& box, const QColor& colour, bool dimensioned);
    static void drawTick(QPainter& painter, const QPointF& centre, qreal radius);
    static void drawWarning(QPainter& painter, const QPointF& centre, qreal size);
    static void drawCaption(QPainter& painter, const QRectF& box, const QString& text, const QColor& colour);
};

} // namespace darv
