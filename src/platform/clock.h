#pragma once

#include <cstdint>

namespace ptk::platform {

// Millisecond time as the register link sees it: a 32-bit tick that wraps, and a sleep.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::uint32_t tickMs() = 0;
    virtual void sleepMs(std::uint32_t ms) = 0;
};

// The workstation's monotonic clock.
class SystemClock final : public Clock {
public:
    std::uint32_t tickMs() override;
    void sleepMs(std::uint32_t ms) override;
};

// Time that moves only when someone moves it, in microseconds. Tests run minutes of waiting in
// microseconds of real time. The tick may start anywhere, so a wrap of the 32-bit tick can be
// put inside a test.
class VirtualClock final : public Clock {
public:
    explicit VirtualClock(std::uint32_t firstTickMs = 0) : tickOffsetMs_(firstTickMs) {}

    std::uint32_t tickMs() override {
        return static_cast<std::uint32_t>(nowUs_ / 1000 + tickOffsetMs_);
    }
    void sleepMs(std::uint32_t ms) override { nowUs_ += std::uint64_t{ms} * 1000; }

    std::uint64_t nowUs() const { return nowUs_; }
    void advanceUs(std::uint64_t us) { nowUs_ += us; }
    void advanceToUs(std::uint64_t us) {
        if (us > nowUs_) nowUs_ = us;
    }

private:
    std::uint64_t nowUs_ = 0;
    std::uint32_t tickOffsetMs_;
};

}  // namespace ptk::platform
