#pragma once

class QWidget;

namespace zr::ui {

// Gives `window` a title bar that shows no text. An empty title is not enough: the window
// system then shows the program's name instead, so the title is one character that has no
// glyph.
void setBlankWindowTitle(QWidget* window);

} // namespace zr::ui
