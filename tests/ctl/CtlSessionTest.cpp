#include "calibration/LibraryFile.h"
#include "common/Cp1251.h"
#include "ctl/CtlOnSimulatedBus.h"
#include "ctl/ExitStatus.h"
#include "device/protocol/ByteOrder.h"
#include "device/protocol/Commands.h"
#include "device/protocol/MemoryMap.h"
#include "sim/DemonstrationContents.h"
#include "support/WaitUntil.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

namespace zr::ctl {
namespace {

using test::CtlOnSimulatedBus;
namespace memory = protocol::memory;

void storeValue(sim::MeterModel& model, int number, int method, float value) {
    const int address = memory::recordAddress(number);
    model.setMemoryByte(address, static_cast<std::uint8_t>(number));
    model.setMemoryByte(address + 1, static_cast<std::uint8_t>(method));
    const auto bytes = protocol::floatBytes(value);
    for (int i = 0; i < 4; ++i) {
        model.setMemoryByte(address + 2 + i, bytes[static_cast<std::size_t>(i)]);
    }
    model.setMemoryByte(memory::kStoredCountAddress, static_cast<std::uint8_t>(number));
}

TEST_F(CtlOnSimulatedBus, StatusAsJson) {
    plug();
    statusReport = status(4500, 2, 85.5f, 0.5f, 1, 3);
    const test::CtlOutcome r = run({"status", "--json"});
    EXPECT_EQ(r.status, kDone);
    EXPECT_EQ(QJsonDocument::fromJson(r.out).toJson(QJsonDocument::Compact),
              QByteArray(R"({"correction":0.5,"frequency":4500,"frequency_valid":true,)"
                         R"("method":2,"method_name":"Моторный метод","stored_count":3,)"
                         R"("table":1,"value":85.5})"));
    EXPECT_TRUE(r.err.isEmpty());
}

TEST_F(CtlOnSimulatedBus, StatusAsTable) {
    plug();
    statusReport = status(5200, 1, 91.25f, -1.0f, 0, 0);
    const test::CtlOutcome r = run({"status"});
    EXPECT_EQ(r.status, kDone);
    EXPECT_EQ(QString::fromUtf8(r.out),
              QStringLiteral("Method                     Value  Correction  Table  Frequency  "
                             "In band  Stored\n"
                             "1 Исследовательский метод  0      -1          0      5200       "
                             "no       0\n"));
}

// The reading commands send the meter nothing, so that a window open beside them is left alone;
// the session's own timers, armed by the arrival, would ask after one and a half seconds.
TEST_F(CtlOnSimulatedBus, WatchWritesStampedCsvLinesAndSendsNothing) {
    plug();
    statusReport = status(4600, 3, 47.5f, 0.0f, 0, 2);
    const test::CtlOutcome r = run({"watch", "--csv", "--count", "400"});
    EXPECT_EQ(r.status, kDone);
    const QList<QByteArray> lines = r.out.split('\n');
    ASSERT_EQ(lines.size(), 402);
    EXPECT_EQ(lines.at(0), "time,method,method_name,value,correction,table,frequency,"
                           "frequency_valid,stored_count,seq\r");
    EXPECT_EQ(lines.at(400),
              "2026-05-04T09:30:15.250+03:00,3,Цетановое число,47.5,0,0,4600,true,2,400\r");
    EXPECT_EQ(meter->commands, 0);
}

TEST_F(CtlOnSimulatedBus, WatchEndsWithStatus4WhenTheMeterIsPulledOut) {
    plug();
    statusReport = status(4600, 1, 90.0f, 0.0f, 0, 0);
    // Three reports, and the meter goes once the third line is out.
    onTick = [this] {
        reporting = reportsSent < 3;
        if (written.count('\n') == 3) {
            unplug();
        }
    };
    const test::CtlOutcome r = run({"watch", "--json"});
    EXPECT_EQ(r.status, kMeterLost);
    EXPECT_EQ(r.err, "The meter was unplugged.\n"
                     R"({"error":"The meter was unplugged.","status":4})"
                     "\n");
    const QList<QByteArray> lines = r.out.split('\n');
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines.at(3).isEmpty());
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(QJsonDocument::fromJson(lines.at(i)).isObject());
    }
}

