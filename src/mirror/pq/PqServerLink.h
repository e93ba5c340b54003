#pragma once

#include "mirror/ServerLink.h"

#include <QObject>
#include <QSocketNotifier>
#include <QStringList>
#include <memory>
#include <vector>

struct pg_conn;

namespace zr::mirror {

// The server link on libpq's asynchronous API, driven by the thread's event loop: a socket
// notifier on the connection's socket, non-blocking sends, results read as they arrive. Host
// names are looked up by Qt's resolver first, since libpq would look them up blocking.
class PqServerLink final : public QObject, public ServerLink {
    Q_OBJECT
public:
    PqServerLink();
    ~PqServerLink() override;

    void open(const QString& connection,
              std::function<void(std::optional<ServerFailure>)> done) override;
    void execute(ServerQuery query, std::function<void(ServerResult)> done) override;
    void setLostHandler(std::function<void(const ServerFailure&)> lost) override;
    void close() override;
    QString describe(const QString& connection) const override;

private:
    enum class Phase { Closed, Resolving, Connecting, Idle, Running };

    // Where libpq connects: each host with the address it is reached at and its port.
    struct Endpoint {
        QString host;
        QString address;
        QString port;
    };

    void lookUpHosts(const QString& connection, const QStringList& hosts, const QStringList& ports);
    void startConnecting(const QString& connection, const std::vector<Endpoint>& endpoints);
    void pollConnecting();
    void socketReady();
    void readResults();
    void flushQuery();
    void watch(bool read, bool write);
    void failConnecting(ServerFailure failure);
    void finishQuery();
    void breakConnection();
    // Calls `call` from the event loop, unless the link is closed before.
    void later(std::function<void()> call);

    Phase phase_ = Phase::Closed;
    pg_conn* conn_ = nullptr;
    std::unique_ptr<QSocketNotifier> readable_;
    std::unique_ptr<QSocketNotifier> writable_;
    // Bumped by close(): answers of an earlier connection are dropped.
    quint64 generation_ = 0;
    std::function<void(std::optional<ServerFailure>)> opened_;
    std::function<void(const ServerFailure&)> lost_;

    // The running statement.
    std::function<void(ServerResult)> done_;
    std::function<void(const ServerRow&)> eachRow_;
    ServerResult result_;

    // Host names still to look up, and each host's endpoints found so far, in the hosts' order:
    // a name with several addresses is tried at each.
    int lookups_ = 0;
    std::vector<std::vector<Endpoint>> endpoints_;
};

} // namespace zr::mirror
