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

// Where a companion window of `size` stands so that it covers nothing of `anchor`: to its right,
// left, below or above it, the first of these with room within `available`. Where there is room
// on no side, over the bottom-right corner of `spare` (the part of the anchor that matters
// least), fitted within `available`.
QPoint besideOrOver(const QRect& anchor, const QSize& size, const QRect& available,
                    const QRect& spare);

// Fits the top-level `window` within the available area of its screen each time it is shown,
// and once more when the window manager's frame becomes known.
void keepOnScreen(QWidget* window);

} // namespace zr::ui
