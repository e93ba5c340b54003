#pragma once

#include "history/HistoryController.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QTableView;

namespace zr::history {

class ControlChartView;

// The history window: every row of the journal, newest first, filtered and sorted, exported;
// and the control charts of the filtered rows. A view of HistoryController.
class HistoryWindow : public QWidget {
    Q_OBJECT
public:
    HistoryWindow(HistoryController& controller, common::MessageService& messages,
                  QWidget* parent = nullptr);

    // Reads the journal again, keeping the filter: what the program wrote since shows.
    void refresh();

private:
    QWidget* buildFilters();
    QWidget* buildTablePage();
    QWidget* buildChartPage();
    void fillTextFilters();
    void applyFilter();
    void applyChartSettings();
    void showCharts();
    void showRowCount();
    void showServerStatus();
    void exportRows();
    void saveChart();
    void printChart();

    HistoryController& controller_;
    common::MessageService& messages_;

    QCheckBox* sinceOn_ = nullptr;
    QDateEdit* since_ = nullptr;
    QCheckBox* untilOn_ = nullptr;
    QDateEdit* until_ = nullptr;
    QLineEdit* number_ = nullptr;
    QComboBox* grade_ = nullptr;
    QComboBox* tank_ = nullptr;
    QComboBox* supplier_ = nullptr;
    QComboBox* method_ = nullptr;
    QCheckBox* deleted_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QTableView* table_ = nullptr;
    QLabel* rowCount_ = nullptr;
    QLabel* serverStatus_ = nullptr;

    QRadioButton* firstPoints_ = nullptr;
    QSpinBox* baselinePoints_ = nullptr;
    QDateEdit* baselineSince_ = nullptr;
    QDateEdit* baselineUntil_ = nullptr;
    QDoubleSpinBox* ewmaWeight_ = nullptr;
    ControlChartView* chart_ = nullptr;
    QLabel* chartSummary_ = nullptr;
    QTableView* markedPoints_ = nullptr;

    // The charts follow the filter only while their page is shown.
    bool chartsStale_ = true;
    bool filling_ = false;
};

} // namespace zr::history
