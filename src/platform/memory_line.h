#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "platform/clock.h"
#include "platform/serial_device.h"

namespace ptk::platform {

// The far end of an in-memory line: it is told of every byte the program writes, at the virtual
// time it was written, and answers by scheduling bytes on the line.
class LinePeer {
public:
    virtual ~LinePeer() = default;
    virtual void onReceived(const std::uint8_t* data, std::size_t count, std::uint64_t nowUs) = 0;
};

// A serial line in virtual time. The program's end is a SerialDevice; the far end schedules the
// bytes the program is to read, each at a virtual time, and a read that waits moves the clock
// forward to the next byte or to the end of its time-out. Nothing ever sleeps for real.
class MemoryLine {
public:
    explicit MemoryLine(VirtualClock& clock) : clock_(clock) {}

    void attach(LinePeer* peer) { peer_ = peer; }
    VirtualClock& clock() { return clock_; }

    // The program's end. The line must outlive it.
    std::unique_ptr<SerialDevice> openDevice();

    // Far end: bytes for the program, the first at atUs, the next ones gapUs apart.
    void send(std::uint64_t atUs, const std::uint8_t* data, std::size_t count,
              std::uint64_t gapUs = 0);
    void send(std::uint64_t atUs, std::initializer_list<std::uint8_t> bytes,
              std::uint64_t gapUs = 0);

    // Everything the program wrote, in order, with the virtual time of each write.
    struct Write {
        std::uint64_t atUs;
        std::vector<std::uint8_t> bytes;
    };
    const std::vector<Write>& writes() const { return writes_; }
    std::vector<std::uint8_t> writtenBytes() const;
    void clearWrites() { writes_.clear(); }

    // Bytes scheduled for the program that it has not read yet.
    std::size_t pendingBytes() const { return incoming_.size(); }

    // Faults of the program's end.
    void failNextWrites(int count) { failingWrites_ = count; }
    // The line is pulled out: reads fail, writes fail, and the port does not open, until it is
    // plugged in again. Bytes on their way are lost.
    void hangUp() {
        hungUp_ = true;
        incoming_.clear();
    }
    void plugIn() { hungUp_ = false; }
    bool isHungUp() const { return hungUp_; }
    void setConfigureFails(bool fails) { configureFails_ = fails; }
    void setClearErrorsFails(bool fails) { clearErrorsFails_ = fails; }
    // The next count time-out settings are refused (with errno EIO).
    void failNextTimeoutSettings(int count) { failingTimeoutSettings_ = count; }
    void setQueueCounts(QueueCounts counts) { reportedCounts_ = counts; }

    // How many one-byte reads and waits the program made (to see that idle waits block).
    std::uint64_t readCalls() const { return readCalls_; }
    std::uint64_t waitCalls() const { return waitCalls_; }
    std::uint32_t configuredBaud() const { return baud_; }
    const CommTimeouts& timeouts() const { return timeouts_; }
    // Every time-out setting the program asked for, in order, refused ones included.
    const std::vector<CommTimeouts>& timeoutSettings() const { return timeoutSettings_; }

private:
    friend class MemoryLineDevice;
    struct TimedByte {
        std::uint64_t atUs;
        std::uint8_t value;
    };

    VirtualClock& clock_;
    LinePeer* peer_ = nullptr;
    std::deque<TimedByte> incoming_;
    std::vector<Write> writes_;
    int failingWrites_ = 0;
    bool hungUp_ = false;
    bool configureFails_ = false;
    bool clearErrorsFails_ = false;
    int failingTimeoutSettings_ = 0;
    std::vector<CommTimeouts> timeoutSettings_;
    QueueCounts reportedCounts_{};
    std::uint64_t readCalls_ = 0;
    std::uint64_t waitCalls_ = 0;
    std::uint32_t baud_ = 0;
    CommTimeouts timeouts_{};
};

// Hands out the device end of one memory line for a chosen port index; other indexes fail to
// open, as a port without a device does.
class MemoryLineOpener final : public SerialOpener {
public:
    MemoryLineOpener(MemoryLine& line, int portIndex) : line_(line), portIndex_(portIndex) {}
    using SerialOpener::open;
    std::unique_ptr<SerialDevice> open(int portIndex, PortOpenReport* report) override;
    void setPortIndex(int portIndex) { portIndex_ = portIndex; }
    int openCount() const { return openCount_; }

private:
    MemoryLine& line_;
    int portIndex_;
    int openCount_ = 0;
};

}  // namespace ptk::platform
