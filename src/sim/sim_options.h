#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sim/faults.h"
#include "sim/register_engine.h"
#include "sim/register_state.h"

namespace ptk::sim {

// Everything ptk-sim takes from its command line: where to serve the register, its initial state
// and the faults it shows.
struct SimSettings {
    std::string linkName = "COM1";  // served as ./COM1 in the working directory
    EngineOptions engine;
    RegisterState state;
    FaultPlan faults;
    bool clockFromSystem = true;  // unless --clock sets it
    bool traceLine = false;       // also log the line's events (NAKs, repeats, silences)
    std::string tracePath;        // the exchange trace, when asked for
    // Close the line once this many commands were answered, as soon as the next is handed over.
    std::optional<std::uint64_t> hangUpAfter;
    bool showHelp = false;
    bool showVersion = false;
};

// Reads the options (the program name not included). False with a message naming the offending
// option; settings then hold what was read before it.
bool parseSimOptions(const std::vector<std::string>& args, SimSettings& settings,
                     std::string& error);

// The --help text: every option with its value and meaning.
std::string simHelpText();

}  // namespace ptk::sim
