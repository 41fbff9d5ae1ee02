#include "device/connection.h"

#include <string>

namespace ptk {
namespace {

constexpr std::size_t kProbeAnswerLength = 7;

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
    const int port = channel.currentPort();
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

ExchangeResult ProbeCommand(Session& session, std::uint8_t a, std::uint8_t b) {
    MessageBuilder message = session.message(kProbeCode);
    message.byte(a).byte(b);
    CommandCall call = commandCall(message, kProbeAnswerLength, ShortAnswer::Taken);
    call.unknownCommand = UnknownCommandAnswer::IsAResult;
    return session.exchange.SendFormCommand(call);
}

ExchangeResult ProbeCodeSet(Session& session) {
    session.exchange.setCodeSet(CodeSet::Shifted);
    const ExchangeResult probe = ProbeCommand(session, 0, 0);
    // The answer's code set byte is read only from an answer of this probe.
    if (probe.succeeded()) {
        const bool asWritten = session.exchange.answer()[kProbeCodeSetPosition] != 0;
        session.exchange.setCodeSet(asWritten ? CodeSet::AsWritten : CodeSet::Shifted);
    } else if (probe.outcome == ExchangeOutcome::UnknownCommand) {
        session.exchange.setCodeSet(CodeSet::AsWritten);
    }
    return probe;
}

}  // namespace ptk
