// The histogram of a check's scores with its draggable threshold line.
#include "similar/window/ScoreHistogram.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>

namespace darv {

namespace {

constexpr int kBins = 20; // 5 % each; 100 % goes into the last

std::array<int, kBins> binsOf(const std::vector<double>& scores)
{
    std::array<int, kBins> bins{};
    for (const double score : scores) {
        if (!std::isfinite(score))
            continue;
        bins[static_cast<std::size_t>(std::clamp(static_cast<int>(score / (100.0 / kBins)), 0, kBins - 1))]++;
    }
    return bins;
}

// The plot inside target: room below for the percent labels.
QRectF plotArea(const QRectF& target, double textHeight)
{
    return target.adjusted(4, textHeight + 2, -4, -(textHeight + 4));
}

} // namespace

void paintHistogram(QPainter& painter, const QRectF& target, const std::vector<double>& scores, double threshold,
                    double penScale)
{
    const std::array<int, kBins> bins = binsOf(scores);
    const int most = std::max(1, *std::max_element(bins.begin(), bins.end()));
    const double textHeight = painter.fontMetrics().height();
    const double label = painter.fontMetrics().horizontalAdvance(QStringLiteral("100 %")) * 1.2; // a label's box
    const QRectF plot = plotArea(target, textHeight);
    const double binWidth = plot.width() / kBins;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (int k = 0; k < kBins; ++k) {
        if (bins[static_cast<std::size_t>(k)] == 0)
            continue;
        // A square root scale: a handful of high pairs stays visible beside hundreds of low ones.
        const double h = plot.height() * std::sqrt(static_cast<double>(bins[static_cast<std::size_t>(k)]) / most);
        const QRectF bar(plot.left() + k * binWidth + 1, plot.bottom() - h, binWidth - 2, h);
        const bool reported = (k + 1) * (100.0 / kBins) > threshold;
        painter.fillRect(bar, reported ? QColor(200, 40, 40) : QColor(150, 150, 150));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(bar.left() - binWidth, bar.top() - textHeight, binWidth * 3, textHeight),
                         Qt::AlignHCenter | Qt::AlignBottom, QString::number(bins[static_cast<std::size_t>(k)]));
    }
    painter.setPen(QPen(QColor(120, 120, 120), penScale));
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    for (int percent = 0; percent <= 100; percent += 25) {
        const double x = plot.left() + plot.width() * percent / 100.0;
        const Qt::Alignment side = percent == 0 ? Qt::AlignLeft : percent == 100 ? Qt::AlignRight : Qt::AlignHCenter;
        const QRectF box = percent == 0     ? QRectF(target.left(), plot.bottom() + 2, label, textHeight)
                           : percent == 100 ? QRectF(target.right() - label, plot.bottom() + 2, label, textHeight)
                                            : QRectF(x - label / 2, plot.bottom() + 2, label, textHeight);
        painter.drawText(box, static_cast<int>((side | Qt::AlignTop).toInt()), QStringLiteral("%1 %").arg(percent));
    }
    const double x = plot.left() + plot.width() * std::clamp(threshold, 0.0, 100.0) / 100.0;
    painter.setPen(QPen(QColor(0, 90, 200), 2 * penScale));
    painter.drawLine(QPointF(x, target.top()), QPointF(x, plot.bottom()));
    painter.drawText(QRectF(x + 3 * penScale, target.top(), label, textHeight), Qt::AlignLeft | Qt::AlignTop,
                     QStringLiteral("%1 %").arg(qRound(threshold)));
    painter.restore();
}

ScoreHistogram::ScoreHistogram(QWidget* parent) : QWidget(parent)
{
    setMinimumSize(160, 70);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::SizeHorCursor);
    setToolTip(tr("The scores of every pair the check compared. Drag the blue line (or use the arrow keys) to "
                  "list the pairs from another score; red bars are at or above it."));
}

void ScoreHistogram::setScores(std::vector<double> scores)
{
    m_scores = std::move(scores);
    update();
}

void ScoreHistogram::setThreshold(double percent)
{
    m_threshold = std::clamp(percent, 0.0, 100.0);
    update();
}

QRectF ScoreHistogram::plotRect() const
{
    return plotArea(rect(), fontMetrics().height());
}

double ScoreHistogram::xOf(double percent) const
{
    const QRectF plot = plotRect();
    return plot.left() + plot.width() * percent / 100.0;
}

void ScoreHistogram::moveLineTo(double x)
{
    const QRectF plot = plotRect();
    if (plot.width() <= 0)
        return; // no room to point at a score
    const double percent = std::round(std::clamp((x - plot.left()) / plot.width() * 100.0, 0.0, 100.0));
    if (percent == m_threshold)
        return;
    setThreshold(percent);
    emit thresholdChanged(percent);
}

void ScoreHistogram::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    paintHistogram(painter, rect(), m_scores, m_threshold);
    if (m_scores.empty()) {
        painter.setPen(palette().color(QPalette::PlaceholderText));
        painter.drawText(rect(), Qt::AlignCenter, tr("No scores to show"));
    }
}

void ScoreHistogram::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_dragging = true;
    moveLineTo(event->position().x());
}

void ScoreHistogram::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragging)
        moveLineTo(event->position().x());
}

void ScoreHistogram::mouseReleaseEvent(QMouseEvent*)
{
    m_dragging = false;
}

void ScoreHistogram::keyPressEvent(QKeyEvent* event)
{
    const int step = event->key() == Qt::Key_Left ? -1 : event->key() == Qt::Key_Right ? 1 : 0;
    if (step == 0) {
        QWidget::keyPressEvent(event);
        return;
    }
    const double percent = std::clamp(m_threshold + step, 0.0, 100.0);
    if (percent != m_threshold) {
        setThreshold(percent);
        emit thresholdChanged(percent);
    }
}

} // namespace darv
