#include "ctl/CommandRunner.h"
#include "ctl/CtlRun.h"
#include "ctl/ExitStatus.h"
#include "history/HistoryJournal.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace zr::ctl {
namespace {

using history::test::HistoryJournal;
using history::test::measurement;

test::CtlOutcome runQc(const QString& path, const QStringList& arguments) {
    return test::runCtl(QStringList{QStringLiteral("qc"), path} + arguments);
}

// The check standard, RON on АИ-92 from supplier ЛУКОЙЛ: ten points alternating 92.0 and 92.2
// (mean 92.1, every moving range 0.2), then 92.1 and 93.0. Around them rows of another grade,
// another method, and a deleted one, which the filters leave out.
class QcCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        const QDateTime start(QDate(2026, 3, 1), QTime(8, 0), Qt::UTC);
        const double values[] = {92.0, 92.2, 92.0, 92.2, 92.0, 92.2,
                                 92.0, 92.2, 92.0, 92.2, 92.1, 93.0};
        std::vector<journal::TableRow> rows;
        for (int i = 0; i < 12; ++i) {
            const QDateTime at = start.addDays(i);
            rows.push_back(
                measurement(QString::number(2001 + i), "АИ-92", "P 1", "ЛУКОЙЛ", 1, values[i], at));
            rows.push_back(measurement("9", "АИ-95", "P 1", "ЛУКОЙЛ", 1, 80.0, at.addSecs(60)));
            rows.push_back(measurement("9", "АИ-92", "P 1", "ЛУКОЙЛ", 2, 82.0, at.addSecs(120)));
        }
        rows.push_back(measurement("9", "АИ-92", "P 1", "ЛУКОЙЛ", 1, 10.0, start.addDays(5)));
        journal.append(rows);
        journal.remove(static_cast<int>(rows.size()) - 1);
    }

    HistoryJournal journal;
};

const QStringList kStandard = {"--grade",  "АИ-92", "--supplier", "ЛУКОЙЛ",
                               "--method", "RON",   "--baseline", "10"};

// Checked by hand: s = sqrt(10 x 0.01 / 9) = 0.10541; sigma = 0.2 / 1.128 = 0.17730; I limits
// 92.1 -/+ 2.66 x 0.2; MR upper limit 3.267 x 0.2; EWMA limits 92.1 -/+ 3 sigma sqrt(0.4 / 1.6).
// Point 12 (93.0) is beyond all three: its moving range is 0.9 and the EWMA there 92.4689.
TEST_F(QcCommandTest, PrintsTheLimitsAndThePointsThatBreakARule) {
    const test::CtlOutcome qc = runQc(journal.path, kStandard + QStringList{"--json"});

    ASSERT_EQ(qc.status, kDone) << qc.err.toStdString();
    const QJsonArray records = QJsonDocument::fromJson(qc.out).array();
    ASSERT_EQ(records.size(), 6) << qc.out.toStdString();
    struct Limits {
        const char* chart;
        double centre, lower, upper;
    };
    const Limits limits[] = {{"I", 92.1, 91.568, 92.632},
                             {"MR", 0.2, 0.0, 0.6534},
                             {"EWMA", 92.1, 91.834043, 92.365957}};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(limits[i].chart);
        const QJsonObject record = records[i].toObject();
        EXPECT_EQ(record["record"].toString(), "limits");
        EXPECT_EQ(record["chart"].toString(), limits[i].chart);
        EXPECT_EQ(record["points"].toInt(), 12);
        EXPECT_EQ(record["baseline_points"].toInt(), 10);
        EXPECT_NEAR(record["mean"].toDouble(), 92.1, 1e-9);
        EXPECT_NEAR(record["standard_deviation"].toDouble(), 0.105409, 1e-6);
        EXPECT_NEAR(record["mean_moving_range"].toDouble(), 0.2, 1e-9);
        EXPECT_NEAR(record["sigma"].toDouble(), 0.177305, 1e-6);
        EXPECT_NEAR(record["centre"].toDouble(), limits[i].centre, 1e-6);
        EXPECT_NEAR(record["lower"].toDouble(), limits[i].lower, 1e-6);
        EXPECT_NEAR(record["upper"].toDouble(), limits[i].upper, 1e-6);
    }
    EXPECT_EQ(records[2].toObject()["ewma_weight"].toDouble(), 0.4);
    const char* charts[] = {"I", "MR", "EWMA"};
    for (int i = 0; i < 3; ++i) {
        const QJsonObject violation = records[3 + i].toObject();
        EXPECT_EQ(violation["record"].toString(), "violation");
        EXPECT_EQ(violation["chart"].toString(), charts[i]);
        EXPECT_EQ(violation["rule"].toString(), "beyond_limits");
        EXPECT_EQ(violation["point"].toInt(), 12);
        EXPECT_EQ(violation["number"].toString(), "2012");
        EXPECT_EQ(violation["value"].toDouble(), 93.0);
        EXPECT_TRUE(violation["date_time"].toString().startsWith("2026-03-12T"));
    }
}

