#pragma once

#include <functional>

class QWidget;

namespace zr::app {

// Runs `then` once, from the event loop, right after `window` (a top-level widget not shown yet)
// was first painted on screen: work that the user does not see at once waits until the window
// stands there instead of holding up its appearance.
void afterFirstPaint(QWidget& window, std::function<void()> then);

} // namespace zr::app
