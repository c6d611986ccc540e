// Where a window opens: inside its screen's available area.
#include "widgets/ScreenPlacement.h"

#include <QApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include <algorithm>

namespace darv {

namespace {

// What the frame adds to the window: known once it was shown; before, a title bar's height.
QSize frameExtra(const QWidget* window)
{
    if (window->isVisible() && window->frameGeometry().size() != window->size())
        return window->frameGeometry().size() - window->size();
    const int titleBar = window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window);
    return {0, std::max(titleBar, 0)};
}

bool resizable(const QWidget* window)
{
    return window->minimumSize() != window->maximumSize();
}

} // namespace

QRect placeWithin(const QRect& frame, const QSize& minimum, bool resizable, const QRect& area)
{
    QRect placed = frame;
    if (resizable)
        placed.setSize(frame.size().boundedTo(area.size()).expandedTo(minimum));
    if (placed.width() > area.width() || placed.height() > area.height())
        return {area.topLeft(), placed.size()};
    placed.moveLeft(std::clamp(placed.left(), area.left(), area.right() + 1 - placed.width()));
    placed.moveTop(std::clamp(placed.top(), area.top(), area.bottom() + 1 - placed.height()));
    return placed;
}

QRect availableArea(const QWidget* window)
{
    const QWidget* parent = window->parentWidget() ? window->parentWidget()->window() : nullptr;
    const QScreen* screen = parent && parent->screen() ? parent->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

void fitToScreen(QWidget* window)
{
    const QRect area = availableArea(window);
    if (area.isEmpty() || !resizable(window))
        return;
    const QSize extra = frameExtra(window);
    const QSize room = (area.size() - extra).expandedTo(window->minimumSize());
    if (window->width() > room.width() || window->height() > room.height())
        window->resize(window->size().boundedTo(room));
}

void placeOnScreen(QWidget* window, bool centred)
{
    const QRect area = availableArea(window);
    if (area.isEmpty())
        return;
    const QSize extra = frameExtra(window);
    QRect frame(window->pos(), window->size() + extra);
    if (centred)
        frame.moveCenter(area.center());
    window->move(placeWithin(frame, frame.size(), false, area).topLeft()); // a window's position is its frame's
}

} // namespace darv
