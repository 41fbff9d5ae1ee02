// ptk-sim: the simulated register served on a line in real time. See --help.

#include <atomic>
#include <cstdio>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "sim/line_driver.h"
#include "sim/register_engine.h"
#include "sim/sim_log.h"
#include "sim/sim_options.h"
#include "trace/exchange_trace.h"

namespace {

ptk::sim::DateTime localTimeNow() {
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    ptk::sim::DateTime value;
    if (!local) return value;
    value.year = local->tm_year + 1900;
    value.month = local->tm_mon + 1;
    value.day = local->tm_mday;
    value.hour = local->tm_hour;
    value.minute = local->tm_min;
    value.second = local->tm_sec > 59 ? 59 : local->tm_sec;  // a leap second
    return ptk::sim::isValid(value) ? value : ptk::sim::DateTime{};
}

}  // namespace

int main(int argc, char** argv) {
    using namespace ptk::sim;
    SimSettings settings;
    std::string error;
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (!parseSimOptions(args, settings, error)) {
        std::fprintf(stderr, "ptk-sim: %s\n", error.c_str());
        return 2;
    }
    if (settings.showHelp) {
        std::fputs(simHelpText().c_str(), stdout);
        return 0;
    }
    if (settings.showVersion) {
        std::printf("ptk-sim %s\n", PTK_VERSION);
        return 0;
    }

    const MonotonicClock clock;
    std::unique_ptr<ptk::trace::ExchangeTrace> trace;
    if (!settings.tracePath.empty()) {
        trace = ptk::trace::ExchangeTrace::open(
            settings.tracePath, ptk::trace::Role::Register, "ptk-sim " PTK_VERSION,
            [&clock] { return clock.nowUs(); }, error);
        if (!trace) {
            std::fprintf(stderr, "ptk-sim: %s\n", error.c_str());
            return 1;
        }
    }
    SimLog log(stdout, [&clock] { return clock.nowUs(); });
    if (settings.clockFromSystem) settings.state.clock.set(localTimeNow(), 0);
    settings.state.tape.setObserver([&log](const std::string& line) { log.tape(line); });
    RegisterEngine engine(std::move(settings.state), settings.engine);
    engine.faults() = settings.faults;
    engine.setCommandObserver([&log](const CommandRecord& record) { log.command(record); });
    if (settings.traceLine) {
        engine.setLinkObserver(
            [&log](std::uint64_t atUs, std::string_view text) { log.lineEvent(atUs, text); });
    }

    // The register reads codes shifted or not as its own setting says.
    if (trace) trace->setCodesShifted([&engine] { return !engine.state().link.unshiftedCodes; });

    std::atomic<bool> stop{false};
    stopOnSignals(stop);
    const bool served = serveOnLine(
        settings.linkName, engine, clock, stop,
        [&](const std::string& where) {
            log.info("serving " + settings.linkName + " (" + where + ") at " +
                     std::to_string(engine.options().baud) + " baud, mode byte 0x" + [&] {
                         char hex[4];
                         std::snprintf(hex, sizeof hex, "%02X", engine.state().mode.byte());
                         return std::string(hex);
                     }());
        },
        error, settings.hangUpAfter, trace.get());
    if (!served) {
        std::fprintf(stderr, "ptk-sim: %s\n", error.c_str());
        return 1;
    }
    if (settings.hangUpAfter && engine.commandsCarriedOut() > *settings.hangUpAfter) {
        log.info("hung up the line after " + std::to_string(*settings.hangUpAfter) +
                 " answered command(s)");
    }
    log.info("stopped after " + std::to_string(engine.commandsCarriedOut()) + " command(s)");
    return 0;
}
