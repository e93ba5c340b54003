#include "device/protocol/Replies.h"

#include "device/protocol/ByteOrder.h"

#include <gtest/gtest.h>

#include <vector>

namespace zr::protocol {
namespace {

// Report bytes 1 to 14 of the status report the meter documentation gives as its example.
const std::vector<std::uint8_t> kStatusExample = {0x37, 0x94, 0x11, 0x01, 0x9A, 0x99, 0xB8,
                                                  0x42, 0x00, 0x00, 0x00, 0x3F, 0x02, 0x03};

std::vector<std::uint8_t> fullPayload(std::vector<std::uint8_t> start) {
    start.resize(64, 0);
    return start;
}

TEST(Replies, StatusReportExampleDecodesToItsFields) {
    const auto payload = fullPayload(kStatusExample);
    ASSERT_EQ(replyCode(payload.data(), payload.size()), 0x37);
    const auto status = decodeStatusReport(payload.data(), payload.size());
    ASSERT_TRUE(status);
    EXPECT_EQ(status->frequency, 4500);
    EXPECT_EQ(status->method, 1);
    EXPECT_EQ(status->measuredValue, 92.3f);
    EXPECT_EQ(status->correction, 0.5f);
    EXPECT_EQ(status->activeTable, 2);
    EXPECT_EQ(status->dataCount, 3);
}

TEST(Replies, FrequencyIsUnsignedAndCoefficientsAreSigned) {
    auto status = fullPayload({0x37, 0xFF, 0xFF});
    EXPECT_EQ(decodeStatusReport(status.data(), status.size())->frequency, 65535);

    auto entry = fullPayload({0x3D, 1});
    entry[13] = 0x18; // K1 low byte (report byte 14)
    entry[14] = 0xFC;
    entry[15] = 0x00; // K2
    entry[16] = 0x80;
    const auto decoded = decodeCalibrationEntry(entry.data(), entry.size());
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->k1, -1000);
    EXPECT_EQ(decoded->k2, -32768);
}

TEST(Replies, CalibrationEntryNameKeepsAllTenBytes) {
    auto payload = fullPayload({0x3D, 2, 'T', 'E', 'S', 'T', ' ', ' ', ' ', ' ', ' ', ' ', 1});
    const auto entry = decodeCalibrationEntry(payload.data(), payload.size());
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->slot, 2);
    EXPECT_EQ(entry->name, "TEST      ");
    EXPECT_EQ(entry->method, 1);

    // Bytes that are not text, a zero among them, stay part of the name.
    payload[4] = 0; // name byte 3 (report byte 5)
    payload[11] = 0xFF;
    const auto raw = decodeCalibrationEntry(payload.data(), payload.size());
    ASSERT_EQ(raw->name.size(), 10u);
    EXPECT_EQ(raw->name[2], '\0');
    EXPECT_EQ(static_cast<unsigned char>(raw->name[9]), 0xFF);
}

TEST(Replies, StoredValuesPageTakesFiveRecordsInOrder) {
    std::vector<std::uint8_t> payload{0x67};
    for (int k = 6; k <= 10; ++k) {
        payload.push_back(static_cast<std::uint8_t>(k));
        payload.push_back(static_cast<std::uint8_t>(k % 4 + 1));
        for (const auto byte : floatBytes(90.0f + static_cast<float>(k))) {
            payload.push_back(byte);
        }
        for (const auto byte : floatBytes(-static_cast<float>(k))) {
            payload.push_back(byte);
        }
    }
    payload = fullPayload(payload);
    const auto page = decodeStoredValuesPage(payload.data(), payload.size());
    ASSERT_TRUE(page);
    for (int i = 0; i < 5; ++i) {
        const StoredValueRecord& record = page->records[static_cast<std::size_t>(i)];
        EXPECT_EQ(record.recordNumber, 6 + i);
        EXPECT_EQ(record.method, (6 + i) % 4 + 1);
        EXPECT_EQ(record.value, 96.0f + static_cast<float>(i));
        EXPECT_EQ(record.second, -6.0f - static_cast<float>(i));
    }
}

TEST(Replies, ByteValueReplyCarriesValueAndFlag) {
    const auto flagged = fullPayload({0x65, 7, 1});
    EXPECT_EQ(decodeByteValueReply(flagged.data(), flagged.size())->value, 7);
    EXPECT_EQ(decodeByteValueReply(flagged.data(), flagged.size())->flag, 1);
    const auto unflagged = fullPayload({0x65, 7, 0});
    EXPECT_EQ(decodeByteValueReply(unflagged.data(), unflagged.size())->flag, 0);
}

// Each layout needs exactly its last byte: one byte less decodes to nothing. The payloads live
// on the heap at their exact length, so the sanitizers catch any read beyond it.
TEST(Replies, PayloadShorterThanItsLayoutDecodesToNothing) {
    const auto check = [](auto decode, std::size_t needed) {
        for (const std::size_t length : {needed - 1, needed}) {
            const std::vector<std::uint8_t> payload(length, 0x01);
            EXPECT_EQ(decode(payload.data(), payload.size()).has_value(), length == needed)
                << "length " << length;
        }
    };
    check(decodeStatusReport, 14);
    check(decodeStoredValuesPage, 51);
    check(decodeByteValueReply, 3);
    check(decodeCalibrationEntry, 17);
    check(replyCode, 1);
    EXPECT_FALSE(decodeStatusReport(nullptr, 0));
}

} // namespace
} // namespace zr::protocol
