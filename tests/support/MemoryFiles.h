#pragma once

#include "common/FileAccess.h"

#include <QHash>
#include <QSet>
#include <QStringList>
#include <new>
#include <optional>

namespace zr::test {

// Files held in memory; any path can be made to fail reading or writing, or every write can.
class MemoryFiles : public common::FileAccess {
public:
    bool exists(const QString& path) override { return files.contains(path); }
    common::FileRead read(const QString& path, qint64) override {
        if (exhausting.contains(path)) {
            throw std::bad_alloc();
        }
        common::FileRead result;
        if (unreadable.contains(path)) {
            result.outcome = common::FileRead::Outcome::Failed;
            result.error = QStringLiteral("Permission denied");
        } else if (files.contains(path)) {
            result.outcome = common::FileRead::Outcome::Read;
            result.bytes = files.value(path);
        }
        return result;
    }
    QString replace(const QString& path, const QByteArray& bytes) override {
        replaced << path;
        if (everyWriteFails || unwritable.contains(path)) {
            return writeFailure;
        }
        files.insert(path, bytes);
        return {};
    }

    // The file's content; nothing when there is no file.
    std::optional<QByteArray> file(const QString& path) const {
        return files.contains(path) ? std::optional(files.value(path)) : std::nullopt;
    }

    QHash<QString, QByteArray> files;
    QSet<QString> unreadable;
    // Reading these runs out of memory.
    QSet<QString> exhausting;
    QSet<QString> unwritable;
    bool everyWriteFails = false;
    QString writeFailure = QStringLiteral("No space left on device");
    // The path of every replacement tried, in order.
    QStringList replaced;
};

} // namespace zr::test
