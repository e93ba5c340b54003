#pragma once

// One PC as the mirror's tests see it: the window's measurement table with its journal, and the
// mirror sending that journal to a server. And what a server and journals hold, side by side.

#include "journal/JournalRig.h"
#include "journal/Sqlite.h"
#include "mirror/JournalMirror.h"
#include "mirror/PgCluster.h"
#include "mirror/pq/PqServerLink.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>
#include <memory>
#include <ostream>

// Texts in failures as text.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace zr::mirror::test {

// Short waits, and batches small enough that a few rows make several.
inline MirrorOptions quickOptions() {
    MirrorOptions options;
    options.batchRows = 20;
    options.gatherMs = 10;
    options.firstRetryMs = 50;
    options.longestRetryMs = 400;
    options.operationTimeoutMs = 20000;
    return options;
}

// The libpq link, counting its connection attempts.
class CountingLink final : public ServerLink {
public:
    void open(const QString& connection,
              std::function<void(std::optional<ServerFailure>)> done) override {
        ++opens;
        link_.open(connection, std::move(done));
    }
    void execute(ServerQuery query, std::function<void(ServerResult)> done) override {
        link_.execute(std::move(query), std::move(done));
    }
    void setLostHandler(std::function<void(const ServerFailure&)> lost) override {
        link_.setLostHandler(std::move(lost));
    }
    void close() override { link_.close(); }
    QString describe(const QString& connection) const override {
        return link_.describe(connection);
    }

    int opens = 0;

private:
    PqServerLink link_;
};

class Pc {
public:
    explicit Pc(journal::ProcessIdentity identity = journal::ProcessIdentity::current()) {
        run(std::move(identity));
    }

    // A new run of the program on the same journal, the last one ended as by a crash.
    void run(journal::ProcessIdentity identity) {
        mirror.reset();
        rig.reset();
        rig = std::make_unique<journal::test::JournalRig>(dir.path(), std::move(identity));
    }

    JournalMirror& startMirror(const QString& connection, MirrorOptions options = quickOptions(),
                               JournalMirror::Mode mode = JournalMirror::Mode::Follow) {
        auto counting = std::make_unique<CountingLink>();
        link = counting.get();
        mirror = std::make_unique<JournalMirror>(journalPath(),
                                                 ServerSetting{connection, QStringLiteral("test")},
                                                 std::move(counting), &rig->messages, options);
        QObject::connect(rig->journal.get(), &journal::TableJournal::committed, mirror.get(),
                         &JournalMirror::journalChanged);
        mirror->start(mode);
        return *mirror;
    }

    void write(int rows) {
        for (int i = 0; i < rows; ++i) {
            rig->writeRow(QStringLiteral("9%1,5").arg(i % 10));
        }
    }

    QString journalPath() const {
        return dir.filePath(QString::fromLatin1(journal::kJournalFileName));
    }
    MirrorStatus::State state() const { return mirror->status().state; }
    const QStringList& informed() const { return rig->messages.informed; }
    const QStringList& errors() const { return rig->messages.errors; }

    QTemporaryDir dir;
    std::unique_ptr<journal::test::JournalRig> rig;
    std::unique_ptr<JournalMirror> mirror;
    CountingLink* link = nullptr;
};

// A row as the server should hold it: id, session, order made, position, sample number,
// deleted, revision.
using SentRows = QList<QStringList>;

// The written rows of the journals, ordered by session and the order they were made in.
inline SentRows journalRows(const QList<const Pc*>& pcs) {
    SentRows rows;
    for (const Pc* pc : pcs) {
        journal::Database db(pc->journalPath(), journal::Database::Access::ReadOnly);
        journal::Statement select(db.handle(),
                                  "SELECT r.uuid, s.uuid, r.id, ifnull(r.position, ''), r.number, "
                                  "CASE WHEN r.deleted IS NULL THEN 'f' ELSE 't' END, r.revision "
                                  "FROM measurement_row r JOIN session s ON s.id = r.session "
                                  "WHERE r.moment IS NOT NULL");
        while (select.step()) {
            QStringList row;
            for (int c = 0; c < 7; ++c) {
                row << select.text(c);
            }
            rows << row;
        }
    }
    std::sort(rows.begin(), rows.end(), [](const QStringList& a, const QStringList& b) {
        return std::pair(a.at(1), a.at(2).toLongLong()) < std::pair(b.at(1), b.at(2).toLongLong());
    });
    return rows;
}

// The server's rows in the same form and order; none while it has no schema.
inline SentRows serverRows(const zr::test::PgCluster& cluster) {
    if (cluster.query(QStringLiteral("SELECT to_regclass('zr6040.measurement_row') IS NULL"))
            .value(0)
            .value(0) == QLatin1String("t")) {
        return {};
    }
    return cluster.query(
        QStringLiteral("SELECT id, session, ordinal, coalesce(position::text, ''), number, "
                       "CASE WHEN deleted IS NULL THEN 'f' ELSE 't' END, revision "
                       "FROM zr6040.measurement_row ORDER BY session, ordinal"));
}

} // namespace zr::mirror::test
