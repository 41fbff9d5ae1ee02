#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "link/exchange_result.h"

namespace ptk {
class Session;
}

namespace ptk::eklz {

inline constexpr std::uint8_t kActivationCode = 0xA6;
inline constexpr std::uint8_t kArchiveClosingCode = 0xA7;
inline constexpr std::uint8_t kActivationTotalsCode = 0xA8;
inline constexpr std::uint8_t kShiftTotalsCode = 0xA9;
inline constexpr std::uint8_t kControlTapeCode = 0xAA;
inline constexpr std::uint8_t kDocumentCode = 0xAB;
inline constexpr std::uint8_t kReportByDatesCode = 0xAC;
inline constexpr std::uint8_t kReportByShiftsCode = 0xAD;

// How long the register may work before it starts its answer: the single commands print a few
// lines, the reports and requests may print for two minutes.
inline constexpr std::uint32_t kCommandAnswerStartMs = 20'000;
inline constexpr std::uint32_t kReportAnswerStartMs = 120'000;

// The operation codes of EklzCommand.
enum EklzOperation : int {
    kActivation = 1,
    kActivationTotals = 2,
    kArchiveClosing = 3,
};

// The kinds of EklzRequest.
enum EklzRequestKind : int {
    kShiftTotals = 1,
    kControlTape = 2,
    kDocument = 3,
};

// How many digits the fields hold: a shift number four, a КПК number eight.
inline constexpr std::size_t kShiftDigits = 4;
inline constexpr std::size_t kKpkDigits = 8;

// A shift number as it travels: blanks around it dropped, one to four digits, filled on the left
// with zeros and packed two digits to a byte ("7" gives 00 07). Nothing for an empty text, any
// other character, or more digits than the field holds: such a number is refused, never cut.
std::optional<std::array<std::uint8_t, 2>> packShiftNumber(std::string_view text);
// A КПК number the same way, one to eight digits in four bytes ("1234" gives 00 00 12 34).
std::optional<std::array<std::uint8_t, 4>> packKpkNumber(std::string_view text);

// A report date as it travels: day, month and year within the century, one packed byte each. The
// text is day, month and year with one separator character between them, the year of four digits
// ("05.03.2013") or two ("05.03.13"); both give 05 03 13. Nothing for any other shape, or a day
// or month out of range.
std::optional<std::array<std::uint8_t, 3>> packReportDate(std::string_view text);

// The data after the code of the reports: the full flag (01 full, 00 short), then the two dates
// or the two shift numbers.
std::optional<std::array<std::uint8_t, 7>> buildReportByDatesData(int full,
                                                                  std::string_view firstDate,
                                                                  std::string_view lastDate);
std::optional<std::array<std::uint8_t, 5>> buildReportByShiftsData(int full,
                                                                   std::string_view firstShift,
                                                                   std::string_view lastShift);

// The transactions of the EKLZ access mode, meant for the report thread. Each is one command to
// the register; it succeeds when the register answered 0x00 or 0x01 (0x01: a control tape
// processed without errors, the normal outcome of that request); a failure has shown its message
// and written it into the result field. Nothing, with nothing sent or shown, when the arguments
// do not convert.

// Activation (1, 0xA6), printing of the activation totals (2, 0xA8) or closing of the archive
// (3, 0xA7).
std::optional<ExchangeResult> EklzCommand(Session& session, int operationCode);
// Report by dates (0xAC); full is 1 for a full report, 0 for a short one.
std::optional<ExchangeResult> EklzReportByDates(Session& session, int full,
                                                std::string_view firstDate,
                                                std::string_view lastDate);
// Report by shift numbers (0xAD).
std::optional<ExchangeResult> EklzReportByShifts(Session& session, int full,
                                                 std::string_view firstShift,
                                                 std::string_view lastShift);
// Request of kind 1, a shift's totals (0xA9), or 2, a shift's control tape (0xAA), for a shift
// number; or of kind 3, one document by its КПК number (0xAB).
std::optional<ExchangeResult> EklzRequest(Session& session, int kind, std::string_view number);

}  // namespace ptk::eklz
