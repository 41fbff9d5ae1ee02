#include "trace/tracing_serial_device.h"

namespace ptk::trace {

TracingSerialDevice::~TracingSerialDevice() {
    device_.reset();
    trace_.portClosed(portIndex_);
}

bool TracingSerialDevice::purge(unsigned purgeFlags) {
    const bool done = device_->purge(purgeFlags);
    if (purgeFlags & (platform::PurgeRxClear | platform::PurgeRxAbort)) trace_.inputDiscarded();
    return done;
}

bool TracingSerialDevice::write(const std::uint8_t* data, std::size_t count, std::size_t& written) {
    const bool done = device_->write(data, count, written);
    if (written > 0) trace_.sent(data, written < count ? written : count);
    if (!done) trace_.writeFailed();
    return done;
}

platform::ReadOutcome TracingSerialDevice::readByte(std::uint8_t& byte) {
    const platform::ReadOutcome outcome = device_->readByte(byte);
    switch (outcome) {
        case platform::ReadOutcome::Byte:
            trace_.received(&byte, 1);
            break;
        case platform::ReadOutcome::NoByte:
            trace_.silence();
            break;
        case platform::ReadOutcome::Failed:
            trace_.readFailed();
            break;
    }
    return outcome;
}

std::unique_ptr<platform::SerialDevice> TracingSerialOpener::open(
    int portIndex, platform::PortOpenReport* report) {
    if (!trace_) return opener_.open(portIndex, report);
    platform::PortOpenReport found;
    std::unique_ptr<platform::SerialDevice> device = opener_.open(portIndex, &found);
    trace_->portOpened(portIndex, found, device != nullptr);
    if (report) *report = found;
    if (!device) return nullptr;
    return std::make_unique<TracingSerialDevice>(std::move(device), *trace_, portIndex);
}

}  // namespace ptk::trace
