#include "history/HistoryController.h"

#include "common/FileAccess.h"
#include "common/MessageService.h"
#include "device/connection/MethodNames.h"
#include "history/ChartPointTable.h"
#include "history/HistoryTexts.h"
#include "journal/Journal.h"

#include <QFileInfo>
#include <algorithm>

namespace zr::history {

namespace {

// A window writing the journal holds its lock only for one commit.
constexpr int kBusyTimeoutMs = 5000;

} // namespace

HistoryController::HistoryController(common::MessageService& messages, HistoryExport exporter,
                                     QObject* parent)
    : QObject(parent), messages_(messages), exporter_(std::move(exporter)) {
    table_.setErrorHandler(
        [this](const QString& reason) { report(unreadableJournalText(path_, reason)); });
    counting_.setSingleShot(true);
    connect(&counting_, &QTimer::timeout, this, &HistoryController::count);
}

HistoryController::~HistoryController() {
    // The model's rows before the database they were read from.
    table_.show(nullptr, {});
}

void HistoryController::report(const QString& text) {
    messages_.showError(text);
}

void HistoryController::open(const QString& path) {
    path_ = path;
    table_.show(nullptr, {});
    database_.reset();
    if (QFileInfo::exists(path)) {
        try {
            database_ = std::make_unique<HistoryDatabase>(path, kBusyTimeoutMs);
        } catch (const journal::JournalRefused& refused) {
            report(refused.reason == journal::JournalRefused::Reason::NewerVersion
                       ? newerJournalText(path)
                       : notAJournalText(path));
        } catch (const journal::SqliteError& failed) {
            report(unreadableJournalText(path, failed.failure().text));
        }
    }
    setFilter(filter_);
}

void HistoryController::setFilter(const HistoryFilter& filter) {
    filter_ = filter;
    filter_.lastRowId.reset();
    if (database_) {
        try {
            filter_.lastRowId = database_->lastRowId();
        } catch (const journal::SqliteError& failed) {
            report(unreadableJournalText(path_, failed.failure().text));
        }
    }
    rowCount_.reset();
    table_.show(database_.get(), filter_);
    emit rowsCounted();
    // Once the page is on screen; a filter changed again before then is counted instead.
    counting_.start(0);
}

void HistoryController::count() {
    if (!database_) {
        rowCount_ = 0;
    } else {
        try {
            rowCount_ = database_->count(filter_);
        } catch (const journal::SqliteError& failed) {
            report(unreadableJournalText(path_, failed.failure().text));
            return;
        }
    }
    emit rowsCounted();
}

QStringList HistoryController::texts(HistoryColumn column) {
    if (!database_) {
        return {};
    }
    try {
        return database_->texts(column);
    } catch (const journal::SqliteError& failed) {
        report(unreadableJournalText(path_, failed.failure().text));
        return {};
    }
}

void HistoryController::setChartSettings(const BaselineChoice& baseline, double ewmaWeight) {
    baseline_ = baseline;
    ewmaWeight_ = ewmaWeight;
    charts_ = buildControlCharts(std::move(charts_.series), baseline_, ewmaWeight_);
    markedPoints_.setCharts(&charts_);
    emit chartsChanged();
}

void HistoryController::rebuildCharts() {
    ChartSeries series;
    if (database_) {
        try {
            series = database_->series(filter_);
        } catch (const journal::SqliteError& failed) {
            report(unreadableJournalText(path_, failed.failure().text));
        }
    }
    charts_ = buildControlCharts(std::move(series), baseline_, ewmaWeight_);
    markedPoints_.setCharts(&charts_);
    emit chartsChanged();
}

QString HistoryController::chartTitle() const {
    QStringList parts;
    for (const auto* text : {&filter_.grade, &filter_.tank, &filter_.supplier}) {
        if (*text) {
            parts << **text;
        }
    }
    if (filter_.method) {
        const QString name = connection::methodName(*filter_.method);
        parts << (name.isEmpty() ? noMethodText() : name);
    }
    if (filter_.number) {
        parts << QStringLiteral("№ ") + *filter_.number;
    }
    const QLocale locale;
    if (filter_.since.isValid()) {
        parts << QStringLiteral("с ") +
                     locale.toString(filter_.since.toLocalTime().date(), QLocale::ShortFormat);
    }
    if (filter_.before.isValid()) {
        parts << QStringLiteral("до ") +
                     locale.toString(filter_.before.toLocalTime().date(), QLocale::ShortFormat);
    }
    return parts.isEmpty() ? QStringLiteral("Все измерения") : parts.join(QStringLiteral(", "));
}

QString HistoryController::describePoint(int point) {
    const ChartSeries& series = charts_.series;
    if (point < 0 || point >= series.size() || !database_) {
        return {};
    }
    QStringList lines{QStringLiteral("Точка %1 из %2").arg(point + 1).arg(series.size())};
    try {
        if (const auto found = database_->record(series.ids[static_cast<std::size_t>(point)])) {
            const QStringList cells = HistoryTableModel::texts(*found);
            for (int c = static_cast<int>(HistoryColumn::Number);
                 c <= static_cast<int>(HistoryColumn::Moment); ++c) {
                lines << historyColumnHeader(static_cast<HistoryColumn>(c)) + QStringLiteral(": ") +
                             cells.value(c);
            }
        }
    } catch (const journal::SqliteError& failed) {
        lines << failed.failure().text;
    }
    const QString broken = pointViolations(charts_, point);
    if (!broken.isEmpty()) {
        lines << broken;
    }
    return lines.join(QLatin1Char('\n'));
}

std::vector<HistoryRecord> HistoryController::rowsToExport(const std::vector<int>& rows) {
    std::vector<HistoryRecord> records;
    if (!rows.empty()) {
        std::vector<int> ordered = rows;
        std::sort(ordered.begin(), ordered.end());
        for (int row : ordered) {
            records.push_back(table_.record(row));
        }
        return records;
    }
    if (!database_) {
        return records;
    }
    std::optional<PageKey> after;
    do {
        HistoryPage page = database_->page(filter_, table_.order(), after, 4096);
        records.insert(records.end(), std::make_move_iterator(page.records.begin()),
                       std::make_move_iterator(page.records.end()));
        after = page.next;
    } while (after);
    return records;
}

void HistoryController::exportRows(const std::vector<int>& rows, HistoryExport::Type type,
                                   const QString& fileName) {
    std::vector<HistoryRecord> records;
    try {
        records = rowsToExport(rows);
    } catch (const journal::SqliteError& failed) {
        report(unreadableJournalText(path_, failed.failure().text));
        return;
    }
    const QString failure = exporter_.write(records, type, fileName);
    if (!failure.isEmpty()) {
        report(common::cannotCreateFileMessage(fileName, failure));
    }
}

void HistoryController::setServerStatus(const mirror::MirrorStatus& status) {
    if (serverStatus_ != status) {
        serverStatus_ = status;
        emit serverStatusChanged();
    }
}

} // namespace zr::history
