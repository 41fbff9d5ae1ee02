#pragma once

#include <cstdint>
#include <string>

#include "support/recording_sim_rig.h"

namespace ptk::testing {

// The simulated register with the commands it carried out recorded, for the sales tests.
struct SalesRig : RecordingSimRig {
    // Puts the register into a mode as the mode entry would have.
    void enterMode(std::uint8_t mode) { state().mode.set(mode); }

    bool tapeHas(const std::string& line) const {
        for (const auto& printed : engine.state().tape.lines()) {
            if (printed == line) return true;
        }
        return false;
    }
};

}  // namespace ptk::testing
