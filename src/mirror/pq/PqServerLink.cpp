#include "mirror/pq/PqServerLink.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QHostInfo>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <libpq-fe.h>
#include <vector>

namespace zr::mirror {

namespace {

// libpq's messages end in a newline and may span lines (a hint on a line of its own, a line per
// host tried): one line of sentences.
QString oneLine(const char* message) {
    QStringList sentences;
    for (const QString& line : QString::fromUtf8(message).split(u'\n')) {
        const QString text = line.simplified();
        if (text.isEmpty()) {
            continue;
        }
        if (!sentences.isEmpty() && !QStringLiteral(".?!:;").contains(sentences.last().back())) {
            sentences.last() += u'.';
        }
        sentences << text;
    }
    return sentences.join(u' ');
}

ServerFailure connectionFailure(const pg_conn* conn) {
    return {ServerFailure::Kind::Connection, oneLine(PQerrorMessage(conn)), {}};
}

ServerFailure statementFailure(const pg_conn* conn, const PGresult* result) {
    ServerFailure failure;
    failure.kind = PQstatus(conn) == CONNECTION_BAD ? ServerFailure::Kind::Connection
                                                    : ServerFailure::Kind::Statement;
    const char* primary = PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY);
    failure.text = oneLine(primary ? primary : PQresultErrorMessage(result));
    if (failure.text.isEmpty()) {
        failure.text = oneLine(PQerrorMessage(conn));
    }
    if (const char* state = PQresultErrorField(result, PG_DIAG_SQLSTATE)) {
        failure.sqlState = QString::fromLatin1(state);
    }
    return failure;
}

ServerRow rowOf(const PGresult* result, int row) {
    ServerRow values;
    const int columns = PQnfields(result);
    values.reserve(columns);
    for (int c = 0; c < columns; ++c) {
        if (PQgetisnull(result, row, c)) {
            values.append(std::nullopt);
        } else {
            values.append(QByteArray(PQgetvalue(result, row, c), PQgetlength(result, row, c)));
        }
    }
    return values;
}

// The options a connection string gives, freed with it.
class ParsedConnection {
public:
    explicit ParsedConnection(const QString& connection) {
        char* error = nullptr;
        options_ = PQconninfoParse(connection.toUtf8().constData(), &error);
        if (error) {
            error_ = oneLine(error);
            PQfreemem(error);
        }
    }
    ~ParsedConnection() {
        if (options_) {
            PQconninfoFree(options_);
        }
    }
    ParsedConnection(const ParsedConnection&) = delete;
    ParsedConnection& operator=(const ParsedConnection&) = delete;

    bool valid() const { return options_ != nullptr; }
    const QString& error() const { return error_; }
    QString value(const char* keyword) const {
        for (const PQconninfoOption* o = options_; o && o->keyword; ++o) {
            if (qstrcmp(o->keyword, keyword) == 0 && o->val) {
                return QString::fromUtf8(o->val);
            }
        }
        return {};
    }

private:
    PQconninfoOption* options_ = nullptr;
    QString error_;
};

// A name libpq would have to look up: not a socket directory, not an address.
bool needsLookup(const QString& host) {
    return !host.isEmpty() && !host.startsWith(QLatin1Char('/')) &&
           !host.startsWith(QLatin1Char('@')) && QHostAddress(host).isNull();
}

} // namespace

PqServerLink::PqServerLink() = default;

PqServerLink::~PqServerLink() {
    close();
}

void PqServerLink::open(const QString& connection,
                        std::function<void(std::optional<ServerFailure>)> done) {
    close();
    opened_ = std::move(done);
    const ParsedConnection parsed(connection);
    if (!parsed.valid()) {
        failConnecting({ServerFailure::Kind::Settings, parsed.error(), {}});
        return;
    }
    if (!parsed.value("password").isEmpty()) {
        failConnecting({ServerFailure::Kind::PasswordInSettings, {}, {}});
        return;
    }
    const QStringList hosts = parsed.value("host").split(QLatin1Char(','));
    const bool lookUp = parsed.value("hostaddr").isEmpty() &&
                        std::any_of(hosts.cbegin(), hosts.cend(), needsLookup);
    if (lookUp) {
        lookUpHosts(connection, hosts, parsed.value("port").split(QLatin1Char(',')));
    } else {
        startConnecting(connection, {});
    }
}

