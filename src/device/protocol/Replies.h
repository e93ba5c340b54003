#pragma once

#include "device/protocol/CalibrationSlot.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

// Decoders of the meter's replies. Each takes the payload, i.e. the report without its report
// ID, so payload[0] is the reply code. They do not look at the code (the caller dispatches on
// it) and never read past `length`: a payload too short for its layout decodes to nothing.
namespace zr::protocol {

struct StatusReport {
    std::uint16_t frequency = 0;
    std::uint8_t method = 0;
    float measuredValue = 0.0f;
    float correction = 0.0f;
    std::uint8_t activeTable = 0;
    std::uint8_t dataCount = 0;
};

struct StoredValueRecord {
    std::uint8_t recordNumber = 0;
    std::uint8_t method = 0;
    float value = 0.0f;
    float second = 0.0f;
};

struct StoredValuesPage {
    std::array<StoredValueRecord, 5> records;
};

struct ByteValueReply {
    std::uint8_t value = 0;
    std::uint8_t flag = 0;
};

std::optional<std::uint8_t> replyCode(const std::uint8_t* payload, std::size_t length);

std::optional<StatusReport> decodeStatusReport(const std::uint8_t* payload, std::size_t length);
std::optional<StoredValuesPage> decodeStoredValuesPage(const std::uint8_t* payload,
                                                       std::size_t length);
std::optional<ByteValueReply> decodeByteValueReply(const std::uint8_t* payload, std::size_t length);
// Also reads the write calibration entry command, which shares the layout.
std::optional<CalibrationSlot> decodeCalibrationEntry(const std::uint8_t* payload,
                                                      std::size_t length);

// A stored-value record as it lies in the meter's memory and in a page (10 bytes).
StoredValueRecord decodeStoredValueRecord(const std::uint8_t* bytes);

} // namespace zr::protocol
