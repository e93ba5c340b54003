#include "app/AboutBox.h"
#include "app/Dialogs.h"
#include "program/BuildInfo.h"
#include "program/DataDirectory.h"
#include "records/views/NumberInputDialog.h"
#include "records/views/SaveDialog.h"
#include "support/ProgramHarness.h"
#include "ui/WindowPlacement.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <gtest/gtest.h>

using zr::test::ProgramHarness;

namespace {

void writeFile(const QString& path) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("%PDF-1.4\n");
}

// Restores the working directory a test changes.
struct CurrentDirGuard {
    QString saved = QDir::currentPath();
    ~CurrentDirGuard() { QDir::setCurrent(saved); }
};

// Builds every dialog of the program, as using each of them would.
void buildEveryDialog(ProgramHarness& h) {
    zr::app::Dialogs& dialogs = h.program->dialogs();
    dialogs.correctionWizard();
    dialogs.libraryWindow();
    dialogs.libraryEntryDialog();
    dialogs.numberInputDialog();
    dialogs.textInputDialog();
    dialogs.manualCorrectionDialog();
    dialogs.aboutBox();
}

} // namespace

TEST(Startup, TheProgramsFilesAreFoundInTheDataDirectoryWhereverTheProgramWasStarted) {
    CurrentDirGuard guard;
    QTemporaryDir elsewhere;
    QDir::setCurrent(elsewhere.path());
    ProgramHarness h;
    // The working directory stays the user's; the library was loaded from the data directory,
    // or its missing-file message would have been given.
    EXPECT_EQ(QDir::current().canonicalPath(), QDir(elsewhere.path()).canonicalPath());

    // The guide is found next to the program's files, not in the start directory.
    writeFile(h.dataDir.filePath("ZR-6040.pdf"));
    h.window().invokeHandler("openUserGuide");
    ASSERT_EQ(h.openedDocuments.size(), 1);
    EXPECT_EQ(QFileInfo(h.openedDocuments.front()).canonicalFilePath(),
              QFileInfo(h.dataDir.filePath("ZR-6040.pdf")).canonicalFilePath());
    EXPECT_TRUE(h.messages.informed.isEmpty());
}

TEST(Startup, AMissingGuideOrAFailingViewerGivesTheMessage) {
    CurrentDirGuard guard;
    ProgramHarness h;
    h.window().invokeHandler("openUserGuide");
    EXPECT_TRUE(h.openedDocuments.isEmpty());
    EXPECT_EQ(h.messages.informed, QStringList{QStringLiteral("Немогу выполнить  !")});

    writeFile(h.dataDir.filePath("ZR-6040.pdf"));
    h.viewerWorks = false;
    h.window().invokeHandler("openUserGuide");
    EXPECT_EQ(h.openedDocuments.size(), 1);
    EXPECT_EQ(h.messages.informed.size(), 2);
}

TEST(Startup, DataDirectoryIsTheProgramDirectoryOnlyWhenWritable) {
    QTemporaryDir portable;
    EXPECT_EQ(zr::program::chooseDataDirectory(portable.path()),
              QDir(portable.path()).absolutePath());

    const QString fallback = zr::program::chooseDataDirectory(QStringLiteral("/proc/1"));
    EXPECT_NE(fallback, QStringLiteral("/proc/1"));
    EXPECT_TRUE(QFileInfo(fallback).isDir());
}

namespace {

// Points the per-user data directory into a temporary directory for the test's lifetime.
struct UserDataHome {
    QTemporaryDir home;
    QByteArray saved = qgetenv("XDG_DATA_HOME");
    UserDataHome() { qputenv("XDG_DATA_HOME", home.path().toUtf8()); }
    ~UserDataHome() {
        if (saved.isNull()) {
            qunsetenv("XDG_DATA_HOME");
        } else {
            qputenv("XDG_DATA_HOME", saved);
        }
    }
    QString appData() const {
        return QDir(home.path()).filePath(QCoreApplication::applicationName());
    }
};

// An installation prefix as /usr is: bin with the program, share with the guide.
struct InstalledPrefix {
    QTemporaryDir prefix;
    QString bin = QDir(prefix.path()).filePath(QStringLiteral("bin"));
    QString guide = QDir(prefix.path()).filePath(QStringLiteral("share/doc/zr6040usb/ZR-6040.pdf"));
    InstalledPrefix() {
        QDir().mkpath(bin);
        QDir().mkpath(QFileInfo(guide).path());
    }
};

} // namespace

