// What tracing costs a transaction. In memory, against the simulated register in virtual time:
// the processor time of a transaction with and without the trace, and the heap allocations the
// trace adds. Against the real ptk-sim on a pseudo-terminal: the time of a transaction with and
// without the program's trace, and with ptk-sim tracing too; and against a register that
// answers at once, where nothing but the exchange takes time. Prints, never judges.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "link/session.h"
#include "platform/clock.h"
#include "platform/memory_line.h"
#include "platform/serial_device.h"
#include "pty_register.h"
#include "quiet_front_end.h"
#include "sim/engine_line_peer.h"
#include "sim/register_engine.h"
#include "support/allocation_counter.h"
#include "support/child_process.h"
#include "support/scratch_directory.h"
#include "trace/exchange_trace.h"
#include "trace/session_trace.h"
#include "trace/tracing_serial_device.h"

namespace {

using namespace ptk;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

using bench::QuietFrontEnd;

double usSince(Clock::time_point start) {
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

// A session on the given opener, traced into path when it is not empty.
struct TracedSession {
    TracedSession(platform::Clock& clock, platform::SerialOpener& inner, const std::string& path,
                  trace::ExchangeTrace::MicrosecondClock traceClock = {}) {
        if (!path.empty()) {
            std::string error;
            trace = trace::ExchangeTrace::open(path, trace::Role::Computer, "trace_bench",
                                               std::move(traceClock), error);
            if (!trace) std::fprintf(stderr, "%s\n", error.c_str());
        }
        opener = std::make_unique<trace::TracingSerialOpener>(inner, trace.get());
        session = std::make_unique<Session>(frontEnd, clock, *opener);
        if (trace) trace::followSession(*trace, *session);
        session->LinkPassword = "7301";
        session->channel.OpenPort(8);
        session->channel.ConfigurePort(8, 4);
    }

    // The short status request, without the pause before the answer is read, so that only the
    // exchange itself is timed.
    bool shortStatus() {
        const MessageBuilder message = session->message(0x45);
        CommandCall call = commandCall(message, 55, ShortAnswer::Taken);
        call.errorCode = ErrorCodeRule::None;
        call.deadlines.pauseMs = 0;
        return session->exchange.SendFormCommand(call).succeeded();
    }

    QuietFrontEnd frontEnd;
    std::unique_ptr<trace::ExchangeTrace> trace;
    std::unique_ptr<trace::TracingSerialOpener> opener;
    std::unique_ptr<Session> session;
};

struct InMemoryFigures {
    double usPerTransaction = 0;
    double lineMsPerTransaction = 0;
    long allocations = 0;
};

InMemoryFigures inMemory(const std::string& tracePath, int rounds) {
    platform::VirtualClock clock;
    platform::MemoryLine line{clock};
    sim::RegisterEngine engine;
    sim::EngineLinePeer peer{engine, line};
    platform::MemoryLineOpener lineOpener{line, 8};
    TracedSession traced(clock, lineOpener, tracePath, [&clock] { return clock.nowUs(); });
    traced.shortStatus();  // the first call may set things up
    InMemoryFigures figures;
    const std::uint64_t virtualStart = clock.nowUs();
    testing::startCountingAllocations();
    const Clock::time_point start = Clock::now();
    int ok = 0;
    for (int i = 0; i < rounds; ++i) ok += traced.shortStatus() ? 1 : 0;
    figures.usPerTransaction = usSince(start) / rounds;
    figures.allocations = testing::stopCountingAllocations();
    figures.lineMsPerTransaction =
        static_cast<double>(clock.nowUs() - virtualStart) / 1000.0 / rounds;
    if (ok != rounds) std::fprintf(stderr, "only %d of %d transactions succeeded\n", ok, rounds);
    return figures;
}

// ptk-sim serving COM9 in folder, traced when simTrace is set: the time of each transaction, in
// microseconds, goes to times.
void onPseudoTerminal(const testing::ScratchDirectory& folder, bool programTrace, bool simTrace,
                      int rounds, std::vector<double>& times) {
    std::vector<std::string> args = {"--link", "COM9"};
    if (simTrace) args.insert(args.end(), {"--trace", "sim.trace"});
    testing::ChildProcess sim(PTK_SIM_PATH, args, folder.path(), folder.path() / "sim.log");
    testing::waitForPath(folder.path() / "COM9", sim, 5s);
    platform::SystemClock clock;
    platform::SystemSerialOpener systemOpener;
    TracedSession traced(clock, systemOpener,
                         programTrace ? (folder.path() / "pc.trace").string() : std::string());
    traced.shortStatus();
    int ok = 0;
    for (int i = 0; i < rounds; ++i) {
        const Clock::time_point start = Clock::now();
        ok += traced.shortStatus() ? 1 : 0;
        times.push_back(usSince(start));
    }
    if (ok != rounds) std::fprintf(stderr, "only %d of %d transactions succeeded\n", ok, rounds);
}

// The middle value: a pseudo-terminal now and then holds a frame back for a few milliseconds,
// the exchange then waits out its answer deadline and asks again (half a second), and one such
// transaction would swamp the mean of the others.
double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

double mean(const std::vector<double>& values) {
    double sum = 0;
    for (double value : values) sum += value;
    return values.empty() ? 0 : sum / static_cast<double>(values.size());
}

// A register that answers at once on a pseudo-terminal: the exchange with nothing else in it,
// the hardest case for the trace.
double againstAnImmediateRegister(bool programTrace, int rounds) {
    const bench::PtyRegister device("./COM9", {0x45, 0x00, 0x00, 0x00});
    platform::SystemClock clock;
    platform::SystemSerialOpener systemOpener;
    TracedSession traced(clock, systemOpener, programTrace ? "immediate.trace" : "");
    traced.shortStatus();
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < rounds; ++i) traced.shortStatus();
    return usSince(start) / rounds;
}

}  // namespace

