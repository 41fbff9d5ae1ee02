#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/serial_device.h"
#include "trace/exchange_trace.h"

namespace ptk::trace {

// A serial device that tells the trace every byte written and read, every read that ran out and
// every purge of unread input, and otherwise does what the device it wraps does.
class TracingSerialDevice final : public platform::SerialDevice {
public:
    TracingSerialDevice(std::unique_ptr<platform::SerialDevice> device, ExchangeTrace& trace,
                        int portIndex)
        : device_(std::move(device)), trace_(trace), portIndex_(portIndex) {}
    ~TracingSerialDevice() override;
    TracingSerialDevice(const TracingSerialDevice&) = delete;
    TracingSerialDevice& operator=(const TracingSerialDevice&) = delete;

    bool setupQueues(std::uint32_t inputBytes, std::uint32_t outputBytes) override {
        return device_->setupQueues(inputBytes, outputBytes);
    }
    bool configureLine(std::uint32_t baudRate) override { return device_->configureLine(baudRate); }
    bool setTimeouts(const platform::CommTimeouts& timeouts) override {
        return device_->setTimeouts(timeouts);
    }
    bool clearErrors(platform::QueueCounts* counts) override {
        return device_->clearErrors(counts);
    }
    bool waitForInput(std::uint32_t maxMs) override { return device_->waitForInput(maxMs); }
    bool hungUp() override { return device_->hungUp(); }

    bool purge(unsigned purgeFlags) override;
    bool write(const std::uint8_t* data, std::size_t count, std::size_t& written) override;
    platform::ReadOutcome readByte(std::uint8_t& byte) override;

private:
    std::unique_ptr<platform::SerialDevice> device_;
    ExchangeTrace& trace_;
    int portIndex_;
};

// Opens ports through another opener and, when there is a trace, wraps each in a
// TracingSerialDevice. Without a trace it hands the devices out untouched.
class TracingSerialOpener final : public platform::SerialOpener {
public:
    TracingSerialOpener(platform::SerialOpener& opener, ExchangeTrace* trace)
        : opener_(opener), trace_(trace) {}

    using SerialOpener::open;
    std::unique_ptr<platform::SerialDevice> open(int portIndex,
                                                 platform::PortOpenReport* report) override;

private:
    platform::SerialOpener& opener_;
    ExchangeTrace* trace_;  // not owned; may be null
};

}  // namespace ptk::trace
