#pragma once

#include <cstddef>
#include <cstdint>

#include "link/session.h"

namespace ptk {

// A packet transaction of the dialogs: PacketDriver with the first four characters of the link
// password. A driver result other than Done is returned as it is; otherwise, when an answer was
// asked for, the register's error code (answer byte 1) turned into a result by
// PacketResultForDeviceCode. An answer too short to hold the error code gives NoAnswer.
PacketResult PacketCommand(Session& session, std::uint8_t code, const std::uint8_t* data,
                           std::size_t dataLength, std::uint8_t* answer, std::size_t* answerLength);

}  // namespace ptk
