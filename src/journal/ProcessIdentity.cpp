#include "journal/ProcessIdentity.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>

namespace zr::journal {

namespace {

QString firstLine(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readLine()).trimmed()
                                          : QString();
}

QString bootId() {
    return firstLine(QStringLiteral("/proc/sys/kernel/random/boot_id"));
}

// The fields of /proc/<pid>/stat after the command name, from the state (field 3) on. The name
// in parentheses may hold spaces; the fields after it do not.
QStringList statFields(qint64 process) {
    const QString stat = firstLine(QStringLiteral("/proc/%1/stat").arg(process));
    const qsizetype close = stat.lastIndexOf(u')');
    return close < 0 ? QStringList() : stat.mid(close + 2).split(u' ');
}

// Field 22, the start; field 3, the state.
constexpr qsizetype kStartField = 22 - 3;
constexpr qsizetype kStateField = 0;

} // namespace

ProcessIdentity ProcessIdentity::current() {
    return of(QCoreApplication::applicationPid());
}

ProcessIdentity ProcessIdentity::of(qint64 process) {
    return {process, bootId(), statFields(process).value(kStartField)};
}

bool ProcessIdentity::isRunning() const {
    if (started.isEmpty() || boot != bootId()) {
        return false;
    }
    const QStringList fields = statFields(process);
    // Z: ended, waiting for its parent; X: being removed.
    const QString state = fields.value(kStateField);
    return fields.value(kStartField) == started && state != QLatin1String("Z") &&
           state != QLatin1String("X");
}

} // namespace zr::journal
