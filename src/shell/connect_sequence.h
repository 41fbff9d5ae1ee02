#pragma once

#include <optional>

#include "link/session.h"

namespace ptk {

// What the connect sequence found.
struct ConnectOutcome {
    ExchangeResult probe;
    // The way to the selection mode (the status asked, the mode left when need be), when the
    // register answered the probe.
    std::optional<ExchangeResult> toSelection;
};

// The register half of the first activation of the main window: the probe goes out while the
// codes are shifted, since a register that expects shifted codes must still understand it;
// afterwards codes go out as written whatever the probe answered. A register that answered (or
// does not know the probe) and is found in a mode is taken back to the selection mode without a
// question.
ConnectOutcome ConnectToRegister(Session& session);

}  // namespace ptk
