#include "cli/command_results.h"

#include "cli/terminal_front_end.h"
#include "device/mode_switch.h"
#include "link/session.h"

namespace ptk::cli {
namespace {

CommandOutcome ended(const Session& session, CommandStatus status, std::optional<int> code) {
    CommandOutcome outcome;
    if (session.StopRequested.load()) {
        // Whatever the result field said before the stop is not the command's result.
        outcome.status = CommandStatus::Stopped;
        outcome.message = kStoppedMessage;
        return outcome;
    }
    outcome.status = status;
    outcome.resultCode = code;
    // The result line and the last box as they stand now, before leaving a mode overwrites them.
    if (const auto* terminal = dynamic_cast<const TerminalFrontEnd*>(&session.frontEnd)) {
        outcome.resultText = terminal->resultText();
        if (status != CommandStatus::Success) outcome.message = terminal->lastMessage();
    }
    return outcome;
}

// The driver's codes that say the line, not the register, failed.
bool isLinkFailure(DriverCode code) {
    switch (code) {
        case DriverCode::PortUnavailable:
        case DriverCode::PortError:
        case DriverCode::NoLink:
        case DriverCode::NoAnswer:
        case DriverCode::NotAcknowledged:
        case DriverCode::ChecksumMismatch:
        case DriverCode::InterfaceFailed:
            return true;
        default:
            return false;
    }
}

}  // namespace

CommandOutcome outcomeOf(const Session& session, ExchangeResult result) {
    switch (result.outcome) {
        case ExchangeOutcome::Done:
        case ExchangeOutcome::NoMoreData:
            return ended(session, CommandStatus::Success, 0);
        case ExchangeOutcome::DeviceError:
        case ExchangeOutcome::UnknownCommand:
            return ended(session, CommandStatus::DeviceError, result.deviceCode);
        case ExchangeOutcome::Failed:
        case ExchangeOutcome::ChecksumWrong:
            break;
    }
    return ended(session, CommandStatus::NoLink, std::nullopt);
}

CommandOutcome outcomeOf(const Session& session, PacketResult result) {
    if (result.succeeded()) return ended(session, CommandStatus::Success, 0);
    if (result.isDeviceError()) {
        return ended(session, CommandStatus::DeviceError, result.deviceCode);
    }
    if (result.code == DriverCode::Stopped) {
        return ended(session, CommandStatus::Stopped, static_cast<int>(result.code));
    }
    if (isLinkFailure(result.code)) return ended(session, CommandStatus::NoLink, std::nullopt);
    return ended(session, CommandStatus::DeviceError, static_cast<int>(result.code));
}

ModeVisit::ModeVisit(Session& session, int mode, const std::string& accessPassword)
    : session_(session),
      entry_(SwitchToMode(session, static_cast<std::uint8_t>(mode),
                          ModePassword::typed(accessPassword), Leaving::WhenNotInSelection)) {}

ModeVisit::~ModeVisit() {
    // A refused entry leaves the register in the selection mode, where there is nothing to leave.
    if (!entry_.succeeded() || session_.StopRequested.load()) return;
    ExitCurrentMode(session_);
}

}  // namespace ptk::cli
