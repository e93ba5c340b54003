#include "journal/JournalTexts.h"
#include "support/ChildTests.h"
#include "support/ProgramHarness.h"
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
}

// Prints the table's lines, the sample number the next row takes and the messages for the
// parent test to read.
void printTable(ProgramHarness& h) {
    for (const QString& line : tableLines(h)) {
        std::printf("row\t%s\n", qPrintable(line));
    }
    auto* numbers = h.find<QComboBox>(QStringLiteral("ComboBox1"));
    std::printf("next\t%s\n", qPrintable(numbers->currentText()));
    QStringList items;
    for (int i = 0; i < numbers->count(); ++i) {
        items << numbers->itemText(i);
    }
    std::printf("items\t%s\n", qPrintable(items.join(u'|')));
    for (const QString& text : h.messages.informed + h.messages.errors) {
        std::printf("message\t%s\n", qPrintable(text));
    }
    std::printf("end\n");
    std::fflush(stdout);
}

QString childDir() {
    return qEnvironmentVariable(kChildDataDir);
}

// What a child printed: the table's lines, the number list and the messages.
struct Printed {
    QStringList rows;
    QString next;
    QStringList items;
    QStringList messages;
};

// Runs the child test `name` on `dir` until it has printed its table; kills it then when
// `kill`, else lets it end.
Printed runChild(const char* name, const QString& dir, bool kill) {
    QProcess child;
    QProcessEnvironment environment = zr::test::childEnvironment();
    environment.insert(QString::fromLatin1(kChildDataDir), dir);
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=TableJournalChild.") + QString::fromLatin1(name)});
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
        } else if (line.startsWith(QStringLiteral("items\t"))) {
            printed.items = line.mid(6).split(u'|');
        } else if (line.startsWith(QStringLiteral("message\t"))) {
            printed.messages << line.mid(8);
        }
    }
    return printed;
}

// Child: writes rows with "Записать значение" from three number series, as the user does: 1 and
// 2, then 100 to 102 from item "100", then 10 and 11 from item "10"; deletes the second row,
// prints the table and waits to be killed.
TEST(TableJournalChild, WritesRowsUntilKilled) {
    ASSERT_FALSE(childDir().isEmpty()) << "started without its data directory";
    ProgramHarness h(false);
    startOn(h, childDir());
    auto* header = h.find<QHeaderView>(QStringLiteral("HeaderControl1"));
    const auto click = [&](int section) {
        QTest::mouseClick(
            header->viewport(), Qt::LeftButton, {},
            QPoint(header->sectionViewportPosition(section) + 20, header->height() / 2));
    };
    auto* numbers = h.find<QComboBox>(QStringLiteral("ComboBox1"));
    const std::pair<std::vector<Qt::Key>, int> series[] = {
        {{}, 2}, {{Qt::Key_Down, Qt::Key_Down}, 3}, {{Qt::Key_Up}, 2}};
    for (const auto& [keys, rows] : series) {
        for (const Qt::Key key : keys) {
            QTest::keyClick(numbers, key);
        }
        for (int i = 0; i < rows; ++i) {
            click(0);
        }
    }
    table(h).setCurrentGridRow(2);
    click(1);
    printTable(h);
    QEventLoop().exec();
}

// Child: starts, prints the table and closes the window as the user does.
TEST(TableJournalChild, StartsAndCloses) {
    ASSERT_FALSE(childDir().isEmpty()) << "started without its data directory";
    ProgramHarness h(false);
    startOn(h, childDir());
    printTable(h);
    h.window().close();
}

// The program killed with rows in its table: the next start shows the same table, says how many
// rows came back and numbers on in each series as the killed program left them; after a normal
// close the next start shows an empty table and keeps the numbers.
TEST(TableJournalE2e, AKilledProgramsTableComesBack) {
    QTemporaryDir dir;
    const Printed written = runChild("WritesRowsUntilKilled", dir.path(), true);
    const QStringList numbersLeft{"3", "12", "103", "1000", "Добавить..."};
    ASSERT_EQ(written.rows.size(), 7);
    EXPECT_TRUE(written.messages.isEmpty());
    ASSERT_EQ(written.next, QStringLiteral("12"));
    ASSERT_EQ(written.items, numbersLeft);

    const Printed restored = runChild("StartsAndCloses", dir.path(), false);
    EXPECT_EQ(restored.rows.join(u'\n').toStdString(), written.rows.join(u'\n').toStdString());
    EXPECT_EQ(restored.messages,
              QStringList{QString::fromUtf8(zr::journal::kRowsRestoredText).arg(6)});
    EXPECT_EQ(restored.next, QStringLiteral("12"));
    EXPECT_EQ(restored.items, numbersLeft);

    const Printed next = runChild("StartsAndCloses", dir.path(), false);
    EXPECT_EQ(next.rows, QStringList{QString(6, u'\t')});
    EXPECT_TRUE(next.messages.isEmpty());
    EXPECT_EQ(next.items, numbersLeft);
}

} // namespace
