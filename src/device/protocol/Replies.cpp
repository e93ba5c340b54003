#include "device/protocol/Replies.h"

#include "device/protocol/ByteOrder.h"
#include "device/protocol/MemoryMap.h"

namespace zr::protocol {

namespace {

// Layouts are given in report byte numbers; the payload starts at report byte 1.
constexpr std::size_t at(std::size_t reportByte) {
    return reportByte - 1;
}

// A layout that ends at report byte `lastReportByte` needs this many payload bytes.
constexpr bool covers(std::size_t length, std::size_t lastReportByte) {
    return length >= lastReportByte;
}

constexpr std::size_t kStatusLastByte = 14;
constexpr std::size_t kPageFirstByte = 2;
constexpr std::size_t kPageLastByte =
    kPageFirstByte + memory::kRecordsPerPage * memory::kRecordSize - 1;
constexpr std::size_t kByteValueLastByte = 3;

} // namespace

std::optional<std::uint8_t> replyCode(const std::uint8_t* payload, std::size_t length) {
    if (length < 1) {
        return std::nullopt;
    }
    return payload[0];
}

std::optional<StatusReport> decodeStatusReport(const std::uint8_t* payload, std::size_t length) {
    if (!covers(length, kStatusLastByte)) {
        return std::nullopt;
    }
    StatusReport report;
    report.frequency = readUint16(&payload[at(2)]);
    report.method = payload[at(4)];
    report.measuredValue = readFloat(&payload[at(5)]);
    report.correction = readFloat(&payload[at(9)]);
    report.activeTable = payload[at(13)];
    report.dataCount = payload[at(14)];
    return report;
}

StoredValueRecord decodeStoredValueRecord(const std::uint8_t* bytes) {
    StoredValueRecord record;
    record.recordNumber = bytes[0];
    record.method = bytes[1];
    record.value = readFloat(&bytes[2]);
    record.second = readFloat(&bytes[6]);
    return record;
}

std::optional<StoredValuesPage> decodeStoredValuesPage(const std::uint8_t* payload,
                                                       std::size_t length) {
    if (!covers(length, kPageLastByte)) {
        return std::nullopt;
    }
    StoredValuesPage page;
    const std::uint8_t* record = &payload[at(kPageFirstByte)];
    for (auto& decoded : page.records) {
        decoded = decodeStoredValueRecord(record);
        record += memory::kRecordSize;
    }
    return page;
}

std::optional<ByteValueReply> decodeByteValueReply(const std::uint8_t* payload,
                                                   std::size_t length) {
    if (!covers(length, kByteValueLastByte)) {
        return std::nullopt;
    }
    return ByteValueReply{payload[at(2)], payload[at(3)]};
}

std::optional<CalibrationSlot> decodeCalibrationEntry(const std::uint8_t* payload,
                                                      std::size_t length) {
    using namespace calibration_entry;
    if (!covers(length, kEnd - 1)) {
        return std::nullopt;
    }
    CalibrationSlot entry;
    entry.slot = payload[at(kSlot)];
    const auto* name = reinterpret_cast<const char*>(&payload[at(kName)]);
    entry.name.assign(name, kNameLength);
    entry.method = payload[at(kMethod)];
    entry.k1 = readInt16(&payload[at(kK1)]);
    entry.k2 = readInt16(&payload[at(kK2)]);
    return entry;
}

} // namespace zr::protocol
