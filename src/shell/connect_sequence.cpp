#include "shell/connect_sequence.h"

#include "shell/shell_commands.h"
#include "status/short_status.h"

namespace ptk {
namespace {

void tellPortFailure(Session& session, std::string_view text) {
    session.frontEnd.showMessage(MessageIcon::Error, kErrorCaption, text);
}

}  // namespace

bool OpenConfiguredPort(Session& session) {
    SerialChannel& channel = session.channel;
    const int port = channel.CurrentPort;
    if (!channel.OpenPort(port)) {
        tellPortFailure(session, kPortUnavailable);
        return false;
    }
    if (!channel.ConfigurePort(port, session.BaudIndex)) {
        tellPortFailure(session, kPortNotConfigured);
        return false;
    }
    return true;
}

bool ReopenPort(Session& session, int portInUse) {
    session.channel.ClosePort(portInUse);
    return OpenConfiguredPort(session);
}

ConnectOutcome ConnectToRegister(Session& session) {
    ConnectOutcome outcome;
    session.exchange.DirectCodes = 0;
    outcome.probe = ProbeCommand(session, 0, 0);
    session.exchange.DirectCodes = 1;
    // A register that does not know the probe has answered all the same.
    if (!outcome.probe.succeeded() && outcome.probe.outcome != ExchangeOutcome::UnknownCommand) {
        return outcome;
    }
    outcome.status = QueryStatusCode(session);
    const std::uint8_t modeByte = session.StatusCopy[2];
    if (outcome.status->succeeded() && modeByte != 0) outcome.exitMode = ExitCurrentMode(session);
    return outcome;
}

ExchangeResult ProbeCodeSet(Session& session) {
    session.exchange.DirectCodes = 0;
    const ExchangeResult probe = ProbeCommand(session, 0, 0);
    if (probe.succeeded()) {
        session.exchange.DirectCodes = session.exchange.AnswerCopy[kProbeCodeSetPosition];
    } else if (probe.outcome == ExchangeOutcome::UnknownCommand) {
        session.exchange.DirectCodes = 1;
    }
    return probe;
}

}  // namespace ptk
