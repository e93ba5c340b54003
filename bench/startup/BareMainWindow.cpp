// The yardstick for the program's start-up: an empty Qt Widgets main window of the program's
// size, shown as soon as the application object exists. With `--label` it also shows one line
// of text in the program's window font, which is what loading the font system costs on its own.
#include "ui/Fonts.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Bare"));
    if (QCoreApplication::arguments().contains(QStringLiteral("--label"))) {
        auto* label = new QLabel(QStringLiteral("Измерение октанового числа"), &window);
        label->setFont(zr::ui::uiFont(11));
        window.setCentralWidget(label);
    }
    window.setFixedSize(941, 565 + window.menuBar()->sizeHint().height());
    window.show();
    return QApplication::exec();
}