TEST(Startup, AnInstalledProgramKeepsItsFilesInTheUserDataDirectoryEvenWhenBinIsWritable) {
    UserDataHome user;
    InstalledPrefix usr;
    // Root may write into /usr/bin; the program's files must still not land there.
    ASSERT_TRUE(QFileInfo(usr.bin).isWritable());
    EXPECT_TRUE(zr::program::isInstalledProgramDirectory(usr.bin));
    const QString dataDir = zr::program::chooseDataDirectory(usr.bin);
    EXPECT_EQ(dataDir, user.appData());
    EXPECT_TRUE(QFileInfo(dataDir).isDir());

    // A build tree's bin has no share beside it.
    QTemporaryDir build;
    const QString buildBin = QDir(build.path()).filePath(QStringLiteral("bin"));
    QDir().mkpath(buildBin);
    EXPECT_FALSE(zr::program::isInstalledProgramDirectory(buildBin));
    EXPECT_EQ(zr::program::chooseDataDirectory(buildBin), buildBin);
}

TEST(Startup, TheInstalledGuideIsLinkedIntoTheDataDirectoryAndFollowsUpgrades) {
    InstalledPrefix usr;
    QTemporaryDir data;
    const QString inData = QDir(data.path()).filePath(QStringLiteral("ZR-6040.pdf"));

    // No guide installed (a system that drops /usr/share/doc): nothing to link.
    zr::program::provideUserGuide(data.path(), usr.bin);
    EXPECT_FALSE(QFileInfo(inData).isSymLink());

    writeFile(usr.guide);
    zr::program::provideUserGuide(data.path(), usr.bin);
    ASSERT_TRUE(QFileInfo(inData).isSymLink());
    EXPECT_EQ(QFileInfo(inData).canonicalFilePath(), QFileInfo(usr.guide).canonicalFilePath());

    // An upgrade replaces the installed file; the data directory shows the new one.
    QFile::remove(usr.guide);
    QFile newer(usr.guide);
    ASSERT_TRUE(newer.open(QIODevice::WriteOnly));
    newer.write("%PDF-1.7 newer\n");
    newer.close();
    zr::program::provideUserGuide(data.path(), usr.bin);
    QFile opened(inData);
    ASSERT_TRUE(opened.open(QIODevice::ReadOnly));
    EXPECT_EQ(opened.readAll(), QByteArray("%PDF-1.7 newer\n"));
}

TEST(Startup, AGuideTheUserPutIntoTheDataDirectoryIsLeftAlone) {
    InstalledPrefix usr;
    writeFile(usr.guide);
    QTemporaryDir data;
    const QString inData = QDir(data.path()).filePath(QStringLiteral("ZR-6040.pdf"));
    QFile own(inData);
    ASSERT_TRUE(own.open(QIODevice::WriteOnly));
    own.write("own guide");
    own.close();

    zr::program::provideUserGuide(data.path(), usr.bin);
    EXPECT_FALSE(QFileInfo(inData).isSymLink());
    ASSERT_TRUE(own.open(QIODevice::ReadOnly));
    EXPECT_EQ(own.readAll(), QByteArray("own guide"));
}

TEST(Startup, BothTimersAreArmedAndDialogsExistHidden) {
    CurrentDirGuard guard;
    ProgramHarness h;
    EXPECT_TRUE(h.session().calibrationListTimer().isEnabled());
    EXPECT_TRUE(h.session().storedValuesTimer().isEnabled());
    EXPECT_EQ(h.session().calibrationListTimer().interval(), 1000);
    EXPECT_EQ(h.session().storedValuesTimer().interval(), 1500);
    buildEveryDialog(h);
    QStringList names;
    for (QDialog* dialog : h.window().findChildren<QDialog*>(Qt::FindDirectChildrenOnly)) {
        names << dialog->objectName();
        EXPECT_FALSE(dialog->isVisible()) << dialog->objectName().toStdString();
    }
    for (const char* name : {"Form3", "Form1", "Form2", "Form4", "Form5", "Form6", "AboutBox"}) {
        EXPECT_TRUE(names.contains(QLatin1String(name))) << name;
    }
}

TEST(Startup, AboutBoxShowsTheProgramAndClosesWithOk) {
    CurrentDirGuard guard;
    ProgramHarness h;
    zr::app::AboutBox* box = &h.program->dialogs().aboutBox();
    EXPECT_EQ(box->windowTitle(), QStringLiteral("О программе"));
    EXPECT_EQ(box->size(), QSize(284, 178));
    EXPECT_EQ(box->findChild<QLabel*>("ProductName")->text(),
              QStringLiteral("ZR-6040  USB серия 60"));
    EXPECT_EQ(box->findChild<QLabel*>("Version")->text(), QStringLiteral("Version 3a  Build 2015"));
    // The program's version, as the package and --version carry it.
    EXPECT_TRUE(
        box->findChild<QLabel*>("Copyright")
            ->text()
            .endsWith(QStringLiteral(", версия ") + QLatin1String(zr::program::kProgramVersion)));
    auto* ok = box->findChild<QPushButton*>("OKButton");
    EXPECT_EQ(ok->geometry(), QRect(103, 148, 75, 25));
    EXPECT_TRUE(ok->isDefault());

    bool wasModal = false;
    QTimer::singleShot(50, [&] {
        wasModal = QApplication::activeModalWidget() == box;
        ok->click();
    });
    h.window().invokeHandler("showAboutBox");
    EXPECT_TRUE(wasModal);
    EXPECT_FALSE(box->isVisible());
}

