#include "app/MainWindow.h"

#include "records/Export.h"
#include "records/MeasurementTable.h"
#include "records/PrintReport.h"
#include "records/SelectionLists.h"
#include "records/StoredValues.h"
#include "records/views/StoredValuesBlock.h"
#include "records/views/TablePage.h"
#include "ui/StringGrid.h"

namespace zr::app {

void MainWindow::bindRecords() {
    const connection::ControllerContext context = controllerContext();
    export_ = std::make_unique<records::Export>(context);
    printReport_ = std::make_unique<records::PrintReport>(context);
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
