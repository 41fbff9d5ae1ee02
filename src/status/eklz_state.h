#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "link/session.h"
#include "status/answer_bytes.h"

namespace ptk {

inline constexpr std::uint8_t kEklzStateCode = 0xAE;

// The lines of the EKLZ state window for an EKLZ state answer, in the window's order.
std::vector<std::string> eklzStateLines(const AnswerBytes& answer);

// The EKLZ state request (0xAE). On success lines holds the state lines, replacing what was
// there; otherwise lines is left alone and the failure has been shown.
ExchangeResult RequestEklzState(Session& session, std::vector<std::string>& lines);

}  // namespace ptk
