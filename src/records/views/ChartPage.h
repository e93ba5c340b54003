#pragma once

#include <QWidget>

class QPushButton;

namespace zr::records {

// The hidden chart page: one red line series on a fixed 4000..9000 axis, and a clear button.
class ChartPage : public QWidget {
    Q_OBJECT
public:
    explicit ChartPage(QWidget* parent = nullptr);

    QPushButton* clearButton() const { return button4_; }

private:
    QPushButton* button4_;
};

} // namespace zr::records
