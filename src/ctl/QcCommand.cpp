#include "ctl/QcCommand.h"

#include "common/SystemError.h"
#include "ctl/CtlText.h"
#include "ctl/ExitStatus.h"
#include "ctl/JournalRead.h"
#include "ctl/ServerHistoryRead.h"
#include "history/ChartSeries.h"
#include "history/HistoryCopy.h"
#include "history/HistoryDatabase.h"
#include "history/QualityTexts.h"

#include <cmath>
#include <new>
#include <optional>

namespace zr::ctl {

namespace {

using quality::Chart;

QString ruleKey(quality::Rule rule) {
    switch (rule) {
    case quality::Rule::BeyondLimits:
        return QStringLiteral("beyond_limits");
    case quality::Rule::TwoOfThreeBeyondTwoSigma:
        return QStringLiteral("two_of_three_beyond_2_sigma");
    case quality::Rule::SevenOnOneSide:
        return QStringLiteral("seven_on_one_side");
    }
    return {};
}

// The fields of a record, in the layout's order.
enum Field {
    Kind,
    ChartName,
    RuleName,
    Point,
    Number,
    Time,
    Value,
    Points,
    BaselinePoints,
    Mean,
    StandardDeviation,
    MeanMovingRange,
    Sigma,
    Centre,
    Lower,
    Upper,
    Weight,
    FieldCount,
};

// Writes the records of the charts: every field null and every cell empty unless set.
class QcRecords {
public:
    QcRecords(const history::ChartSeries& series, const quality::ControlCharts& charts,
              double weight, const QLocale& locale)
        : series_(series), charts_(charts), weight_(weight), locale_(locale) {}

    Record limits(Chart chart, const std::optional<quality::Limits>& limits) const {
        const quality::BaselineStatistics& baseline = charts_.statistics;
        Record record = blank();
        set(record, Kind, QStringLiteral("limits"), QStringLiteral("границы"));
        set(record, ChartName, history::chartSymbol(chart), history::chartSymbol(chart));
        set(record, Points, qint64{series_.size()}, QString::number(series_.size()));
        set(record, BaselinePoints, qint64{baseline.points}, QString::number(baseline.points));
        setNumber(record, Mean, baseline.mean);
        setNumber(record, StandardDeviation, baseline.standardDeviation);
        setNumber(record, MeanMovingRange, baseline.meanMovingRange);
        setNumber(record, Sigma, baseline.sigma());
        if (limits) {
            setNumber(record, Centre, limits->centre);
            setNumber(record, Lower, limits->lower);
            setNumber(record, Upper, limits->upper);
        }
        if (chart == Chart::Ewma) {
            set(record, Weight, weight_, locale_.toString(weight_));
        }
        return record;
    }

    Record violation(const quality::Violation& violation) const {
        const auto at = static_cast<std::size_t>(violation.point);
        const QString time = isoLocalTime(series_.moments[at].toLocalTime());
        const double value = series_.values[at];
        Record record = blank();
        set(record, Kind, QStringLiteral("violation"), QStringLiteral("нарушение"));
        set(record, ChartName, history::chartSymbol(violation.chart),
            history::chartSymbol(violation.chart));
        set(record, RuleName, ruleKey(violation.rule), history::ruleText(violation.rule));
        set(record, Point, qint64{violation.point + 1}, QString::number(violation.point + 1));
        set(record, Number, series_.numbers[at], series_.numbers[at]);
        set(record, Time, time, time);
        set(record, Value, value, locale_.toString(value, 'g', 15));
        return record;
    }

private:
    static Record blank() {
        Record record;
        for (int field = 0; field < FieldCount; ++field) {
            record.values << FieldValue(nullptr);
            record.cells << QString();
        }
        return record;
    }

    static void set(Record& record, Field field, const FieldValue& value, const QString& cell) {
        record.values[field] = value;
        record.cells[field] = cell;
    }

    // Undefined statistics (too few points) stay null.
    void setNumber(Record& record, Field field, double value) const {
        if (std::isfinite(value)) {
            set(record, field, value, locale_.toString(value, 'f', 3));
        }
    }

