#include "sim/SimulatedMeter.h"

#include "device/hid/HidDeviceController.h"
#include "device/hid/simulated/SimulatedHidBus.h"
#include "device/protocol/Commands.h"
#include "device/protocol/MemoryMap.h"
#include "device/protocol/Replies.h"
#include "support/WaitUntil.h"

#include <QSignalSpy>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace zr::sim {
namespace {

using protocol::ReportBuffer;

class SimulatedMeterTest : public ::testing::Test {
protected:
    hid::SimulatedHidBus bus;
    SimulatedMeter meter{bus};

    void SetUp() override {
        meter.setStatusInterval(0);
        meter.setNoiseAmplitude(0.0);
    }

    std::unique_ptr<hid::HidHandle> openMeter(hid::HidOpenMode mode) {
        const auto interfaces = bus.enumerate();
        EXPECT_EQ(interfaces.size(), 1u);
        if (interfaces.empty()) {
            return nullptr;
        }
        return bus.open(interfaces.front(), mode);
    }

    // The next input report on the handle, or nothing within a second.
    static std::optional<std::vector<std::uint8_t>> nextReport(hid::HidHandle& handle) {
        std::vector<std::uint8_t> report(protocol::kReportBufferSize);
        const auto result = handle.read(report.data(), report.size(), 1000);
        if (result.status != hid::HidReadResult::Status::Data) {
            return std::nullopt;
        }
        report.resize(result.length);
        return report;
    }
};

TEST_F(SimulatedMeterTest, PlugsInAsTheMeter) {
    meter.plug();
    ASSERT_TRUE(meter.isPlugged());
    const auto handle = openMeter(hid::HidOpenMode::QueryOnly);
    ASSERT_TRUE(handle);
    EXPECT_EQ(handle->attributes()->vendorId, 0x04D7);
    EXPECT_EQ(handle->attributes()->productId, 0x013F);
    EXPECT_EQ(handle->productString(), QStringLiteral("ZR-6040 USB"));
    const auto caps = handle->capabilities();
    ASSERT_TRUE(caps);
    EXPECT_EQ(caps->inputReportByteLength, 65);
    EXPECT_EQ(caps->outputReportByteLength, 65);
    EXPECT_FALSE(caps->numberedReports);

    meter.unplug();
    EXPECT_TRUE(bus.enumerate().empty());
}

TEST_F(SimulatedMeterTest, AnswersCommandsWrittenToItAndKeepsItsMemoryWhenReplugged) {
    meter.plug();
    auto handle = openMeter(hid::HidOpenMode::ReadWrite);
    ASSERT_TRUE(handle);
    const ReportBuffer write = protocol::encodeWriteByte(200, 77);
    ASSERT_TRUE(handle->write(write.data(), write.size()).ok);
    EXPECT_EQ(meter.memoryByte(200), 77);

    meter.unplug();
    handle.reset();
    meter.plug();
    handle = openMeter(hid::HidOpenMode::ReadWrite);
    ASSERT_TRUE(handle);
    const ReportBuffer read = protocol::encodeReadByte(200);
    ASSERT_TRUE(handle->write(read.data(), read.size()).ok);
    const auto reply = nextReport(*handle);
    ASSERT_TRUE(reply);
    ASSERT_EQ(reply->size(), 65u);
    EXPECT_EQ((*reply)[0], 0);
    const auto value = protocol::decodeByteValueReply(reply->data() + 1, reply->size() - 1);
    EXPECT_EQ((*reply)[1], protocol::reply::kByteValue);
    EXPECT_EQ(value->value, 77);
    EXPECT_EQ(value->flag, 1);
}

TEST_F(SimulatedMeterTest, SendsStatusReportsUnaskedWhilePluggedIn) {
    EXPECT_FALSE(meter.sendStatusReport()) << "nothing to send through while unplugged";
    meter.setTrueOctane(95.0);
    meter.plug();
    const auto handle = openMeter(hid::HidOpenMode::ReadWrite);
    ASSERT_TRUE(handle);
    QSignalSpy sent(&meter, &SimulatedMeter::statusReportSent);
    meter.setStatusInterval(20);
    WAIT_UNTIL(sent.count() >= 3, 2000);

    const auto report = nextReport(*handle);
    ASSERT_TRUE(report);
    EXPECT_EQ((*report)[1], protocol::reply::kStatusReport);
    const auto status = protocol::decodeStatusReport(report->data() + 1, report->size() - 1);
    EXPECT_EQ(status->frequency, MeterSample::frequencyFor(95.0));
    EXPECT_FLOAT_EQ(status->measuredValue,
                    static_cast<float>(MeterSample::uncalibratedReading(95.0)));

    meter.unplug();
    const int countAtUnplug = sent.count();
    // A timer of the same period started now fires twice: the simulator's own would have fired.
    QTimer period;
    QSignalSpy periods(&period, &QTimer::timeout);
    period.start(meter.statusInterval());
    WAIT_UNTIL(periods.count() >= 2, 2000);
    EXPECT_EQ(sent.count(), countAtUnplug) << "no reports once unplugged";
}

TEST_F(SimulatedMeterTest, FrequencyCanBePushedOutOfRangeAndBack) {
    meter.plug();
    QSignalSpy sent(&meter, &SimulatedMeter::statusReportSent);
    meter.setFrequencyOutOfRange(true);
    EXPECT_TRUE(meter.frequencyOutOfRange());
    meter.sendStatusReport();
    meter.setFrequencyOutOfRange(false);
    meter.sendStatusReport();
    ASSERT_EQ(sent.count(), 2);
    const auto out = sent.at(0).at(0).value<protocol::StatusReport>();
    const auto back = sent.at(1).at(0).value<protocol::StatusReport>();
    EXPECT_LT(out.frequency, zr::protocol::meter::kLowestValidFrequency);
    EXPECT_GE(back.frequency, zr::protocol::meter::kLowestValidFrequency);
    EXPECT_LE(back.frequency, zr::protocol::meter::kHighestValidFrequency);
}

// The whole road as the program takes it: the controller's scan finds the meter, its reader
// hands reports to the main thread, and commands written through the device are answered.
TEST_F(SimulatedMeterTest, ReachesTheProgramThroughTheHidController) {
    meter.plug();
    hid::HidDeviceController controller(bus);
    WAIT_UNTIL(controller.scanCount() > 0, 2000);
    hid::HidDevice* device = controller.claimDevice();
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->vendorId(), zr::protocol::meter::kVendorId);
    EXPECT_EQ(device->productId(), zr::protocol::meter::kProductId);
    EXPECT_EQ(device->productString(), QStringLiteral("ZR-6040 USB"));

