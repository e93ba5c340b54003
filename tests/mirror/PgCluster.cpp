#include "mirror/PgCluster.h"

#include "support/WaitFor.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTextStream>
#include <algorithm>
#include <arpa/inet.h>
#include <csignal>
#include <libpq-fe.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace zr::test {

namespace {

constexpr const char* kSuperuser = "zr";
constexpr int kCommandTimeoutMs = 120000;

bool asRoot() {
    return ::geteuid() == 0;
}

// The newest PostgreSQL server installed the Debian way.
QString serverBinaries() {
    QDir versions(QStringLiteral("/usr/lib/postgresql"));
    QStringList found = versions.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCollator numeric;
    numeric.setNumericMode(true);
    std::sort(found.begin(), found.end(), numeric);
    for (auto v = found.crbegin(); v != found.crend(); ++v) {
        const QString bin = versions.filePath(*v + QStringLiteral("/bin"));
        if (QFile::exists(bin + QStringLiteral("/initdb"))) {
            return bin;
        }
    }
    throw ClusterError("PostgreSQL's server is not installed (scripts/setup --test installs it)");
}

int freePort() {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (s < 0 || ::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        throw ClusterError("no free port");
    }
    ::close(s);
    return ntohs(address.sin_port);
}

void writeFile(const QString& path, const QByteArray& text, bool append = false) {
    QFile file(path);
    if (!file.open(append ? QIODevice::Append : QIODevice::WriteOnly) || file.write(text) < 0) {
        throw ClusterError(("cannot write " + path).toStdString());
    }
}

// Gone, or a zombie that nobody collects: it serves nothing any more.
bool processEnded(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) {
        return true;
    }
    const QByteArray text = stat.readAll();
    const qsizetype close = text.lastIndexOf(')');
    return close < 0 || text.mid(close + 2, 1) == "Z";
}

QList<qint64> childrenOf(qint64 parent) {
    QList<qint64> children;
    const QStringList processes =
        QDir(QStringLiteral("/proc")).entryList({QStringLiteral("[0-9]*")}, QDir::Dirs);
    for (const QString& process : processes) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(process));
        if (!stat.open(QIODevice::ReadOnly)) {
            continue;
        }
        const QByteArray text = stat.readAll();
        // pid (name) state ppid …
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1 && fields.at(1).toLongLong() == parent) {
            children << process.toLongLong();
        }
    }
    return children;
}

} // namespace

PgCluster::PgCluster(Options options) : options_(options) {
    if (!dir_.isValid()) {
        throw ClusterError("no temporary directory");
    }
    bin_ = serverBinaries();
    if (asRoot()) {
        const passwd* server = ::getpwnam("postgres");
        if (!server || ::chown(QFile::encodeName(dir_.path()).constData(), server->pw_uid,
                               server->pw_gid) != 0) {
            throw ClusterError("no user postgres to run the cluster as");
        }
    }
    data_ = dir_.filePath(QStringLiteral("data"));
    passwords_ = dir_.filePath(QStringLiteral("passwords"));
    writeFile(passwords_, {});
    QFile::setPermissions(passwords_, QFile::ReadOwner | QFile::WriteOwner);
    port_ = freePort();
    run(binary(QStringLiteral("initdb")),
        {QStringLiteral("-D"), data_, QStringLiteral("-U"), QString::fromLatin1(kSuperuser),
         QStringLiteral("--auth-local=trust"), QStringLiteral("--no-sync"),
         QStringLiteral("--no-locale"), QStringLiteral("-E"), QStringLiteral("UTF8")});
    QByteArray access = "local all zr trust\n"
                        "local all all scram-sha-256\n";
    access += options_.tls ? "hostssl all all 127.0.0.1/32 scram-sha-256\n"
                           : "host all all 127.0.0.1/32 scram-sha-256\n";
    writeFile(data_ + QStringLiteral("/pg_hba.conf"), access);
    QByteArray settings = "listen_addresses = '127.0.0.1'\n"
                          "port = " +
                          QByteArray::number(port_) + "\nunix_socket_directories = '" +
                          QFile::encodeName(dir_.path()) +
                          "'\n"
                          "shared_buffers = 16MB\nmax_connections = 20\n";
    settings += options_.fsync ? "fsync = on\n" : "fsync = off\nfull_page_writes = off\n";
    if (options_.tls) {
        makeCertificate();
        settings += "ssl = on\nssl_cert_file = 'server.crt'\nssl_key_file = 'server.key'\n";
    }
    writeFile(data_ + QStringLiteral("/postgresql.conf"), settings, true);
    start();

    const QString sql = QStringLiteral("CREATE ROLE %1 LOGIN PASSWORD 'pw-%1'; "
                                       "CREATE DATABASE %2 OWNER %1")
                            .arg(QLatin1String(kOwner), QLatin1String(kDatabase));
    for (const QString& statement : sql.split(QStringLiteral("; "))) {
        queryIn(QStringLiteral("postgres"), statement);
    }
    writeFile(passwords_, QStringLiteral("*:*:*:%1:pw-%1\n").arg(QLatin1String(kOwner)).toUtf8(),
              true);
}

