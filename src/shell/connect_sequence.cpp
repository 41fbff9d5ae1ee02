#include "shell/connect_sequence.h"

#include "device/connection.h"
#include "device/mode_switch.h"

namespace ptk {

ConnectOutcome ConnectToRegister(Session& session) {
    ConnectOutcome outcome;
    session.exchange.setCodeSet(CodeSet::Shifted);
    outcome.probe = ProbeCommand(session, 0, 0);
    session.exchange.setCodeSet(CodeSet::AsWritten);
    // A register that does not know the probe has answered all the same.
    if (!outcome.probe.succeeded() && outcome.probe.outcome != ExchangeOutcome::UnknownCommand) {
        return outcome;
    }
    outcome.toSelection =
        SwitchToMode(session, kSelectionMode, ModePassword::typed(""), Leaving::WhenNotInSelection);
    return outcome;
}

}  // namespace ptk
