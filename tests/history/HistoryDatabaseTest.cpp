#include "history/HistoryDatabase.h"
#include "history/HistoryJournal.h"
#include "journal/Journal.h"
#include "journal/Sqlite.h"
#include "journal/TextSchemaJournal.h"

#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <variant>

namespace zr::history {
namespace {

using test::HistoryJournal;
using test::measurement;
using ::testing::ElementsAreArray;

const QDateTime kStart(QDate(2026, 3, 1), QTime(8, 0), Qt::UTC);

QDateTime hour(int n) {
    return kStart.addSecs(3600LL * n);
}

QStringList numbersOf(const std::vector<HistoryRecord>& records) {
    QStringList numbers;
    for (const HistoryRecord& record : records) {
        numbers << record.row.number;
    }
    return numbers;
}

// Every row of the filter in the order asked for, read `pageRows` at a time.
std::vector<HistoryRecord> allPages(HistoryDatabase& database, const HistoryFilter& filter,
                                    const HistorySort& sort, int pageRows) {
    std::vector<HistoryRecord> records;
    std::optional<PageKey> after;
    do {
        HistoryPage page = database.page(filter, sort, after, pageRows);
        records.insert(records.end(), page.records.begin(), page.records.end());
        after = page.next;
    } while (after);
    return records;
}

HistoryFilter filterWith(const std::function<void(HistoryFilter&)>& set) {
    HistoryFilter filter;
    set(filter);
    return filter;
}

class HistoryDatabaseTest : public ::testing::Test {
protected:
    // Five rows over two days; the third deleted from the table.
    void SetUp() override {
        const QString ai92 = QStringLiteral("АИ-92");
        const QString lukoil = QStringLiteral("ЛУКОЙЛ");
        const QString yukos = QStringLiteral("ЮКОС");
        journal.append({
            measurement("1", ai92, "P 1", lukoil, 1, 92.1, hour(0)),
            measurement("2", "АИ-95", "P 2", yukos, 2, 85.0, hour(1)),
            measurement("3", ai92, "P 1", yukos, 1, 92.4, hour(2)),
            measurement("10", ai92, "P 2", lukoil, std::nullopt, 0.0, hour(3)),
            measurement("07", "АИ-98", "P 1", lukoil, 3, 51.0, hour(26)),
        });
        journal.remove(2);
    }

