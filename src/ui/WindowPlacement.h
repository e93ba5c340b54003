#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace zr::ui {

// Where a window whose frame is `frame` stands so that it lies inside `available` (the screen
// less its panels): its own position when it fits, otherwise moved just enough. A window larger
// than the area keeps its top-left corner on screen.
QPoint fitWithin(const QRect& frame, const QRect& available);

// Where a companion window of `size` stands next to `anchor`: to the right of it where there is
// room, else to the left, else over the anchor's right part; always fitted within `available`.
QPoint besideOrOver(const QRect& anchor, const QSize& size, const QRect& available);

// Fits the top-level `window` within the available area of its screen each time it is shown,
// and once more when the window manager's frame becomes known.
void keepOnScreen(QWidget* window);

} // namespace zr::ui
