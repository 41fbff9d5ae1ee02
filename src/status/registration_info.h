#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "link/session.h"
#include "status/answer_bytes.h"

namespace ptk {

inline constexpr std::uint8_t kReadDataRegisterCode = 0x91;
// The register's numbered data registers that hold its registration data.
inline constexpr std::uint8_t kActivationRegister = 26;    // EKLZ activations
inline constexpr std::uint8_t kRegistrationRegister = 27;  // ИНН, РНМ, first shift, date
inline constexpr std::uint8_t kEklzNumberRegister = 28;    // number of the EKLZ
// Reading a data register may take the register a while.
inline constexpr std::uint32_t kDataRegisterAnswerStartMs = 45000;

// The lines that the answer of one data register adds to the registration window (none for a
// number other than 26, 27 or 28).
std::vector<std::string> dataRegisterLines(std::uint8_t number, const AnswerBytes& answer);

// Reads one data register (0x91). On success its lines are added to lines; the answer of data
// register 26, the first one read, replaces what was there instead. On failure lines is left
// alone and the failure has been shown.
ExchangeResult ReadDataRegister(Session& session, std::uint8_t number,
                                std::vector<std::string>& lines);

// The three reads in their order, each only after the one before succeeded. The result is that
// of the last read made.
ExchangeResult ReadRegistrationInfo(Session& session, std::vector<std::string>& lines);

}  // namespace ptk
