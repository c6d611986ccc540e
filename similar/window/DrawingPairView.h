// Both drawings of a pair, side by side (one above the other when the space is narrow), each drawn
// from its stored geometry. The two views zoom (wheel) and pan (drag) together; the second drawing is
// mapped back by the placement the check found, so that a moved, turned or resized copy lies where its
// original lies. Each view has a caption (student and file); a click gives a view the focus, and the keys
// + - 0 zoom and fit it. Both refit when the window is resized, unless the teacher zoomed or panned.
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
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
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
    // Shows both drawings whole (and refits them on resize from now on).
    void fit();
    // The line at the top of each view ("A: anna - class A/anna/bracket.dwg").
    void setCaptions(const QString& a, const QString& b);
    const QString& caption(int side) const { return m_captions[side]; }
    // The teacher zoomed or panned since the last fit: a resize keeps the view as it is.
    bool zoomed() const { return m_zoomed; }

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
    QString m_captions[2];
    bool m_zoomed = false;
    QTransform m_back;
    ViewTransform m_transform;
    DrawingView* m_views[2] = {nullptr, nullptr};
    QBoxLayout* m_layout = nullptr;
};

} // namespace darv