    std::vector<std::vector<std::uint8_t>> payloads;
    device->setDataHandler(
        [&](hid::HidDevice&, std::uint8_t reportId, const std::uint8_t* data, std::uint16_t size) {
            EXPECT_EQ(reportId, 0);
            payloads.emplace_back(data, data + size);
        });
    ASSERT_TRUE(device->hasReader());

    // The reader opens its handle on its own thread; reports sent before that are lost, as
    // with a real device, so the meter keeps sending.
    meter.setStatusInterval(10);
    WAIT_UNTIL(!payloads.empty(), 2000);
    ASSERT_EQ(payloads[0].size(), 64u);
    const auto status = protocol::decodeStatusReport(payloads[0].data(), payloads[0].size());
    ASSERT_TRUE(status);
    EXPECT_EQ(status->method, 1);
    EXPECT_EQ(status->dataCount, 0);

    const ReportBuffer request =
        protocol::encodeRequestCalibrationEntry({.slot = 1, .name = {}, .method = 1});
    ASSERT_TRUE(device->writeReport(request.data(), request.size()).ok);
    const auto isEntryReply = [](const std::vector<std::uint8_t>& payload) {
        return protocol::replyCode(payload.data(), payload.size()) ==
               protocol::reply::kCalibrationEntry;
    };
    WAIT_UNTIL(std::any_of(payloads.begin(), payloads.end(), isEntryReply), 2000);
    const auto& reply = *std::find_if(payloads.begin(), payloads.end(), isEntryReply);
    EXPECT_EQ(protocol::decodeCalibrationEntry(reply.data(), reply.size())->slot, 0);

    device->setDataHandler({});
    controller.returnDevice(device);
}

} // namespace
} // namespace zr::sim