PgCluster::~PgCluster() {
    closeConnections();
    try {
        if (running()) {
            run(binary(QStringLiteral("pg_ctl")),
                {QStringLiteral("-D"), data_, QStringLiteral("-m"), QStringLiteral("immediate"),
                 QStringLiteral("-w"), QStringLiteral("stop")});
        }
    } catch (const ClusterError&) {
        // The directory goes all the same; a postmaster left without it ends by itself.
    }
}

QString PgCluster::binary(const QString& name) const {
    return bin_ + QLatin1Char('/') + name;
}

bool PgCluster::exec(QProcess& process, const QString& program,
                     const QStringList& arguments) const {
    process.setProcessChannelMode(QProcess::MergedChannels);
    if (asRoot()) {
        process.start(QStringLiteral("runuser"),
                      QStringList{QStringLiteral("-u"), QStringLiteral("postgres"),
                                  QStringLiteral("--"), program} +
                          arguments);
    } else {
        process.start(program, arguments);
    }
    return process.waitForFinished(kCommandTimeoutMs) &&
           process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

QString PgCluster::run(const QString& program, const QStringList& arguments) const {
    QProcess process;
    if (!exec(process, program, arguments)) {
        throw ClusterError(QStringLiteral("%1 %2 failed: %3")
                               .arg(program, arguments.join(QLatin1Char(' ')),
                                    QString::fromLocal8Bit(process.readAll()))
                               .toStdString());
    }
    return QString::fromLocal8Bit(process.readAll());
}

void PgCluster::makeCertificate() {
    run(QStringLiteral("openssl"),
        {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
         QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
         QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
         QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
         QStringLiteral("/CN=localhost"), QStringLiteral("-keyout"),
         data_ + QStringLiteral("/server.key"), QStringLiteral("-out"),
         data_ + QStringLiteral("/server.crt")});
    // The server refuses a key others may read.
    QFile::setPermissions(data_ + QStringLiteral("/server.key"),
                          QFile::ReadOwner | QFile::WriteOwner);
}

void PgCluster::start() {
    // After a kill, the killed server's backends take a moment to notice and free its memory.
    QString failure;
    const bool started = waitFor(
        [&] {
            try {
                run(binary(QStringLiteral("pg_ctl")),
                    {QStringLiteral("-D"), data_, QStringLiteral("-l"),
                     dir_.filePath(QStringLiteral("server.log")), QStringLiteral("-w"),
                     QStringLiteral("-t"), QStringLiteral("60"), QStringLiteral("start")});
                return true;
            } catch (const ClusterError& error) {
                failure = QString::fromUtf8(error.what());
                return false;
            }
        },
        60000);
    if (!started) {
        throw ClusterError(failure.toStdString());
    }
}

void PgCluster::closeConnections() const {
    for (PGconn* conn : std::as_const(connections_)) {
        PQfinish(conn);
    }
    connections_.clear();
}

void PgCluster::stop() {
    closeConnections();
    run(binary(QStringLiteral("pg_ctl")),
        {QStringLiteral("-D"), data_, QStringLiteral("-m"), QStringLiteral("fast"),
         QStringLiteral("-w"), QStringLiteral("stop")});
}

void PgCluster::kill() {
    closeConnections();
    QFile pidFile(data_ + QStringLiteral("/postmaster.pid"));
    if (!pidFile.open(QIODevice::ReadOnly)) {
        throw ClusterError("the server does not run");
    }
    const qint64 pid = pidFile.readLine().trimmed().toLongLong();
    pidFile.close();
    const QList<qint64> children = childrenOf(pid);
    if (pid <= 0 || ::kill(static_cast<pid_t>(pid), SIGKILL) != 0 ||
        !waitFor([pid] { return processEnded(pid); }, 60000)) {
        throw ClusterError("the server could not be killed");
    }
    // Its backends end once they notice; until then the next server cannot start.
    if (!waitFor([&] { return std::all_of(children.cbegin(), children.cend(), processEnded); },
                 60000)) {
        throw ClusterError("the killed server's processes do not end");
    }
    // A killed server nobody has collected still looks alive to the next one's check.
    if (QFile::exists(QStringLiteral("/proc/%1").arg(pid))) {
        QFile::remove(data_ + QStringLiteral("/postmaster.pid"));
    }
}

bool PgCluster::running() const {
    QProcess status;
    return exec(status, binary(QStringLiteral("pg_ctl")),
                {QStringLiteral("-D"), data_, QStringLiteral("status")});
}

void PgCluster::addRole(const QString& role, const QString& grants) {
    execute(QStringLiteral("CREATE ROLE %1 LOGIN PASSWORD 'pw-%1' %2").arg(role, grants));
    writeFile(passwords_, QStringLiteral("*:*:*:%1:pw-%1\n").arg(role).toUtf8(), true);
}

QString PgCluster::connection(const QString& role) const {
    return QStringLiteral("host=%1 port=%2 dbname=%3 user=%4 passfile=%5")
        .arg(dir_.path())
        .arg(port_)
        .arg(QLatin1String(kDatabase), role, passwords_);
}

QString PgCluster::tcpConnection(const QString& role, const QString& sslmode) const {
    return QStringLiteral("host=localhost port=%1 dbname=%2 user=%3 passfile=%4 sslmode=%5")
        .arg(port_)
        .arg(QLatin1String(kDatabase), role, passwords_, sslmode);
}

QString PgCluster::wrongPasswordFile() const {
    const QString path = dir_.filePath(QStringLiteral("wrong-passwords"));
    writeFile(path, "*:*:*:*:wrong\n");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    return path;
}

QList<QStringList> PgCluster::query(const QString& sql, const QString& role) const {
    return queryIn(QString::fromLatin1(kDatabase), sql, role);
}

QList<QStringList> PgCluster::queryIn(const QString& database, const QString& sql,
                                      const QString& role) const {
    const QString user = role.isEmpty() ? QString::fromLatin1(kSuperuser) : role;
    // One connection per database and role, kept: a test waiting on the server's rows asks
    // many times a second, and a new backend for each would soon fill max_connections with
    // backends still exiting on a busy machine.
    PGconn*& conn = connections_[database + QLatin1Char('/') + user];
    if (!conn || PQstatus(conn) != CONNECTION_OK) {
        PQfinish(conn);
        const QByteArray connection =
            QStringLiteral("host=%1 port=%2 dbname=%3 user=%4 passfile=%5")
                .arg(dir_.path())
                .arg(port_)
                .arg(database, user, passwords_)
                .toUtf8();
        conn = PQconnectdb(connection.constData());
        if (PQstatus(conn) != CONNECTION_OK) {
            const QString refused = QString::fromUtf8(PQerrorMessage(conn));
            PQfinish(conn);
            conn = nullptr;
            throw ClusterError((sql + QStringLiteral(": ") + refused).toStdString());
        }
    }
    PGresult* result = PQexec(conn, sql.toUtf8().constData());
    const ExecStatusType status = PQresultStatus(result);
    QList<QStringList> rows;
    QString error;
    if (status == PGRES_TUPLES_OK) {
        for (int r = 0; r < PQntuples(result); ++r) {
            QStringList row;
            for (int c = 0; c < PQnfields(result); ++c) {
                row << QString::fromUtf8(PQgetvalue(result, r, c));
            }
            rows << row;
        }
    } else if (status != PGRES_COMMAND_OK) {
        error = QString::fromUtf8(PQerrorMessage(conn));
    }
    PQclear(result);
    if (!error.isEmpty()) {
        throw ClusterError((sql + QStringLiteral(": ") + error).toStdString());
    }
    return rows;
}

} // namespace zr::test
