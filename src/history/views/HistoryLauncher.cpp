#include "history/views/HistoryLauncher.h"

#include "history/views/HistoryWindowBuilder.h"
#include "journal/Journal.h"

#include <QDir>
#include <QPluginLoader>

namespace zr::history {

QString openHistoryWindow(QWidget* parent, const QString& dataDir,
                          common::MessageService& messages) {
    // The module stays loaded for the rest of the run: its window lives on.
    QPluginLoader module(QString::fromLatin1(kHistoryModuleName));
    auto* builder = qobject_cast<HistoryWindowBuilder*>(module.instance());
    if (!builder) {
        return QStringLiteral("История измерений не открывается: %1").arg(module.errorString());
    }
    builder->show(parent, QDir(dataDir).filePath(QString::fromLatin1(journal::kJournalFileName)),
                  messages);
    return {};
}

} // namespace zr::history
