#pragma once

// A PostgreSQL cluster of the test's own: made with initdb in a temporary directory, served on a
// free port and a private Unix socket, removed at the end. Run as root (as CI runs), the
// cluster's programs run as the `postgres` user Debian's package creates, since initdb refuses
// root. Without PostgreSQL installed (scripts/setup --test) it cannot be made: a failure, never
// a skip.

#include <QDir>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <stdexcept>

class QProcess;
struct pg_conn;

namespace zr::test {

// Fails the test that calls it when the cluster cannot be made.
class ClusterError : public std::runtime_error {
    using std::runtime_error::runtime_error;
};

class PgCluster {
public:
    struct Options {
        // TLS on the TCP port with a self-signed certificate made here.
        bool tls = false;
        // Off in tests: nothing here outlives the machine; on to measure a real server.
        bool fsync = false;
    };

    // The database the program writes to; `owner` owns it and may make the schema.
    static constexpr const char* kDatabase = "lab";
    static constexpr const char* kOwner = "zr_owner";

    // Throws std::runtime_error with what failed.
    explicit PgCluster(Options options);
    PgCluster() : PgCluster(Options{}) {}
    ~PgCluster();
    PgCluster(const PgCluster&) = delete;
    PgCluster& operator=(const PgCluster&) = delete;

    // A login role with a password, which the password file holds.
    void addRole(const QString& role, const QString& grants = {});
    // A connection string over the Unix socket as `role`, its password from the password file.
    QString connection(const QString& role = QString::fromLatin1(kOwner)) const;
    // Over TCP to localhost, a name to look up (TCP is the only way TLS is offered), with
    // `sslmode`.
    QString tcpConnection(const QString& role, const QString& sslmode) const;
    // A password file that holds the wrong password for every role.
    QString wrongPasswordFile() const;

    // SQL in the program's database as the superuser, or as `role`; the rows as text ("" for
    // null). Throws ClusterError with the server's message.
    QList<QStringList> query(const QString& sql, const QString& role = {}) const;
    void execute(const QString& sql, const QString& role = {}) const { query(sql, role); }

    // The postmaster killed with SIGKILL, as a crash or a power cut would end it.
    void kill();
    void stop();
    void start();
    bool running() const;

    int port() const { return port_; }

private:
    QList<QStringList> queryIn(const QString& database, const QString& sql,
                               const QString& role = {}) const;
    // The cluster's programs run as the server's user.
    bool exec(QProcess& process, const QString& program, const QStringList& arguments) const;
    QString run(const QString& program, const QStringList& arguments) const;
    QString binary(const QString& name) const;
    void makeCertificate();
    void closeConnections() const;

    Options options_;
    QTemporaryDir dir_{QDir::tempPath() + QStringLiteral("/pgcluster-XXXXXX")};
    QString bin_;
    QString data_;
    QString passwords_;
    int port_ = 0;
    // The connections query() keeps, by database and role.
    mutable QHash<QString, pg_conn*> connections_;
};

} // namespace zr::test
