// A progress bar from 0 to 100 that keeps its value as a floating-point number.
#include "widgets/ProgressBar.h"

#include <cmath>

namespace darv {

namespace {
constexpr int kSteps = 10000; // hundredths of a percent
}

ProgressBar::ProgressBar(QWidget* parent) : QProgressBar(parent)
{
    setRange(0, kSteps);
    setValue(0);
    setTextVisible(false);
}

void ProgressBar::setPercent(double value)
{
    if (!(value >= 0.0 && value <= 100.0))
        return;
    m_percent = value;
    setValue(static_cast<int>(std::lround(value * kSteps / 100.0)));
}

} // namespace darv
