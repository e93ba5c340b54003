#include "history/views/HistoryLauncher.h"

#include "history/views/HistoryWindowBuilder.h"
#include "journal/Journal.h"

#include <QDir>
#include <QPluginLoader>

namespace zr::history {

QString HistoryLauncher::open(QWidget* parent, const QString& dataDir,
                              common::MessageService& messages) {
    if (!builder_) {
        // The module stays loaded for the rest of the run: its window lives on.
        QPluginLoader module(QString::fromLatin1(kHistoryModuleName));
        builder_ = qobject_cast<HistoryWindowBuilder*>(module.instance());
        if (!builder_) {
            return QStringLiteral("История измерений не открывается: %1").arg(module.errorString());
        }
    }
    builder_->show(parent, QDir(dataDir).filePath(QString::fromLatin1(journal::kJournalFileName)),
                   messages, serverStatus_);
    return {};
}

void HistoryLauncher::showServerStatus(const mirror::MirrorStatus& status) {
    serverStatus_ = status;
    if (builder_) {
        builder_->showServerStatus(status);
    }
}

} // namespace zr::history
