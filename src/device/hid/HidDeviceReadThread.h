#pragma once

// The reader thread of one claimed device: one outstanding read at a time, waiting in
// ReadWaitSlice slices. What it reads (reports and read errors) goes into a bounded queue that
// the main thread (the thread that created the reader) empties in one go per wake-up, handing
// each entry to the device's handlers one at a time, in the order read. The reader never waits
// for the main thread except for room in a full queue, so stopping it never deadlocks.

#include <cstddef>
#include <cstdint>
#include <memory>

namespace zr::hid {

class HidDevice;

class HidDeviceReadThread {
public:
    // Reports read and not yet handled, at most. With the queue full the reader reads no more
    // until the main thread took one: further reports wait in the platform's input-report
    // buffers of the device, which drop their oldest when they overflow.
    static constexpr std::size_t kQueueLength = 128;

    // reportLength: InputReportByteLength from the capabilities fetched on the main thread.
    HidDeviceReadThread(HidDevice& device, std::size_t reportLength);
    // Stops the thread (see stop()).
    ~HidDeviceReadThread();

    HidDeviceReadThread(const HidDeviceReadThread&) = delete;
    HidDeviceReadThread& operator=(const HidDeviceReadThread&) = delete;

    void start();
    // Main thread, also from inside one of this reader's handlers. Asks the thread to stop (a
    // waiting read is cancelled at once) and waits for its end. What it read and the main thread
    // has not handled yet is dropped: once stopped, the reader hands nothing more over.
    void stop();

    struct Shared; // internal

private:
    std::shared_ptr<Shared> s_;
};

} // namespace zr::hid
