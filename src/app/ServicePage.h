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
    ui::LogView* log() const { return log_; }
    QPushButton* readStoredValuesButton() const { return readStoredValuesButton_; }
    QPushButton* readByteButton() const { return readByteButton_; }
    QPushButton* writeTestCalibrationButton() const { return writeTestCalibrationButton_; }
    QLineEdit* byteValueEdit() const { return byteValueEdit_; }
    QLineEdit* addressEdit() const { return addressEdit_; }
    // The journal's server, when one is configured: reached or not, rows waiting.
    QLabel* serverStatus() const { return serverStatus_; }
    void showServerStatus(const QString& line);

private:
    ui::LogView* log_;
    QPushButton* readStoredValuesButton_;
    QLineEdit* addressEdit_;
    QPushButton* readByteButton_;
    QLineEdit* byteValueEdit_;
    QPushButton* writeTestCalibrationButton_;
    QLabel* placeholderLabel_;
    QLabel* serverStatus_;
};

} // namespace zr::app
