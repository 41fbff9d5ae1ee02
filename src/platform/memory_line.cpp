#include "platform/memory_line.h"

#include <algorithm>
#include <cerrno>

namespace ptk::platform {

class MemoryLineDevice final : public SerialDevice {
public:
    explicit MemoryLineDevice(MemoryLine& line) : line_(line) {}

    bool setupQueues(std::uint32_t, std::uint32_t) override { return true; }

    bool configureLine(std::uint32_t baudRate) override {
        if (line_.configureFails_) return false;
        line_.baud_ = baudRate;
        return true;
    }

    bool setTimeouts(const CommTimeouts& timeouts) override {
        line_.timeoutSettings_.push_back(timeouts);
        if (line_.failingTimeoutSettings_ > 0) {
            --line_.failingTimeoutSettings_;
            errno = EIO;
            return false;
        }
        line_.timeouts_ = timeouts;
        return true;
    }

    bool clearErrors(QueueCounts* counts) override {
        if (line_.clearErrorsFails_) return false;
        if (counts) *counts = line_.reportedCounts_;
        return true;
    }

    bool purge(unsigned purgeFlags) override {
        if (purgeFlags & (PurgeRxClear | PurgeRxAbort)) {
            // Only what has already arrived can be thrown away; bytes still on their way are not
            // in the driver's queue yet.
            const std::uint64_t now = line_.clock_.nowUs();
            while (!line_.incoming_.empty() && line_.incoming_.front().atUs <= now) {
                line_.incoming_.pop_front();
            }
        }
        return true;
    }

    bool write(const std::uint8_t* data, std::size_t count, std::size_t& written) override {
        written = 0;
        if (line_.hungUp_) return false;
        if (line_.failingWrites_ > 0) {
            --line_.failingWrites_;
            return false;
        }
        const std::uint64_t now = line_.clock_.nowUs();
        line_.writes_.push_back({now, std::vector<std::uint8_t>(data, data + count)});
        written = count;
        if (line_.peer_) line_.peer_->onReceived(data, count, now);
        return true;
    }

    ReadOutcome readByte(std::uint8_t& byte) override {
        ++line_.readCalls_;
        if (line_.hungUp_) return ReadOutcome::Failed;
        // Widened before the sum: two large 32-bit time-outs must not wrap into a tiny one.
        const std::uint64_t limitUs = (std::uint64_t{line_.timeouts_.readTotalMultiplierMs} +
                                       line_.timeouts_.readTotalConstantMs) *
                                      1000;
        if (!arrivesWithin(limitUs)) {
            line_.clock_.advanceUs(limitUs);
            return ReadOutcome::NoByte;
        }
        line_.clock_.advanceToUs(line_.incoming_.front().atUs);
        byte = line_.incoming_.front().value;
        line_.incoming_.pop_front();
        return ReadOutcome::Byte;
    }

    bool waitForInput(std::uint32_t maxMs) override {
        ++line_.waitCalls_;
        if (line_.hungUp_) return true;
        const std::uint64_t limitUs = std::uint64_t{maxMs} * 1000;
        if (!arrivesWithin(limitUs)) {
            line_.clock_.advanceUs(limitUs);
            return false;
        }
        line_.clock_.advanceToUs(line_.incoming_.front().atUs);
        return true;
    }

    bool hungUp() override { return line_.hungUp_; }

private:
    bool arrivesWithin(std::uint64_t limitUs) const {
        return !line_.incoming_.empty() &&
               line_.incoming_.front().atUs <= line_.clock_.nowUs() + limitUs;
    }

    MemoryLine& line_;
};

std::unique_ptr<SerialDevice> MemoryLine::openDevice() {
    return std::make_unique<MemoryLineDevice>(*this);
}

void MemoryLine::send(std::uint64_t atUs, const std::uint8_t* data, std::size_t count,
                      std::uint64_t gapUs) {
    for (std::size_t i = 0; i < count; ++i) {
        TimedByte timed{atUs + i * gapUs, data[i]};
        // Keep the queue in time order even when the far end schedules out of order.
        auto position = std::upper_bound(
            incoming_.begin(), incoming_.end(), timed.atUs,
            [](std::uint64_t at, const TimedByte& other) { return at < other.atUs; });
        incoming_.insert(position, timed);
    }
}

void MemoryLine::send(std::uint64_t atUs, std::initializer_list<std::uint8_t> bytes,
                      std::uint64_t gapUs) {
    send(atUs, bytes.begin(), bytes.size(), gapUs);
}

std::vector<std::uint8_t> MemoryLine::writtenBytes() const {
    std::vector<std::uint8_t> all;
    for (const auto& write : writes_) all.insert(all.end(), write.bytes.begin(), write.bytes.end());
    return all;
}

std::unique_ptr<SerialDevice> MemoryLineOpener::open(int portIndex, PortOpenReport* report) {
    ++openCount_;
    if (portIndex == portIndex_ && !line_.isHungUp()) return line_.openDevice();
    if (report) report->failure = PortOpenFailure::NotThere;
    return nullptr;
}

}  // namespace ptk::platform
