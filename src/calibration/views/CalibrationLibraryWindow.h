#pragma once

#include "calibration/Library.h"
#include "ui/HandlerGuard.h"

#include <QDialog>
#include <functional>
#include <memory>

class QLabel;
class QPushButton;

namespace zr::common {
class FileAccess;
}

namespace zr::ui {
class StringGrid;
}

namespace zr::calibration {

// TForm1: the computer calibration library. A view on Library; creating it loads the library
// file at `libraryPath`.
class CalibrationLibraryWindow : public QDialog {
    Q_OBJECT
public:
    CalibrationLibraryWindow(connection::ControllerContext context, Library::Dialogs dialogs,
                             common::FileAccess& files, const QString& libraryPath,
                             QWidget* parent = nullptr);
    ~CalibrationLibraryWindow() override;

    Library& library() { return *library_; }
    ui::StringGrid* grid() const { return grid_; }

    // Closing by any way ("X", Esc, the program) writes the library back.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QPushButton* addButton(const QString& name, const QString& text, void (Library::*handler)());
    void setColumnWidths();
    // The line under the grid that tells of entries the grid has no rows for.
    void showOverflow();

    ui::HandlerGuard guard_;
    ui::StringGrid* grid_ = nullptr;
    QWidget* toolBar_ = nullptr;
    QLabel* overflow_ = nullptr;
    std::unique_ptr<Library> library_;
};

} // namespace zr::calibration
