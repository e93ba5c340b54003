#pragma once

#include "records/MeasurementRow.h"

namespace zr::records {

// The print preview of the measurement table, from which the user prints to a printer or a PDF
// file. Returns once the user has closed it.
class PrintPreviewPort {
public:
    virtual ~PrintPreviewPort() = default;
    virtual void showPreview(const MeasurementRows& rows) = 0;
};

} // namespace zr::records
