#include "trace/exchange_trace.h"

#include <chrono>
#include <ctime>

#include "trace/command_names.h"
#include "trace/frame_description.h"

namespace ptk::trace {
namespace {

using namespace control;

// A line of received bytes is written once it is this long, even inside a frame.
constexpr std::size_t kLongestBytesLine = LineBuffer::kCapacity - 64;

std::uint64_t steadyMicroseconds() {
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(
                                          std::chrono::steady_clock::now().time_since_epoch())
                                          .count());
}

std::string_view controlName(std::uint8_t byte) {
    switch (byte) {
        case ENQ:
            return "ENQ";
        case ACK:
            return "ACK";
        case EOT:
            return "EOT";
        case NAK:
            return "NAK";
        default:
            return {};
    }
}

// "2024-05-06 07:08:09" in local time, or "(time unknown)".
std::string wallClockNow() {
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    char text[32];
    if (!local || std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", local) == 0) {
        return "(time unknown)";
    }
    return text;
}

}  // namespace

std::unique_ptr<ExchangeTrace> ExchangeTrace::open(const std::string& path, Role role,
                                                   std::string_view program, MicrosecondClock clock,
                                                   std::string& error) {
    std::string reason;
    std::unique_ptr<platform::LineFile> file = platform::LineFile::open(path, reason);
    if (!file) {
        error = "cannot open the trace file '" + path + "': " + reason;
        return nullptr;
    }
    return std::make_unique<ExchangeTrace>(std::move(file), role, program, std::move(clock));
}

ExchangeTrace::ExchangeTrace(std::unique_ptr<platform::LineFile> file, Role role,
                             std::string_view program, MicrosecondClock clock)
    : file_(std::move(file)),
      clock_(clock ? std::move(clock) : MicrosecondClock(steadyMicroseconds)),
      startUs_(clock_()),
      out_(role == Role::Computer ? FrameKind::Command : FrameKind::Answer,
           role == Role::Computer ? "pc>reg" : "reg>pc"),
      in_(role == Role::Computer ? FrameKind::Answer : FrameKind::Command,
          role == Role::Computer ? "reg>pc" : "pc>reg") {
    LineBuffer& line = startLine(0);
    line.text(program).text(" trace started ").text(wallClockNow());
    line.text(" (pc>reg: from the computer to the register, reg>pc: back; ** a secret byte)");
    writeLine(line);
}

ExchangeTrace::~ExchangeTrace() {
    const std::lock_guard<std::mutex> lock(mutex_);
    flush(in_);
    flush(out_);
    writeLine(startLine(elapsedUs()).text("trace ends"));
}

void ExchangeTrace::setCodesShifted(CodesShifted shifted) {
    const std::lock_guard<std::mutex> lock(mutex_);
    codesShifted_ = std::move(shifted);
}

std::uint64_t ExchangeTrace::linesLost() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return linesLost_;
}

std::uint64_t ExchangeTrace::elapsedUs() const {
    return clock_() - startUs_;
}

LineBuffer& ExchangeTrace::startLine(std::uint64_t atUs) {
    line_.clear();
    line_.milliseconds(atUs).character(' ');
    return line_;
}

void ExchangeTrace::writeLine(LineBuffer& line) {
    const std::string_view text = line.finish();
    if (!file_->append(text.data(), text.size())) ++linesLost_;
    line.clear();
}

void ExchangeTrace::flush(Direction& direction) {
    if (!direction.bytes.empty()) writeLine(direction.bytes);
}

void ExchangeTrace::flushOutsideFrame(Direction& direction) {
    if (!direction.tracker.inFrame()) flush(direction);
}

void ExchangeTrace::sent(const std::uint8_t* data, std::size_t count) {
    const std::lock_guard<std::mutex> lock(mutex_);
    take(out_, in_, data, count);
}

void ExchangeTrace::received(const std::uint8_t* data, std::size_t count) {
    const std::lock_guard<std::mutex> lock(mutex_);
    take(in_, out_, data, count);
}

