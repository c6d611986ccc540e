// The class at a glance: how many compared pairs reached each score, in bars of 5 %, with the threshold drawn
// as a line the teacher can drag (or move with the arrow keys). The same picture goes on the printed summary.
#pragma once

#include <QWidget>

#include <vector>

namespace darv {

// Paints the bars of `scores` (percent) into target with the threshold line; penScale as in paintEntities.
void paintHistogram(QPainter& painter, const QRectF& target, const std::vector<double>& scores, double threshold,
                    double penScale = 1.0);

class ScoreHistogram : public QWidget
{
    Q_OBJECT
public:
    explicit ScoreHistogram(QWidget* parent = nullptr);

    void setScores(std::vector<double> scores);
    const std::vector<double>& scores() const { return m_scores; }
    double threshold() const { return m_threshold; }
    // Moves the line without telling (the spin box's value, a result shown).
    void setThreshold(double percent);
    // Where the line for a threshold lies, in the widget's pixels.
    double xOf(double percent) const;

signals:
    void thresholdChanged(double percent); // the teacher moved the line (whole percents)

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QRectF plotRect() const;
    void moveLineTo(double x);

    std::vector<double> m_scores;
    double m_threshold = 50;
    bool m_dragging = false;
};

} // namespace darv