void PqServerLink::lookUpHosts(const QString& connection, const QStringList& hosts,
                               const QStringList& ports) {
    phase_ = Phase::Resolving;
    lookups_ = 0;
    endpoints_.assign(static_cast<std::size_t>(hosts.size()), {});
    const quint64 generation = generation_;
    for (qsizetype i = 0; i < hosts.size(); ++i) {
        const QString& host = hosts.at(i);
        // One port for all hosts, or one each.
        const QString port = ports.size() == hosts.size() ? ports.at(i) : ports.value(0);
        auto& endpoints = endpoints_[static_cast<std::size_t>(i)];
        if (!needsLookup(host)) {
            // A socket directory is no address; an address is its own.
            const bool socket =
                host.startsWith(QLatin1Char('/')) || host.startsWith(QLatin1Char('@'));
            endpoints.push_back({host, socket ? QString() : host, port});
            continue;
        }
        ++lookups_;
        QHostInfo::lookupHost(host, this, [=, this](const QHostInfo& info) {
            if (generation != generation_ || phase_ != Phase::Resolving) {
                return;
            }
            if (info.error() != QHostInfo::NoError || info.addresses().isEmpty()) {
                failConnecting({ServerFailure::Kind::Connection,
                                QStringLiteral("%1: %2").arg(host, info.errorString()),
                                {}});
                return;
            }
            for (const QHostAddress& address : info.addresses()) {
                endpoints_[static_cast<std::size_t>(i)].push_back({host, address.toString(), port});
            }
            if (--lookups_ == 0) {
                std::vector<Endpoint> all;
                for (const auto& each : endpoints_) {
                    all.insert(all.end(), each.cbegin(), each.cend());
                }
                startConnecting(connection, all);
            }
        });
    }
}

void PqServerLink::startConnecting(const QString& connection,
                                   const std::vector<Endpoint>& endpoints) {
    QStringList hosts;
    QStringList addresses;
    QStringList ports;
    for (const Endpoint& endpoint : endpoints) {
        hosts << endpoint.host;
        addresses << endpoint.address;
        ports << endpoint.port;
    }
    const QByteArray name = QCoreApplication::applicationName().toUtf8();
    const QByteArray expanded = connection.toUtf8();
    const QByteArray hostList = hosts.join(QLatin1Char(',')).toUtf8();
    const QByteArray addressList = addresses.join(QLatin1Char(',')).toUtf8();
    const QByteArray portList = ports.join(QLatin1Char(',')).toUtf8();
    // Later entries win over what the connection string gives; the name is only a default.
    std::vector<const char*> keywords{"fallback_application_name", "dbname"};
    std::vector<const char*> values{name.constData(), expanded.constData()};
    if (!endpoints.empty()) {
        keywords.insert(keywords.end(), {"host", "hostaddr"});
        values.insert(values.end(), {hostList.constData(), addressList.constData()});
        if (std::any_of(ports.cbegin(), ports.cend(),
                        [](const QString& p) { return !p.isEmpty(); })) {
            keywords.push_back("port");
            values.push_back(portList.constData());
        }
    }
    keywords.push_back("client_encoding");
    values.push_back("UTF8");
    keywords.push_back(nullptr);
    values.push_back(nullptr);
    conn_ = PQconnectStartParams(keywords.data(), values.data(), 1);
    if (!conn_) {
        failConnecting({ServerFailure::Kind::Connection, QStringLiteral("out of memory"), {}});
        return;
    }
    // Notices (a schema already there, a server going down) are no business of the user's.
    PQsetNoticeReceiver(
        conn_, [](void*, const PGresult*) {}, nullptr);
    if (PQstatus(conn_) == CONNECTION_BAD) {
        failConnecting(connectionFailure(conn_));
        return;
    }
    phase_ = Phase::Connecting;
    // Polling starts once the socket can be written.
    watch(false, true);
}

