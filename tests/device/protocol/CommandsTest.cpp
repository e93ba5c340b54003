#include "device/protocol/Commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>

namespace zr::protocol {
namespace {

// The bytes a command is expected to set; every other byte must be zero.
void expectBytes(const ReportBuffer& buffer, const std::map<std::size_t, std::uint8_t>& set) {
    for (std::size_t i = 0; i < buffer.size(); ++i) {
        const auto it = set.find(i);
        const std::uint8_t expected = it == set.end() ? 0 : it->second;
        EXPECT_EQ(buffer[i], expected) << "byte " << i;
    }
}

TEST(Commands, SimpleCommandsSetOnlyTheirBytes) {
    expectBytes(encodeCommitCorrection(), {{1, 0x63}});
    expectBytes(encodeSelectMethod(2), {{1, 0x64}, {2, 2}});
    expectBytes(encodeReadByte(44), {{1, 0x65}, {2, 44}, {3, 1}});
    expectBytes(encodeWriteByte(185, 4), {{1, 0x66}, {2, 185}, {3, 4}});
    expectBytes(encodeReadStoredValues(155), {{1, 0x67}, {2, 155}});
}

TEST(Commands, EraseOffsetIsSixteenBitsLowByteFirst) {
    expectBytes(encodeEraseCalibrations(eraseOffsetForMethod(3)), {{1, 0x41}, {2, 0xC0}});
    expectBytes(encodeEraseCalibrations(eraseOffsetForMethod(2)), {{1, 0x41}, {2, 0x60}});
    expectBytes(encodeEraseCalibrations(0x1234), {{1, 0x41}, {2, 0x34}, {3, 0x12}});
    // Method 0 gives a negative offset, which 16-bit arithmetic wraps.
    expectBytes(encodeEraseCalibrations(eraseOffsetForMethod(0)),
                {{1, 0x41}, {2, 0xA0}, {3, 0xFF}});
    expectBytes(encodeEraseCalibrations(0x51234), {{1, 0x41}, {2, 0x34}, {3, 0x12}});
}

TEST(Commands, WiderArgumentsAreCutToTheirLowByte) {
    EXPECT_EQ(encodeReadByte(300)[2], 44);
    EXPECT_EQ(encodeReadByte(-1)[2], 255);
    const ReportBuffer write = encodeWriteByte(256 + 7, -2);
    EXPECT_EQ(write[2], 7);
    EXPECT_EQ(write[3], 254);
    EXPECT_EQ(encodeSelectMethod(258)[2], 2);
    EXPECT_EQ(encodeRequestCalibrationEntry({.slot = 257, .name = {}, .method = 259})[2], 1);
    EXPECT_EQ(encodeRequestCalibrationEntry({.slot = 257, .name = {}, .method = 259})[13], 3);
}

TEST(Commands, RequestCalibrationEntrySendsOnlySlotAndMethod) {
    const CalibrationSlot entry{.slot = 3, .name = "ignored", .method = 2, .k1 = 5, .k2 = 6};
    expectBytes(encodeRequestCalibrationEntry(entry), {{1, 0x3D}, {2, 3}, {13, 2}});
}

TEST(Commands, WriteCalibrationEntryPadsTheNameAndStoresSignedCoefficients) {
    const CalibrationSlot entry{
        .slot = 2, .name = "\xC0\xC8\x2D", .method = 3, .k1 = -1000, .k2 = 12};
    expectBytes(encodeWriteCalibrationEntry(entry), {{1, 0x3C},
                                                     {2, 2},
                                                     {3, 0xC0},
                                                     {4, 0xC8},
                                                     {5, 0x2D},
                                                     {6, ' '},
                                                     {7, ' '},
                                                     {8, ' '},
                                                     {9, ' '},
                                                     {10, ' '},
                                                     {11, ' '},
                                                     {12, ' '},
                                                     {13, 3},
                                                     {14, 0x18},
                                                     {15, 0xFC},
                                                     {16, 12},
                                                     {17, 0}});
}

TEST(Commands, WriteCalibrationEntryCutsNamesLongerThanTenBytes) {
    const ReportBuffer buffer =
        encodeWriteCalibrationEntry({.slot = 1, .name = "ABCDEFGHIJKL", .method = 1});
    EXPECT_TRUE(std::equal(buffer.begin() + 3, buffer.begin() + 13, "ABCDEFGHIJ"));
    EXPECT_EQ(buffer[13], 1); // the method, not the name's eleventh byte
}

} // namespace
} // namespace zr::protocol
