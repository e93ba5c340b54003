#pragma once

#include "device/connection/ControllerContext.h"
#include "device/protocol/CommandSender.h"
#include "support/FakeMessageService.h"
#include "support/MemoryFiles.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zr::test {

// The meter as the command sender writes to it: every report kept.
class LibraryMeterPort : public protocol::MeterPort {
public:
    bool connected() const override { return isConnected; }
    std::size_t outputReportLength() override { return 65; }
    protocol::WriteOutcome write(const std::uint8_t* data, std::size_t length) override {
        writes.emplace_back(data, data + length);
        return {true, length, 0};
    }

    bool isConnected = true;
    std::vector<std::vector<std::uint8_t>> writes;
};

// A controller context on a recording meter and recorded message boxes.
struct ControllerTestContext {
    connection::SharedState state;
    LibraryMeterPort port;
    int notConnected = 0;
    protocol::CommandSender commands{port, [](const std::string&) {}, [this] { ++notConnected; }};
    FakeMessageService messages;

    connection::ControllerContext context() { return {state, commands, messages}; }
};

} // namespace zr::test
