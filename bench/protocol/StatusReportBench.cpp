#include "device/protocol/Replies.h"
#include "device/protocol/TrafficLog.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>

namespace {

// What the program does with each status report before the display: the log line, the reply
// code and the decoded fields.
void logAndDecodeStatusReports(benchmark::State& state) {
    std::array<std::uint8_t, 64> payload{0x37, 0x94, 0x11, 0x01, 0x9A, 0x99, 0xB8,
                                         0x42, 0x00, 0x00, 0x00, 0x3F, 0x02, 0x03};
    for (std::size_t i = 14; i < payload.size(); ++i) {
        payload[i] = static_cast<std::uint8_t>(i * 7);
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(payload.data());
        std::string line = zr::protocol::formatReceiveLine(payload.data(), payload.size());
        benchmark::DoNotOptimize(line);
        if (zr::protocol::replyCode(payload.data(), payload.size()) == 0x37) {
            auto status = zr::protocol::decodeStatusReport(payload.data(), payload.size());
            benchmark::DoNotOptimize(status);
        }
    }
    state.counters["reports/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(logAndDecodeStatusReports);

} // namespace

BENCHMARK_MAIN();
