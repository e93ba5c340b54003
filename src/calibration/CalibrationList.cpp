#include "calibration/CalibrationList.h"

#include "calibration/Methods.h"
#include "common/Cp1251.h"
#include "common/HandlerRegistry.h"
#include "common/OneShotTimer.h"
#include "common/TextGrid.h"
#include "device/protocol/Commands.h"
#include "device/protocol/MemoryMap.h"

namespace zr::calibration {

using protocol::meter::kSlotsPerMethod;

namespace {

constexpr bool isSlot(int slot) {
    return slot >= 1 && slot <= kSlotsPerMethod;
}

} // namespace

CalibrationList::CalibrationList(connection::ControllerContext context, common::TextGrid& grid,
                                 common::OneShotTimer& calibrationListTimer,
                                 std::function<void()> openLibrary)
    : context_(context), grid_(grid), calibrationListTimer_(calibrationListTimer),
      openLibrary_(std::move(openLibrary)) {}

void CalibrationList::registerHandlers(common::HandlerRegistry& handlers) {
    handlers.add("addCalibrationFromLibrary", [this](int) { addCalibrationFromLibrary(); });
    handlers.add("deleteAllCalibrations", [this](int) { deleteAllCalibrations(); });
    handlers.add("applySelectedCalibration", [this](int) { applySelectedCalibration(); });
    handlers.add("refreshCalibrationList", [this](int) { refreshCalibrationList(); });
    handlers.add("cancelCalibrationInForce", [this](int) { cancelCalibrationInForce(); });
    handlers.add("cancelCalibrationInForceUnchecked",
                 [this](int) { cancelCalibrationInForceUnchecked(); });
}

int CalibrationList::method() const {
    return context_.state.status.method;
}

int CalibrationList::rowInForce() const {
    return context_.state.status.activeTable;
}

void CalibrationList::clearRow(int row) {
    for (int column = 0; column < kGridColumns; ++column) {
        grid_.setCell(column, row, QString());
    }
}

void CalibrationList::clearSlotRows() {
    for (int row = 1; row <= kSlotsPerMethod; ++row) {
        clearRow(row);
    }
}

void CalibrationList::requestCalibrationEntries() {
    requestCalibrationEntries(method());
}

void CalibrationList::requestCalibrationEntries(int m) {
    if (!isMethod(m)) {
        return;
    }
    context_.state.lastSlot = 0;
    for (int slot = 1; slot <= kSlotsPerMethod; ++slot) {
        clearRow(slot);
        protocol::CalibrationSlot request;
        request.slot = slot;
        request.method = m;
        context_.commands.requestCalibrationEntry(request);
    }
}

void CalibrationList::receiveCalibrationSlot(const protocol::CalibrationSlot& entry) {
    connection::CalibrationTables& tables = context_.state.calibrationTables;
    if (tables.holds(entry.method, entry.slot)) {
        tables.at(entry.method, entry.slot) = entry;
    }
    if (!isSlot(entry.slot)) {
        return;
    }
    // The row shows the entry whatever its method: the meter answered for this slot.
    context_.state.lastSlot = entry.slot;
    grid_.setCell(0, entry.slot, QString::number(entry.slot));
    grid_.setCell(1, entry.slot, common::fromCp1251(entry.name));
    grid_.setCell(2, entry.slot, QString::number(entry.k1));
    grid_.setCell(3, entry.slot, QString::number(entry.k2));
}

void CalibrationList::addCalibrationFromLibrary() {
    if (openLibrary_) {
        openLibrary_();
    }
    clearSlotRows();
    calibrationListTimer_.enable();
}

void CalibrationList::deleteAllCalibrations() {
    if (!context_.messages.confirm(QString::fromUtf8(calibration_list::kDeleteAllQuestion))) {
        return;
    }
    const int m = method();
    context_.commands.eraseCalibrations(protocol::eraseOffsetForMethod(m));
    context_.commands.writeByte(protocol::memory::calibrationInForceAddress(m),
                                protocol::memory::kNone);
    // Arms the refresh, so the emptied list is read back.
    context_.commands.selectMethod(m);
}

void CalibrationList::applySelectedCalibration() {
    const int m = method();
    if (isCalibratedMethod(m)) {
        const int row = grid_.currentGridRow();
        // Only a slot the meter has reported at some time: the tables outlive a refresh.
        if (isSlot(row) && isSlot(context_.state.calibrationTables.at(m, row).slot)) {
            context_.commands.writeByte(protocol::memory::calibrationInForceAddress(m), row);
        }
    }
    grid_.redraw();
}

void CalibrationList::refreshCalibrationList() {
    calibrationListTimer_.enable();
}

void CalibrationList::cancelCalibrationInForce() {
    const int m = method();
    if (isCalibratedMethod(m)) {
        context_.commands.writeByte(protocol::memory::calibrationInForceAddress(m),
                                    protocol::memory::kNone);
    }
    grid_.redraw();
}

void CalibrationList::cancelCalibrationInForceUnchecked() {
    // The context-menu variant: for whatever method the meter reported, the grid is left alone.
    context_.commands.writeByte(protocol::memory::calibrationInForceAddress(method()),
                                protocol::memory::kNone);
}

} // namespace zr::calibration