void PqServerLink::pollConnecting() {
    switch (PQconnectPoll(conn_)) {
    case PGRES_POLLING_READING:
        watch(true, false);
        return;
    case PGRES_POLLING_WRITING:
        watch(false, true);
        return;
    case PGRES_POLLING_OK: {
        if (PQsetnonblocking(conn_, 1) != 0) {
            failConnecting(connectionFailure(conn_));
            return;
        }
        phase_ = Phase::Idle;
        watch(true, false);
        auto done = std::move(opened_);
        opened_ = nullptr;
        done(std::nullopt);
        return;
    }
    case PGRES_POLLING_FAILED:
    case PGRES_POLLING_ACTIVE:
        break;
    }
    failConnecting(connectionFailure(conn_));
}

void PqServerLink::failConnecting(ServerFailure failure) {
    breakConnection();
    auto done = std::move(opened_);
    opened_ = nullptr;
    if (done) {
        later([done = std::move(done), failure = std::move(failure)] { done(failure); });
    }
}

void PqServerLink::execute(ServerQuery query, std::function<void(ServerResult)> done) {
    if (phase_ != Phase::Idle) {
        later([done = std::move(done)] {
            done({ServerFailure{ServerFailure::Kind::Connection,
                                QStringLiteral("no connection to the server"),
                                {}},
                  {}});
        });
        return;
    }
    std::vector<const char*> values;
    values.reserve(static_cast<std::size_t>(query.parameters.size()));
    for (const ServerValue& value : query.parameters) {
        values.push_back(value ? value->constData() : nullptr);
    }
    if (!PQsendQueryParams(conn_, query.sql.constData(), static_cast<int>(values.size()), nullptr,
                           values.data(), nullptr, nullptr, 0)) {
        const ServerFailure failure = connectionFailure(conn_);
        breakConnection();
        later([done = std::move(done), failure] { done({failure, {}}); });
        return;
    }
    phase_ = Phase::Running;
    done_ = std::move(done);
    eachRow_ = std::move(query.eachRow);
    result_ = {};
    if (eachRow_) {
        PQsetSingleRowMode(conn_);
    }
    flushQuery();
}

void PqServerLink::flushQuery() {
    switch (PQflush(conn_)) {
    case 0:
        watch(true, false);
        return;
    case 1:
        // The server's answers are read meanwhile, so neither side waits for the other.
        watch(true, true);
        return;
    default:
        result_.failure = connectionFailure(conn_);
        finishQuery();
    }
}

void PqServerLink::socketReady() {
    switch (phase_) {
    case Phase::Connecting:
        pollConnecting();
        return;
    case Phase::Running:
        if (writable_ && writable_->isEnabled()) {
            flushQuery();
            if (phase_ != Phase::Running) {
                return;
            }
        }
        readResults();
        return;
    case Phase::Idle: {
        // Nothing runs: input here is the server saying goodbye, or the connection's end.
        if (!PQconsumeInput(conn_) || PQstatus(conn_) == CONNECTION_BAD) {
            const ServerFailure failure = connectionFailure(conn_);
            breakConnection();
            if (lost_) {
                lost_(failure);
            }
            return;
        }
        while (PGnotify* notice = PQnotifies(conn_)) {
            PQfreemem(notice);
        }
        return;
    }
    case Phase::Closed:
    case Phase::Resolving:
        return;
    }
}

