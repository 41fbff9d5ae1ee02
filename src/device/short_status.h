#pragma once

#include <cstddef>
#include <cstdint>

#include "link/session.h"

namespace ptk {

inline constexpr std::uint8_t kShortStatusCode = 0x45;
// The short status answer as it is read: 55 logical bytes, STX included.
inline constexpr std::size_t kShortStatusLength = 55;

// Printer flags of the short status answer's flags byte (answer byte 2).
namespace status_flag {
inline constexpr std::uint8_t NoPaper = 0x01;
inline constexpr std::uint8_t NoPrinterLink = 0x02;
inline constexpr std::uint8_t CoverOpen = 0x04;
inline constexpr std::uint8_t NoRoll = 0x08;
}  // namespace status_flag

// What the short status tells: the mode byte (the mode in the low half, the submode in the high
// half) and the printer flags.
struct ShortStatus {
    std::uint8_t modeByte = 0;
    std::uint8_t flags = 0;

    // In the selection mode, no submode either: nothing to leave.
    bool inSelectionMode() const { return modeByte == 0; }
    bool noPaper() const { return (flags & status_flag::NoPaper) != 0; }
    bool noPrinterLink() const { return (flags & status_flag::NoPrinterLink) != 0; }
    bool coverOpen() const { return (flags & status_flag::CoverOpen) != 0; }
    bool noRoll() const { return (flags & status_flag::NoRoll) != 0; }
};

struct ShortStatusReply {
    // Done when the register completed the exchange; a link failure has shown its message. No
    // device error code is judged: the answer carries the mode byte where others carry one.
    ExchangeResult result;
    // Read from this transaction's answer alone, positions that did not arrive as 0, so a request
    // that got no answer is never read as the previous mode. Meaningful when result succeeded.
    ShortStatus status;
};

// Asks the register for its short status (command 0x45). The answer is taken even when it comes
// short, and the register gets longer to take the line, since it may be busy printing. The result
// field reads "00 - Ошибок нет. Команда выполнена." once the answer frame has been taken.
ShortStatusReply QueryStatusCode(Session& session);

}  // namespace ptk