int main() {
    const testing::ScratchDirectory folder;
    std::filesystem::current_path(folder.path());  // ./COM9 is looked for here
    const std::string trace = (folder.path() / "memory.trace").string();

    constexpr int kMemoryRounds = 3000;
    inMemory("", 200);  // warm up
    const InMemoryFigures plain = inMemory("", kMemoryRounds);
    const InMemoryFigures traced = inMemory(trace, kMemoryRounds);
    std::printf(
        "in memory, short status against the simulated register, %d transactions each:\n"
        "  processor time per transaction: %.2f us without the trace, %.2f us with it "
        "(+%.2f us)\n"
        "  line time per transaction (virtual): %.3f ms; the trace adds %.3f %% of it\n"
        "  heap allocations in %d transactions: %ld without the trace, %ld with it\n",
        kMemoryRounds, plain.usPerTransaction, traced.usPerTransaction,
        traced.usPerTransaction - plain.usPerTransaction, plain.lineMsPerTransaction,
        100.0 * (traced.usPerTransaction - plain.usPerTransaction) /
            (plain.lineMsPerTransaction * 1000.0),
        kMemoryRounds, plain.allocations, traced.allocations);

    // Alternating blocks, so that a slow spell of the machine falls on both sides alike.
    constexpr int kBlocks = 4, kPtyRounds = 50;
    std::vector<double> none, program, both;
    for (int block = 0; block < kBlocks; ++block) {
        onPseudoTerminal(folder, false, false, kPtyRounds, none);
        onPseudoTerminal(folder, true, false, kPtyRounds, program);
        onPseudoTerminal(folder, true, true, kPtyRounds, both);
    }
    const auto change = [](double value, double base) { return 100.0 * (value - base) / base; };
    std::printf(
        "against ptk-sim on a pseudo-terminal, short status without the 200 ms pause, %d "
        "transactions each, median (mean):\n"
        "  %.3f (%.3f) ms without a trace, %.3f (%.3f) ms with the program's trace (%+.2f %%), "
        "%.3f (%.3f) ms with both traces (%+.2f %%)\n",
        kBlocks * kPtyRounds, median(none) / 1000, mean(none) / 1000, median(program) / 1000,
        mean(program) / 1000, change(median(program), median(none)), median(both) / 1000,
        mean(both) / 1000, change(median(both), median(none)));

    double immediate = 0, immediateTraced = 0;
    for (int block = 0; block < kBlocks; ++block) {
        immediate += againstAnImmediateRegister(false, 500);
        immediateTraced += againstAnImmediateRegister(true, 500);
    }
    std::printf(
        "against a register that answers at once on a pseudo-terminal, %d transactions each:\n"
        "  %.3f ms without the trace, %.3f ms with it (%+.2f %%)\n",
        kBlocks * 500, immediate / kBlocks / 1000, immediateTraced / kBlocks / 1000,
        100.0 * (immediateTraced - immediate) / immediate);
    std::filesystem::current_path("/");
    return 0;
}