void PqServerLink::readResults() {
    if (!PQconsumeInput(conn_)) {
        result_.failure = connectionFailure(conn_);
        finishQuery();
        return;
    }
    const quint64 generation = generation_;
    while (!PQisBusy(conn_)) {
        PGresult* result = PQgetResult(conn_);
        if (!result) {
            finishQuery();
            return;
        }
        switch (PQresultStatus(result)) {
        case PGRES_SINGLE_TUPLE:
            if (!result_.failure) {
                eachRow_(rowOf(result, 0));
            }
            break;
        case PGRES_TUPLES_OK:
            for (int row = 0; row < PQntuples(result) && !eachRow_; ++row) {
                result_.rows.append(rowOf(result, row));
            }
            break;
        case PGRES_COMMAND_OK:
        case PGRES_EMPTY_QUERY:
            break;
        default:
            if (!result_.failure) {
                result_.failure = statementFailure(conn_, result);
            }
            break;
        }
        PQclear(result);
        // A row handed over may have closed the link.
        if (generation != generation_) {
            return;
        }
    }
}

void PqServerLink::finishQuery() {
    auto done = std::move(done_);
    done_ = nullptr;
    eachRow_ = nullptr;
    ServerResult result = std::move(result_);
    result_ = {};
    if (PQstatus(conn_) == CONNECTION_BAD) {
        if (!result.failure || result.failure->kind != ServerFailure::Kind::Connection) {
            result.failure = connectionFailure(conn_);
        }
        breakConnection();
    } else {
        phase_ = Phase::Idle;
        watch(true, false);
    }
    done(std::move(result));
}

void PqServerLink::watch(bool read, bool write) {
    const int socket = PQsocket(conn_);
    const auto notifier = [&](std::unique_ptr<QSocketNotifier>& n, QSocketNotifier::Type type,
                              bool enabled) {
        if (n && n->socket() != socket) {
            n.reset();
        }
        if (!n && enabled && socket >= 0) {
            n = std::make_unique<QSocketNotifier>(socket, type);
            connect(n.get(), &QSocketNotifier::activated, this, &PqServerLink::socketReady);
        }
        if (n) {
            n->setEnabled(enabled);
        }
    };
    notifier(readable_, QSocketNotifier::Read, read);
    notifier(writable_, QSocketNotifier::Write, write);
}

void PqServerLink::setLostHandler(std::function<void(const ServerFailure&)> lost) {
    lost_ = std::move(lost);
}

void PqServerLink::breakConnection() {
    readable_.reset();
    writable_.reset();
    if (conn_) {
        PQfinish(conn_);
        conn_ = nullptr;
    }
    phase_ = Phase::Closed;
    ++generation_;
}

void PqServerLink::close() {
    opened_ = nullptr;
    done_ = nullptr;
    eachRow_ = nullptr;
    breakConnection();
}

void PqServerLink::later(std::function<void()> call) {
    QTimer::singleShot(0, this, [this, generation = generation_, call = std::move(call)] {
        if (generation == generation_) {
            call();
        }
    });
}

QString PqServerLink::describe(const QString& connection) const {
    const ParsedConnection parsed(connection);
    if (!parsed.valid()) {
        return {};
    }
    PQconninfoOption* defaults = PQconndefaults();
    const auto value = [&](const char* keyword) {
        QString given = parsed.value(keyword);
        for (const PQconninfoOption* o = defaults; given.isEmpty() && o && o->keyword; ++o) {
            if (qstrcmp(o->keyword, keyword) == 0 && o->val) {
                given = QString::fromUtf8(o->val);
            }
        }
        return given;
    };
    QString host = value("host");
    if (host.isEmpty()) {
        host = value("hostaddr");
    }
    if (host.isEmpty()) {
        host = QStringLiteral("localhost");
    }
    QString database = value("dbname");
    if (database.isEmpty()) {
        database = value("user");
    }
    const QString text = QStringLiteral("%1:%2/%3").arg(host, value("port"), database);
    PQconninfoFree(defaults);
    return text;
}

} // namespace zr::mirror
