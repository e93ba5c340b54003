// The yardstick for the program's start-up: an empty Qt Widgets main window of the program's
// size, shown as soon as the application object exists.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Bare"));
    window.setFixedSize(941, 565 + window.menuBar()->sizeHint().height());
    window.show();
    return QApplication::exec();
}
