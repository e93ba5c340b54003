#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace zr::ui {
class LogView;
}

namespace zr::app {

// The hidden service page: the traffic log and raw commands for whoever services the meter.
class ServicePage : public QWidget {
    Q_OBJECT
public:
    explicit ServicePage(QWidget* parent = nullptr);

    // Memo1, the traffic log.
    ui::LogView* log() const { return memo1_; }
    QPushButton* button1() const { return button1_; }
    QPushButton* button2() const { return button2_; }
    QPushButton* button3() const { return button3_; }
    QLineEdit* edit1() const { return edit1_; }
    QLineEdit* edit2() const { return edit2_; }

private:
    ui::LogView* memo1_;
    QPushButton* button1_;
    QLineEdit* edit2_;
    QPushButton* button2_;
    QLineEdit* edit1_;
    QPushButton* button3_;
    QLabel* label2_;
};

} // namespace zr::app
