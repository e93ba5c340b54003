#include "ctl/JournalCommand.h"

#include "ctl/ExitStatus.h"
#include "ctl/JournalRead.h"
#include "device/connection/MethodNames.h"
#include "journal/History.h"
#include "journal/Journal.h"
#include "records/MeasurementTableTexts.h"

namespace zr::ctl {

namespace {

FieldValue text(const QString& text) {
    return text.isEmpty() ? FieldValue(nullptr) : FieldValue(text);
}

FieldValue text(const std::optional<QString>& text) {
    return text ? FieldValue(*text) : FieldValue(nullptr);
}

FieldValue utcTime(const QDateTime& time) {
    return time.isValid() ? FieldValue(isoTime(time.toMSecsSinceEpoch(), std::nullopt))
                          : FieldValue(nullptr);
}

} // namespace

Layout journalLayout() {
    Layout layout{{QStringLiteral("session_started"),
                   QStringLiteral("time"),
                   QStringLiteral("number"),
                   QStringLiteral("grade"),
                   QStringLiteral("tank"),
                   QStringLiteral("supplier"),
                   QStringLiteral("method"),
                   QStringLiteral("value"),
                   QStringLiteral("date_time"),
                   QStringLiteral("deleted"),
                   QStringLiteral("method_name"),
                   QStringLiteral("session_started_utc"),
                   QStringLiteral("time_utc"),
                   QStringLiteral("date_time_utc"),
                   QStringLiteral("deleted_utc"),
                   QStringLiteral("session_id"),
                   QStringLiteral("row_id"),
                   QStringLiteral("host"),
                   QStringLiteral("meter_serial"),
                   QStringLiteral("revision"),
                   QStringLiteral("method_text"),
                   QStringLiteral("value_text"),
                   QStringLiteral("date_time_text")},
                  {QStringLiteral("Начало сеанса"), QStringLiteral("Время записи")}};
    for (const QString& header : records::measurementTableHeaders()) {
        // The window's number column has no header.
        layout.headers << (header.isEmpty() ? QStringLiteral("№") : header);
    }
    layout.headers << QStringLiteral("Удалена");
    return layout;
}

JournalRecords::JournalRecords(Format format, const QLocale& locale)
    : table_(format == Format::Table), locale_(locale) {}

QString JournalRecords::shownTime(const QDateTime& time) {
    if (!time.isValid()) {
        return {};
    }
    const qint64 msecs = time.toMSecsSinceEpoch();
    return isoTime(msecs, offsets_.offsetAt(msecs));
}

FieldValue JournalRecords::localTime(const QDateTime& time) {
    return time.isValid() ? FieldValue(shownTime(time)) : FieldValue(nullptr);
}

Record JournalRecords::operator()(const journal::HistoryRow& history) {
    const journal::TableRow& row = history.row;
    Record record;
    if (table_) {
        record.cells << shownTime(history.session.started) << shownTime(history.changed)
                     << journal::shownTexts(row, locale_) << shownTime(history.deleted);
        return record;
    }
    if (history.session.id != session_) {
        session_ = history.session.id;
        sessionLocal_ = localTime(history.session.started);
        sessionUtc_ = utcTime(history.session.started);
    }
    // Rows from before the typed journal have no ids, host, serial or revision.
    const bool typed = history.revision.has_value();
    const FieldValue none(nullptr);
    record.values = {
        sessionLocal_,
        localTime(history.changed),
        row.number,
        row.grade,
        row.tank,
        row.supplier,
        row.method ? FieldValue(qint64{*row.method}) : none,
        row.value ? FieldValue(*row.value) : none,
        localTime(row.moment),
        localTime(history.deleted),
        row.method ? FieldValue(connection::methodName(*row.method)) : none,
        sessionUtc_,
        utcTime(history.changed),
        utcTime(row.moment),
        utcTime(history.deleted),
        text(history.session.uuid),
        text(history.uuid),
        typed ? FieldValue(history.session.host) : none,
        typed ? FieldValue(history.meterSerial) : none,
        typed ? FieldValue(*history.revision) : none,
        text(row.methodText),
        text(row.valueText),
        text(row.momentText),
    };
    return record;
}

int runJournalCommand(const Invocation& invocation, const QString& path, const QLocale& locale,
                      RecordWriter& writer, const OutputSink& err) {
    return readJournal(path, err, [&] {
        journal::History history(path, kJournalBusyTimeoutMs);
        history.select(invocation.since, invocation.before);
        JournalRecords records(invocation.format, locale);
        journal::HistoryRow row;
        while (history.next(row)) {
            if (!writer.writeRecord(records(row))) {
                return kError;
            }
        }
        return writer.endDocument() ? kDone : kError;
    });
}

} // namespace zr::ctl
