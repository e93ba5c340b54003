#pragma once

#include "history/ChartSeries.h"
#include "history/HistoryDatabase.h"
#include "history/HistoryExport.h"
#include "history/HistoryTableModel.h"
#include "history/MarkedPointModel.h"
#include "mirror/MirrorStatus.h"

#include <QObject>
#include <QTimer>
#include <memory>

namespace zr::common {
class MessageService;
}

namespace zr::history {

// The history window's behaviour without widgets: the journal it reads, the filter, the table's
// rows and the control charts of the filtered rows.
class HistoryController : public QObject {
    Q_OBJECT
public:
    HistoryController(common::MessageService& messages, HistoryExport exporter,
                      QObject* parent = nullptr);
    ~HistoryController() override;

    // Opens the journal at `path` for reading and shows its newest rows. A journal not made
    // yet is an empty history; one that cannot be read is reported and shows nothing.
    void open(const QString& path);
    bool isOpen() const { return database_ != nullptr; }

    HistoryTableModel& table() { return table_; }
    const HistoryFilter& filter() const { return filter_; }
    void setFilter(const HistoryFilter& filter);
    // How many rows the filter takes; absent until they are counted, just after the first page
    // is shown (a count reads every row the filter takes, a page only its own).
    std::optional<qint64> rowCount() const { return rowCount_; }
    // The grades, tanks or suppliers the journal holds, for the filter's lists.
    QStringList texts(HistoryColumn column);

    // The charts of the filtered rows with a value (deleted rows never count).
    const ControlChartData& charts() const { return charts_; }
    void setChartSettings(const BaselineChoice& baseline, double ewmaWeight);
    void rebuildCharts();
    // The filter in words: the chart's title.
    QString chartTitle() const;
    // The row of a chart's point, as its tooltip shows it.
    QString describePoint(int point);
    // The points that break a rule, with their rows, as a table.
    MarkedPointModel& markedPoints() { return markedPoints_; }

    // The rows of `table()` at `rows`, or every filtered row when `rows` is empty, reading the
    // pages not read yet.
    std::vector<HistoryRecord> rowsToExport(const std::vector<int>& rows);
    // Saves those rows; a file that cannot be written is reported.
    void exportRows(const std::vector<int>& rows, HistoryExport::Type type,
                    const QString& fileName);

    // Where the journal's server stands; absent without a server configured.
    const std::optional<mirror::MirrorStatus>& serverStatus() const { return serverStatus_; }
    void setServerStatus(const mirror::MirrorStatus& status);

signals:
    void rowsCounted();
    void chartsChanged();
    void serverStatusChanged();

private:
    void report(const QString& text);
    void count();

    common::MessageService& messages_;
    HistoryExport exporter_;
    QString path_;
    std::unique_ptr<HistoryDatabase> database_;
    HistoryTableModel table_;
    HistoryFilter filter_;
    std::optional<qint64> rowCount_;
    QTimer counting_;
    BaselineChoice baseline_;
    double ewmaWeight_ = quality::kDefaultEwmaWeight;
    ControlChartData charts_;
    MarkedPointModel markedPoints_;
    std::optional<mirror::MirrorStatus> serverStatus_;
};

} // namespace zr::history
