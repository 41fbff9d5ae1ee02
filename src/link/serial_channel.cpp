#include "link/serial_channel.h"

#include <algorithm>
#include <cassert>

#include "link/frame.h"

namespace ptk {
namespace {

constexpr std::uint32_t kQueueBytes = 256;
// A write the driver refused is tried again after this pause, so a dead port does not spin.
constexpr std::uint32_t kWriteRetryPauseMs = 2;

}  // namespace

PortSlot* SerialChannel::currentSlot() {
    return currentPortValid() ? &PortTable[static_cast<std::size_t>(CurrentPort)] : nullptr;
}

platform::SerialDevice* SerialChannel::currentDevice() {
    return liveDevice();
}

platform::SerialDevice* SerialChannel::liveDevice() {
    PortSlot* slot = currentSlot();
    if (!slot || lostInTransaction_) return nullptr;
    if (!slot->device && lostPort_ == CurrentPort) {
        slot->device = opener_.open(CurrentPort);
        if (slot->device && ConfigurePort(CurrentPort, configuredBaudIndex_)) {
            lostPort_ = -1;
        } else {
            portFailed();
        }
    }
    return slot->device.get();
}

void SerialChannel::portFailed() {
    PortSlot* slot = currentSlot();
    if (!slot) return;
    slot->device.reset();
    lostPort_ = CurrentPort;
    lostInTransaction_ = true;
}

bool SerialChannel::OpenPort(int index, platform::PortOpenReport* report) {
    CurrentPort = index;
    lostPort_ = -1;
    lostInTransaction_ = false;
    if (!currentPortValid()) return false;
    PortSlot& slot = PortTable[static_cast<std::size_t>(index)];
    slot.openFlag = 1;
    // A port opened twice is closed first: the exclusive open would otherwise refuse us our own
    // port, and the earlier handle would be lost.
    slot.device.reset();
    slot.device = opener_.open(index, report);
    return slot.device != nullptr;
}

int SerialChannel::openPortIndex() const {
    for (int index = 0; index < kPortCount; ++index) {
        if (PortTable[static_cast<std::size_t>(index)].device) return index;
    }
    return -1;
}

bool SerialChannel::ClosePort(int index) {
    if (index < 0 || index >= kPortCount) return false;
    PortSlot& slot = PortTable[static_cast<std::size_t>(index)];
    const bool wasOpen = slot.device != nullptr;
    slot.device.reset();
    slot.openFlag = 0;
    if (lostPort_ == index) lostPort_ = -1;
    return wasOpen;
}

bool SerialChannel::ConfigurePort(int index, int baudIndex) {
    if (index < 0 || index >= kPortCount) return false;
    if (baudIndex < 0 || baudIndex >= static_cast<int>(BaudTable.size())) return false;
    platform::SerialDevice* device = PortTable[static_cast<std::size_t>(index)].device.get();
    configuredBaudIndex_ = baudIndex;
    return device != nullptr && device->setupQueues(kQueueBytes, kQueueBytes) &&
           device->configureLine(BaudTable[static_cast<std::size_t>(baudIndex)]) &&
           device->setTimeouts(platform::CommTimeouts{});
}

void SerialChannel::UpdateQueueCounters() {
    PortSlot* slot = currentSlot();
    if (!slot) return;
    slot->outputQueue = 0;
    slot->inputQueue = 0;
    platform::QueueCounts counts;
    if (slot->device && slot->device->clearErrors(&counts)) {
        slot->outputQueue = counts.output;
        slot->inputQueue = counts.input;
    }
}

bool SerialChannel::WritePort(const std::uint8_t* buffer, std::size_t count,
                              std::size_t* writtenOut) {
    std::size_t written = 0;
    bool ok = false;
    platform::SerialDevice* device = liveDevice();
    if (device && device->clearErrors(nullptr)) {
        // Whatever the register sent that nobody read belongs to an exchange that is over.
        device->purge(platform::PurgeTxClear | platform::PurgeRxClear);
        if (device->write(buffer, count, written)) {
            ok = written == count;
        } else if (device->hungUp()) {
            portFailed();
        } else {
            device->purge(platform::PurgeTxAbort | platform::PurgeTxClear);
        }
    } else if (device && device->hungUp()) {
        portFailed();
    }
    UpdateQueueCounters();
    if (writtenOut) *writtenOut = written;
    return ok;
}

SerialChannel::ReadOutcome SerialChannel::readLogicalBytes(std::uint8_t* buffer,
                                                           std::size_t capacity, std::size_t count,
                                                           FrameEnd frameEnd,
                                                           std::size_t* readOut) {
    std::size_t remaining = count;
    std::size_t total = 0;
    bool afterDle = false;
    // Set once an ETX arrived that no DLE escaped: the byte after it is the checksum, one logical
    // byte whatever its value, even 0x10.
    bool afterClosingEtx = false;
    bool ok = true;
    bool frameEnded = false;
    platform::SerialDevice* device = liveDevice();
    if (!device) ok = false;

    while (remaining > 0 && ok) {
        if (total >= capacity) {
            ok = false;
            break;
        }
        std::uint8_t byte = 0;
        const platform::ReadOutcome outcome = device->readByte(byte);
        if (outcome == platform::ReadOutcome::Failed) {
            portFailed();
            ok = false;
            break;
        }
        if (outcome == platform::ReadOutcome::NoByte) {
            ok = false;  // a gap longer than the per-byte time-out ends the attempt
            break;
        }
        buffer[total] = byte;
        if (afterClosingEtx) {
            afterClosingEtx = false;
            --remaining;
            ++total;
            if (frameEnd == FrameEnd::EndsTheRead && buffer[0] == control::STX) {
                frameEnded = true;
                break;
            }
            continue;
        }
        if (byte == control::DLE && !afterDle) {
            afterDle = true;
        } else {
            if (byte == control::ETX && !afterDle && total > 0) afterClosingEtx = true;
            afterDle = false;
            --remaining;
        }
        ++total;
    }
    UpdateQueueCounters();
    if (readOut) *readOut = total;
    if (ok && remaining == 0) return ReadOutcome::Complete;
    if (frameEnded) return ReadOutcome::FrameEnded;
    return ReadOutcome::Interrupted;
}

bool SerialChannel::ReadPort(std::uint8_t* buffer, std::size_t count, std::size_t* readOut) {
    // A stuffed pair takes two places for one logical byte, so count logical bytes fit in twice
    // as many places.
    return readLogicalBytes(buffer, count * 2, count, FrameEnd::Ignored, readOut) ==
           ReadOutcome::Complete;
}

void SerialChannel::PurgePort() {
    PortSlot* slot = currentSlot();
    if (!slot) return;
    if (slot->device) slot->device->purge(platform::PurgeTxClear | platform::PurgeRxClear);
    slot->outputQueue = 0;
    slot->inputQueue = 0;
}

bool SerialChannel::PumpMessages() {
    return frontEnd_.pumpMessages();
}

bool SerialChannel::waitForFirstByte(std::uint32_t start, std::uint32_t timeoutMs) {
    const std::uint32_t spent = clock_.tickMs() - start;
    const std::uint32_t left = spent < timeoutMs ? timeoutMs - spent : 0;
    const std::uint32_t wait = std::min(left, kPumpIntervalMs);
    if (lostInTransaction_) return false;
    platform::SerialDevice* device = liveDevice();
    if (!device) {
        // No port: nothing can arrive, so sleep between the message pumps instead of spinning.
        if (!lostInTransaction_) clock_.sleepMs(std::max<std::uint32_t>(wait, 1));
        return false;
    }
    return device->waitForInput(wait);
}

SerialChannel::ReadOutcome SerialChannel::readWithDeadline(std::uint8_t* buffer,
                                                           std::size_t capacity, std::size_t count,
                                                           std::uint32_t timeoutMs,
                                                           FrameEnd frameEnd) {
    const std::uint32_t start = clock_.tickMs();
    for (;;) {
        if (lostInTransaction_ || stopRequested() || !PumpMessages()) {
            return ReadOutcome::Interrupted;
        }
        UpdateQueueCounters();
        if (Elapsed(clock_.tickMs(), start, timeoutMs)) return ReadOutcome::Interrupted;
        // Sleep on the port until a byte is there; the one-byte reads with their short time-out
        // only run once bytes flow. Every attempt starts again at the beginning of the buffer.
        if (!waitForFirstByte(start, timeoutMs)) continue;
        const ReadOutcome outcome = readLogicalBytes(buffer, capacity, count, frameEnd, nullptr);
        if (outcome != ReadOutcome::Interrupted) return outcome;
    }
}

bool SerialChannel::ReadWithDeadline(std::uint8_t* buffer, std::size_t count,
                                     std::uint32_t timeoutMs) {
    return readWithDeadline(buffer, count * 2, count, timeoutMs, FrameEnd::Ignored) ==
           ReadOutcome::Complete;
}

bool SerialChannel::ReadFrameWithDeadline(std::uint8_t* buffer, std::size_t capacity,
                                          std::size_t count, std::uint32_t timeoutMs,
                                          bool& complete) {
    const ReadOutcome outcome =
        readWithDeadline(buffer, capacity, count, timeoutMs, FrameEnd::EndsTheRead);
    complete = outcome == ReadOutcome::Complete;
    return outcome != ReadOutcome::Interrupted;
}

bool SerialChannel::WriteWithDeadline(const std::uint8_t* buffer, std::size_t count,
                                      std::uint32_t timeoutMs) {
    const std::uint32_t start = clock_.tickMs();
    for (;;) {
        if (lostInTransaction_ || stopRequested()) return false;
        PurgePort();
        if (Elapsed(clock_.tickMs(), start, timeoutMs)) return false;
        if (WritePort(buffer, count)) return true;
        clock_.sleepMs(kWriteRetryPauseMs);
    }
}

SerialChannel::Transaction::Transaction(SerialChannel& channel) : channel_(channel) {
#ifndef NDEBUG
    const bool busy = channel_.onTheLine_.exchange(true);
    assert(!busy && "a transaction started while another one was on the line");
#endif
}

SerialChannel::Transaction::~Transaction() {
#ifndef NDEBUG
    channel_.onTheLine_ = false;
#endif
}

}  // namespace ptk
