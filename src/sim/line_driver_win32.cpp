// ptk-sim's line on Windows: the serial port COMn itself, through the same Win32 serial backend
// the inspector's program uses. Connect it to the computer under test with a null-modem cable
// (or a pair of virtual ports joined by a driver).
#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>
#include <deque>
#include <memory>

#include "platform/port_names.h"
#include "platform/serial_device.h"
#include "sim/line_driver.h"
#include "trace/exchange_trace.h"

namespace ptk::sim {

namespace {

std::atomic<bool>* stopFlag = nullptr;

BOOL WINAPI onConsoleEvent(DWORD) {
    if (stopFlag) stopFlag->store(true);
    return TRUE;  // we end ourselves once the serving loop has seen the flag
}

// The longest a wait for input lasts with nothing to send, so that the engine's own waits run
// out on time and a stop is noticed.
constexpr std::uint32_t kIdleWaitMs = 100;
// Bytes due this soon go out with those already due, as on the pseudo-terminal: the UART sends
// them back to back anyway. Shorter than the computer's 2 ms byte time-out.
constexpr std::uint64_t kWriteAheadUs = 1'000;
constexpr std::uint32_t kQueueBytes = 4096;

// "COM7" -> 6; -1 for anything else.
int portIndexOf(const std::string& name) {
    if (name.size() < 4 || name.compare(0, 3, "COM") != 0) return -1;
    int number = 0;
    for (std::size_t i = 3; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9' || number > 256) return -1;
        number = number * 10 + (name[i] - '0');
    }
    return number >= 1 && number <= 256 ? number - 1 : -1;
}

}  // namespace

void stopOnSignals(std::atomic<bool>& stop) {
    stopFlag = &stop;
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

bool serveOnLine(const std::string& linkName, RegisterEngine& engine, const MonotonicClock& clock,
                 const std::atomic<bool>& stop,
                 const std::function<void(const std::string&)>& ready, std::string& error,
                 std::optional<std::uint64_t> hangUpAfter, trace::ExchangeTrace* trace) {
    const int portIndex = portIndexOf(linkName);
    if (portIndex < 0) {
        error = "not a serial port name: " + linkName;
        return false;
    }
    const std::string path = platform::portDevicePath(portIndex);
    platform::SystemSerialOpener opener;
    platform::PortOpenReport report;
    const std::unique_ptr<platform::SerialDevice> port = opener.open(portIndex, &report);
    if (!port) {
        // Named as the program's trace names it.
        error = "cannot open " + platform::portTraceName(portIndex, report) + ": " +
                platform::portTraceReason(report);
        return false;
    }
    if (!port->setupQueues(kQueueBytes, kQueueBytes) ||
        !port->configureLine(engine.options().baud) ||
        !port->setTimeouts(platform::CommTimeouts{})) {
        error = "cannot configure " + path + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    port->purge(platform::PurgeRxClear | platform::PurgeTxClear);
    ready(path);

    std::deque<TimedByte> pending;
    std::uint8_t buffer[512];
    while (!stop.load()) {
        const std::uint64_t now = clock.nowUs();
        engine.advance(now);
        for (const TimedByte& byte : engine.takeOutput()) pending.push_back(byte);
        std::size_t due = 0;
        while (due < pending.size() && pending[due].atUs <= now + kWriteAheadUs &&
               due < sizeof buffer) {
            buffer[due] = pending[due].value;
            ++due;
        }
        if (due > 0) {
            // Bytes the driver does not take in time are lost, as on a line nobody listens to.
            std::size_t written = 0;
            port->write(buffer, due, written);
            if (trace && written > 0) trace->sent(buffer, written);
            pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(due));
            continue;
        }

        const std::uint64_t untilNextUs =
            pending.empty() ? std::uint64_t{kIdleWaitMs} * 1000 : pending.front().atUs - now;
        const auto waitMs = static_cast<std::uint32_t>(
            std::min<std::uint64_t>((untilNextUs + 999) / 1000, kIdleWaitMs));
        if (!port->waitForInput(waitMs)) continue;

        // Only the bytes already there are read, so that the engine hears the end of a frame
        // at once rather than after a read time-out.
        platform::QueueCounts counts;
        std::uint32_t available = port->clearErrors(&counts) ? counts.input : 1;
        while (available-- > 0) {
            std::uint8_t byte = 0;
            const platform::ReadOutcome outcome = port->readByte(byte);
            if (outcome == platform::ReadOutcome::Failed) {
                error =
                    "read from " + path + " failed (error " + std::to_string(GetLastError()) + ")";
                return false;
            }
            if (outcome == platform::ReadOutcome::NoByte) break;
            if (trace) trace->received(&byte, 1);
            engine.receive(&byte, 1, clock.nowUs());
            if (hangUpAfter && engine.commandsCarriedOut() > *hangUpAfter) return true;
        }
    }
    return true;
}

}  // namespace ptk::sim
