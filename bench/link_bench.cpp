// Figures for the device link over a real pseudo-terminal: idle processor load, transaction time
// beside the wire time, and heap allocations per transaction. Prints, never judges.
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "link/session.h"
#include "platform/clock.h"
#include "platform/serial_device.h"
#include "processor_time.h"
#include "pty_register.h"
#include "quiet_front_end.h"
#include "support/allocation_counter.h"

namespace {

using namespace ptk;
using Clock = std::chrono::steady_clock;
using bench::processorSeconds;

using bench::QuietFrontEnd;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double wireMs(std::size_t bytes) {
    return static_cast<double>(bytes) * 10.0 * 1000.0 / 115200.0;
}

struct Rig {
    explicit Rig(std::vector<std::uint8_t> answer) : device("./COM9", std::move(answer)) {
        session.channel.OpenPort(8);
        session.channel.ConfigurePort(8, 4);
    }
    bench::PtyRegister device;
    QuietFrontEnd frontEnd;
    platform::SystemClock clock;
    platform::SystemSerialOpener opener;
    Session session{frontEnd, clock, opener};
};

CommandCall call(const MessageBuilder& message, std::size_t answerLength, ShortAnswer shortAnswer,
                 ErrorCodeRule rule) {
    CommandCall c = commandCall(message, answerLength, shortAnswer);
    c.errorCode = rule;
    return c;
}

void idleReadLoad() {
    Rig rig({0x52, 0x00, 0x00});
    std::uint8_t buffer[8] = {};
    const double cpuBefore = processorSeconds();
    const auto start = Clock::now();
    const bool got = rig.session.channel.ReadWithDeadline(buffer, 1, 10'000);
    const double wall = msSince(start) / 1000.0;
    const double cpu = processorSeconds() - cpuBefore;
    std::printf(
        "idle read, 10 s wait for an answer that never comes: %.3f s wall, %.4f s processor = %.3f "
        "%% of a core%s\n",
        wall, cpu, 100.0 * cpu / wall, got ? " (a byte came!)" : "");
}

void formTransaction() {
    Rig rig({0x52, 0x00, 0x00});
    const MessageBuilder message = rig.session.message(0x52);
    const CommandCall leave = call(message, 6, ShortAnswer::Refused, ErrorCodeRule::AnswerByte1);
    const int rounds = 50;
    double total = 0;
    int ok = 0;
    for (int i = 0; i < rounds; ++i) {
        const auto start = Clock::now();
        ok += rig.session.exchange.SendFormCommand(leave).succeeded() ? 1 : 0;
        total += msSince(start);
    }
    const double perCall = total / rounds - leave.deadlines.pauseMs;
    const double wire = wireMs(rig.device.wireBytesPerExchange());
    std::printf(
        "form transaction over a pseudo-terminal (%d/%d ok): %.3f ms beside %.3f ms of wire time "
        "at 115200 baud: ratio %.2f\n",
        ok, rounds, perCall, wire, perCall / wire);
}

void allocationsPerTransaction() {
    Rig rig({0x52, 0x00, 0x00});
    const MessageBuilder message = rig.session.message(0x52);
    CommandCall leave = call(message, 6, ShortAnswer::Refused, ErrorCodeRule::AnswerByte1);
    leave.deadlines.pauseMs = 0;
    rig.session.exchange.SendFormCommand(leave);  // the first call may set things up
    const int rounds = 100;
    testing::startCountingAllocations();
    for (int i = 0; i < rounds; ++i) rig.session.exchange.SendFormCommand(leave);
    const long allocations = testing::stopCountingAllocations();
    std::printf("heap allocations in %d transactions after the first: %ld\n", rounds, allocations);
}

void shortStateAnswer() {
    std::vector<std::uint8_t> answer(30, 0x21);
    answer[0] = 0x44;
    Rig rig(answer);
    const MessageBuilder message = rig.session.message(0x3F);
    const CommandCall state = call(message, 55, ShortAnswer::Taken, ErrorCodeRule::StateAnswer);
    const int rounds = 20;
    double total = 0;
    int ok = 0;
    for (int i = 0; i < rounds; ++i) {
        const auto start = Clock::now();
        ok += rig.session.exchange.SendFormCommand(state).succeeded() ? 1 : 0;
        total += msSince(start);
    }
    const double perCall = total / rounds;
    const double wire = wireMs(rig.device.wireBytesPerExchange());
    const double goal = 1.1 * wire + state.deadlines.pauseMs + 5;
    std::printf(
        "state request, answer taken short (%d/%d ok): %.3f ms beside wire %.3f ms + pause %u ms; "
        "goal under %.3f ms\n",
        ok, rounds, perCall, wire, state.deadlines.pauseMs, goal);
}

}  // namespace

int main() {
    // The register appears as ./COM9 in a scratch working directory.
    const auto dir =
        std::filesystem::temp_directory_path() / ("ptk-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::filesystem::current_path(dir);
    idleReadLoad();
    formTransaction();
    allocationsPerTransaction();
    shortStateAnswer();
    std::filesystem::current_path("/");
    std::filesystem::remove_all(dir);
    return 0;
}
