#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "link/transaction_observer.h"
#include "platform/line_file.h"
#include "platform/serial_device.h"
#include "trace/frame_tracker.h"
#include "trace/line_buffer.h"

namespace ptk::trace {

// Which end of the line writes the trace: ptk-inspector is the computer, ptk-sim the register.
enum class Role { Computer, Register };

// The exchange trace of one program (--trace FILE), for the service engineer: one line per event
// on the line, with the time in milliseconds since the trace began, the direction ("pc>reg" from
// the computer to the register, "reg>pc" back) and the bytes in hexadecimal; after each frame a
// decoded line (command and name, data, answer, error code and text); after each transaction of
// the program its result. Secrets are written as "**" (see secret_bytes.h).
//
// Every line goes to the file in one write as soon as it is complete, so a program killed at
// any moment leaves whole lines behind. Lines are built in fixed buffers made with the trace:
// tracing a transaction allocates nothing. The bytes of a frame, in either direction, make one
// line, written when the frame ends and stamped with the time of its first byte: where a frame
// was split into reads or writes would tell which secret bytes travelled stuffed.
class ExchangeTrace final : public TransactionObserver {
public:
    // Microseconds on a monotonic clock.
    using MicrosecondClock = std::function<std::uint64_t()>;
    // True while command codes travel reduced by the code shift.
    using CodesShifted = std::function<bool()>;

    // Opens the trace file, creating it readable by its owner only or appending to it, and
    // writes the opening line naming program ("ptk-inspector 0.1.0"). An empty clock means the
    // workstation's monotonic clock. nullptr, with a message that names the file and the reason,
    // when the file cannot be opened.
    static std::unique_ptr<ExchangeTrace> open(const std::string& path, Role role,
                                               std::string_view program, MicrosecondClock clock,
                                               std::string& error);

    ExchangeTrace(std::unique_ptr<platform::LineFile> file, Role role, std::string_view program,
                  MicrosecondClock clock);
    ~ExchangeTrace() override;
    ExchangeTrace(const ExchangeTrace&) = delete;
    ExchangeTrace& operator=(const ExchangeTrace&) = delete;

    // How to read command codes; unset, codes are read as they travel.
    void setCodesShifted(CodesShifted shifted);

    // Bytes this program put on the line, and bytes it took from the line.
    void sent(const std::uint8_t* data, std::size_t count);
    void received(const std::uint8_t* data, std::size_t count);
    // A read ran out; inside a frame it counts as a pause.
    void silence();
    // The program threw away input it had not read: a frame it was receiving is broken off. One
    // that may carry a secret is followed on instead, so that whatever of it is read later, in
    // another transaction, is still known as its bytes and masked.
    void inputDiscarded();
    void portOpened(int portIndex, const platform::PortOpenReport& report, bool opened);
    void portClosed(int portIndex);
    // A write failed: whatever part of a frame went out is all of that frame.
    void writeFailed();
    void readFailed();

    void exchangeEnded(std::uint8_t code, ExchangeResult result,
                       ExchangeRules rules) noexcept override;
    void packetEnded(std::uint8_t code, PacketResult result) noexcept override;

    // Lines the system did not take (a full disk, say); the trace goes on with the next ones.
    std::uint64_t linesLost() const;

private:
    // Writes the line that ends a transaction, described by describe.
    template <class Describe>
    void resultLine(const Describe& describe) noexcept;

    struct Direction {
        Direction(FrameKind kind, std::string_view tag) : tracker(kind), tag(tag) {}
        FrameTracker tracker;
        std::string_view tag;
        LineBuffer bytes;  // raw bytes not written yet
        int pauses = 0;    // reads that ran out inside the frame in progress
    };

    std::uint64_t elapsedUs() const;
    void take(Direction& direction, Direction& other, const std::uint8_t* data, std::size_t count);
    void flush(Direction& direction);
    void flushOutsideFrame(Direction& direction);
    void frameEnded(Direction& direction, FrameTracker::Event event, std::uint64_t atUs);
    LineBuffer& startLine(std::uint64_t atUs);
    void note(std::string_view text, int portIndex = -1);
    void writeLine(LineBuffer& line);

    mutable std::mutex mutex_;
    std::unique_ptr<platform::LineFile> file_;
    MicrosecondClock clock_;
    CodesShifted codesShifted_;
    std::uint64_t startUs_ = 0;
    Direction out_;  // what this program sends
    Direction in_;   // what it receives
    LineBuffer line_;
    int answeredCode_ = -1;  // the last command's code as read, for its answer
    std::uint64_t linesLost_ = 0;
};

}  // namespace ptk::trace
