#include "sim/MeterModel.h"

#include "device/protocol/ByteOrder.h"
#include "device/protocol/Commands.h"
#include "device/protocol/MemoryMap.h"
#include "device/protocol/Replies.h"

#include <algorithm>
#include <cmath>

namespace zr::sim {

namespace memory = protocol::memory;
namespace command = protocol::command;
using protocol::ReportBuffer;

namespace {

constexpr int kEraseOffsetStep = protocol::eraseOffsetForMethod(2);

ReportBuffer replyBuffer(std::uint8_t code) {
    ReportBuffer buffer{};
    buffer[1] = code;
    return buffer;
}

} // namespace

MeterModel::MeterModel() {
    for (int method = 1; method <= kHighestMethod; ++method) {
        memory_[static_cast<std::size_t>(memory::calibrationInForceAddress(method))] =
            memory::kNone;
    }
}

std::uint8_t MeterModel::memoryByte(int address) const {
    return memory_.at(static_cast<std::size_t>(address));
}

void MeterModel::setMemoryByte(int address, std::uint8_t value) {
    memory_.at(static_cast<std::size_t>(address)) = value;
}

void MeterModel::setMethod(int method) {
    if (method >= 1 && method <= kHighestMethod) {
        method_ = method;
    }
}

std::optional<protocol::CalibrationSlot> MeterModel::calibration(int method, int slot) const {
    if (!isCalibrated(method) || !isSlot(slot)) {
        return std::nullopt;
    }
    const auto& stored =
        slots_[static_cast<std::size_t>(method - 1)][static_cast<std::size_t>(slot - 1)];
    if (!stored) {
        return std::nullopt;
    }
    return protocol::CalibrationSlot{slot, std::string(stored->name.begin(), stored->name.end()),
                                     method, stored->k1, stored->k2};
}

void MeterModel::storeCalibration(const protocol::CalibrationSlot& entry) {
    if (!isCalibrated(entry.method) || !isSlot(entry.slot)) {
        return;
    }
    StoredEntry stored;
    stored.name.fill(' ');
    std::copy_n(entry.name.begin(), std::min(entry.name.size(), stored.name.size()),
                stored.name.begin());
    stored.k1 = entry.k1;
    stored.k2 = entry.k2;
    slots_[static_cast<std::size_t>(entry.method - 1)][static_cast<std::size_t>(entry.slot - 1)] =
        stored;
}

void MeterModel::eraseCalibrations(int method) {
    if (isCalibrated(method)) {
        slots_[static_cast<std::size_t>(method - 1)].fill(std::nullopt);
    }
}

float MeterModel::correction(int method) const {
    if (method < 1 || method > kHighestMethod) {
        return 0.0f;
    }
    return protocol::readFloat(
        &memory_[static_cast<std::size_t>(memory::correctionAddress(method))]);
}

int MeterModel::activeTable() const {
    const int inForce =
        memory_[static_cast<std::size_t>(memory::calibrationInForceAddress(method_))];
    return isSlot(inForce) ? inForce : 0;
}

const MeterModel::StoredEntry* MeterModel::entryInForce() const {
    const int slot = activeTable();
    if (!isCalibrated(method_) || slot == 0) {
        return nullptr;
    }
    const auto& stored =
        slots_[static_cast<std::size_t>(method_ - 1)][static_cast<std::size_t>(slot - 1)];
    return stored ? &*stored : nullptr;
}

double MeterModel::measuredValue(double raw) const {
    double value = raw;
    if (const StoredEntry* entry = entryInForce()) {
        // K1 is the slope in thousandths, K2 the offset in tenths.
        value = raw * entry->k1 / 1000.0 + entry->k2 / 10.0;
    }
    const float methodCorrection = correction(method_);
    // Bytes written by hand may not form a number; the meter then measures without correction.
    return std::isfinite(methodCorrection) ? value + methodCorrection : value;
}

ReportBuffer MeterModel::statusReport() {
    const MeterSample::Reading reading = sample_.read();
    ReportBuffer report = replyBuffer(protocol::reply::kStatusReport);
    protocol::writeUint16(&report[2], reading.frequency);
    report[4] = static_cast<std::uint8_t>(method_);
    protocol::writeFloat(&report[5], static_cast<float>(measuredValue(reading.raw)));
    protocol::writeFloat(&report[9], correction(method_));
    report[13] = static_cast<std::uint8_t>(activeTable());
    // The count is reported as it stands, 255 after the stored values were erased.
    report[14] = memory_[memory::kStoredCountAddress];
    return report;
}

std::optional<ReportBuffer> MeterModel::handleCommand(const std::uint8_t* report,
                                                      std::size_t length) {
    ReportBuffer received{};
    std::copy_n(report, std::min(length, received.size()), received.begin());
    if (length < 2) {
        return std::nullopt;
    }
    switch (received[1]) {
    case command::kEraseCalibrations:
        eraseAtOffset(protocol::readUint16(&received[2]));
        return std::nullopt;
    case command::kCommitCorrection:
        ++commitCount_;
        return std::nullopt;
    case command::kSelectMethod:
        setMethod(received[2]);
        return std::nullopt;
    case command::kReadByte: {
        ReportBuffer reply = replyBuffer(protocol::reply::kByteValue);
        reply[2] = memory_[received[2]];
        reply[3] = protocol::kByteValueFlag;
        return reply;
    }
    case command::kWriteByte:
        memory_[received[2]] = received[3];
        return std::nullopt;
    case command::kReadStoredValues:
        return readStoredValues(received[2]);
    case command::kRequestCalibrationEntry:
        return calibrationEntryReply(received[protocol::calibration_entry::kMethod],
                                     received[protocol::calibration_entry::kSlot]);
    case command::kWriteCalibrationEntry:
        storeCalibration(*protocol::decodeCalibrationEntry(&received[1], received.size() - 1));
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

void MeterModel::eraseAtOffset(int offset) {
    if (offset % kEraseOffsetStep == 0) {
        eraseCalibrations(offset / kEraseOffsetStep + 1);
    }
}

// The page holds the 50 bytes from the start address on. 155 and 205 give records 1-5 and
// 6-10; any other start gives the bytes found there, and zeros past the end of memory.
std::optional<ReportBuffer> MeterModel::readStoredValues(int startAddress) const {
    ReportBuffer page = replyBuffer(protocol::reply::kStoredValuesPage);
    constexpr int kPageBytes = memory::kRecordsPerPage * memory::kRecordSize;
    for (int i = 0; i < kPageBytes; ++i) {
        const int address = startAddress + i;
        if (address < memory::kSize) {
            page[static_cast<std::size_t>(2 + i)] = memory_[static_cast<std::size_t>(address)];
        }
    }
    return page;
}

// An empty slot, or a request outside the slots, is answered with slot number 0.
ReportBuffer MeterModel::calibrationEntryReply(int method, int slot) const {
    protocol::CalibrationSlot entry =
        calibration(method, slot).value_or(protocol::CalibrationSlot{0, "", method, 0, 0});
    ReportBuffer reply = protocol::encodeWriteCalibrationEntry(entry);
    reply[1] = protocol::reply::kCalibrationEntry;
    return reply;
}

} // namespace zr::sim