TEST(Startup, ARunThatSavesNothingWritesNoSettingsFile) {
    CurrentDirGuard guard;
    const QDir config(qEnvironmentVariable("XDG_CONFIG_HOME"));
    QFile::remove(config.filePath("QtProject.conf"));
    {
        ProgramHarness h;
        h.window().show();
        h.window().close();
    }
    EXPECT_FALSE(config.exists("QtProject.conf"));

    // Qt keeps its file dialog history once the dialog has been used.
    {
        ProgramHarness h;
        h.program->dialogs().saveDialog().dialog();
    }
    EXPECT_TRUE(config.exists("QtProject.conf"));
    QFile::remove(config.filePath("QtProject.conf"));
}

TEST(Startup, TheMainWindowAndEveryDialogAreFittedToTheScreenWhenShown) {
    CurrentDirGuard guard;
    ProgramHarness h;
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    // Where each window belongs on this screen: its own position when it fits, else moved just
    // enough, its top-left corner kept on screen.
    const auto expected = [&](const QWidget* w, QPoint wanted) {
        return zr::ui::fitWithin(QRect(wanted, w->frameGeometry().size()), available);
    };
    auto& window = h.window();
    window.show();
    EXPECT_EQ(window.frameGeometry().topLeft(), expected(&window, QPoint(349, 237)));
    EXPECT_GE(window.frameGeometry().left(), available.left());
    EXPECT_GE(window.frameGeometry().top(), available.top());

    buildEveryDialog(h);
    const auto dialogs = window.findChildren<QDialog*>(Qt::FindDirectChildrenOnly);
    ASSERT_GE(dialogs.size(), 7);
    for (QDialog* dialog : dialogs) {
        const QPoint wanted = available.bottomRight() - QPoint(20, 20);
        dialog->move(wanted);
        dialog->show();
        EXPECT_EQ(dialog->frameGeometry().topLeft(), expected(dialog, wanted))
            << dialog->objectName().toStdString();
        EXPECT_TRUE(available.contains(dialog->frameGeometry()) ||
                    dialog->frameGeometry().topLeft() == available.topLeft())
            << dialog->objectName().toStdString();
        dialog->hide();
    }
}

TEST(Startup, EveryTextOfTheAboutBoxIsWholeAndApartFromTheOthers) {
    CurrentDirGuard guard;
    ProgramHarness h;
    zr::app::AboutBox* box = &h.program->dialogs().aboutBox();
    box->show();
    QList<QRect> taken;
    QStringList names;
    for (QLabel* label : box->findChildren<QLabel*>()) {
        const QRect place(label->mapTo(box, QPoint(0, 0)), label->size());
        const std::string name = label->objectName().toStdString();
        EXPECT_TRUE(box->rect().contains(place)) << name;
        if (!label->text().isEmpty()) {
            const QSize needed = label->wordWrap()
                                     ? QSize(label->width(), label->heightForWidth(label->width()))
                                     : label->sizeHint();
            EXPECT_LE(needed.width(), place.width()) << name;
            EXPECT_LE(needed.height(), place.height()) << name;
        }
        taken << place;
        names << label->objectName();
    }
    ASSERT_GE(taken.size(), 6);
    taken << box->findChild<QPushButton*>("OKButton")->geometry();
    names << QStringLiteral("OKButton");
    for (qsizetype i = 0; i < taken.size(); ++i) {
        for (qsizetype j = i + 1; j < taken.size(); ++j) {
            EXPECT_FALSE(taken[i].intersects(taken[j]))
                << names[i].toStdString() << " overlaps " << names[j].toStdString();
        }
    }
    box->hide();
}

TEST(Startup, DialogsAreBuiltWhenFirstNeededAsChildrenOfTheWindowAlone) {
    ProgramHarness h;
    EXPECT_TRUE(h.window().findChildren<QDialog*>().isEmpty());
    zr::app::Dialogs& dialogs = h.program->dialogs();
    QDialog* numberInput = &dialogs.numberInputDialog();
    EXPECT_EQ(&dialogs.numberInputDialog(), numberInput);
    EXPECT_EQ(numberInput->parent(), &h.window());
    EXPECT_EQ(h.window().findChildren<QDialog*>(), QList<QDialog*>{numberInput});
}

TEST(Startup, DialogsBuiltForAWindowThatIsGoneOpenNothing) {
    zr::test::FakeMessageService messages;
    zr::app::Dialogs dialogs;
    const zr::session::SessionPorts ports = dialogs.sessionPorts(messages);
    ProgramHarness h;
    {
        QWidget window;
        dialogs.attach(window, h.session());
        dialogs.numberInputDialog();
        dialogs.textInputDialog();
    }
    // The window deleted its dialogs; asking now neither opens one nor touches the old ones.
    EXPECT_EQ(ports.askNumber(), std::nullopt);
    EXPECT_EQ(ports.askText(), std::nullopt);
}
