#pragma once

#include "calibration/LibraryStore.h"
#include "device/connection/ControllerContext.h"
#include "device/protocol/CommandSender.h"
#include "support/FakeMessageService.h"

#include <cstdint>
#include <new>
#include <optional>
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

// The library file in memory; each operation can be made to fail.
class MemoryLibraryStore : public calibration::LibraryStore {
public:
    bool exists() const override { return file.has_value(); }
    common::FileRead read() const override {
        if (throwOnRead) {
            throw std::bad_alloc();
        }
        common::FileRead result;
        if (!file) {
            return result;
        }
        if (failRead) {
            result.outcome = common::FileRead::Outcome::Failed;
            result.error = QStringLiteral("Permission denied");
            return result;
        }
        result.outcome = common::FileRead::Outcome::Read;
        result.bytes = *file;
        return result;
    }
    bool replace(const QByteArray& content) override {
        ++replaceCount;
        if (failReplace) {
            return false;
        }
        file = content;
        return true;
    }

    std::optional<QByteArray> file;
    bool failRead = false;
    bool throwOnRead = false;
    bool failReplace = false;
    int replaceCount = 0;
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