// The field names are an interface a LIMS reads; the manual page lists them.
TEST_F(QcCommandTest, CsvLeadsWithTheFieldNames) {
    const test::CtlOutcome qc = runQc(journal.path, kStandard + QStringList{"--csv"});

    ASSERT_EQ(qc.status, kDone);
    const QList<QByteArray> lines = qc.out.split('\n');
    EXPECT_EQ(lines.front(), "record,chart,rule,point,number,date_time,value,points,"
                             "baseline_points,mean,standard_deviation,mean_moving_range,sigma,"
                             "centre,lower,upper,ewma_weight\r");
    EXPECT_TRUE(lines[4].startsWith("violation,I,beyond_limits,12,2012,"))
        << lines[4].toStdString();
}

// The violations' texts are longer than the limits' cells above them: each column still starts
// where its header does, after a space, in every line.
TEST_F(QcCommandTest, TheReadableTableKeepsItsColumnsApart) {
    const test::CtlOutcome qc = runQc(journal.path, kStandard);

    ASSERT_EQ(qc.status, kDone);
    QStringList lines = QString::fromUtf8(qc.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 7) << qc.out.toStdString();
    const QString& header = lines.front();
    for (const QString column : {"Карта", "Правило", "Точка", "№", "Дата/Время", "ОЧ"}) {
        const qsizetype start = header.indexOf(column);
        for (const QString& line : lines) {
            SCOPED_TRACE(line.toStdString());
            EXPECT_EQ(line.at(start - 1), QLatin1Char(' ')) << column.toStdString();
        }
    }
    EXPECT_EQ(lines.back().mid(header.indexOf("№"), 4), "2012");
}

TEST_F(QcCommandTest, FewerThanTwoPointsGiveNoLimitsAndFail) {
    const test::CtlOutcome qc = runQc(journal.path, {"--number", "2005", "--json"});

    EXPECT_EQ(qc.status, kError);
    // Under --json the message is followed by the same as a JSON error object.
    EXPECT_EQ(qc.err.split('\n').front(),
              "1 point(s) in the baseline: control limits need two or more.");
    const QJsonObject limits = QJsonDocument::fromJson(qc.out).array().at(0).toObject();
    EXPECT_EQ(limits["points"].toInt(), 1);
    EXPECT_EQ(limits["mean"].toDouble(), 92.0);
    EXPECT_TRUE(limits["upper"].isNull());
}

TEST(QcCommandFileTest, AMissingJournalIsAnError) {
    const test::CtlOutcome qc = runQc(QStringLiteral("/nonexistent/journal.sqlite"), {});

    EXPECT_EQ(qc.status, kError);
    EXPECT_EQ(qc.err, "/nonexistent/journal.sqlite: no such file\n");
    EXPECT_TRUE(qc.out.isEmpty());
}

} // namespace
} // namespace zr::ctl
