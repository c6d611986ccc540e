// A progress bar from 0 to 100 that keeps its value as a floating-point number.
#pragma once

#include <QProgressBar>

namespace darv {

class ProgressBar : public QProgressBar
{
    Q_OBJECT
public:
    explicit ProgressBar(QWidget* parent = nullptr);

    // Values outside 0 to 100 are refused: the bar keeps its last value.
    void setPercent(double value);
    double percent() const { return m_percent; }

private:
    double m_percent = 0.0;
};

} // namespace darv
