#include "fiscal_memory/emergency_report.h"

#include <cstdint>
#include <string_view>

#include "device/mode_switch.h"
#include "device/short_status.h"
#include "link/session.h"

namespace ptk::fiscal_memory {
namespace {

constexpr std::size_t kEmergencyAnswerLength = 6;

// The printer faults in the order in which the first one found is told.
struct PrinterFault {
    std::uint8_t flag;
    EmergencyEnding ending;
    std::string_view message;
};
constexpr PrinterFault kPrinterFaults[] = {
    {status_flag::NoPaper, EmergencyEnding::NoPaper, "Нет бумаги!"},
    {status_flag::NoPrinterLink, EmergencyEnding::NoPrinterLink, "Нет связи с принтером!"},
    {status_flag::CoverOpen, EmergencyEnding::CoverOpen, "Открыта крышка ПУ!"},
    {status_flag::NoRoll, EmergencyEnding::NoRoll, "Нет рулона!"},
};

void tell(Session& session, const EmergencyReportWatcher& watcher, MessageIcon icon,
          std::string_view caption, std::string_view text) {
    session.frontEnd.showMessage(icon, caption, text, watcher.boxOwner());
}

// The register no longer prints: a finished report tells the first printer fault it ran into.
EmergencyEnding reportEnded(Session& session, const EmergencyReportWatcher& watcher,
                            const ShortStatus& status) {
    if (status.modeByte != kFiscalMemoryIdleMode) {
        tell(session, watcher, MessageIcon::Error, kErrorCaption, "Снятие отчета прервалось!");
        return EmergencyEnding::BrokenOff;
    }
    for (const PrinterFault& fault : kPrinterFaults) {
        if ((status.flags & fault.flag) == 0) continue;
        tell(session, watcher, MessageIcon::Error, kErrorCaption, fault.message);
        return fault.ending;
    }
    return EmergencyEnding::Printed;
}

// The stop button was pressed before this turn, and the register still prints: break it off.
EmergencyEnding breakOff(Session& session, EmergencyReportWatcher& watcher) {
    watcher.stopTaken();
    if (!ExitCurrentMode(session).succeeded()) return EmergencyEnding::ModeExitFailed;
    tell(session, watcher, MessageIcon::Information, kInformationCaption,
         "Прервано пользователем!");
    return EmergencyEnding::Interrupted;
}

EmergencyEnding watch(Session& session, EmergencyReportWatcher& watcher) {
    // The register has just taken the command: it prints until its status says otherwise.
    ShortStatus status{kPrintingReportMode};
    while (status.modeByte == kPrintingReportMode) {
        // A stop counts from the turn after it was pressed, so that the status request that
        // decides comes after the press.
        const bool stopRequested = session.StopRequested.load();
        if (!watcher.pause(kWatchIntervalMs)) return EmergencyEnding::Quitting;
        const ShortStatusReply reply = QueryStatusCode(session);
        if (!reply.result.succeeded()) return EmergencyEnding::StatusFailed;
        status = reply.status;
        if (stopRequested) {
            if (status.modeByte != kPrintingReportMode) return EmergencyEnding::StopAfterEnd;
            return breakOff(session, watcher);
        }
    }
    return reportEnded(session, watcher, status);
}

}  // namespace

ExchangeResult EmergencyReport(Session& session) {
    const MessageBuilder message = session.message(kEmergencyReportCode);
    CommandCall call = commandCall(message, kEmergencyAnswerLength, ShortAnswer::Refused);
    call.deadlines.tAnswerStart = kEmergencyReportAnswerStartMs;
    return session.exchange.SendFormCommand(call);
}

EmergencyEnding RunEmergencyReport(Session& session, EmergencyReportWatcher& watcher) {
    session.StopRequested = false;
    const EmergencyEnding ending = EmergencyReport(session).succeeded()
                                       ? watch(session, watcher)
                                       : EmergencyEnding::CommandFailed;
    session.StopRequested = false;
    return ending;
}

}  // namespace ptk::fiscal_memory
