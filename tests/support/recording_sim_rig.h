#pragma once

#include <cstdint>
#include <vector>

#include "support/sim_fixture.h"

namespace ptk::testing {

// The simulated register with the commands it carried out (or refused) recorded in order.
struct RecordingSimRig : SimRig {
    explicit RecordingSimRig(const sim::EngineOptions& options = {}) : SimRig(options) {
        engine.setCommandObserver([this](const sim::CommandRecord& record) {
            commands.push_back(record.code);
            messages.push_back(record.message);
        });
    }

    // The codes of the commands, and their messages as the register read them.
    std::vector<std::uint8_t> commands;
    std::vector<std::vector<std::uint8_t>> messages;
};

}  // namespace ptk::testing
