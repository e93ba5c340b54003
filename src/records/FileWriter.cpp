#include "records/FileWriter.h"

#include <QSaveFile>
#include <cerrno>
#include <cstring>

namespace zr::records {

namespace {

// QSaveFile reports some failures in its own words; the user is told the system's reason
// whenever the system gave one.
QString reason(const QSaveFile& file, int error) {
    if (error != 0) {
        return QString::fromLocal8Bit(std::strerror(error));
    }
    return file.errorString();
}

} // namespace

QString SaveFileWriter::write(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly)) {
        return reason(file, errno);
    }
    errno = 0;
    if (file.write(bytes) != bytes.size()) {
        const int error = errno;
        file.cancelWriting();
        return reason(file, error);
    }
    errno = 0;
    if (!file.commit()) {
        return reason(file, errno);
    }
    return QString();
}

FileWriter& systemFileWriter() {
    static SaveFileWriter writer;
    return writer;
}

QString cannotCreateFileMessage(const QString& path, const QString& reason) {
    return QStringLiteral("Cannot create file \"%1\". %2").arg(path, reason);
}

} // namespace zr::records
