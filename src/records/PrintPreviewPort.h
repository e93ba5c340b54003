#pragma once

namespace zr::common {
class TextGrid;
}

namespace zr::records {

// The print preview of the measurement table, from which the user prints to a printer or a PDF
// file. Returns once the user has closed it.
class PrintPreviewPort {
public:
    virtual ~PrintPreviewPort() = default;
    virtual void showPreview(const common::TextGrid& table) = 0;
};

} // namespace zr::records
