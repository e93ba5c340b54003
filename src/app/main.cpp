#include "app/DataDirectory.h"
#include "app/Program.h"
#include "ui/Icons.h"
#include "ui/KeyPreviewApplication.h"
#include "ui/MessageService.h"

#include <QCommandLineParser>
#include <QDesktopServices>
#include <QUrl>

int main(int argc, char** argv) {
    zr::ui::KeyPreviewApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zr6040usb"));
    QApplication::setWindowIcon(zr::ui::icon(zr::ui::IconKind::Program));

    QCommandLineParser options;
    options.setApplicationDescription(QStringLiteral("ZR-6040 USB octane meter control program"));
    options.addHelpOption();
    const QCommandLineOption simulate(QStringLiteral("simulate"),
                                      QStringLiteral("Attach the built-in meter simulator."));
    options.addOption(simulate);
    options.process(app);

    const QString exeDir = QCoreApplication::applicationDirPath();
    const QString dataDir = zr::app::chooseDataDirectory(exeDir);
    zr::app::provideUserGuide(dataDir, exeDir);

    zr::ui::QtMessageService messages;
    zr::app::Program program({messages, dataDir, [](const QString& path) {
                                  return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
                              }});
    program.mainWindow().show();
    return QApplication::exec();
}
