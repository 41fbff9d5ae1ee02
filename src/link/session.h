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

// Everything the program shares across its windows and commands, in one object that is handed
// to whoever needs it. Tests make a fresh one per case.
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
    ErrorReporter errors;      // SuppressErrorBox
    CommandExchange exchange;  // TxBuffer, RxBuffer, AnswerCopy, DirectCodes
    PacketExchange packets;    // PacketDriver; PacketCommand is in link/packet_command.h

    // Connection settings.
    std::string portName;  // "COM1"
    std::string baudName;  // "CBR_115200"
    int BaudIndex = 0;
    std::string LinkPassword;  // up to 4 decimal digits

    // Mode entry.
    int TargetMode = 0;
    std::string AccessPassword;
    int RegistrationStage = 0;

    // The last short status: the first 55 bytes of its answer as received, STX at position 0, so
    // the mode byte lies at position 2 and the flags byte at position 3.
    LinkBuffer StatusCopy{};
    std::uint8_t DeviceModeByte = 0;
    int NoPaperFlag = 0;
    int NoPrinterLinkFlag = 0;
    int CoverOpenFlag = 0;
    int NoRollFlag = 0;

    // The emergency stop of the long reports.
    std::atomic<bool> StopRequested{false};

    // A command message that opens with the link password.
    MessageBuilder message(std::uint8_t code) const { return MessageBuilder(LinkPassword, code); }
};

}  // namespace ptk
