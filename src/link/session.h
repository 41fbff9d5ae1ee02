#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "link/command_exchange.h"
#include "link/error_text.h"
#include "link/front_end.h"
#include "link/packet_driver.h"
#include "link/serial_channel.h"
#include "platform/clock.h"
#include "platform/serial_device.h"

namespace ptk {

// The link to the register and its connection settings, in one object that is handed to whoever
// talks to the register. What a window keeps for itself (the mode it opens, the password typed,
// its stage of a registration) stays in that window. Tests make a fresh one per case.
class Session {
public:
    Session(FrontEnd& frontEnd, platform::Clock& clock, platform::SerialOpener& opener)
        : frontEnd(frontEnd),
          clock(clock),
          channel(opener, clock, frontEnd),
          errors(frontEnd),
          exchange(channel, errors),
          packets(channel) {}

    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    FrontEnd& frontEnd;
    platform::Clock& clock;
    SerialChannel channel;     // PortTable, CurrentPort
    ErrorReporter errors;      // ErrorText, ShowDriverResult
    CommandExchange exchange;  // SendCommand, SendFormCommand
    PacketExchange packets;    // PacketDriver; PacketCommand is in link/packet_command.h

    // Connection settings.
    std::string portName;  // "COM1"
    std::string baudName;  // "CBR_115200"
    int BaudIndex = 0;
    std::string LinkPassword;  // up to 4 decimal digits

    // The emergency stop of the long reports.
    std::atomic<bool> StopRequested{false};

    // A command message that opens with the link password.
    MessageBuilder message(std::uint8_t code) const { return MessageBuilder(LinkPassword, code); }
};

}  // namespace ptk
