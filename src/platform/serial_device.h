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
    Failed,  // the device reported an error or hung up (a USB adapter pulled out): only closing
             // the port and opening it again can help
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
    // input is pending, or at once when the device failed (readByte then says so). Lets an idle
    // wait sleep instead of spinning on one-byte reads.
    virtual bool waitForInput(std::uint32_t maxMs) = 0;
    // Whether the device is gone (hung up, pulled out), so that every write and read fails from
    // now on. Asked after a write failed.
    virtual bool hungUp() { return false; }
};

// Why a port did not open.
enum class PortOpenFailure {
    None,
    NoDevice,      // COMn stands for no device on this system
    NotThere,      // the device is missing: an adapter not plugged in, a link to nothing
    Busy,          // another program holds it
    NoPermission,  // this user may not open it
    NotSerial,     // it is no serial port
    Other,         // the system's own reason says more
};

// What opening a port found: the device COMn stood for and, when it did not open, why.
struct PortOpenReport {
    // "/dev/ttyUSB0", "./COM9 -> /dev/pts/3", "\\.\COM3"; empty when COMn stands for none.
    std::string device;
    PortOpenFailure failure = PortOpenFailure::None;
    std::string systemText;  // the system's words for the failure
};

// For the inspector, below "Порт недоступен!": the device COMn stood for and why it did not open,
// with the fix where there is one. Empty when the report knows no device.
std::string portOpenFailureText(int portIndex, const PortOpenReport& report);
// The port as the traces and the simulator's messages name it: "COM33 (/dev/ttyUSB0)".
std::string portTraceName(int portIndex, const PortOpenReport& report);
// Why it did not open, for them: "not there", "busy (held by another program)", ...
std::string portTraceReason(const PortOpenReport& report);

// Opens ports by their index (0 is COM1). The system backend opens real devices; tests give an
// opener that hands out the device end of an in-memory line.
class SerialOpener {
public:
    virtual ~SerialOpener() = default;
    // The port's device, or null; report, when given, names the device and why it did not open.
    virtual std::unique_ptr<SerialDevice> open(int portIndex, PortOpenReport* report) = 0;
    std::unique_ptr<SerialDevice> open(int portIndex) { return open(portIndex, nullptr); }
};

// The operating system's serial ports, through the backend built for this platform.
class SystemSerialOpener final : public SerialOpener {
public:
    using SerialOpener::open;
    std::unique_ptr<SerialDevice> open(int portIndex, PortOpenReport* report) override;
};

}  // namespace ptk::platform
