// A Windows console program that talks to a register over a real COM port through the Win32
// serial backend and the link code, as the inspector's program does at connect: probe, short
// status, state; then the packet driver, whose time-outs the backend sets with SetCommTimeouts:
// the mode-4 password, the header lines in mode 4, and a command exchange after it. Under Wine
// the port is a pseudo-terminal served by the simulated register.
//
//   wine_link_check COMn [baud index 0-4] [link password]
//
// Prints every step and its outcome; the exit code is 0 only when every step succeeded.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "console_front_end.h"
#include "device/connection.h"
#include "device/mode_switch.h"
#include "device/short_status.h"
#include "fiscal_memory/header_lines.h"
#include "link/packet_command.h"
#include "link/session.h"
#include "platform/clock.h"
#include "platform/port_names.h"
#include "platform/serial_device.h"
#include "status/device_state.h"

namespace {

using ptk::platform::ReadOutcome;

class Checklist {
public:
    void check(bool passed, const char* what) {
        std::printf("%s: %s\n", passed ? "ok" : "FAILED", what);
        if (!passed) ++failures_;
    }
    int failures() const { return failures_; }

private:
    int failures_ = 0;
};

// Milliseconds a step took, printed for the record only.
class Stopwatch {
public:
    long long elapsedMs() const {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now() - start_)
            .count();
    }

private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

const char* outcomeOf(const ptk::ExchangeResult& result) {
    return result.succeeded() ? "done" : "failed";
}

void checkPortList(Checklist& checks, const std::string& port) {
    const ptk::platform::PortList list = ptk::platform::listSerialPorts();
    std::printf("port list (status %d):", static_cast<int>(list.status));
    for (const std::string& name : list.names) std::printf(" %s", name.c_str());
    std::printf("\n");
    checks.check(list.status == ptk::platform::PortListStatus::Complete,
                 "the registry port list is complete");
    checks.check(std::find(list.names.begin(), list.names.end(), port) != list.names.end(),
                 "the registry port list names the port");
}

// The backend on its own, before the link uses it: the line settings the link asks for, an idle
// line that gives no byte, and an idle wait that gives up without input.
void checkIdleDevice(Checklist& checks, int portIndex, int baudIndex) {
    ptk::platform::SystemSerialOpener opener;
    const auto device = opener.open(portIndex);
    checks.check(device != nullptr, "the backend opens the port");
    if (!device) return;
    checks.check(device->setupQueues(256, 256), "the driver takes 256-byte queues");
    checks.check(device->configureLine(ptk::BaudTable[static_cast<std::size_t>(baudIndex)]),
                 "8N1 without flow control, DTR and RTS disabled, is accepted");
    checks.check(device->setTimeouts(ptk::platform::CommTimeouts{}), "the time-outs are accepted");
    std::uint8_t byte = 0;
    checks.check(device->readByte(byte) == ReadOutcome::NoByte, "a read on the idle line: no byte");
    const Stopwatch wait;
    const bool input = device->waitForInput(200);
    std::printf("  an idle wait of 200 ms returned after %lld ms\n", wait.elapsedMs());
    checks.check(!input, "an idle wait ends without input");
    ptk::platform::QueueCounts counts;
    checks.check(device->clearErrors(&counts) && counts.input == 0,
                 "the driver reports an empty input queue");
}

// The packet driver through the Win32 backend: the programming password in the selection mode,
// the header lines in mode 4, and back to the selection mode by a command exchange, which must
// read with the channel's own time-outs again.
void checkPacketDriver(Checklist& checks, ptk::Session& session) {
    const std::uint8_t passwordField[] = {0x03, 0x00, 0x1E, 0x01};
    std::uint8_t answer[92] = {};
    std::size_t length = sizeof answer;
    Stopwatch step;
    const ptk::PacketResult password =
        ptk::PacketCommand(session, 0x46, passwordField, sizeof passwordField, answer, &length);
    char digits[9] = {};
    for (int i = 0; i < 4 && length >= 6; ++i) {
        std::snprintf(digits + 2 * i, 3, "%02X", answer[2 + i]);
    }
    std::printf("  packet: programming password read, result 0x%X in %lld ms: %s\n",
                static_cast<unsigned>(password.code), step.elapsedMs(), digits);
    checks.check(password.succeeded() && length == 6, "packet read of table 3 row 30 (0x46)");

    checks.check(ptk::EnterMode(session, ptk::kProgrammingMode, digits).succeeded(),
                 "mode 4 entered with the password read");
    step = Stopwatch{};
    ptk::HeaderLineTexts lines;
    const ptk::PacketResult read = ptk::ReadHeaderLines(session, lines);
    std::printf("  packet: header lines read, result 0x%X in %lld ms\n",
                static_cast<unsigned>(read.code), step.elapsedMs());
    for (const std::string& line : lines) std::printf("    |%s|\n", line.c_str());
    checks.check(read.succeeded(), "packet read of the header lines (table 6)");
    const ptk::HeaderLineTexts written{lines[0], "{IMG 2:100}", "~Aпроба", ""};
    checks.check(ptk::WriteHeaderLines(session, written).succeeded(),
                 "packet write of the header lines");
    ptk::HeaderLineTexts again;
    checks.check(ptk::ReadHeaderLines(session, again).succeeded() && again == written,
                 "the header lines read back as written");

    const ptk::MessageBuilder leave = session.message(0x52);
    checks.check(
        session.exchange.SendFormCommand(ptk::commandCall(leave, 6, ptk::ShortAnswer::Refused))
            .succeeded(),
        "a command exchange after the packet driver (leave mode 4)");
}

void checkTransactions(Checklist& checks, int portIndex, int baudIndex,
                       const std::string& password) {
    ptk::wine::ConsoleFrontEnd frontEnd;
    ptk::platform::SystemClock clock;
    ptk::platform::SystemSerialOpener opener;
    ptk::Session session(frontEnd, clock, opener);
    session.LinkPassword = password;
    session.BaudIndex = baudIndex;

    checks.check(session.channel.OpenPort(portIndex), "OpenPort");
    checks.check(session.channel.ConfigurePort(portIndex, baudIndex), "ConfigurePort");

    session.exchange.setCodeSet(ptk::CodeSet::Shifted);
    Stopwatch step;
    const ptk::ExchangeResult probe = ptk::ProbeCommand(session, 0, 0);
    std::printf("  probe: %s in %lld ms, code set byte 0x%02X\n", outcomeOf(probe),
                step.elapsedMs(), session.exchange.answer()[ptk::kProbeCodeSetPosition]);
    checks.check(probe.succeeded() || probe.outcome == ptk::ExchangeOutcome::UnknownCommand,
                 "the register answers the probe");
    // As at the program's start: codes go out as written after the probe, whatever it said.
    session.exchange.setCodeSet(ptk::CodeSet::AsWritten);

    step = Stopwatch{};
    const ptk::ShortStatusReply status = ptk::QueryStatusCode(session);
    std::printf(
        "  short status: %s in %lld ms, mode byte 0x%02X, flags paper %d link %d cover %d "
        "roll %d\n",
        outcomeOf(status.result), step.elapsedMs(), status.status.modeByte, status.status.noPaper(),
        status.status.noPrinterLink(), status.status.coverOpen(), status.status.noRoll());
    checks.check(status.result.succeeded(), "short status (0x45)");
    checks.check(session.exchange.received()[0] == ptk::control::STX,
                 "the status answer is framed");

    step = Stopwatch{};
    std::vector<std::string> lines;
    const ptk::ExchangeResult state = ptk::RequestDeviceState(session, lines);
    std::printf("  state: %s in %lld ms, %zu lines\n", outcomeOf(state), step.elapsedMs(),
                lines.size());
    for (const std::string& line : lines) std::printf("    %s\n", line.c_str());
    checks.check(state.succeeded() && !lines.empty(), "state (0x3F)");

    checkPacketDriver(checks, session);

    checks.check(frontEnd.boxes == 0, "no failure was shown to the inspector");
    checks.check(session.channel.ClosePort(portIndex), "ClosePort");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: wine_link_check COMn [baud index 0-4] [link password]\n");
        return 2;
    }
    const std::string port = argv[1];
    const int portIndex = port.size() > 3 ? std::atoi(port.c_str() + 3) - 1 : -1;
    const int baudIndex = argc > 2 ? std::atoi(argv[2]) : 4;
    const std::string password = argc > 3 ? argv[3] : "7301";
    if (port.compare(0, 3, "COM") != 0 || portIndex < 0 || portIndex >= ptk::kPortCount ||
        baudIndex < 0 || baudIndex >= static_cast<int>(ptk::BaudTable.size())) {
        std::fprintf(stderr, "wine_link_check: bad port or baud index\n");
        return 2;
    }
    std::printf("checking %s (%s) at %u baud\n", port.c_str(),
                ptk::platform::portDevicePath(portIndex).c_str(),
                ptk::BaudTable[static_cast<std::size_t>(baudIndex)]);

    Checklist checks;
    checkPortList(checks, port);
    checkIdleDevice(checks, portIndex, baudIndex);
    checkTransactions(checks, portIndex, baudIndex, password);
    std::printf("%s: %d failed\n", checks.failures() == 0 ? "PASSED" : "FAILED", checks.failures());
    std::fflush(stdout);
    return checks.failures() == 0 ? 0 : 1;
}
