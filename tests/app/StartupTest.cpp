#include "app/AboutBox.h"
#include "app/DataDirectory.h"
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

} // namespace

TEST(Startup, TheDataDirectoryBecomesCurrentWhereverTheProgramWasStarted) {
    CurrentDirGuard guard;
    QTemporaryDir elsewhere;
    QDir::setCurrent(elsewhere.path());
    ProgramHarness h;
    EXPECT_EQ(QDir::current().canonicalPath(), QDir(h.dataDir.path()).canonicalPath());

    // The guide is found next to the program's files, not in the start directory.
    writeFile(h.dataDir.filePath("ZR-6040.pdf"));
    h.window().invokeHandler("N29Click");
    ASSERT_EQ(h.openedDocuments.size(), 1);
    EXPECT_EQ(QFileInfo(h.openedDocuments.front()).canonicalFilePath(),
              QFileInfo(h.dataDir.filePath("ZR-6040.pdf")).canonicalFilePath());
    EXPECT_TRUE(h.messages.informed.isEmpty());
}

TEST(Startup, AMissingGuideOrAFailingViewerGivesTheMessage) {
    CurrentDirGuard guard;
    ProgramHarness h;
    h.window().invokeHandler("N29Click");
    EXPECT_TRUE(h.openedDocuments.isEmpty());
    EXPECT_EQ(h.messages.informed, QStringList{QStringLiteral("Немогу выполнить  !")});

    writeFile(h.dataDir.filePath("ZR-6040.pdf"));
    h.viewerWorks = false;
    h.window().invokeHandler("N29Click");
    EXPECT_EQ(h.openedDocuments.size(), 1);
    EXPECT_EQ(h.messages.informed.size(), 2);
}

TEST(Startup, DataDirectoryIsTheProgramDirectoryOnlyWhenWritable) {
    QTemporaryDir portable;
    EXPECT_EQ(zr::app::chooseDataDirectory(portable.path()), QDir(portable.path()).absolutePath());

    const QString fallback = zr::app::chooseDataDirectory(QStringLiteral("/proc/1"));
    EXPECT_NE(fallback, QStringLiteral("/proc/1"));
    EXPECT_TRUE(QFileInfo(fallback).isDir());
}

TEST(Startup, BothTimersAreArmedAndDialogsExistHidden) {
    CurrentDirGuard guard;
    ProgramHarness h;
    EXPECT_TRUE(h.window().timerReadTable().isEnabled());
    EXPECT_TRUE(h.window().timerReadLog().isEnabled());
    EXPECT_EQ(h.window().timerReadTable().interval(), 1000);
    EXPECT_EQ(h.window().timerReadLog().interval(), 1500);
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
    zr::app::AboutBox* box = h.program->dialogs().aboutBox.get();
    EXPECT_EQ(box->windowTitle(), QStringLiteral("О программе"));
    EXPECT_EQ(box->size(), QSize(284, 178));
    EXPECT_EQ(box->findChild<QLabel*>("ProductName")->text(),
              QStringLiteral("ZR-6040  USB серия 60"));
    EXPECT_EQ(box->findChild<QLabel*>("Version")->text(), QStringLiteral("Version 3a  Build 2015"));
    auto* ok = box->findChild<QPushButton*>("OKButton");
    EXPECT_EQ(ok->geometry(), QRect(103, 148, 75, 25));
    EXPECT_TRUE(ok->isDefault());

    bool wasModal = false;
    QTimer::singleShot(50, [&] {
        wasModal = QApplication::activeModalWidget() == box;
        ok->click();
    });
    h.window().invokeHandler("N30Click");
    EXPECT_TRUE(wasModal);
    EXPECT_FALSE(box->isVisible());
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
    zr::app::AboutBox* box = h.program->dialogs().aboutBox.get();
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
