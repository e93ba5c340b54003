#include "app/MainWindow.h"

#include "records/Export.h"
#include "records/FileWriter.h"
#include "records/MeasurementTable.h"
#include "records/PrintReport.h"
#include "records/SelectionLists.h"
#include "records/StoredValues.h"
#include "records/views/ApplicationBusyCursor.h"
#include "records/views/ReportPreviewWeb.h"
#include "records/views/SaveDialog.h"
#include "records/views/StoredValuesBlock.h"
#include "records/views/TablePage.h"
#include "records/xlsx/XlsxSpreadsheetServer.h"
#include "ui/StringGrid.h"

namespace zr::app {

void MainWindow::bindRecords() {
    const connection::ControllerContext context = controllerContext();
    records::FileWriter& files = records::systemFileWriter();
    export_ = std::make_unique<records::Export>(
        context, records::Export::Ports{*tablePage_->grid(), *storedValuesBlock_->grid(),
                                        *saveDialog_, records::xlsxSpreadsheetServerFactory(files),
                                        files, records::applicationBusyCursor()});
    auto* web = new records::ReportPreviewWeb(this);
    web->setNavigateComplete([this] { invokeHandler(QStringLiteral("WebNavigateComplete2")); });
    printReport_ = std::make_unique<records::PrintReport>(
        context, records::PrintReport::Ports{*tablePage_->grid(), *web, files, context_.dataDir});
    measurementTable_ = std::make_unique<records::MeasurementTable>(
        context, *tablePage_->grid(),
        records::MeasurementTable::Commands{[this] { export_->SaveTable(); },
                                            [this] { printReport_->N15Click(); }});
    storedValues_ = std::make_unique<records::StoredValues>(context, *storedValuesBlock_->grid(),
                                                            timerReadLog_, *measurementTable_);
    selectionLists_ = std::make_unique<records::SelectionLists>(context, context_.dataDir);

    export_->registerHandlers(handlers_);
    printReport_->registerHandlers(handlers_);
    measurementTable_->registerHandlers(handlers_);
    storedValues_->registerHandlers(handlers_);
}

} // namespace zr::app
