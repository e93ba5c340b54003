#include "journal/JournalTexts.h"
#include "support/ProgramHarness.h"
#include "support/WaitUntil.h"
#include "ui/StringGrid.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QEventLoop>
#include <QHeaderView>
#include <QProcess>
#include <QTest>
#include <cstdio>
#include <gtest/gtest.h>

using zr::test::ProgramHarness;

namespace {

// The data directory of the program a child test runs; empty in the parent.
constexpr const char* kChildDataDir = "ZR_TABLE_JOURNAL_CHILD_DIR";

zr::ui::StringGrid& table(ProgramHarness& h) {
    return *h.find<zr::ui::StringGrid>(QStringLiteral("StringGrid3"));
}

// The table's body rows, one line of tab-separated cells each, the entry row included.
QStringList tableLines(ProgramHarness& h) {
    QStringList lines;
    zr::ui::StringGrid& grid = table(h);
    for (int r = 1; r < grid.rowCountWithHeader(); ++r) {
        QStringList cells;
        for (int c = 0; c < grid.colCount(); ++c) {
            cells << grid.cell(c, r);
        }
        lines << cells.join(u'\t');
    }
    return lines;
}

void startOn(ProgramHarness& h, const QString& dir) {
    h.sharedDataDir = dir;
    h.start();
    h.window().show();
    // The journal opens, and a table comes back, once the window has first painted.
    WAIT_UNTIL(h.session().journalOpened(), 5000);
}

// Prints the table's lines, the sample number the next row takes and the messages for the
// parent test to read.
void printTable(ProgramHarness& h) {
    for (const QString& line : tableLines(h)) {
        std::printf("row\t%s\n", qPrintable(line));
    }
    std::printf("next\t%s\n",
                qPrintable(h.find<QComboBox>(QStringLiteral("ComboBox1"))->currentText()));
    for (const QString& text : h.messages.informed + h.messages.errors) {
        std::printf("message\t%s\n", qPrintable(text));
    }
    std::printf("end\n");
    std::fflush(stdout);
}

QString childDir() {
    return qEnvironmentVariable(kChildDataDir);
}

// What a child printed: the table's lines and the messages.
struct Printed {
    QStringList rows;
    QString next;
    QStringList messages;
};

// Runs the child test `name` on `dir` until it has printed its table; kills it then when
// `kill`, else lets it end.
Printed runChild(const char* name, const QString& dir, bool kill) {
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(kChildDataDir), dir);
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=TableJournalE2e.") + QString::fromLatin1(name)});
    QByteArray out;
    while (!out.contains("\nend\n") && child.waitForReadyRead(30000)) {
        out += child.readAllStandardOutput();
    }
    if (kill) {
        child.kill();
    }
    child.waitForFinished(30000);
    Printed printed;
    for (const QString& line : QString::fromUtf8(out).split(u'\n')) {
        if (line.startsWith(QStringLiteral("row\t"))) {
            printed.rows << line.mid(4);
        } else if (line.startsWith(QStringLiteral("next\t"))) {
            printed.next = line.mid(5);
        } else if (line.startsWith(QStringLiteral("message\t"))) {
            printed.messages << line.mid(8);
        }
    }
    return printed;
}

// Child: writes three rows with "Записать значение" and deletes the second, as the user does,
// prints the table and waits to be killed.
TEST(TableJournalE2e, ChildWritesRowsUntilKilled) {
    if (childDir().isEmpty()) {
        GTEST_SKIP() << "a child of AKilledProgramsTableComesBack";
    }
    ProgramHarness h(false);
    startOn(h, childDir());
    auto* header = h.find<QHeaderView>(QStringLiteral("HeaderControl1"));
    const auto click = [&](int section) {
        QTest::mouseClick(
            header->viewport(), Qt::LeftButton, {},
            QPoint(header->sectionViewportPosition(section) + 20, header->height() / 2));
    };
    for (int i = 0; i < 3; ++i) {
        click(0);
    }
    table(h).setCurrentGridRow(2);
    click(1);
    printTable(h);
    QEventLoop().exec();
}

// Child: starts, prints the table and closes the window as the user does.
TEST(TableJournalE2e, ChildStartsAndCloses) {
    if (childDir().isEmpty()) {
        GTEST_SKIP() << "a child of AKilledProgramsTableComesBack";
    }
    ProgramHarness h(false);
    startOn(h, childDir());
    printTable(h);
    h.window().close();
}

// The program killed with rows in its table: the next start shows the same table, says how many
// rows came back and numbers on after them; after a normal close the next start shows an empty
// table and keeps the number.
TEST(TableJournalE2e, AKilledProgramsTableComesBack) {
    if (!childDir().isEmpty()) {
        GTEST_SKIP() << "in a child";
    }
    QTemporaryDir dir;
    const Printed written = runChild("ChildWritesRowsUntilKilled", dir.path(), true);
    ASSERT_EQ(written.rows.size(), 3);
    EXPECT_TRUE(written.messages.isEmpty());
    // Rows 1 to 3 written, the second deleted.
    ASSERT_EQ(written.next, QStringLiteral("4"));

    const Printed restored = runChild("ChildStartsAndCloses", dir.path(), false);
    EXPECT_EQ(restored.rows.join(u'\n').toStdString(), written.rows.join(u'\n').toStdString());
    EXPECT_EQ(restored.messages,
              QStringList{QString::fromUtf8(zr::journal::kRowsRestoredText).arg(2)});
    EXPECT_EQ(restored.next, QStringLiteral("4"));

    const Printed next = runChild("ChildStartsAndCloses", dir.path(), false);
    EXPECT_EQ(next.rows, QStringList{QString(6, u'\t')});
    EXPECT_TRUE(next.messages.isEmpty());
    EXPECT_EQ(next.next, QStringLiteral("4"));
}

} // namespace
