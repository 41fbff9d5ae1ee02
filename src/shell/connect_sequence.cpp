#include "shell/connect_sequence.h"

#include "shell/shell_commands.h"
#include "status/short_status.h"

namespace ptk {
namespace {

constexpr int kProbeUnknown = static_cast<int>(ExchangeResult::UnknownCommand);

void tellPortFailure(Session& session, std::string_view text) {
    session.frontEnd.showMessage(MessageIcon::Error, kErrorCaption, text);
}

// "Порт недоступен!", and below it which device the port stood for and why it did not open.
std::string portUnavailableText(int port, const platform::PortOpenReport& report) {
    const std::string details = platform::portOpenFailureText(port, report);
    return std::string(kPortUnavailable) + (details.empty() ? "" : "\n" + details);
}

}  // namespace

bool OpenConfiguredPort(Session& session) {
    SerialChannel& channel = session.channel;
    const int port = channel.CurrentPort;
    platform::PortOpenReport report;
    if (!channel.OpenPort(port, &report)) {
        tellPortFailure(session, portUnavailableText(port, report));
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
    if (outcome.probe == kProbeUnknown) outcome.probe = 1;
    session.exchange.DirectCodes = 1;
    if (outcome.probe != 1) return outcome;

    outcome.status = QueryStatusCode(session);
    const std::uint8_t modeByte = session.StatusCopy[2];
    if (outcome.status == 1 && modeByte != 0) outcome.exitMode = ExitCurrentMode(session);
    return outcome;
}

int ProbeCodeSet(Session& session) {
    session.exchange.DirectCodes = 0;
    const int probe = ProbeCommand(session, 0, 0);
    if (probe == 1) {
        session.exchange.DirectCodes = session.exchange.AnswerCopy[kProbeCodeSetPosition];
    } else if (probe == kProbeUnknown) {
        session.exchange.DirectCodes = 1;
    }
    return probe;
}

}  // namespace ptk
