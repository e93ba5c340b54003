#include "history/HistoryController.h"
#include "common/Cp1251.h"
#include "common/FileAccess.h"
#include "history/HistoryJournal.h"
#include "history/HistoryTexts.h"
#include "support/FakeMessageService.h"
#include "support/LocaleGuard.h"
#include "support/MemoryFiles.h"
#include "support/WaitUntil.h"

#include <QDir>
#include <gtest/gtest.h>

namespace zr::history {
namespace {

using test::HistoryJournal;
using test::measurement;

const QDateTime kMeasured(QDate(2026, 3, 1), QTime(8, 0), Qt::UTC);

struct Rig {
    explicit Rig(records::WorkbookWriter writer = {})
        : controller(messages, HistoryExport(std::move(writer), files)) {}

    zr::test::FakeMessageService messages;
    zr::test::MemoryFiles files;
    HistoryController controller;
};

// Rows are saved the way the measurement table is: the text file holds each row's seven cells,
// a line each, and an empty line after every row, in code page 1251.
TEST(HistoryControllerTest, RowsAreSavedAsTheTableIsSaved) {
    const zr::test::LocaleGuard russian{QLocale(QLocale::Russian, QLocale::Russia)};
    HistoryJournal journal;
    journal.append({measurement("5", "АИ-92", "P 1", "ЛУКОЙЛ", 1, 92.3, kMeasured),
                    measurement("6", "АИ-95", "P 2", "ЮКОС", 2, 85.1, kMeasured.addSecs(60))});
    int workbookRows = 0;
    QString workbookGrade;
    Rig rig([&](const records::MeasurementRows& rows, const QString&) {
        workbookRows = static_cast<int>(rows.size());
        workbookGrade = rows.value(0).grade;
        return records::WorkbookBytes{QByteArray("workbook"), {}};
    });
    rig.controller.open(journal.path);

    rig.controller.exportRows({}, HistoryExport::Type::Text, QStringLiteral("rows.txt"));
    rig.controller.exportRows({1}, HistoryExport::Type::Workbook, QStringLiteral("rows.xlsx"));

    const QStringList lines = common::fromCp1251(*rig.files.file(QStringLiteral("rows.txt")))
                                  .split(QStringLiteral("\r\n"));
    // Newest first, as the window shows them; two blocks of 7 cells and an empty line.
    ASSERT_EQ(lines.size(), 2 * 8 + 1);
    EXPECT_EQ(lines.mid(0, 6),
              (QStringList{"6", "АИ-95", "P 2", "ЮКОС", "Моторный метод", "85,1"}));
    EXPECT_EQ(lines.at(7), QString());
    EXPECT_EQ(lines.mid(8, 2), (QStringList{"5", "АИ-92"}));
    // The selected row only, the second shown.
    EXPECT_EQ(workbookRows, 1);
    EXPECT_EQ(workbookGrade, QStringLiteral("АИ-92"));
    EXPECT_EQ(rig.files.file(QStringLiteral("rows.xlsx")), QByteArray("workbook"));
    EXPECT_TRUE(rig.messages.errors.isEmpty());
}

TEST(HistoryControllerTest, AFileThatCannotBeWrittenIsReported) {
    HistoryJournal journal;
    journal.append({measurement("5", "АИ-92", "P 1", "ЛУКОЙЛ", 1, 92.3, kMeasured)});
    Rig rig;
    rig.files.everyWriteFails = true;
    rig.controller.open(journal.path);

    rig.controller.exportRows({}, HistoryExport::Type::Csv, QStringLiteral("rows.csv"));

    EXPECT_EQ(rig.messages.errors, QStringList{common::cannotCreateFileMessage(
                                       QStringLiteral("rows.csv"), rig.files.writeFailure)});
}

TEST(HistoryControllerTest, JournalsThatCannotBeShown) {
    QTemporaryDir dir;
    const QString missing = QDir(dir.path()).filePath(QStringLiteral("journal.sqlite"));
    const QString foreign = QDir(dir.path()).filePath(QStringLiteral("other.sqlite"));
    journal::Database(foreign).execute("CREATE TABLE other (x)");
    struct Case {
        QString path;
        QStringList errors;
    };
    // A journal not made yet is an empty history, not an error.
    const Case cases[] = {{missing, {}}, {foreign, {notAJournalText(foreign)}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        Rig rig;
        rig.controller.open(c.path);
        EXPECT_FALSE(rig.controller.isOpen());
        EXPECT_EQ(rig.controller.table().rowCount(), 0);
        EXPECT_EQ(rig.messages.errors, c.errors);
    }
}

// The baseline of a period is the points measured in it; one that holds none gives no limits.
// The rows shown, their count and their charts are the journal as it was when the filter was
// applied: a row the program writes meanwhile waits for the next time it is applied.
TEST(HistoryControllerTest, TheRowsTheirCountAndTheirChartsAreTheSameRows) {
    HistoryJournal journal;
    journal.append({measurement("5", "АИ-92", "P 1", "ЛУКОЙЛ", 1, 92.3, kMeasured),
                    measurement("6", "АИ-92", "P 1", "ЛУКОЙЛ", 1, 92.1, kMeasured.addSecs(60))});
    Rig rig;
    rig.controller.open(journal.path);
    journal.append({measurement("7", "АИ-92", "P 1", "ЛУКОЙЛ", 1, 92.2, kMeasured.addSecs(120))});
    for (const int rows : {2, 3}) {
        WAIT_UNTIL(rig.controller.rowCount().has_value(), 5000);
        rig.controller.rebuildCharts();
        EXPECT_EQ(*rig.controller.rowCount(), rows);
        EXPECT_EQ(rig.controller.table().rowCount(), rows);
        EXPECT_EQ(rig.controller.charts().series.size(), rows);
        // Applied again, as the window does when it is opened again.
        rig.controller.setFilter(rig.controller.filter());
    }
}

TEST(HistoryControllerTest, ABaselineOfAPeriodTakesThePointsMeasuredInIt) {
    ChartSeries series;
    for (int day = 0; day < 10; ++day) {
        series.moments.push_back(kMeasured.addDays(day));
        series.values.push_back(day);
    }
    const auto period = [](const QDateTime& since, const QDateTime& before) {
        BaselineChoice choice;
        choice.kind = BaselineChoice::Kind::Period;
        choice.since = since;
        choice.before = before;
        return choice;
    };
    struct Case {
        const char* name;
        BaselineChoice choice;
        quality::BaselineRange expected;
    };
    const Case cases[] = {
        {"the first 20 of 10 points", {}, {0, 10}},
        {"days 3 to 5", period(kMeasured.addDays(3), kMeasured.addDays(6)), {3, 3}},
        {"from day 8 on", period(kMeasured.addDays(8), {}), {8, 2}},
        {"before every point", period(kMeasured.addDays(-9), kMeasured.addDays(-1)), {0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(baselineRange(series, c.choice), c.expected);
    }
}

} // namespace
} // namespace zr::history
