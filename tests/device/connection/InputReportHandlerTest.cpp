#include "device/connection/InputReportHandler.h"

#include <gtest/gtest.h>
#include <vector>

using namespace zr::connection;

namespace {

// Records what the handler routes where.
struct Routed {
    std::vector<std::string> log;
    int methodChanges = 0;
    int pages = 0;
    std::vector<int> byteValues;
    std::vector<zr::protocol::CalibrationSlot> entries;
    int refreshes = 0;

    InputReportRoutes routes() {
        return {[this](const std::string& l) { log.push_back(l); },
                [this] { ++methodChanges; },
                [this](const zr::protocol::StoredValuesPage&) { ++pages; },
                [this](std::uint8_t v) { byteValues.push_back(v); },
                [this](const zr::protocol::CalibrationSlot& e) { entries.push_back(e); },
                [this] { ++refreshes; }};
    }
};

std::vector<std::uint8_t> payload(std::initializer_list<std::uint8_t> head, std::size_t size = 64) {
    std::vector<std::uint8_t> p(head);
    p.resize(std::max(size, p.size()));
    return p;
}

} // namespace

TEST(InputReportHandler, StatusReportsAreStoredAndAChangedMethodArmsTheListRefresh) {
    SharedState state;
    Routed r;
    InputReportHandler handler(state, r.routes());
    auto status = payload({0x37, 0x94, 0x11, 0x01, 0x9A, 0x99, 0xB8, 0x42, 0, 0, 0, 0x3F, 2, 3});
    handler.handleInputReport(status.data(), static_cast<std::uint16_t>(status.size()));
    EXPECT_EQ(state.status.frequency, 4500);
    EXPECT_EQ(state.status.method, 1);
    EXPECT_FLOAT_EQ(state.status.measuredValue, 92.3F);
    EXPECT_FLOAT_EQ(state.status.correction, 0.5F);
    EXPECT_EQ(state.status.activeTable, 2);
    EXPECT_EQ(state.status.dataCount, 3);
    EXPECT_EQ(r.methodChanges, 1);
    handler.handleInputReport(status.data(), static_cast<std::uint16_t>(status.size()));
    EXPECT_EQ(r.methodChanges, 1);
    EXPECT_EQ(r.refreshes, 2);
    ASSERT_EQ(r.log.size(), 2U);
    EXPECT_EQ(r.log[0].substr(0, 12), "55 148 17 01");
}

TEST(InputReportHandler, AShortReportIsLoggedAndOtherwiseIgnored) {
    SharedState state;
    Routed r;
    InputReportHandler handler(state, r.routes());
    const std::uint8_t shortStatus[] = {0x37, 0x94, 0x11, 0x02};
    handler.handleInputReport(shortStatus, sizeof shortStatus);
    EXPECT_EQ(r.log, std::vector<std::string>{"55 148 17 02 "});
    EXPECT_EQ(state.status.method, 0);
    EXPECT_EQ(r.methodChanges, 0);
    EXPECT_EQ(r.refreshes, 0);

    const std::uint8_t shortEntry[] = {0x3D, 1, 'A'};
    handler.handleInputReport(shortEntry, sizeof shortEntry);
    EXPECT_TRUE(r.entries.empty());
}

TEST(InputReportHandler, StoredValuesPagesNeedAValidCount) {
    SharedState state;
    Routed r;
    InputReportHandler handler(state, r.routes());
    auto page = payload({0x67, 1, 1});
    for (std::uint8_t count : {0, 11, 255}) {
        state.status.dataCount = count;
        handler.handleInputReport(page.data(), 64);
    }
    EXPECT_EQ(r.pages, 0);
    EXPECT_EQ(r.refreshes, 0); // a dropped page does not refresh the display
    state.status.dataCount = 10;
    handler.handleInputReport(page.data(), 64);
    EXPECT_EQ(r.pages, 1);
    EXPECT_EQ(r.refreshes, 1);
}

TEST(InputReportHandler, ByteValuesNeedTheirFlagAndEntriesAreDecoded) {
    SharedState state;
    Routed r;
    InputReportHandler handler(state, r.routes());
    auto flagged = payload({0x65, 7, 1});
    auto unflagged = payload({0x65, 9, 0});
    handler.handleInputReport(flagged.data(), 64);
    handler.handleInputReport(unflagged.data(), 64);
    EXPECT_EQ(r.byteValues, std::vector<int>{7});

    auto entry = payload(
        {0x3D, 2, 'A', 'B', 'C', 'D', ' ', ' ', ' ', ' ', ' ', ' ', 1, 0x18, 0xFC, 0x05, 0x00});
    handler.handleInputReport(entry.data(), 64);
    ASSERT_EQ(r.entries.size(), 1U);
    EXPECT_EQ(r.entries[0].slot, 2);
    EXPECT_EQ(r.entries[0].name, "ABCD      ");
    EXPECT_EQ(r.entries[0].k1, -1000);
    EXPECT_EQ(r.entries[0].k2, 5);

    auto other = payload({0x99});
    handler.handleInputReport(other.data(), 64);
    EXPECT_EQ(r.refreshes, 4);
    EXPECT_EQ(r.log.size(), 4U);
}
