#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "link/session.h"

namespace ptk {

inline constexpr std::string_view kPortUnavailable = "Порт недоступен!";
inline constexpr std::string_view kPortNotConfigured = "Нет связи!";
// Where the probe's answer byte 2 (which command codes the register expects) lies in the answer
// kept.
inline constexpr std::size_t kProbeCodeSetPosition = 3;

// Opens the port CurrentPort and sets it to BaudIndex. An open that fails is told as "Порт
// недоступен!", a configuration that fails as "Нет связи!". True when the port is ready.
bool OpenConfiguredPort(Session& session);

// Closes the port that was in use and opens and configures CurrentPort in its place.
bool ReopenPort(Session& session, int portInUse);

// Command 0xE0 with the data bytes a and b; its code is never shifted. The answer is taken even
// when it comes short. UnknownCommand when the register does not know the command (0x7A or 0x46,
// no message); any other failure has shown its message.
ExchangeResult ProbeCommand(Session& session, std::uint8_t a, std::uint8_t b);

// The probe after the settings were applied: here the register's answer byte 2 decides whether
// codes go out as written (non-zero) or shifted (zero). A register that does not know the probe
// gets codes as written; any failure leaves them shifted. Returns the probe's result.
ExchangeResult ProbeCodeSet(Session& session);

}  // namespace ptk
