#include "calibration/CalibrationList.h"

#include "calibration/MeterCalibrations.h"
#include "calibration/Methods.h"
#include "common/HandlerRegistry.h"
#include "common/OneShotTimer.h"
#include "device/protocol/Commands.h"
#include "device/protocol/MemoryMap.h"

namespace zr::calibration {

using protocol::meter::kSlotsPerMethod;

CalibrationList::CalibrationList(connection::ControllerContext context,
                                 MeterCalibrations& calibrations,
                                 common::OneShotTimer& calibrationListTimer,
                                 std::function<void()> openLibrary)
    : context_(context), calibrations_(calibrations), calibrationListTimer_(calibrationListTimer),
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

// What was typed over the row goes too.
void CalibrationList::clearRow(int slot) {
    model_.setRow(slot - 1, {});
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
    calibrations_.beginRead(m, context_.state.meterAttachment);
    for (int slot = 1; slot <= kSlotsPerMethod; ++slot) {
        clearRow(slot);
        protocol::CalibrationSlot request;
        request.slot = slot;
        request.method = m;
        context_.commands.requestCalibrationEntry(request);
    }
}

void CalibrationList::receiveCalibrationSlot(const protocol::CalibrationSlot& entry) {
    calibrations_.entryReported(entry);
    if (!isSlot(entry.slot)) {
        return;
    }
    // The row shows the entry whatever its method: the meter answered for this slot.
    model_.setRow(entry.slot - 1, {entry, {}});
}

void CalibrationList::addCalibrationFromLibrary() {
    if (openLibrary_) {
        openLibrary_();
    }
    clearSlotRows();
    calibrationListTimer_.enable();
}

void CalibrationList::deleteAllCalibrations() {
    // The method the user was asked about, whatever the meter reports while the question is open.
    const int m = method();
    if (!context_.messages.confirm(QString::fromUtf8(calibration_list::kDeleteAllQuestion))) {
        return;
    }
    if (method() != m) {
        context_.messages.inform(QString::fromUtf8(calibration_list::kMethodChangedText));
        return;
    }
    context_.commands.eraseCalibrations(protocol::eraseOffsetForMethod(m));
    context_.commands.writeByte(protocol::memory::calibrationInForceAddress(m),
                                protocol::memory::kNone);
    // Arms the refresh, so the emptied list is read back.
    context_.commands.selectMethod(m);
}

void CalibrationList::applySelectedCalibration() {
    const int m = method();
    if (isCalibratedMethod(m)) {
        const int row = model_.currentRow() + 1;
        // Only a slot the meter has reported at some time: the tables outlive a refresh.
        if (isSlot(row) && isSlot(calibrations_.tables().at(m, row).slot)) {
            context_.commands.writeByte(protocol::memory::calibrationInForceAddress(m), row);
        }
    }
    model_.redraw();
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
    model_.redraw();
}

void CalibrationList::cancelCalibrationInForceUnchecked() {
    // The context-menu variant: for whatever method the meter reported, the grid is left alone.
    context_.commands.writeByte(protocol::memory::calibrationInForceAddress(method()),
                                protocol::memory::kNone);
}

} // namespace zr::calibration
