// Both drawings of a pair, drawn from their stored geometry, zooming and panning together.
#include "similar/window/DrawingPairView.h"

#include <QBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <cmath>

namespace darv {

DrawingView::DrawingView(DrawingPairView& pair, int side, QWidget* parent) : QWidget(parent), m_pair(pair), m_side(side)
{
    setMinimumSize(120, 80);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::white);
    setPalette(colours);
    setCursor(Qt::OpenHandCursor);
    setFocusPolicy(Qt::StrongFocus); // a click gives it the keyboard
    setToolTip(tr("Wheel or + and -: zoom; drag: pan; 0: fit both drawings. Both views move together."));
}

void DrawingView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRectF target = rect();
    paintEntities(painter, m_pair.entities(m_side), m_pair.transform(), target, m_pair.shift(m_side));
    const QString& caption = m_pair.caption(m_side);
    if (!caption.isEmpty()) {
        const QFontMetrics metrics = fontMetrics();
        const QString shown = metrics.elidedText(caption, Qt::ElideMiddle, width() - 12);
        const QRect box(1, 1, metrics.horizontalAdvance(shown) + 10, metrics.height() + 4);
        painter.fillRect(box, QColor(255, 255, 255, 220));
        painter.setPen(Qt::black);
        painter.drawText(box.adjusted(5, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop, shown);
    }
    // The focused view's frame in the highlight colour: the keys act on it.
    painter.setPen(hasFocus() ? QPen(palette().color(QPalette::Highlight), 2) : QPen(QColor(180, 180, 180)));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(target.adjusted(0.5, 0.5, -1, -1));
}

void DrawingView::keyPressEvent(QKeyEvent* event)
{
    const QPointF centre = rect().center();
    switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        m_pair.zoomAt(centre, rect(), 1.25);
        break;
    case Qt::Key_Minus:
        m_pair.zoomAt(centre, rect(), 1 / 1.25);
        break;
    case Qt::Key_0:
        m_pair.fit();
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void DrawingView::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    update();
}

void DrawingView::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    update();
}

void DrawingView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_side == 0 && !m_pair.zoomed() && m_pair.view(1))
        m_pair.fit();
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
    setFocus(Qt::MouseFocusReason);
    update();
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

void DrawingPairView::setCaptions(const QString& a, const QString& b)
{
    m_captions[0] = a;
    m_captions[1] = b;
    m_views[0]->update();
    m_views[1]->update();
}

void DrawingPairView::clear()
{
    m_entities[0].clear();
    m_entities[1].clear();
    m_captions[0].clear();
    m_captions[1].clear();
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
    m_zoomed = false;
    if (!bounds)
        return;
    const QRectF target = m_views[0]->rect();
    ViewTransform fitted = fitTransform(*bounds, target);
    // Blocks' names keep their size on screen: the drawing is fitted into what they leave of the view. Their
    // overhang changes a little with the scale, so the fit is made again a few times.
    for (int pass = 0; pass < 3; ++pass) {
        const QRectF device = QRectF(fitted.toDevice(bounds->left(), bounds->bottom(), target),
                                     fitted.toDevice(bounds->right(), bounds->top(), target))
                                  .normalized();
        QRectF reach = device;
        for (int side = 0; side < 2; ++side)
            if (const auto labels = fixedLabelExtent(m_entities[side], fitted, target, shift(side)))
                reach = reach.united(*labels);
        const QRectF inner = target.adjusted(device.left() - reach.left(), device.top() - reach.top(),
                                             device.right() - reach.right(), device.bottom() - reach.bottom());
        if (reach == device || inner.width() <= 20 || inner.height() <= 20)
            break;
        fitted = fitTransform(*bounds, inner);
        const QPointF delta = inner.center() - target.center(); // painted in the whole view
        fitted.centre -= QPointF(delta.x() / fitted.scale, -delta.y() / fitted.scale);
    }
    setTransform(fitted);
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
    m_zoomed = true;
    setTransform(zoomed);
}

void DrawingPairView::panBy(const QPointF& pixels)
{
    ViewTransform panned = m_transform;
    panned.centre -= QPointF(pixels.x() / m_transform.scale, -pixels.y() / m_transform.scale);
    m_zoomed = true;
    setTransform(panned);
}

void DrawingPairView::resizeEvent(QResizeEvent* event)
{
    // Side by side while there is room; one above the other in a narrow window.
    m_layout->setDirection(width() >= height() ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom);
    QWidget::resizeEvent(event);
}

} // namespace darv
