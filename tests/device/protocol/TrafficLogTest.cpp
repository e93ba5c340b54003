#include "device/protocol/TrafficLog.h"

#include "device/protocol/Commands.h"
#include "support/CLocaleMessages.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

namespace zr::protocol {
namespace {

std::string repeated(const std::string& piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
}

TEST(TrafficLog, WriteLineOfReadStoredValuesCommand) {
    const ReportBuffer buffer = encodeReadStoredValues(155);
    EXPECT_EQ(formatWriteLine(65, buffer.data(), buffer.size()),
              "WR 41  00 67 9B " + repeated("00 ", 62));
}

TEST(TrafficLog, WriteLineCountHasAtLeastTwoDigitsAndNoLimit) {
    const std::vector<std::uint8_t> bytes(300, 0xAB);
    EXPECT_EQ(formatWriteLine(0, bytes.data(), bytes.size()), "WR 00  ");
    EXPECT_EQ(formatWriteLine(1, bytes.data(), bytes.size()), "WR 01  AB ");
    EXPECT_EQ(formatWriteLine(256, bytes.data(), bytes.size()), "WR 100  " + repeated("AB ", 256));
}

TEST(TrafficLog, FailureLinesFrameTheMessageAndTheWriteLine) {
    const ReportBuffer buffer = encodeSelectMethod(2);
    const auto lines = formatWriteFailureLines(0, ENODEV, buffer.data(), buffer.size());
    EXPECT_EQ(lines[0], "---------error--------------");
    EXPECT_EQ(lines[1], "0 = WRITE ERROR: " + systemErrorMessage(ENODEV) + " (13)");
    EXPECT_EQ(lines[2], "WR 00  ");
    EXPECT_EQ(lines[3], "---------    --------------");

    const auto partial = formatWriteFailureLines(3, 0x2AF9, buffer.data(), buffer.size());
    EXPECT_EQ(partial[1], "3 = WRITE ERROR: " + systemErrorMessage(0x2AF9) + " (2AF9)");
    EXPECT_EQ(partial[2], "WR 03  00 64 02 ");
}

TEST(TrafficLog, SystemMessageIsTheCleanedErrorText) {
    const test::CLocaleMessages english; // the texts differ with the machine's locale
    EXPECT_EQ(systemErrorMessage(ENODEV), "No such device");
    EXPECT_EQ(systemErrorMessage(EIO), "Input/output error");
    EXPECT_EQ(formatSystemError(EACCES), "Permission denied (D)");
    for (const int code : {0, EPIPE, 99999, -5}) {
        const std::string message = systemErrorMessage(code);
        ASSERT_FALSE(message.empty()) << code;
        EXPECT_NE(message.back(), '.') << code;
        EXPECT_GT(static_cast<unsigned char>(message.back()), ' ') << code;
    }
}

TEST(TrafficLog, ReceiveLineShowsEachByteInDecimalWithTwoDigitsAtLeast) {
    const std::vector<std::uint8_t> payload{55, 148, 17, 1, 0, 9, 10, 99, 100, 255};
    EXPECT_EQ(formatReceiveLine(payload.data(), payload.size()),
              "55 148 17 01 00 09 10 99 100 255 ");
    EXPECT_EQ(formatReceiveLine(payload.data(), 0), "");
}

} // namespace
} // namespace zr::protocol
