#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "link/session.h"
#include "status/answer_bytes.h"

namespace ptk {

inline constexpr std::uint8_t kStateCode = 0x3F;
inline constexpr std::uint8_t kPrinterStateCode = 0x45;

// The mode line and the submode line for a mode byte (submode in the high half); a byte the
// register does not define gives two lines of one space.
std::pair<std::string_view, std::string_view> modeLines(std::uint8_t modeByte);

// The text of the receipt state byte. A state the register does not define gets a line of its
// own naming the number, rather than nothing (which would show the line before it twice).
std::string receiptStateText(std::uint8_t state);

// The lines of the state window for a state answer, in the window's order.
std::vector<std::string> deviceStateLines(const AnswerBytes& answer);

// The four printer lines for the printer flag byte (answer byte 2 of the printer-state answer).
std::vector<std::string> printerStateLines(std::uint8_t printerFlags);

// The state request (0x3F). On success lines holds the state lines, replacing what was there;
// otherwise lines is left alone and the failure has been shown.
ExchangeResult RequestDeviceState(Session& session, std::vector<std::string>& lines);

// The printer-state request (0x45), which examines no error code: Done when the register's
// closing byte arrived, and then the four printer lines are appended to lines. The result field
// reads "00 - Ошибок нет. Команда выполнена." as soon as the answer frame has been taken.
ExchangeResult RequestPrinterState(Session& session, std::vector<std::string>& lines);

}  // namespace ptk
