#pragma once

#include <cstdint>
#include <vector>

#include "link/command_exchange.h"
#include "link/frame.h"

namespace ptk::testing {

// The frame the command exchange builds for message: STX, the stuffed message, ETX, checksum.
inline std::vector<std::uint8_t> frameOf(const std::vector<std::uint8_t>& message) {
    std::vector<std::uint8_t> frame(kBufferSize);
    frame.resize(buildFrame(message.data(), message.size(), frame.data(), frame.size()));
    return frame;
}

}  // namespace ptk::testing
