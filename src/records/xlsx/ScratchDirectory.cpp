#include "records/xlsx/ScratchDirectory.h"

#include "common/SystemError.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

namespace zr::records {
namespace {

constexpr QLatin1StringView kPrefix("zr6040-workbook-");

bool processRuns(pid_t pid) {
    // EPERM: it runs, as another user.
    return ::kill(pid, 0) == 0 || errno != ESRCH;
}

// A directory of ours, not a link or a file someone else planted under the shared name.
bool isOwnDirectory(const QByteArray& path) {
    struct stat status {};
    return ::lstat(path.constData(), &status) == 0 && S_ISDIR(status.st_mode) &&
           status.st_uid == ::getuid();
}

void removeThoseOfEndedProcesses(const QDir& root) {
    const QStringList names =
        root.entryList({kPrefix + QLatin1Char('*')}, QDir::Dirs | QDir::Hidden | QDir::NoSymLinks);
    for (const QString& name : names) {
        bool number = false;
        const qlonglong pid = name.mid(kPrefix.size()).toLongLong(&number);
        if (!number || pid <= 0 || pid == ::getpid() || processRuns(static_cast<pid_t>(pid))) {
            continue;
        }
        const QString path = root.filePath(name);
        if (isOwnDirectory(QFile::encodeName(path))) {
            QDir(path).removeRecursively();
        }
    }
}

} // namespace

ScratchDirectory::ScratchDirectory(const QString& root) {
    const QDir rootDir(root);
    removeThoseOfEndedProcesses(rootDir);
    path_ = rootDir.filePath(kPrefix + QString::number(::getpid()));
    const QByteArray encoded = QFile::encodeName(path_);
    if (::mkdir(encoded.constData(), 0700) != 0 && errno != EEXIST) {
        error_ = common::systemErrorText(errno);
        return;
    }
    if (!isOwnDirectory(encoded)) {
        error_ = common::systemErrorText(EEXIST);
    }
}

ScratchDirectory::~ScratchDirectory() {
    if (isReady()) {
        QDir(path_).removeRecursively();
    }
}

} // namespace zr::records
