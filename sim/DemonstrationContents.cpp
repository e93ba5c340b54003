#include "sim/DemonstrationContents.h"

#include "device/protocol/ByteOrder.h"
#include "device/protocol/MemoryMap.h"
#include "sim/MeterModel.h"

#include <cstdint>

namespace zr::sim {

namespace {

namespace memory = protocol::memory;

void storeValue(MeterModel& model, int recordNumber, int method, float value) {
    const int address = memory::recordAddress(recordNumber);
    model.setMemoryByte(address, static_cast<std::uint8_t>(recordNumber));
    model.setMemoryByte(address + 1, static_cast<std::uint8_t>(method));
    const auto bytes = protocol::floatBytes(value);
    for (int i = 0; i < 4; ++i) {
        model.setMemoryByte(address + 2 + i, bytes[static_cast<std::size_t>(i)]);
        model.setMemoryByte(address + 6 + i, 0);
    }
    model.setMemoryByte(memory::kStoredCountAddress, static_cast<std::uint8_t>(recordNumber));
}

} // namespace

void loadDemonstrationContents(MeterModel& model) {
    // Names are code page 1251 bytes.
    model.storeCalibration({1, "\xC0\xC8-92", 1, 1012, -9});                      // АИ-92
    model.storeCalibration({2, "\xC0\xC8-95", 1, 995, 6});                        // АИ-95
    model.storeCalibration({1, "\xCC\xCE\xD2\xCE\xD0-80", 2, 1020, -15});         // МОТОР-80
    model.storeCalibration({1, "\xC4\xD2 \xEB\xE5\xF2\xED\xE5\xE5", 3, 1000, 4}); // ДТ летнее
    storeValue(model, 1, 1, 92.3f);
    storeValue(model, 2, 1, 95.1f);
    storeValue(model, 3, 2, 84.6f);
}

} // namespace zr::sim
