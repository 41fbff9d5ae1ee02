#pragma once

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
    int probe = 0;      // ProbeCommand's result, 22 already counted as 1
    int status = -1;    // QueryStatusCode's result; -1 when it was not asked
    int exitMode = -1;  // ExitCurrentMode's result; -1 when it was not needed
};

// The register half of the first activation of the main window: the probe goes out while the
// codes are shifted, since a register that expects shifted codes must still understand it;
// afterwards codes go out as written whatever the probe answered. A register that answered and
// is found in a mode is taken back to the selection mode without a question.
ConnectOutcome ConnectToRegister(Session& session);

// The probe after the settings were applied: here the register's answer byte 2 decides whether
// codes go out as written (non-zero) or shifted (zero). A register that does not know the probe
// gets codes as written; any failure leaves them shifted. Returns the probe's result.
int ProbeCodeSet(Session& session);

}  // namespace ptk
