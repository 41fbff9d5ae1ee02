#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fiscal_memory/header_lines.h"
#include "link/exchange_result.h"
#include "link/front_end.h"

namespace ptk {
class Session;
}

namespace ptk::fiscal_memory {

// What the fiscal-memory form says to the register while it programs the serial number and
// fiscalises or re-registers the register, and its round trips through mode 4 (programming) for
// the header lines. A failure has shown its message, unless a function says otherwise.

inline constexpr std::uint8_t kProgramSerialNumberCode = 0x61;
inline constexpr std::uint8_t kFiscalRegistrationCode = 0x62;

// The digits of each number field as it travels.
inline constexpr std::size_t kSerialNumberDigits = 8;
inline constexpr std::size_t kRegistrationNumberDigits = 10;
inline constexpr std::size_t kTaxpayerNumberDigits = 12;
inline constexpr std::size_t kFiscalPasswordDigits = 8;

// The text filled on the left with "0" up to width characters; a longer text is cut to its first
// width characters. It is what a number field sends, and what the form shows once it checked it.
std::string zeroFilled(std::string_view text, std::size_t width);

// The serial number as its 8 digits packed two to a byte: "123" gives 00 00 01 23.
std::array<std::uint8_t, 4> serialNumberData(std::string_view serialNumber);
// Registration number (10 digits), taxpayer number (12) and the new fiscal-memory password (8),
// packed in that order.
std::array<std::uint8_t, 15> registrationData(std::string_view registrationNumber,
                                              std::string_view taxpayerNumber,
                                              std::string_view newPassword);

// Programs the register's serial number (0x61).
ExchangeResult ProgramSerialNumber(Session& session, std::string_view serialNumber);
// Fiscalises or re-registers the register (0x62).
ExchangeResult FiscalRegistration(Session& session, std::string_view registrationNumber,
                                  std::string_view taxpayerNumber, std::string_view newPassword);

// The start-up exchange of the form, run by the mode entry before it shows the form: out of mode
// 5 into mode 4, the header lines read into lines (those not read keep their texts; a failure is
// shown as a driver result of owner's), and back into mode 5 with the access password the
// inspector typed at the mode entry. True when the form may be shown: every step succeeded, both
// mode entries confirmed by an intact answer.
bool FiskPamStartUp(Session& session, HeaderLineTexts& lines, std::string_view accessPassword,
                    OwnerHandle owner);

// Writes the header lines in mode 4 and comes back to mode 5, right before a registration.
// True only when both mode changes were confirmed and the lines written: a registration must not
// go out with header lines the register did not take, or in a mode it may not be in.
bool StoreHeaderLines(Session& session, const HeaderLineTexts& lines,
                      std::string_view accessPassword, OwnerHandle owner);

}  // namespace ptk::fiscal_memory
