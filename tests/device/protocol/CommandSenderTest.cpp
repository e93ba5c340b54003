#include "device/protocol/CommandSender.h"

#include "device/protocol/TrafficLog.h"
#include "support/CLocaleMessages.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

namespace zr::protocol {
namespace {

class FakePort : public MeterPort {
public:
    bool isConnected = true;
    std::size_t reportLength = 65;
    WriteOutcome nextOutcome{true, 65, 0};
    std::vector<std::vector<std::uint8_t>> writes;

    bool connected() const override { return isConnected; }
    std::size_t outputReportLength() override { return reportLength; }
    WriteOutcome write(const std::uint8_t* data, std::size_t length) override {
        writes.emplace_back(data, data + length);
        return nextOutcome;
    }
};

class CommandSenderTest : public ::testing::Test {
protected:
    FakePort port;
    std::vector<std::string> log;
    int notConnectedCount = 0;
    CommandSender sender{port, [this](const std::string& line) { log.push_back(line); },
                         [this] { ++notConnectedCount; }};
};

TEST_F(CommandSenderTest, WithoutMeterOnlyTheHookRuns) {
    port.isConnected = false;
    sender.readStoredValues(155);
    sender.writeCalibrationEntry({.slot = 1, .name = "2222", .method = 1});
    EXPECT_EQ(notConnectedCount, 2);
    EXPECT_TRUE(port.writes.empty());
    EXPECT_TRUE(log.empty());
}

TEST_F(CommandSenderTest, SuccessfulWriteLogsOneWriteLine) {
    sender.readStoredValues(155);
    ASSERT_EQ(port.writes.size(), 1u);
    EXPECT_EQ(port.writes[0].size(), 65u);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0], formatWriteLine(65, port.writes[0].data(), 65));
    EXPECT_TRUE(log[0].starts_with("WR 41  00 67 9B 00 "));
    EXPECT_EQ(notConnectedCount, 0);
}

TEST_F(CommandSenderTest, ReportIdIsAlwaysZero) {
    ReportBuffer buffer{};
    buffer[0] = 0x55;
    buffer[1] = 0x63;
    sender.send(buffer);
    ASSERT_EQ(port.writes.size(), 1u);
    EXPECT_EQ(port.writes[0][0], 0);
    EXPECT_EQ(port.writes[0][1], 0x63);
}

TEST_F(CommandSenderTest, FailedWriteLogsExactlyTheFourLines) {
    const test::CLocaleMessages english;
    port.nextOutcome = {false, 0, ENODEV};
    sender.selectMethod(1);
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[0], "---------error--------------");
    EXPECT_EQ(log[1], "0 = WRITE ERROR: No such device (13)");
    EXPECT_EQ(log[2], "WR 00  ");
    EXPECT_EQ(log[3], "---------    --------------");
}

TEST_F(CommandSenderTest, ShorterOutputReportSendsThatManyBytes) {
    port.reportLength = 64;
    port.nextOutcome = {true, 64, 0};
    sender.writeByte(154, 4);
    ASSERT_EQ(port.writes.size(), 1u);
    EXPECT_EQ(port.writes[0].size(), 64u);
    EXPECT_TRUE(log[0].starts_with("WR 40  00 66 9A 04 "));
    EXPECT_EQ(log[0].size(), 7 + 3 * 64u);
}

TEST_F(CommandSenderTest, LongerOutputReportIsPaddedWithZeros) {
    port.reportLength = 80;
    port.nextOutcome = {true, 80, 0};
    sender.writeByte(154, 4);
    ASSERT_EQ(port.writes.size(), 1u);
    const auto& written = port.writes[0];
    ASSERT_EQ(written.size(), 80u);
    EXPECT_EQ(written[1], 0x66);
    EXPECT_EQ(written[2], 154);
    EXPECT_EQ(written[3], 4);
    for (std::size_t i = 4; i < written.size(); ++i) {
        EXPECT_EQ(written[i], 0) << "byte " << i;
    }
    EXPECT_EQ(log[0], formatWriteLine(80, written.data(), written.size()));
}

TEST_F(CommandSenderTest, PortClaimingMoreBytesThanSentIsNotReadBeyond) {
    port.reportLength = 65;
    port.nextOutcome = {true, 500, 0};
    sender.commitCorrection();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_TRUE(log[0].starts_with("WR 1F4  00 63 00 "));
    EXPECT_EQ(log[0].size(), 8 + 3 * 65u);
}

TEST_F(CommandSenderTest, SelectMethodRunsItsHookAfterSendingEvenWithoutMeter) {
    std::vector<std::string> events;
    sender.setAfterSelectMethod(
        [&] { events.push_back("hook after " + std::to_string(port.writes.size())); });
    sender.selectMethod(2);
    port.isConnected = false;
    sender.selectMethod(3);
    EXPECT_EQ(events, (std::vector<std::string>{"hook after 1", "hook after 1"}));
    sender.readByte(0);
    EXPECT_EQ(events.size(), 2u);
}

} // namespace
} // namespace zr::protocol