    const history::ChartSeries& series_;
    const quality::ControlCharts& charts_;
    double weight_;
    const QLocale& locale_;
};

} // namespace

Layout qcLayout() {
    return {{QStringLiteral("record"), QStringLiteral("chart"), QStringLiteral("rule"),
             QStringLiteral("point"), QStringLiteral("number"), QStringLiteral("date_time"),
             QStringLiteral("value"), QStringLiteral("points"), QStringLiteral("baseline_points"),
             QStringLiteral("mean"), QStringLiteral("standard_deviation"),
             QStringLiteral("mean_moving_range"), QStringLiteral("sigma"), QStringLiteral("centre"),
             QStringLiteral("lower"), QStringLiteral("upper"), QStringLiteral("ewma_weight")},
            {QStringLiteral("Запись"), QStringLiteral("Карта"), QStringLiteral("Правило"),
             QStringLiteral("Точка"), QStringLiteral("№"), QStringLiteral("Дата/Время"),
             QStringLiteral("ОЧ"), QStringLiteral("Точек"), QStringLiteral("База"),
             QStringLiteral("Среднее"), QStringLiteral("СКО"), QStringLiteral("Ср. MR"),
             QStringLiteral("σ"), QStringLiteral("ЦЛ"), QStringLiteral("НКГ"),
             QStringLiteral("ВКГ"), QStringLiteral("λ")}};
}

namespace {

// The records of the charts of `series`; fewer than two points in the baseline are an error.
int writeQc(const history::ChartSeries& series, const Invocation& invocation, const QLocale& locale,
            RecordWriter& writer, const OutputSink& err) {
    const double weight = quality::kDefaultEwmaWeight;
    const quality::ControlCharts charts = quality::computeControlCharts(
        series.values, {quality::firstPoints(invocation.baselinePoints, series.size()), weight});
    const QcRecords records(series, charts, weight, locale);
    std::optional<quality::Limits> ewma;
    if (charts.ewma) {
        ewma = charts.ewma->steadyLimits;
    }
    // Written as one document: a few records, and the readable table's columns as wide as
    // their widest cell, where the violations' texts are longer than the limits' ones.
    QList<Record> output{records.limits(Chart::Individuals, charts.individuals),
                         records.limits(Chart::MovingRange, charts.movingRange),
                         records.limits(Chart::Ewma, ewma)};
    for (const quality::Violation& violation : charts.violations) {
        output << records.violation(violation);
    }
    const bool whole = writer.writeDocument(output);
    if (!charts.statistics.definesLimits()) {
        err(CtlText::tr("%1 point(s) in the baseline: control limits need two or more.")
                .arg(charts.statistics.points)
                .toUtf8() +
            '\n');
        return kError;
    }
    return whole ? kDone : kError;
}

} // namespace

int runQcCommand(const Invocation& invocation, const QString& path, const QLocale& locale,
                 RecordWriter& writer, const OutputSink& err) {
    return readJournal(path, err, [&] {
        history::HistoryDatabase database(path, kJournalBusyTimeoutMs);
        return writeQc(database.series(invocation.selection), invocation, locale, writer, err);
    });
}

int runServerQcCommand(const Invocation& invocation, const ServerAccess& server,
                       const QLocale& locale, RecordWriter& writer, const OutputSink& err) {
    // Every row is read: the selection's period is of measuring, the server's bounds of changing.
    std::optional<history::HistoryCopy> copy;
    std::optional<QString> failure;
    // What cannot be copied or charted (memory, mostly) ends the command with its reason, not
    // the program.
    const auto guarded = [&](const std::function<void()>& step) {
        try {
            step();
        } catch (const journal::SqliteError& failed) {
            failure = failed.failure().text;
        } catch (const std::bad_alloc&) {
            failure = common::outOfMemoryText();
        }
    };
    guarded([&] { copy.emplace(history::HistoryCopy::Use::OneQuery); });
    return readServerHistory(
        server, {}, {}, err,
        [&](journal::HistoryRow& row) {
            if (!failure) {
                guarded([&] { copy->add(row); });
            }
        },
        [&]() -> int {
            int status = kError;
            if (!failure) {
                guarded([&] {
                    history::HistoryDatabase database(*copy);
                    status = writeQc(database.series(invocation.selection), invocation, locale,
                                     writer, err);
                });
            }
            if (failure) {
                err(CtlText::tr("The server's rows could not be charted: %1")
                        .arg(*failure)
                        .toUtf8() +
                    '\n');
                return kError;
            }
            return status;
        });
}

} // namespace zr::ctl
