#pragma once

#include "calibration/Library.h"
#include "common/HandlerGuard.h"

#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;

namespace zr::ui {
class StringGrid;
}

namespace zr::calibration {

// the computer calibration library, a view on the Library controller, whose handlers
// run in the given guard.
class CalibrationLibraryWindow : public QDialog {
    Q_OBJECT
public:
    // Shows `library`, which outlives the window.
    CalibrationLibraryWindow(Library& library, const common::HandlerGuard& guard,
                             QWidget* parent = nullptr);
    ~CalibrationLibraryWindow() override;

    Library& library() { return library_; }
    ui::StringGrid* grid() const { return grid_; }

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QPushButton* addButton(const QString& name, const QString& text, void (Library::*handler)());
    void setColumnWidths();
    // The line under the grid that tells of entries the grid has no rows for.
    void showOverflow();

    Library& library_;
    const common::HandlerGuard& guard_;
    ui::StringGrid* grid_ = nullptr;
    QWidget* toolBar_ = nullptr;
    QLabel* overflow_ = nullptr;
};

} // namespace zr::calibration
