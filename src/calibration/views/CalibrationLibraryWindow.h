#pragma once

#include "calibration/Library.h"
#include "common/HandlerGuard.h"

#include <QDialog>
#include <functional>
#include <memory>

class QLabel;
class QPushButton;

namespace zr::ui {
class StringGrid;
}

namespace zr::calibration {

class LibraryStore;

// TForm1: the computer calibration library. A view on Library; creating it loads the library
// file.
class CalibrationLibraryWindow : public QDialog {
    Q_OBJECT
public:
    CalibrationLibraryWindow(connection::ControllerContext context, Library::Dialogs dialogs,
                             std::unique_ptr<LibraryStore> store, QWidget* parent = nullptr);
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

    common::HandlerGuard guard_;
    std::unique_ptr<LibraryStore> store_;
    ui::StringGrid* grid_ = nullptr;
    QWidget* toolBar_ = nullptr;
    QLabel* overflow_ = nullptr;
    std::unique_ptr<Library> library_;
};

} // namespace zr::calibration