void ExchangeTrace::take(Direction& direction, Direction& other, const std::uint8_t* data,
                         std::size_t count) {
    const std::uint64_t now = elapsedUs();
    flushOutsideFrame(other);  // lines keep the order of time, frames stay whole
    LineBuffer& bytes = direction.bytes;
    for (std::size_t i = 0; i < count; ++i) {
        const bool outsideFrame = !direction.tracker.inFrame();
        Shown shown = Shown::Hex;
        const FrameTracker::Event event = direction.tracker.feed(data[i], shown);
        if (event == FrameTracker::Event::FrameCutShort) {
            // The frame before ended without this byte, which begins the next one.
            flush(direction);
            frameEnded(direction, event, now);
        }
        if ((outsideFrame || event == FrameTracker::Event::FrameCutShort) &&
            direction.tracker.inFrame()) {
            direction.pauses = 0;
        }
        // A line begins with a byte it shows: a hidden DLE alone must not make one, or the
        // number of lines would tell where a secret travelled stuffed.
        if (shown != Shown::Hidden && bytes.empty()) {
            bytes.milliseconds(now).character(' ').text(direction.tag);
        }
        if (shown == Shown::Hex) bytes.character(' ').hexByte(data[i]);
        if (shown == Shown::Secret) bytes.text(" **");
        if (shown == Shown::Hex && outsideFrame && !direction.tracker.inFrame()) {
            const std::string_view name = controlName(data[i]);
            if (!name.empty()) bytes.text(" (").text(name).character(')');
        }
        if (event == FrameTracker::Event::FrameComplete ||
            event == FrameTracker::Event::FrameBroken) {
            flush(direction);
            frameEnded(direction, event, now);
        } else if (bytes.size() > kLongestBytesLine) {
            flush(direction);
        }
    }
    flushOutsideFrame(direction);
}

void ExchangeTrace::frameEnded(Direction& direction, FrameTracker::Event event,
                               std::uint64_t atUs) {
    const Frame& frame = direction.tracker.frame();
    if (frame.cutShortAfter > 0) {
        describeBrokenFrame(startLine(atUs).text(direction.tag).character(' '),
                            frame.cutShortAfter);
        writeLine(line_);
    }
    LineBuffer& line = startLine(atUs).text(direction.tag).character(' ');
    if (event != FrameTracker::Event::FrameComplete) {
        describeBrokenFrame(line, frame.length);
    } else if (direction.tracker.kind() == FrameKind::Command) {
        const bool shifted = codesShifted_ && codesShifted_();
        describeCommand(line, frame, shifted);
        answeredCode_ = frame.length >= 3 ? codeAsRead(frame.message[2], shifted) : -1;
    } else {
        describeAnswer(line, frame, answeredCode_);
    }
    describePauses(line, direction.pauses);
    writeLine(line);
}

void ExchangeTrace::silence() {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (in_.tracker.inFrame()) ++in_.pauses;
}

void ExchangeTrace::inputDiscarded() {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (!in_.tracker.inFrame() || in_.tracker.mayCarrySecret()) return;
    in_.tracker.abandon();
    flush(in_);
    LineBuffer& line = startLine(elapsedUs()).text(in_.tag).character(' ');
    describeBrokenFrame(line, in_.tracker.frame().length);
    writeLine(line.text(", the rest thrown away unread"));
}

void ExchangeTrace::note(std::string_view text, int portIndex) {
    flushOutsideFrame(in_);
    flushOutsideFrame(out_);
    LineBuffer& line = startLine(elapsedUs());
    if (portIndex >= 0) {
        line.text("port COM").number(static_cast<std::uint64_t>(portIndex) + 1).character(' ');
    }
    writeLine(line.text(text));
}

void ExchangeTrace::portOpened(int portIndex, const platform::PortOpenReport& report, bool opened) {
    const std::lock_guard<std::mutex> lock(mutex_);
    // "port COM9 opened (./COM9 -> /dev/pts/3)", "port COM33 could not be opened (/dev/ttyUSB0):
    // not there": the device named as ptk-sim names it.
    std::string text = opened ? "opened" : "could not be opened";
    if (!report.device.empty()) text.append(" (").append(report.device).append(")");
    if (!opened) text.append(": ").append(platform::portTraceReason(report));
    note(text, portIndex);
}

void ExchangeTrace::portClosed(int portIndex) {
    const std::lock_guard<std::mutex> lock(mutex_);
    note("closed", portIndex);
}

void ExchangeTrace::writeFailed() {
    const std::lock_guard<std::mutex> lock(mutex_);
    // What went out of a frame is all of it: the program sends the frame again from its STX.
    if (out_.tracker.abandon()) {
        flush(out_);
        frameEnded(out_, FrameTracker::Event::FrameBroken, elapsedUs());
    }
    note("the port refused a write");
}

void ExchangeTrace::readFailed() {
    const std::lock_guard<std::mutex> lock(mutex_);
    note("the port reported a read error");
}

template <class Describe>
void ExchangeTrace::resultLine(const Describe& describe) noexcept {
    const std::lock_guard<std::mutex> lock(mutex_);
    flushOutsideFrame(in_);
    flushOutsideFrame(out_);
    LineBuffer& line = startLine(elapsedUs());
    describe(line);
    writeLine(line);
}

void ExchangeTrace::exchangeEnded(std::uint8_t code, ExchangeResult result,
                                  ExchangeRules rules) noexcept {
    resultLine([&](LineBuffer& line) { describeExchangeResult(line, code, result, rules); });
}

void ExchangeTrace::packetEnded(std::uint8_t code, PacketResult result) noexcept {
    resultLine([&](LineBuffer& line) { describePacketResult(line, code, result); });
}

}  // namespace ptk::trace
