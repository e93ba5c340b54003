#pragma once

class QLabel;
class QWidget;

namespace zr::records {

// The caption across the top of both input dialogs.
QLabel* makeInputDialogLabel(QWidget* dialog, int width);

} // namespace zr::records