    HistoryJournal journal;
};

TEST_F(HistoryDatabaseTest, FiltersTakeTheRowsAskedForNewestFirst) {
    HistoryDatabase database(journal.path, 2000);
    struct Case {
        const char* name;
        HistoryFilter filter;
        QStringList numbers;
    };
    const auto deleted = [](HistoryFilter filter) {
        filter.includeDeleted = true;
        return filter;
    };
    const Case cases[] = {
        {"every row still in its table", {}, {"07", "10", "2", "1"}},
        {"deleted rows when asked", deleted({}), {"07", "10", "3", "2", "1"}},
        {"a grade",
         filterWith([](HistoryFilter& f) { f.grade = QStringLiteral("АИ-92"); }),
         {"10", "1"}},
        {"a tank",
         filterWith([](HistoryFilter& f) { f.tank = QStringLiteral("P 1"); }),
         {"07", "1"}},
        {"a supplier, deleted rows too",
         deleted(filterWith([](HistoryFilter& f) { f.supplier = QStringLiteral("ЮКОС"); })),
         {"3", "2"}},
        {"a method", deleted(filterWith([](HistoryFilter& f) { f.method = 1; })), {"3", "1"}},
        {"rows without a method", filterWith([](HistoryFilter& f) { f.method = 0; }), {"10"}},
        {"a number as written",
         filterWith([](HistoryFilter& f) { f.number = QStringLiteral("07"); }),
         {"07"}},
        {"a number is not its value",
         filterWith([](HistoryFilter& f) { f.number = QStringLiteral("7"); }),
         {}},
        {"a period",
         filterWith([](HistoryFilter& f) {
             f.since = hour(1);
             f.before = hour(26);
         }),
         {"10", "2"}},
        {"filters together",
         filterWith([](HistoryFilter& f) {
             f.grade = QStringLiteral("АИ-92");
             f.supplier = QStringLiteral("ЛУКОЙЛ");
             f.method = 1;
         }),
         {"1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(numbersOf(database.page(c.filter, {}, std::nullopt, 100).records), c.numbers);
        EXPECT_EQ(database.count(c.filter), c.numbers.size());
    }
}

TEST_F(HistoryDatabaseTest, RowsCarryTheirSessionAndDeletion) {
    HistoryDatabase database(journal.path, 2000);
    HistoryFilter filter;
    filter.includeDeleted = true;
    filter.number = QStringLiteral("3");

    const std::vector<HistoryRecord> records = database.page(filter, {}, std::nullopt, 10).records;

    ASSERT_EQ(records.size(), 1u);
    EXPECT_TRUE(records[0].deleted.isValid());
    EXPECT_TRUE(records[0].sessionStarted.isValid());
    EXPECT_EQ(records[0].row.method, 1);
    EXPECT_EQ(records[0].row.value, 92.4);
    EXPECT_EQ(records[0].row.moment, hour(2));
}

TEST_F(HistoryDatabaseTest, SampleNumbersSortAsNumbers) {
    HistoryDatabase database(journal.path, 2000);

    const auto records =
        database.page({}, {HistoryColumn::Number, Qt::AscendingOrder}, std::nullopt, 10).records;

    EXPECT_EQ(numbersOf(records), (QStringList{"1", "2", "07", "10"}));
}

TEST_F(HistoryDatabaseTest, TheSeriesIsOldestFirstWithoutDeletedRows) {
    HistoryDatabase database(journal.path, 2000);
    HistoryFilter filter;
    filter.includeDeleted = true;

    const ChartSeries series = database.series(filter);

    EXPECT_THAT(series.values, ElementsAreArray({92.1, 85.0, 0.0, 51.0}));
    EXPECT_THAT(series.numbers, ElementsAreArray({"1", "2", "10", "07"}));
    EXPECT_EQ(series.moments.front(), hour(0));
}

TEST_F(HistoryDatabaseTest, TextsAreTheDistinctOnesInOrder) {
    HistoryDatabase database(journal.path, 2000);

    EXPECT_EQ(database.texts(HistoryColumn::Grade), (QStringList{"АИ-92", "АИ-95", "АИ-98"}));
    EXPECT_EQ(database.texts(HistoryColumn::Supplier), (QStringList{"ЛУКОЙЛ", "ЮКОС"}));
}

// Keys repeat and some are absent (no method, no value): pages of any size must still give
// every row once, in the order of one query over all of them.
TEST(HistoryPagingTest, PagesGiveEveryRowOnceInEachOrder) {
    HistoryJournal journal;
    std::vector<journal::TableRow> rows;
    for (int i = 0; i < 300; ++i) {
        const std::optional<int> method = i % 7 == 0 ? std::nullopt : std::optional<int>(1 + i % 3);
        const std::optional<double> value =
            i % 11 == 0 ? std::nullopt : std::optional<double>(90 + (i * 37 % 50) / 10.0);
        // Every third row shares its moment with the one before.
        rows.push_back(measurement(QString::number(i % 40), QStringLiteral("G%1").arg(i % 5),
                                   QStringLiteral("T%1").arg(i % 4),
                                   QStringLiteral("S%1").arg(i % 6), method, value,
                                   hour(i - (i % 3 == 2 ? 1 : 0))));
    }
    journal.append(rows);
    for (int position : {5, 17, 40}) {
        journal.remove(position);
    }
    HistoryDatabase database(journal.path, 2000);
    HistoryFilter filter;
    filter.includeDeleted = true;

    for (int column = 0; column < kHistoryColumnCount; ++column) {
        for (const Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
            SCOPED_TRACE(testing::Message() << "column " << column << " order " << order);
            const HistorySort sort{static_cast<HistoryColumn>(column), order};
            const auto whole = database.page(filter, sort, std::nullopt, 1000).records;
            ASSERT_EQ(whole.size(), 300u);
            std::vector<qint64> expected;
            for (const HistoryRecord& record : whole) {
                expected.push_back(record.id);
            }
            for (int pageRows : {1, 7, 64}) {
                std::vector<qint64> paged;
                for (const HistoryRecord& record : allPages(database, filter, sort, pageRows)) {
                    paged.push_back(record.id);
                }
                EXPECT_EQ(paged, expected) << pageRows << " rows a page";
            }
        }
    }
}

// The plan SQLite makes for a page: the history's orders and filters must be read from an index
// in order, never sorted whole, or a page of a million rows takes seconds.
QString queryPlan(const QString& path, const SqlText& text) {
    journal::Database db(path, journal::Database::Access::ReadOnly);
    journal::Statement explain(
        db.handle(), (QStringLiteral("EXPLAIN QUERY PLAN ") + text.sql).toUtf8().constData());
    for (std::size_t i = 0; i < text.values.size(); ++i) {
        const int index = static_cast<int>(i) + 1;
        std::visit(
            [&](const auto& value) {
                if constexpr (std::is_same_v<std::decay_t<decltype(value)>, double>) {
                    explain.bindReal(index, value);
                } else {
                    explain.bind(index, value);
                }
            },
            text.values[i]);
    }
    QStringList plan;
    while (explain.step()) {
        plan << explain.text(3);
    }
    return plan.join(QLatin1Char('\n'));
}

TEST(HistoryPagingTest, PagesAreReadFromTheirIndexInOrder) {
    HistoryJournal journal;
    const QString moment = QStringLiteral("2026-03-01T08:00:00.000Z");
    const PageKey byMoment{moment, moment, 5};
    const PageKey byNumber{qint64{3}, moment, 5};
    const PageKey byText{QStringLiteral("x"), moment, 5};
    struct Case {
        HistoryFilter filter;
        HistorySort sort;
        PageKey after;
        const char* index;
    };
    const auto sortedBy = [](HistoryColumn column) {
        return HistorySort{column, Qt::AscendingOrder};
    };
    const Case cases[] = {
        {{}, {}, byMoment, "measurement_row_moment"},
        {{}, sortedBy(HistoryColumn::SessionStarted), byNumber, "measurement_row_session_moment"},
        {{}, sortedBy(HistoryColumn::Number), byNumber, "measurement_row_number"},
        {{}, sortedBy(HistoryColumn::Grade), byText, "measurement_row_grade"},
        {{}, sortedBy(HistoryColumn::Tank), byText, "measurement_row_tank"},
        {{}, sortedBy(HistoryColumn::Supplier), byText, "measurement_row_supplier"},
        {{}, sortedBy(HistoryColumn::Method), byNumber, "measurement_row_method"},
        {{},
         {HistoryColumn::Value, Qt::DescendingOrder},
         {92.5, moment, 5},
         "measurement_row_value"},
        {filterWith([](HistoryFilter& f) { f.grade = QStringLiteral("АИ-92"); }),
         {},
         byMoment,
         "measurement_row_grade"},
        {filterWith([](HistoryFilter& f) { f.tank = QStringLiteral("P 1"); }),
         {},
         byMoment,
         "measurement_row_tank"},
        {filterWith([](HistoryFilter& f) { f.supplier = QStringLiteral("ЮКОС"); }),
         {},
         byMoment,
         "measurement_row_supplier"},
        {filterWith([](HistoryFilter& f) { f.method = 1; }),
         {},
         byMoment,
         "measurement_row_method"},
        {filterWith([](HistoryFilter& f) { f.number = QStringLiteral("12"); }),
         {},
         byMoment,
         "measurement_row_number"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        const QString plan = queryPlan(journal.path, pageQuery(c.filter, c.sort, c.after, 256));
        EXPECT_FALSE(plan.contains(QLatin1String("TEMP B-TREE"))) << plan.toStdString();
        EXPECT_TRUE(plan.contains(QLatin1String(c.index))) << plan.toStdString();
    }
}

TEST(HistoryJournalFileTest, AJournalOfTheTextSchemaIsReadAsItIs) {
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(QStringLiteral("journal.sqlite"));
    {
        journal::test::TextSchemaJournal old(path);
        const qint64 session = old.addSession(QStringLiteral("2026-02-01T09:00:00.000Z"),
                                              QStringLiteral("2026-02-01T18:00:00.000Z"),
                                              journal::ProcessIdentity{1, "boot", "1"});
        old.addRow(session, 0, QStringLiteral("2026-02-01T09:30:00.000Z"), {},
                   {"5", "АИ-92", "P 1", "ЛУКОЙЛ", "Исследовательский метод", "92,3",
                    "01.02.2026 12:30:00"});
        old.addRow(session, -1, QStringLiteral("2026-02-01T09:40:00.000Z"),
                   QStringLiteral("2026-02-01T09:50:00.000Z"),
                   {"6", "АИ-92", "P 1", "ЛУКОЙЛ", "Исследовательский метод", "92,9",
                    "01.02.2026 12:40:00"});
    }

    HistoryDatabase database(path, 2000);

    EXPECT_EQ(database.schemaVersion(), 1);
    HistoryFilter filter;
    filter.method = 1;
    EXPECT_EQ(numbersOf(database.page(filter, {}, std::nullopt, 10).records), QStringList{"5"});
    filter.includeDeleted = true;
    EXPECT_EQ(database.count(filter), 2);
    // Read, not upgraded: the file is still of the text schema.
    journal::Database file(path, journal::Database::Access::ReadOnly);
    EXPECT_EQ(file.pragma("user_version"), 1);
}

TEST(HistoryJournalFileTest, AFileThatIsNoJournalIsRefused) {
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(QStringLiteral("other.sqlite"));
    journal::Database(path).execute("CREATE TABLE other (x)");

    EXPECT_THROW(HistoryDatabase(path, 2000), journal::JournalRefused);
}

// The history reads while the program writes: no page holds a lock or a snapshot past its
// query, so the program's next commit goes through at once and the next page shows it.
TEST(HistoryJournalFileTest, TheProgramWritesOnWhileTheHistoryIsOpen) {
    HistoryJournal journal;
    std::vector<journal::TableRow> rows;
    for (int i = 0; i < 20; ++i) {
        rows.push_back(measurement(QString::number(i), "G", "T", "S", 1, 90.0 + i, hour(i)));
    }
    journal.append(rows);
    HistoryDatabase database(journal.path, 2000);
    ASSERT_TRUE(database.page({}, {}, std::nullopt, 5).next.has_value());

    journal::Journal writer(journal.path, 0);
    const qint64 session = writer.startSession(journal::ProcessIdentity::current());
    writer.begin();
    writer.insertRows(session, 0, 1);
    writer.setRow(session, 0, measurement("new", "G", "T", "S", 1, 99.0, hour(100)), QString());
    EXPECT_NO_THROW(writer.commit());

    EXPECT_EQ(database.page({}, {}, std::nullopt, 1).records.front().row.number, "new");
}

} // namespace
} // namespace zr::history
