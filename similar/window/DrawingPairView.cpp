// Both drawings of a pair, drawn from their stored geometry, zooming and panning together.
#include "similar/window/DrawingPairView.h"

#include <QBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <cmath>

namespace darv {

DrawingView::DrawingView(DrawingPairView& pair, int side, QWidget* parent) : QWidget(parent), m_pair(pair), m_side(side)
{
    setMinimumSize(160, 120);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::white);
    setPalette(colours);
    setCursor(Qt::OpenHandCursor);
}

void DrawingView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRectF target = rect();
    paintEntities(painter, m_pair.entities(m_side), m_pair.transform(), target, m_pair.shift(m_side));
    painter.setPen(QColor(180, 180, 180));
    painter.drawRect(target.adjusted(0, 0, -1, -1));
}

void DrawingView::wheelEvent(QWheelEvent* event)
{
    const double steps = event->angleDelta().y() / 120.0;
    if (steps != 0)
        m_pair.zoomAt(event->position(), rect(), std::pow(1.25, steps));
    event->accept();
}

void DrawingView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_dragging = true;
        m_dragFrom = event->position();
        setCursor(Qt::ClosedHandCursor);
    }
}

void DrawingView::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragging)
        return;
    m_pair.panBy(event->position() - m_dragFrom);
    m_dragFrom = event->position();
}

void DrawingView::mouseReleaseEvent(QMouseEvent*)
{
    m_dragging = false;
    setCursor(Qt::OpenHandCursor);
}

DrawingPairView::DrawingPairView(QWidget* parent) : QWidget(parent)
{
    m_layout = new QBoxLayout(QBoxLayout::LeftToRight, this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    for (int side = 0; side < 2; ++side) {
        m_views[side] = new DrawingView(*this, side, this);
        m_views[side]->setObjectName(side == 0 ? QStringLiteral("viewA") : QStringLiteral("viewB"));
        m_layout->addWidget(m_views[side]);
    }
}

void DrawingPairView::setPair(std::vector<ViewEntity> a, std::vector<ViewEntity> b, const QTransform& back)
{
    m_entities[0] = std::move(a);
    m_entities[1] = std::move(b);
    m_back = back;
    fit();
}

void DrawingPairView::clear()
{
    m_entities[0].clear();
    m_entities[1].clear();
    m_back = {};
    update();
    m_views[0]->update();
    m_views[1]->update();
}

void DrawingPairView::fit()
{
    std::optional<QRectF> bounds;
    for (int side = 0; side < 2; ++side) {
        if (const auto own = worldBounds(m_entities[side], shift(side)))
            bounds = bounds ? bounds->united(*own) : *own;
    }
    if (bounds)
        setTransform(fitTransform(*bounds, m_views[0]->rect()));
}

void DrawingPairView::setTransform(const ViewTransform& transform)
{
    m_transform = transform;
    m_views[0]->update();
    m_views[1]->update();
    emit transformChanged();
}

void DrawingPairView::zoomAt(const QPointF& anchor, const QRectF& viewRect, double factor)
{
    // The world point under the pointer stays under it.
    const QPointF world = m_transform.toWorld(anchor, viewRect);
    ViewTransform zoomed = m_transform;
    zoomed.scale = std::clamp(m_transform.scale * factor, 1e-9, 1e9);
    const QPointF moved = zoomed.toWorld(anchor, viewRect);
    zoomed.centre += world - moved;
    setTransform(zoomed);
}

void DrawingPairView::panBy(const QPointF& pixels)
{
    ViewTransform panned = m_transform;
    panned.centre -= QPointF(pixels.x() / m_transform.scale, -pixels.y() / m_transform.scale);
    setTransform(panned);
}

void DrawingPairView::resizeEvent(QResizeEvent* event)
{
    // Side by side while there is room; one above the other in a narrow window.
    m_layout->setDirection(width() >= height() ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom);
    QWidget::resizeEvent(event);
}

} // namespace darv
