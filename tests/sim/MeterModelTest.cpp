#include "sim/MeterModel.h"

#include "device/protocol/ByteOrder.h"
#include "device/protocol/Commands.h"
#include "device/protocol/MemoryMap.h"
#include "device/protocol/Replies.h"

#include <gtest/gtest.h>

#include <vector>

namespace zr::sim {
namespace {

namespace memory = protocol::memory;
using protocol::ReportBuffer;

class MeterModelTest : public ::testing::Test {
protected:
    MeterModel model;

    std::optional<ReportBuffer> send(const ReportBuffer& command) {
        return model.handleCommand(command.data(), command.size());
    }

    // What the program sees of a reply: the payload after the report ID.
    static const std::uint8_t* payload(const ReportBuffer& report) { return report.data() + 1; }
    static constexpr std::size_t kPayloadLength = protocol::kReportBufferSize - 1;

    protocol::StatusReport status() {
        const ReportBuffer report = model.statusReport();
        EXPECT_EQ(report[0], 0);
        EXPECT_EQ(report[1], protocol::reply::kStatusReport);
        return *protocol::decodeStatusReport(payload(report), kPayloadLength);
    }

    protocol::ByteValueReply readByte(int address) {
        const auto reply = send(protocol::encodeReadByte(address));
        EXPECT_TRUE(reply);
        EXPECT_EQ((*reply)[1], protocol::reply::kByteValue);
        return *protocol::decodeByteValueReply(payload(*reply), kPayloadLength);
    }

    protocol::StoredValuesPage readPage(int startAddress) {
        const auto reply = send(protocol::encodeReadStoredValues(startAddress));
        EXPECT_TRUE(reply);
        EXPECT_EQ((*reply)[1], protocol::reply::kStoredValuesPage);
        return *protocol::decodeStoredValuesPage(payload(*reply), kPayloadLength);
    }

    protocol::CalibrationSlot requestEntry(int method, int slot) {
        const auto reply = send(
            protocol::encodeRequestCalibrationEntry({.slot = slot, .name = {}, .method = method}));
        EXPECT_TRUE(reply);
        EXPECT_EQ((*reply)[1], protocol::reply::kCalibrationEntry);
        return *protocol::decodeCalibrationEntry(payload(*reply), kPayloadLength);
    }

    // The eleven write byte commands with which the program stores a live value as record k.
    void storeValueAsTheProgramDoes(int recordNumber, int method, float value) {
        const int base = memory::recordAddress(recordNumber);
        std::vector<ReportBuffer> commands{protocol::encodeWriteByte(base, recordNumber),
                                           protocol::encodeWriteByte(base + 1, method)};
        const auto bytes = protocol::floatBytes(value);
        for (int i = 0; i < 4; ++i) {
            commands.push_back(
                protocol::encodeWriteByte(base + 2 + i, bytes[static_cast<std::size_t>(i)]));
        }
        for (int i = 0; i < 4; ++i) {
            commands.push_back(protocol::encodeWriteByte(base + 6 + i, 0));
        }
        commands.push_back(protocol::encodeWriteByte(memory::kStoredCountAddress, recordNumber));
        for (const auto& command : commands) {
            EXPECT_FALSE(send(command)) << "a write byte command is not answered";
        }
    }

