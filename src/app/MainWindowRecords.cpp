#include "app/MainWindow.h"

#include "app/Dialogs.h"
#include "app/ResultsBlock.h"
#include "records/Export.h"
#include "records/FileAccess.h"
#include "records/MeasurementTable.h"
#include "records/PrintReport.h"
#include "records/SelectionLists.h"
#include "records/StoredValues.h"
#include "records/views/ApplicationBusyCursor.h"
#include "records/views/NumberInputDialog.h"
#include "records/views/ReportPreviewWeb.h"
#include "records/views/SaveDialog.h"
#include "records/views/StoredValuesBlock.h"
#include "records/views/TablePage.h"
#include "records/views/TextInputDialog.h"
#include "records/xlsx/XlsxSpreadsheetServer.h"
#include "ui/StatusPanels.h"
#include "ui/StringGrid.h"

#include <QLabel>

namespace zr::app {

void MainWindow::bindRecords() {
    const connection::ControllerContext context = controllerContext();
    records::FileAccess& files = records::systemFiles();
    export_ = std::make_unique<records::Export>(records::Export::Ports{
        *tablePage_->grid(), *storedValuesBlock_->grid(), *saveDialog_,
        records::xlsxSpreadsheetServerFactory(files), files, records::applicationBusyCursor()});
    auto* web = new records::ReportPreviewWeb(this);
    web->setNavigateComplete([this] { invokeHandler(QStringLiteral("WebNavigateComplete2")); });
    printReport_ = std::make_unique<records::PrintReport>(
        context, records::PrintReport::Ports{*tablePage_->grid(), *web, files, context_.dataDir});
    selectionLists_ = std::make_unique<records::SelectionLists>(
        context, context_.dataDir,
        records::SelectionLists::Input{[this]() -> std::optional<int> {
                                           return dialogs_ ? dialogs_->form4->ask() : std::nullopt;
                                       },
                                       [this]() -> std::optional<QString> {
                                           return dialogs_ ? dialogs_->form5->ask() : std::nullopt;
                                       }});
    measurementTable_ = std::make_unique<records::MeasurementTable>(
        *tablePage_->grid(), *selectionLists_,
        [this] {
            return records::MeasurementTable::LiveCaptions{results_->methodLabel()->text(),
                                                           results_->valuePanel()->text()};
        },
        records::MeasurementTable::Commands{[this] { export_->SaveTable(); },
                                            [this] { printReport_->N15Click(); }});
    storedValues_ = std::make_unique<records::StoredValues>(
        context, *storedValuesBlock_->grid(), timerReadLog_, *measurementTable_,
        records::StoredValues::Progress{[this](const QString& text) {
                                            status_->setPanelText(0, text);
                                            status_->repaint();
                                        },
                                        [](bool busy) {
                                            records::BusyCursor& cursor =
                                                records::applicationBusyCursor();
                                            busy ? cursor.show() : cursor.restore();
                                        }});

    tablePage_->bindLists(*selectionLists_);
    connect(tablePage_, &records::TablePage::listItemPicked, this,
            [this](int list) { invokeHandler(QStringLiteral("ComboBox%1Select").arg(list)); });

    export_->registerHandlers(handlers_);
    printReport_->registerHandlers(handlers_);
    measurementTable_->registerHandlers(handlers_);
    storedValues_->registerHandlers(handlers_);
    selectionLists_->registerHandlers(handlers_);
}

} // namespace zr::app
