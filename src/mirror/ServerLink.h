#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtPlugin>
#include <functional>
#include <memory>
#include <optional>

namespace zr::mirror {

// Why the server could not be used.
struct ServerFailure {
    enum class Kind {
        // No connection, or it broke: the server, the network or the login; worth another try.
        Connection,
        // The server refused a statement (its SQLSTATE says why); the connection stays usable.
        Statement,
        // The connection string cannot be used as it is: worth no retry until it is changed.
        Settings,
        // The connection string holds a password, which belongs in libpq's own files.
        PasswordInSettings,
        // No link to any server can be made in this run; the text says why.
        Unavailable,
    };
    Kind kind = Kind::Connection;
    // The server's or libpq's own words, one line.
    QString text;
    // The five-character SQLSTATE of a refused statement; empty otherwise.
    QString sqlState;
};

// One value as the server writes it in text form; none for NULL.
using ServerValue = std::optional<QByteArray>;
using ServerRow = QList<ServerValue>;

struct ServerQuery {
    QByteArray sql;
    // $1, $2, … in text form.
    QList<ServerValue> parameters;
    // When set, each result row is handed over as it arrives and not kept.
    std::function<void(const ServerRow&)> eachRow;
};

struct ServerResult {
    std::optional<ServerFailure> failure;
    // The rows, unless the query handed them over one by one.
    QList<ServerRow> rows;
};

// A connection to the PostgreSQL server that never blocks its thread: every call returns at
// once, and its answer comes later from the event loop, never from inside the call.
class ServerLink {
public:
    virtual ~ServerLink() = default;

    // Connects with the libpq connection string; `done` gets no failure once connected.
    virtual void open(const QString& connection,
                      std::function<void(std::optional<ServerFailure>)> done) = 0;
    // Runs one statement on the open connection, in a transaction of its own; `done` comes once
    // the server has ended it, so a result without failure means committed.
    virtual void execute(ServerQuery query, std::function<void(ServerResult)> done) = 0;
    // Called when the open connection breaks while no statement runs.
    virtual void setLostHandler(std::function<void(const ServerFailure&)> lost) = 0;
    // Drops the connection at once; no pending answer comes any more.
    virtual void close() = 0;
    // The server a connection string names, as host, port and database (the libpq defaults
    // filled in), without user or password; empty when it cannot be read.
    virtual QString describe(const QString& connection) const = 0;
};

// What the server link's module (mirror/pq) gives: the program loads libpq only through it,
// when a server is configured.
class ServerLinkFactory {
public:
    virtual ~ServerLinkFactory() = default;
    virtual std::unique_ptr<ServerLink> createLink() = 0;
};

// The module's file name without prefix and suffix, looked for on the library paths.
inline constexpr const char* kServerLinkModuleName = "zr6040usb-mirror";

} // namespace zr::mirror

#define ZR_SERVER_LINK_FACTORY_IID "io.github.zr6040usb.ServerLinkFactory/1"
Q_DECLARE_INTERFACE(zr::mirror::ServerLinkFactory, ZR_SERVER_LINK_FACTORY_IID)