TEST_F(CtlOnSimulatedBus, StoredValuesOfBothPagesAsCsv) {
    meter->withModel([](sim::MeterModel& model) {
        const float values[] = {92.3f, 95.1f, 84.6f, 48.0f, 91.0f, 92.0f, 93.5f};
        for (int n = 1; n <= 7; ++n) {
            storeValue(model, n, n == 4 ? 3 : (n == 3 ? 2 : 1), values[n - 1]);
        }
    });
    plug();
    const test::CtlOutcome r = run({"stored", "--csv"});
    EXPECT_EQ(r.status, kDone);
    EXPECT_EQ(r.out, QByteArray("number,method,method_name,value\r\n"
                                "1,1,Исследовательский метод,92.3\r\n"
                                "2,1,Исследовательский метод,95.1\r\n"
                                "3,2,Моторный метод,84.6\r\n"
                                "4,3,Цетановое число,48\r\n"
                                "5,1,Исследовательский метод,91\r\n"
                                "6,1,Исследовательский метод,92\r\n"
                                "7,1,Исследовательский метод,93.5\r\n"));
    EXPECT_EQ(meter->storedReads, 2);
}

// A count of none (never stored, or erased) makes the meter's pages go unread: nothing is awaited.
TEST_F(CtlOnSimulatedBus, StoredValuesOfAMeterThatHoldsNoneAreAnEmptyList) {
    plug();
    for (const std::uint8_t count : {0, 255}) {
        meter->withModel([count](sim::MeterModel& model) {
            model.setMemoryByte(memory::kStoredCountAddress, count);
        });
        const test::CtlOutcome r = run({"stored", "--json", "--timeout", "2"});
        EXPECT_EQ(r.status, kDone) << int(count);
        EXPECT_EQ(QJsonDocument::fromJson(r.out).toJson(QJsonDocument::Compact), QByteArray("[]"))
            << int(count);
    }
}

