#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/sim_fixture.h"

namespace ptk::testing {

// The simulated register with the commands it carried out recorded, for the sales tests.
struct SalesRig : SimRig {
    SalesRig() {
        engine.setCommandObserver([this](const sim::CommandRecord& record) {
            commands.push_back(record.code);
            messages.push_back(record.message);
        });
    }

    // Puts the register into a mode as the mode entry would have.
    void enterMode(std::uint8_t mode) { state().mode.set(mode); }

    bool tapeHas(const std::string& line) const {
        for (const auto& printed : engine.state().tape.lines()) {
            if (printed == line) return true;
        }
        return false;
    }

    // The codes of the commands the register carried out (or refused), in order.
    std::vector<std::uint8_t> commands;
    std::vector<std::vector<std::uint8_t>> messages;
};

}  // namespace ptk::testing
