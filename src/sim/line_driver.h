#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "sim/register_engine.h"

namespace ptk::trace {
class ExchangeTrace;
}

namespace ptk::sim {

// The engine's clock in ptk-sim: microseconds since the program started.
class MonotonicClock {
public:
    std::uint64_t nowUs() const {
        return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(
                                              std::chrono::steady_clock::now() - start_)
                                              .count());
    }

private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

// Serves the engine on the line called linkName (COMn) in real time: bytes from the computer go
// to the engine as they arrive, the engine's bytes go out at their times. ready is told where the
// register can be reached once it can; serving ends when stop becomes true. False, with a
// message, when the line cannot be served at all. With hangUpAfter, serving ends, the line closed,
// as soon as the computer hands over a command after that many were answered.
// When trace is given, it is told every byte read from and written to the line.
//
// Each platform has its own driver file: line_driver_posix.cpp serves a pseudo-terminal linked as
// ./COMn; a Win32 driver serves the serial port COMn.
bool serveOnLine(const std::string& linkName, RegisterEngine& engine, const MonotonicClock& clock,
                 const std::atomic<bool>& stop,
                 const std::function<void(const std::string&)>& ready, std::string& error,
                 std::optional<std::uint64_t> hangUpAfter, trace::ExchangeTrace* trace = nullptr);

// Signals that end ptk-sim (Ctrl+C, SIGTERM) set stop; the driver notices them while it waits.
void stopOnSignals(std::atomic<bool>& stop);

}  // namespace ptk::sim
