// Both drawings of a pair, side by side (one above the other when the space is narrow), each drawn
// from its stored geometry. The two views zoom (wheel) and pan (drag) together; the second drawing is
// mapped back by the placement the check found, so that a moved, turned or resized copy lies where its
// original lies.
#pragma once

#include "similar/window/DrawingPainter.h"

#include <QWidget>

#include <vector>

class QBoxLayout;

namespace darv {

class DrawingPairView;

// One of the two views; it paints and passes the user's zoom and pan on to the pair.
class DrawingView : public QWidget
{
    Q_OBJECT
public:
    DrawingView(DrawingPairView& pair, int side, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    DrawingPairView& m_pair;
    int m_side;
    QPointF m_dragFrom;
    bool m_dragging = false;
};

class DrawingPairView : public QWidget
{
    Q_OBJECT
public:
    explicit DrawingPairView(QWidget* parent = nullptr);

    // back: how drawing B is mapped onto drawing A (see placedBack); B is shown mapped by it.
    void setPair(std::vector<ViewEntity> a, std::vector<ViewEntity> b, const QTransform& back);
    void clear();
    // Shows both drawings whole.
    void fit();

    const ViewTransform& transform() const { return m_transform; }
    void setTransform(const ViewTransform& transform);
    DrawingView* view(int side) const { return m_views[side]; }
    const std::vector<ViewEntity>& entities(int side) const { return m_entities[side]; }
    QTransform shift(int side) const { return side == 0 ? QTransform() : m_back; }

    // Zoom by factor about the device point `anchor` of a view; pan by a device distance.
    void zoomAt(const QPointF& anchor, const QRectF& viewRect, double factor);
    void panBy(const QPointF& pixels);

signals:
    void transformChanged();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    std::vector<ViewEntity> m_entities[2];
    QTransform m_back;
    ViewTransform m_transform;
    DrawingView* m_views[2] = {nullptr, nullptr};
    QBoxLayout* m_layout = nullptr;
};

} // namespace darv
