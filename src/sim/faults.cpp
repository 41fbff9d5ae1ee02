#include "sim/faults.h"

#include <array>

namespace ptk::sim {

namespace {
constexpr std::array<std::string_view, kSilentStepCount> kStepNames = {
    "enq-ack", "frame-ack", "answer-enq", "answer-frame", "eot"};
}

std::string_view silentStepName(SilentStep step) {
    return kStepNames[static_cast<std::size_t>(step)];
}

bool parseSilentStep(std::string_view name, SilentStep& step) {
    for (std::size_t i = 0; i < kStepNames.size(); ++i) {
        if (kStepNames[i] == name) {
            step = static_cast<SilentStep>(i);
            return true;
        }
    }
    return false;
}

}  // namespace ptk::sim
