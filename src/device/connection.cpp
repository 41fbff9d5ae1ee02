#include "device/connection.h"

#include <algorithm>
#include <string>

namespace ptk {
namespace {

constexpr std::size_t kProbeAnswerLength = 7;
// The probe clears this much of the answer kept first, so that a probe that got no answer cannot
// be read as the previous answer's code set.
constexpr std::size_t kProbeClearedBytes = 60;

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

ExchangeResult ProbeCommand(Session& session, std::uint8_t a, std::uint8_t b) {
    MessageBuilder message = session.message(kProbeCode);
    message.byte(a).byte(b);
    CommandCall call = commandCall(message, kProbeAnswerLength, ShortAnswer::Taken);
    call.unknownCommand = UnknownCommandAnswer::IsAResult;
    auto& copy = session.exchange.AnswerCopy;
    std::fill_n(copy.begin(), kProbeClearedBytes, std::uint8_t{0});
    return session.exchange.SendFormCommand(call);
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
