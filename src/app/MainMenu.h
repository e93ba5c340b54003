#pragma once

class QActionGroup;
class QMenuBar;

namespace zr::app {

// Fills the main window's menu bar with its named items; returns the exclusive group of the
// three measuring-method items.
QActionGroup* buildMainMenu(QMenuBar* bar);

} // namespace zr::app
