#pragma once

// The reader thread of one claimed device: one outstanding
// read at a time, waiting in ReadWaitSlice slices; each report is handed to the main thread
// (the thread that created the reader) and the reader blocks until the DataHandler returned.
// Stopping never deadlocks: while the main thread waits for the reader to end it carries out the
// reader's pending hand-over itself.

#include <cstddef>
#include <cstdint>
#include <memory>

namespace zr::hid {

class HidDevice;

class HidDeviceReadThread {
public:
    // reportLength: InputReportByteLength from the capabilities fetched on the main thread.
    HidDeviceReadThread(HidDevice& device, std::size_t reportLength);
    // Stops the thread (see stop()).
    ~HidDeviceReadThread();

    HidDeviceReadThread(const HidDeviceReadThread&) = delete;
    HidDeviceReadThread& operator=(const HidDeviceReadThread&) = delete;

    void start();
    // Main thread. Asks the thread to stop (it sees the request within one wait slice; a waiting
    // read is also cancelled at once) and waits for its end, carrying out its pending
    // hand-overs. Called from inside this reader's own hand-over (a DataHandler that clears
    // itself or returns its device), it cannot wait there: the thread is then joined as soon as
    // that hand-over has returned.
    void stop();
    bool isRunning() const;

    // Counters, for tests and diagnostics.
    uint64_t reportsDelivered() const;
    uint64_t readErrors() const;
    int lastErrorCode() const;
    std::size_t bufferLength() const;

    struct Shared; // internal

private:
    std::shared_ptr<Shared> s_;
};

} // namespace zr::hid
