#pragma once

#include <optional>

#include "link/session.h"

namespace ptk {

inline constexpr std::string_view kPortUnavailable = "Порт недоступен!";
inline constexpr std::string_view kPortNotConfigured = "Нет связи!";

// Opens the port CurrentPort and sets it to BaudIndex. An open that fails is told as "Порт
// недоступен!", a configuration that fails as "Нет связи!". True when the port is ready.
bool OpenConfiguredPort(Session& session);

// Closes the port that was in use and opens and configures CurrentPort in its place.
bool ReopenPort(Session& session, int portInUse);

// What the connect sequence found.
struct ConnectOutcome {
    ExchangeResult probe;                    // ProbeCommand's result
    std::optional<ExchangeResult> status;    // QueryStatusCode's, when it was asked
    std::optional<ExchangeResult> exitMode;  // ExitCurrentMode's, when it was needed
};

// The register half of the first activation of the main window: the probe goes out while the
// codes are shifted, since a register that expects shifted codes must still understand it;
// afterwards codes go out as written whatever the probe answered. A register that answered and
// is found in a mode is taken back to the selection mode without a question.
ConnectOutcome ConnectToRegister(Session& session);

// The probe after the settings were applied: here the register's answer byte 2 decides whether
// codes go out as written (non-zero) or shifted (zero). A register that does not know the probe
// gets codes as written; any failure leaves them shifted. Returns the probe's result.
ExchangeResult ProbeCodeSet(Session& session);

}  // namespace ptk
