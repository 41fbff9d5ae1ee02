#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ptk::platform {

// What the driver reports about its queues (the counts of a comm-error query).
struct QueueCounts {
    std::uint32_t output = 0;
    std::uint32_t input = 0;
};

// Read and write time-outs in the form the serial driver takes them. With the defaults a read of
// one byte gives up after 2 ms, and a write may take 2 ms a byte.
struct CommTimeouts {
    std::uint32_t readIntervalMs = 0;
    std::uint32_t readTotalMultiplierMs = 2;
    std::uint32_t readTotalConstantMs = 0;
    std::uint32_t writeTotalMultiplierMs = 2;
    std::uint32_t writeTotalConstantMs = 0;

    bool operator==(const CommTimeouts&) const = default;
};

enum PurgeFlags : unsigned {
    PurgeTxAbort = 0x1,
    PurgeRxAbort = 0x2,
    PurgeTxClear = 0x4,
    PurgeRxClear = 0x8,
};

enum class ReadOutcome {
    Byte,    // one byte was stored
    NoByte,  // the read time-out ran out first
    Failed,  // the device reported an error
};

// One open serial port, exclusively ours until the object is destroyed. Every call is
// non-throwing; false or Failed means the driver refused.
class SerialDevice {
public:
    virtual ~SerialDevice() = default;

    virtual bool setupQueues(std::uint32_t inputBytes, std::uint32_t outputBytes) = 0;
    // 8 data bits, no parity, one stop bit, binary, no flow control of any kind, DTR and RTS
    // held inactive where the device has modem lines.
    virtual bool configureLine(std::uint32_t baudRate) = 0;
    virtual bool setTimeouts(const CommTimeouts& timeouts) = 0;
    // Clears a pending line error and reports the queue counts.
    virtual bool clearErrors(QueueCounts* counts) = 0;
    virtual bool purge(unsigned purgeFlags) = 0;
    // Writes count bytes within the write time-outs; written tells how many went out.
    virtual bool write(const std::uint8_t* data, std::size_t count, std::size_t& written) = 0;
    // Reads one byte within the read time-outs.
    virtual ReadOutcome readByte(std::uint8_t& byte) = 0;
    // Blocks until input is pending or maxMs has passed, without taking any byte. True when
    // input is pending. Lets an idle wait sleep instead of spinning on one-byte reads.
    virtual bool waitForInput(std::uint32_t maxMs) = 0;
};

// Opens ports by their index (0 is COM1). The system backend opens real devices; tests give an
// opener that hands out the device end of an in-memory line.
class SerialOpener {
public:
    virtual ~SerialOpener() = default;
    virtual std::unique_ptr<SerialDevice> open(int portIndex) = 0;
};

// The operating system's serial ports, through the backend built for this platform.
class SystemSerialOpener final : public SerialOpener {
public:
    std::unique_ptr<SerialDevice> open(int portIndex) override;
};

}  // namespace ptk::platform