    void writeCorrection(int method, float value) {
        const auto bytes = protocol::floatBytes(value);
        for (int i = 0; i < 4; ++i) {
            send(protocol::encodeWriteByte(memory::correctionAddress(method) + i,
                                           bytes[static_cast<std::size_t>(i)]));
        }
        send(protocol::encodeCommitCorrection());
    }
};

TEST_F(MeterModelTest, EveryAddressKeepsWhatIsWrittenAndReadsItBackFlagged) {
    EXPECT_EQ(readByte(1).value, memory::kNone) << "no calibration in force at first";
    for (int address = 0; address < memory::kSize; ++address) {
        send(protocol::encodeWriteByte(address, 255 - address));
    }
    for (int address = 0; address < memory::kSize; ++address) {
        const auto reply = readByte(address);
        EXPECT_EQ(reply.value, 255 - address) << "address " << address;
        EXPECT_EQ(reply.flag, 1);
    }
}

TEST_F(MeterModelTest, StoredValueLandsInItsRecordAndCountsInTheStatus) {
    storeValueAsTheProgramDoes(1, 1, 92.3f);
    storeValueAsTheProgramDoes(2, 2, 92.5f);
    storeValueAsTheProgramDoes(6, 3, 51.2f);

    const auto first = readPage(memory::kFirstRecordAddress);
    EXPECT_EQ(first.records[0].recordNumber, 1);
    EXPECT_EQ(first.records[0].method, 1);
    EXPECT_EQ(first.records[0].value, 92.3f);
    EXPECT_EQ(first.records[1].recordNumber, 2);
    EXPECT_EQ(first.records[1].method, 2);
    EXPECT_EQ(first.records[1].value, 92.5f);
    EXPECT_EQ(first.records[1].second, 0.0f);
    EXPECT_EQ(first.records[2].recordNumber, 0) << "record 3 was never written";

    const auto second = readPage(memory::kSecondPageAddress);
    EXPECT_EQ(second.records[0].recordNumber, 6);
    EXPECT_EQ(second.records[0].method, 3);
    EXPECT_EQ(second.records[0].value, 51.2f);
    EXPECT_EQ(status().dataCount, 6);
}

TEST_F(MeterModelTest, PageFromAnyOtherStartHoldsTheBytesFromThereOn) {
    storeValueAsTheProgramDoes(10, 4, 77.0f);
    const auto page = readPage(memory::recordAddress(10));
    EXPECT_EQ(page.records[0].recordNumber, 10);
    EXPECT_EQ(page.records[0].value, 77.0f);
    // Address 255 follows record 10; nothing lies beyond it.
    EXPECT_EQ(page.records[1].recordNumber, 0);
    EXPECT_EQ(readPage(0).records[0].method, memory::kNone) << "bytes 0-9 include address 1";
}

TEST_F(MeterModelTest, ErasedStoredValuesAreReportedWithCount255) {
    storeValueAsTheProgramDoes(1, 1, 92.3f);
    for (int address = memory::kStoredCountAddress; address <= memory::kLastStoredValuesAddress;
         ++address) {
        send(protocol::encodeWriteByte(address, memory::kNone));
    }
    EXPECT_EQ(status().dataCount, 255);
    EXPECT_EQ(readPage(memory::kFirstRecordAddress).records[0].recordNumber, 255);
}

TEST_F(MeterModelTest, WrittenCalibrationEntryIsAnsweredWithItsPaddedName) {
    send(protocol::encodeWriteCalibrationEntry(
        {.slot = 3, .name = "ABC", .method = 2, .k1 = -1000, .k2 = 25}));
    EXPECT_EQ(requestEntry(2, 3), (protocol::CalibrationSlot{3, "ABC       ", 2, -1000, 25}));
    EXPECT_EQ(requestEntry(1, 3).slot, 0) << "the same slot of another method stays empty";
}

TEST_F(MeterModelTest, EmptyOrImpossibleSlotsAreAnsweredWithSlotZero) {
    for (const auto& [method, slot] :
         std::vector<std::pair<int, int>>{{1, 1}, {3, 4}, {4, 1}, {1, 0}, {1, 5}}) {
        const auto reply = requestEntry(method, slot);
        EXPECT_EQ(reply.slot, 0) << method << "/" << slot;
    }
    send(protocol::encodeWriteCalibrationEntry({.slot = 5, .name = "X", .method = 1}));
    send(protocol::encodeWriteCalibrationEntry({.slot = 1, .name = "X", .method = 4}));
    send(protocol::encodeWriteCalibrationEntry({.slot = 0, .name = "X", .method = 1}));
    for (int slot = 1; slot <= 4; ++slot) {
        EXPECT_EQ(requestEntry(1, slot).slot, 0) << "slot " << slot;
    }
}

TEST_F(MeterModelTest, EraseCalibrationsEmptiesExactlyTheMethodOfTheOffset) {
    for (int erased = 1; erased <= 3; ++erased) {
        model = MeterModel{};
        for (int method = 1; method <= 3; ++method) {
            for (int slot = 1; slot <= 4; ++slot) {
                send(protocol::encodeWriteCalibrationEntry(
                    {.slot = slot, .name = "N", .method = method, .k1 = 1000, .k2 = 0}));
            }
        }
        send(protocol::encodeEraseCalibrations(protocol::eraseOffsetForMethod(erased)));
        for (int method = 1; method <= 3; ++method) {
            for (int slot = 1; slot <= 4; ++slot) {
                EXPECT_EQ(requestEntry(method, slot).slot, method == erased ? 0 : slot)
                    << "erased " << erased << ", method " << method << ", slot " << slot;
            }
        }
    }
}

TEST_F(MeterModelTest, EraseWithAnOffsetOfNoMethodErasesNothing) {
    send(protocol::encodeWriteCalibrationEntry({.slot = 1, .name = "N", .method = 1}));
    send(protocol::encodeWriteCalibrationEntry({.slot = 1, .name = "N", .method = 3}));
    for (const int offset : {1, 95, 288, 0xFFA0}) {
        send(protocol::encodeEraseCalibrations(offset));
    }
    EXPECT_EQ(requestEntry(1, 1).slot, 1);
    EXPECT_EQ(requestEntry(3, 1).slot, 1);
}

TEST_F(MeterModelTest, ValueFollowsTheSampleThroughCalibrationAndCorrection) {
    model.sample().setTrueOctane(90.0);
    const double raw = MeterSample::uncalibratedReading(90.0);
    auto now = status();
    EXPECT_EQ(now.method, 1);
    EXPECT_EQ(now.activeTable, 0);
    EXPECT_FLOAT_EQ(now.measuredValue, static_cast<float>(raw));

    send(protocol::encodeWriteCalibrationEntry(
        {.slot = 2, .name = "CAL", .method = 1, .k1 = 1100, .k2 = -50}));
    EXPECT_EQ(status().activeTable, 0) << "stored is not yet in force";
    send(protocol::encodeWriteByte(memory::calibrationInForceAddress(1), 2));
    writeCorrection(1, 0.5f);
    now = status();
    EXPECT_EQ(now.activeTable, 2);
    EXPECT_EQ(now.correction, 0.5f);
    EXPECT_FLOAT_EQ(now.measuredValue, static_cast<float>(raw * 1.1 - 5.0 + 0.5));
    EXPECT_EQ(model.commitCount(), 1);

    send(protocol::encodeSelectMethod(2));
    now = status();
    EXPECT_EQ(now.method, 2);
    EXPECT_EQ(now.activeTable, 0) << "method 2 has no calibration in force";
    EXPECT_EQ(now.correction, 0.0f);
    EXPECT_FLOAT_EQ(now.measuredValue, static_cast<float>(raw));

    send(protocol::encodeSelectMethod(1));
    send(protocol::encodeWriteByte(memory::calibrationInForceAddress(1), memory::kNone));
    now = status();
    EXPECT_EQ(now.activeTable, 0);
    EXPECT_FLOAT_EQ(now.measuredValue, static_cast<float>(raw + 0.5));
}

TEST_F(MeterModelTest, SlotInForceThatIsEmptyIsReportedButDoesNotCalibrate) {
    model.sample().setTrueOctane(95.0);
    send(protocol::encodeWriteByte(memory::calibrationInForceAddress(1), 3));
    const auto now = status();
    EXPECT_EQ(now.activeTable, 3);
    EXPECT_FLOAT_EQ(now.measuredValue, static_cast<float>(MeterSample::uncalibratedReading(95.0)));
    send(protocol::encodeWriteByte(memory::calibrationInForceAddress(1), 7));
    EXPECT_EQ(status().activeTable, 0) << "no such slot";
}

TEST_F(MeterModelTest, MethodFourUsesItsOwnCorrectionAndNoCalibration) {
    model.sample().setTrueOctane(87.0);
    send(protocol::encodeSelectMethod(4));
    writeCorrection(4, -1.5f);
    const auto now = status();
    EXPECT_EQ(now.method, 4);
    EXPECT_EQ(now.correction, -1.5f);
    EXPECT_FLOAT_EQ(now.measuredValue,
                    static_cast<float>(MeterSample::uncalibratedReading(87.0) - 1.5));
    send(protocol::encodeSelectMethod(0));
    send(protocol::encodeSelectMethod(5));
    EXPECT_EQ(status().method, 4) << "unknown method codes are ignored";
}

TEST_F(MeterModelTest, FrequencyStaysInTheValidBandUnlessPushedOut) {
    for (const double octane : {0.0, 40.0, 80.0, 92.3, 120.0, 500.0}) {
        model.sample().setTrueOctane(octane);
        const auto frequency = status().frequency;
        EXPECT_GE(frequency, zr::protocol::meter::kLowestValidFrequency) << octane;
        EXPECT_LE(frequency, zr::protocol::meter::kHighestValidFrequency) << octane;
    }
    EXPECT_EQ(MeterSample::frequencyFor(40.0), 4000);
    EXPECT_EQ(MeterSample::frequencyFor(120.0), 5100);
    EXPECT_LT(MeterSample::frequencyFor(90.0), MeterSample::frequencyFor(95.0));

    model.sample().setFrequencyOverride(MeterSample::kOutOfRangeFrequency);
    EXPECT_LT(status().frequency, zr::protocol::meter::kLowestValidFrequency);
    model.sample().setFrequencyOverride(std::nullopt);
    EXPECT_EQ(status().frequency, MeterSample::frequencyFor(500.0));
}

TEST_F(MeterModelTest, NoiseStaysWithinItsAmplitude) {
    model.sample().setTrueOctane(92.0);
    model.sample().setNoiseAmplitude(0.05);
    const double raw = MeterSample::uncalibratedReading(92.0);
    bool varied = false;
    const float first = status().measuredValue;
    for (int i = 0; i < 50; ++i) {
        const float value = status().measuredValue;
        EXPECT_NEAR(value, raw, 0.0501);
        varied = varied || value != first;
    }
    EXPECT_TRUE(varied);
}

// Commands cut short are read as if the missing bytes were zero, never past their end.
TEST_F(MeterModelTest, ShortCommandReportsAreNotReadPastTheirEnd) {
    const ReportBuffer full = protocol::encodeWriteCalibrationEntry(
        {.slot = 1, .name = "NAME", .method = 1, .k1 = 1234, .k2 = 5});
    const std::vector<std::uint8_t> cut(full.begin(), full.begin() + 15);
    model.handleCommand(cut.data(), cut.size());
    const auto entry = requestEntry(1, 1);
    EXPECT_EQ(entry.slot, 1);
    EXPECT_EQ(entry.k1, 0xD2) << "only the low byte of K1 arrived";
    EXPECT_EQ(entry.k2, 0);

    model.setMemoryByte(0, 42);
    const std::vector<std::uint8_t> readByteOnly{0, protocol::command::kReadByte};
    const auto reply = model.handleCommand(readByteOnly.data(), readByteOnly.size());
    ASSERT_TRUE(reply);
    EXPECT_EQ((*reply)[2], 42) << "the missing address byte counts as address 0";
    EXPECT_FALSE(model.handleCommand(readByteOnly.data(), 1));
    EXPECT_FALSE(model.handleCommand(nullptr, 0));
}

} // namespace
} // namespace zr::sim
