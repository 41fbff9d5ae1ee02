#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "link/front_end.h"
#include "link/transaction_observer.h"
#include "platform/clock.h"
#include "platform/serial_device.h"

namespace ptk {

// One serial port number: whether an open was attempted, the driver's queue counts as last
// reported, and the open device (which owns the port handle and its event).
struct PortSlot {
    std::int32_t openFlag = 0;
    std::uint32_t outputQueue = 0;
    std::uint32_t inputQueue = 0;
    std::unique_ptr<platform::SerialDevice> device;
};

inline constexpr int kPortCount = 256;
inline constexpr std::array<std::uint32_t, 5> BaudTable = {9600, 19200, 38400, 57600, 115200};

// The longest the idle part of a read waits for the first byte before it turns the message pump
// again.
inline constexpr std::uint32_t kPumpIntervalMs = 20;

// Unsigned 32-bit "has limit passed since start", so a wrap of the tick counter is harmless.
constexpr bool Elapsed(std::uint32_t now, std::uint32_t start, std::uint32_t limit) {
    return static_cast<std::uint32_t>(now - start) >= limit;
}

// The one serial port through which the program talks to the register. Every read, write and
// purge works on the slot of CurrentPort. Not thread-safe: one transaction at a time, kept so by
// the callers.
class SerialChannel {
public:
    SerialChannel(platform::SerialOpener& opener, platform::Clock& clock, FrontEnd& frontEnd)
        : opener_(opener), clock_(clock), frontEnd_(frontEnd) {}

    // report, when given, names the device COMn stood for and why it did not open.
    bool OpenPort(int index, platform::PortOpenReport* report = nullptr);
    bool ClosePort(int index);
    bool ConfigurePort(int index, int baudIndex);
    void UpdateQueueCounters();
    bool WritePort(const std::uint8_t* buffer, std::size_t count,
                   std::size_t* writtenOut = nullptr);
    bool ReadPort(std::uint8_t* buffer, std::size_t count, std::size_t* readOut = nullptr);
    void PurgePort();
    bool PumpMessages();
    bool ReadWithDeadline(std::uint8_t* buffer, std::size_t count, std::uint32_t timeoutMs);
    bool WriteWithDeadline(const std::uint8_t* buffer, std::size_t count, std::uint32_t timeoutMs);

    // Like ReadWithDeadline, and it stops waiting once the frame that began with STX is complete:
    // its closing ETX (not escaped) and the checksum byte after it have arrived. The bytes and the
    // outcome are those of ReadWithDeadline; only the wait for bytes that never come is spared.
    // complete tells whether count logical bytes arrived.
    bool ReadFrameWithDeadline(std::uint8_t* buffer, std::size_t capacity, std::size_t count,
                               std::uint32_t timeoutMs, bool& complete);

    // The port every read, write and purge works on (COM1 is 0). Opening a port makes it the
    // current one; reloading the settings files moves it without touching the open port.
    int currentPort() const { return CurrentPort; }
    void setCurrentPort(int index) { CurrentPort = index; }
    const PortSlot& portSlot(int index) const {
        return PortTable.at(static_cast<std::size_t>(index));
    }

    // Held by each transaction for as long as it runs: one transaction on the line at a time. In
    // debug builds a second one that starts before the first has ended (from a window message the
    // first one pumped, or on another thread) stops the program at once: its bytes would mix with
    // the first one's on the line, and either could take the other's answer.
    class Transaction {
    public:
        explicit Transaction(SerialChannel& channel);
        ~Transaction();
        Transaction(const Transaction&) = delete;
        Transaction& operator=(const Transaction&) = delete;

    private:
        [[maybe_unused]] SerialChannel& channel_;
    };

    // The stop request of a worker job: while the flag is set, reads end at once (within one
    // wait of kPumpIntervalMs) and writes send nothing. Whoever runs a job on a worker thread sets
    // it around the job and clears it after; null (the default) observes nothing.
    void setStopSignal(const std::atomic<bool>* flag) { stopSignal_ = flag; }
    bool stopRequested() const { return stopSignal_ != nullptr && stopSignal_->load(); }

    // The open device of CurrentPort, or null.
    platform::SerialDevice* currentDevice();

    // Told of the end of every transaction, of the command exchange and of the packet driver
    // alike, when set (the trace); not owned.
    TransactionObserver* transactionObserver = nullptr;
    void reportExchangeEnd(std::uint8_t code, ExchangeResult result, ExchangeRules rules) {
        lostInTransaction_ = false;  // the next transaction opens a lost port again
        if (transactionObserver) transactionObserver->exchangeEnded(code, result, rules);
    }
    void reportPacketEnd(std::uint8_t code, PacketResult result) {
        lostInTransaction_ = false;
        if (transactionObserver) transactionObserver->packetEnded(code, result);
    }

    // The device of CurrentPort failed or hung up (a USB adapter pulled out): it is closed at
    // once, every read and write of this transaction fails without waiting, and the next
    // transaction opens the port again, so plugging the adapter back in needs no restart.
    void portFailed();

    platform::Clock& clock() { return clock_; }
    FrontEnd& frontEnd() { return frontEnd_; }
    bool currentPortValid() const { return CurrentPort >= 0 && CurrentPort < kPortCount; }
    // The index of the port that is really open, or -1. CurrentPort may already name another
    // one: reloading the settings files moves it without touching the port.
    int openPortIndex() const;

private:
    enum class ReadOutcome { Complete, FrameEnded, Interrupted };

    PortSlot* currentSlot();
    // The open device of CurrentPort, opened again when it was lost in an earlier transaction;
    // null when there is none or it was lost in this one.
    platform::SerialDevice* liveDevice();
    // Whether a frame that began with STX ends a read once its checksum byte is in.
    enum class FrameEnd { EndsTheRead, Ignored };
    // One attempt of ReadPort into at most capacity places.
    ReadOutcome readLogicalBytes(std::uint8_t* buffer, std::size_t capacity, std::size_t count,
                                 FrameEnd frameEnd, std::size_t* readOut);
    ReadOutcome readWithDeadline(std::uint8_t* buffer, std::size_t capacity, std::size_t count,
                                 std::uint32_t timeoutMs, FrameEnd frameEnd);
    // Waits up to kPumpIntervalMs (or until the deadline) for the first byte of an attempt.
    bool waitForFirstByte(std::uint32_t start, std::uint32_t timeoutMs);

    int CurrentPort = 0;
    std::array<PortSlot, kPortCount> PortTable{};
    platform::SerialOpener& opener_;
    platform::Clock& clock_;
    FrontEnd& frontEnd_;
#ifndef NDEBUG
    std::atomic<bool> onTheLine_{false};
#endif
    const std::atomic<bool>* stopSignal_ = nullptr;
    int configuredBaudIndex_ = -1;  // of the port configured last
    int lostPort_ = -1;             // the port whose device failed, to be opened again
    bool lostInTransaction_ = false;
};

}  // namespace ptk
