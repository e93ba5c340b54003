#pragma once

#include <QDialog>

namespace zr::app {

// TAboutBox: the program's name, version and maker.
class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(QWidget* parent = nullptr);

public slots:
    void closeWithOk();
};

} // namespace zr::app
