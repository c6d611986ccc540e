// Where a window opens: inside the available area of its screen (task bars and panels left out), in
// device-independent pixels, so that a scaled screen (QT_SCALE_FACTOR=2) gets the same layout, only
// sharper. A window larger than the area opens at its top left: its title bar and first controls stay
// reachable.
#pragma once

#include <QRect>

class QWidget;

namespace darv {

// The frame rectangle for a window whose frame (title bar and borders included) wants `frame`, inside `area`:
// moved in when it reaches beyond; shrunk to the area when `resizable` (never below `minimum`, the frame's
// smallest); at the area's top left when it still cannot fit.
QRect placeWithin(const QRect& frame, const QSize& minimum, bool resizable, const QRect& area);

// The available area of the screen the window opens on: its parent's, else the primary screen's.
QRect availableArea(const QWidget* window);

// Shrinks a resizable window that is larger than its screen's available area (a size remembered on another
// screen or at another scale), before it is shown.
void fitToScreen(QWidget* window);
// Moves the window so that it lies inside the available area (call fitToScreen first for its size);
// `centred`: in its middle, else as near its place as it can; at the area's top left when it is too large.
void placeOnScreen(QWidget* window, bool centred);

} // namespace darv