// A second program on the meter asks for method 3's calibration list at every tick and just
// before the meter takes each command of zr6040ctl's; the meter's answers reach every reader.
TEST_F(CtlOnSimulatedBus, ASecondProgramsAnswersAreNeitherStatusReportsNorTheAskedList) {
    meter->withModel([](sim::MeterModel& model) {
        sim::loadDemonstrationContents(model);
        model.setMethod(1);
    });
    const hid::SimulatedDeviceId id = plug();
    const std::vector<hid::HidInterfaceInfo> found = bus.enumerate();
    ASSERT_EQ(found.size(), 1u);
    const std::unique_ptr<hid::HidHandle> second =
        bus.open(found.front(), hid::HidOpenMode::ReadWrite);
    ASSERT_TRUE(second);
    bool asking = false;
    int rounds = 0;
    const auto ask = [&] {
        if (asking) {
            return;
        }
        asking = true;
        for (int slot = 1; slot <= sim::MeterModel::kSlotsPerMethod; ++slot) {
            const protocol::ReportBuffer request =
                protocol::encodeRequestCalibrationEntry({slot, {}, 3, 0, 0});
            second->write(request.data(), request.size());
        }
        ++rounds;
        asking = false;
    };
    meter->beforeAnswer = ask;
    // Status reports, each of its own frequency, once zr6040ctl has heard a few rounds of answers.
    onTick = [&] {
        if (bus.openHandleCount(id, hid::HidOpenMode::Read) == 0) {
            return;
        }
        ask();
        reporting = rounds > 3;
        statusReport = status(static_cast<std::uint16_t>(4500 + reportsSent), 1, 90.0f, 0.0f, 0, 3);
    };
    const QByteArray statusHeader =
        "method,method_name,value,correction,table,frequency,frequency_valid,stored_count\r\n";
    const auto line = [](int frequency, const QByteArray& seq = {}) {
        return QByteArray("1,Исследовательский метод,90,0,0,") + QByteArray::number(frequency) +
               ",true,3" + seq + "\r\n";
    };
    const QByteArray time = "2026-05-04T09:30:15.250+03:00,";
    const struct {
        QStringList arguments;
        QByteArray out;
    } cases[] = {
        {{"status", "--csv"}, statusHeader + line(4500)},
        {{"watch", "--csv", "--count", "3"},
         "time," + statusHeader.chopped(2) + ",seq\r\n" + time + line(4500, ",1") + time +
             line(4501, ",2") + time + line(4502, ",3")},
        {{"calibrations", "--method", "RON", "--csv"},
         "slot,name,k1,k2\r\n1,АИ-92,1012,-9\r\n2,АИ-95,995,6\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        reporting = false;
        reportsSent = 0;
        rounds = 0;
        const test::CtlOutcome r = run(c.arguments);
        EXPECT_EQ(r.status, kDone);
        EXPECT_EQ(r.out.toStdString(), c.out.toStdString());
    }
    meter->beforeAnswer = {};
}

TEST_F(CtlOnSimulatedBus, StoredEndsWithStatus4WhenTheMeterIsPulledOutMidFetch) {
    meter->withModel([](sim::MeterModel& model) { sim::loadDemonstrationContents(model); });
    meter->swallowStoredReads = true;
    plug();
    onTick = [this] {
        if (meter->storedReads > 0) {
            unplug();
        }
    };
    const test::CtlOutcome r = run({"stored"});
    EXPECT_EQ(r.status, kMeterLost);
    EXPECT_TRUE(r.out.isEmpty());
}

TEST_F(CtlOnSimulatedBus, CalibrationsOfTheMetersMethodAndOfAnother) {
    meter->withModel([](sim::MeterModel& model) {
        sim::loadDemonstrationContents(model);
        model.setMethod(1);
    });
    plug();
    test::CtlOutcome r = run({"calibrations", "--csv"});
    EXPECT_EQ(r.status, kDone);
    EXPECT_EQ(r.out, QByteArray("slot,name,k1,k2\r\n1,АИ-92,1012,-9\r\n2,АИ-95,995,6\r\n"));
    r = run({"calibrations", "--method", "CN", "--json"});
    EXPECT_EQ(r.status, kDone);
    EXPECT_EQ(QJsonDocument::fromJson(r.out).toJson(QJsonDocument::Compact),
              QByteArray(R"([{"k1":1000,"k2":4,"name":"ДТ летнее","slot":1}])"));
    EXPECT_EQ(meter->withModel([](const sim::MeterModel& model) { return model.method(); }), 1);
}

TEST_F(CtlOnSimulatedBus, MethodSwitchesTheMeterAndWritesTheConfirmingReport) {
    meter->withModel([](sim::MeterModel& model) { model.setMethod(1); });
    plug();
    const test::CtlOutcome r = run({"method", "MON", "--json"});
    EXPECT_EQ(r.status, kDone);
    EXPECT_EQ(QJsonDocument::fromJson(r.out).object().value(QStringLiteral("method")), 2);
    EXPECT_EQ(meter->withModel([](const sim::MeterModel& model) { return model.method(); }), 2);
}

TEST_F(CtlOnSimulatedBus, ListShowsOnlyMetersAndOpensNothingElse) {
    hid::SimulatedDeviceInfo keyboard;
    keyboard.vendorId = 0x046D;
    keyboard.productId = 0xC31C;
    keyboard.caps.inputReportByteLength = 9;
    keyboard.openableReadWrite = false;
    const hid::SimulatedDeviceId keyboardId = bus.plug(keyboard, meter);
    const hid::SimulatedDeviceId id = plug();
    const test::CtlOutcome r = run({"list", "--csv"});
    EXPECT_EQ(r.status, kDone);
    EXPECT_EQ(r.out, QByteArray("device,serial,read_write,product,usb_path\r\n/dev/simhid") +
                         QByteArray::number(id) + ",SIM6040,true,ZR-6040 USB,\r\n");

    // While a command holds the meter, the other device stays closed.
    statusReport = status(4600, 1, 90.0f, 0.0f, 0, 0);
    int keyboardHandles = -1;
    onTick = [&] { keyboardHandles = bus.openHandleCount(keyboardId); };
    EXPECT_EQ(run({"watch", "--count", "2"}).status, kDone);
    EXPECT_EQ(keyboardHandles, 0);
}

TEST_F(CtlOnSimulatedBus, DeviceOrSerialPicksOneOfTwoMeters) {
    auto second = std::make_shared<test::CountingMeterDevice>();
    hid::SimulatedDeviceInfo secondInfo = sim::SimulatedMeter::deviceInfo();
    secondInfo.serial = QStringLiteral("SECOND");
    const hid::SimulatedDeviceId secondId = bus.plug(secondInfo, second);
    plug();
    const QString path = QStringLiteral("/dev/simhid%1").arg(secondId);
    const QByteArray secondListed =
        ("device,serial,read_write,product,usb_path\r\n" + path + ",SECOND,true,ZR-6040 USB,\r\n")
            .toUtf8();
    test::CtlOutcome r = run({"list", "--csv", "--device", path});
    EXPECT_EQ(r.out, secondListed);

    // Only the first meter reports; the second one, chosen, says nothing.
    r = run({"status", "--device", path, "--timeout", "0.3"});
    EXPECT_EQ(r.status, kNoReply);
    EXPECT_GT(reportsSent, 0);

    // The same by serial number.
    const struct {
        const char* serial;
        int status;
        QByteArray out;
    } cases[] = {
        {"SECOND", kDone, secondListed},
        {"NOPE", kNoMeter, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.serial);
        const test::CtlOutcome listed = run({"list", "--csv", "--serial", c.serial});
        EXPECT_EQ(listed.status, c.status);
        EXPECT_EQ(listed.out, c.out);
    }
    // The first meter reports; the second one, chosen by its number, says nothing.
    EXPECT_EQ(run({"status", "--serial", "SECOND", "--timeout", "0.3"}).status, kNoReply);
    EXPECT_EQ(run({"status", "--serial", "SIM6040", "--json"}).status, kDone);
}

// What the meter says of itself, and the calibration in force asked for by its slot.
TEST_F(CtlOnSimulatedBus, InfoShowsTheMeterTheMethodAndTheCalibrationInForce) {
    meter->withModel([](sim::MeterModel& model) { sim::loadDemonstrationContents(model); });
    const hid::SimulatedDeviceId id = plug();
    const QByteArray device = "/dev/simhid" + QByteArray::number(id);
    const QByteArray facts = device + ",,04d7,013f,0100,ZR-6040 USB,SIM6040,65,65,true,1,"
                                      "Исследовательский метод,";
    const struct {
        int table;
        QByteArray line;
    } cases[] = {
        {2, facts + "2,АИ-95,995,6\r\n"},
        {0, facts + "0,,,\r\n"},
        // A slot in force that holds nothing.
        {4, facts + "4,,,\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.table);
        statusReport = status(4500, 1, 90.0f, 0.0f, static_cast<std::uint8_t>(c.table), 3);
        const test::CtlOutcome r = run({"info", "--csv"});
        EXPECT_EQ(r.status, kDone);
        EXPECT_EQ(r.out, "device,usb_path,vendor_id,product_id,version,product,serial,"
                         "input_report_length,output_report_length,read_write,method,"
                         "method_name,table,calibration_name,k1,k2\r\n" +
                             c.line);
    }
}

// --verbose shows what went to the meter and what came back, in the window's traffic log form;
// the JSON object of an error carries the error alone.
TEST_F(CtlOnSimulatedBus, VerboseWritesTheTrafficToStandardError) {
    meter->withModel([](sim::MeterModel& model) { sim::loadDemonstrationContents(model); });
    plug();
    const struct {
        QStringList arguments;
        bool unanswered;
        int status;
        bool traffic;
        QByteArray lastLine;
    } cases[] = {
        {{"stored", "--csv"}, false, kDone, false, {}},
        {{"stored", "--csv", "--verbose"}, false, kDone, true, {}},
        {{"stored", "--json", "--verbose", "--timeout", "0.3"},
         true,
         kNoReply,
         true,
         R"({"error":"The meter did not reply in time.","status":6})"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        meter->swallowStoredReads = c.unanswered;
        const test::CtlOutcome r = run(c.arguments);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.err.startsWith("WR ") || r.err.contains("\nWR "), c.traffic) << r.err.data();
        if (!c.lastLine.isEmpty()) {
            EXPECT_EQ(r.err.trimmed().split('\n').last(), c.lastLine);
        }
    }
}

TEST_F(CtlOnSimulatedBus, EachExitStatusOfAMeterThatCannotServe) {
    struct Case {
        const char* name;
        std::function<void(CtlOnSimulatedBus&)> setUp;
        int status;
        const char* error;
    };
    const Case cases[] = {
        {"no meter", [](CtlOnSimulatedBus&) {}, kNoMeter, "No ZR-6040 meter is attached."},
        {"no access",
         [](CtlOnSimulatedBus& t) {
             hid::SimulatedDeviceInfo info = sim::SimulatedMeter::deviceInfo();
             info.openableReadWrite = false;
             t.plug(info);
         },
         kMeterNotAccessible,
         "cannot be opened read-write: Permission denied. Install the udev "
         "rule 70-zr6040.rules"},
        {"silent",
         [](CtlOnSimulatedBus& t) {
             t.plug();
             t.reporting = false;
         },
         kNoReply, "The meter did not reply in time."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        unplug();
        reporting = true;
        c.setUp(*this);
        const test::CtlOutcome r = run({"status", "--timeout", "0.3"});
        EXPECT_EQ(r.status, c.status);
        EXPECT_TRUE(r.err.contains(c.error)) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
}

TEST_F(CtlOnSimulatedBus, LibraryOfTheDataDirectoryAndOfAFile) {
    calibration::LibraryRecord entry;
    entry.setIndex(1);
    entry.setNameBytes(common::toCp1251(QStringLiteral("АИ-92")));
    entry.setMethod(1);
    entry.setK1(1012);
    entry.setK2(-9);
    entry.setCommentBytes(common::toCp1251(QStringLiteral("эталон, партия \"7\"")));
    QFile file(dataDir.filePath(QStringLiteral("data.zr")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(calibration::serializeLibrary({entry, entry}));
    file.close();

    test::CtlOutcome r = run({"library", "--csv"});
    EXPECT_EQ(r.status, kDone);
    const QByteArray row = "1,АИ-92,1,1012,-9,\"эталон, партия \"\"7\"\"\"\r\n";
    EXPECT_EQ(r.out, "index,name,method,k1,k2,comment\r\n" + row + row);
    EXPECT_EQ(meter->commands, 0);

    r = run({"library", dataDir.filePath(QStringLiteral("missing.zr"))});
    EXPECT_EQ(r.status, kError);
    EXPECT_TRUE(r.err.endsWith("missing.zr: no such file\n"));
}

} // namespace
} // namespace zr::ctl
