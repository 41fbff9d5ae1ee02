// The reports and the clock: what makes the register print or changes it.

#include <chrono>
#include <cstdio>
#include <ctime>
#include <thread>

#include "cli/command_line.h"
#include "cli/command_results.h"
#include "cli/register_commands.h"
#include "device/clock_commands.h"
#include "device/mode_switch.h"
#include "eklz/eklz_commands.h"
#include "eklz/eklz_thread.h"
#include "fiscal_memory/emergency_report.h"
#include "fiscal_memory/report_commands.h"
#include "link/session.h"
#include "platform/local_time.h"
#include "sales/shift_report.h"

namespace ptk::cli::run {
namespace {

std::string dateText(const CalendarDate& date) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d.%02d.%04d", date.day, date.month, date.year);
    return text;
}

std::string shiftText(int shift) {
    return std::to_string(shift);
}

// The EKLZ window's record for the report the words name; the command line has checked that the
// options the report needs are there.
eklz::EklzThreadArg eklzRecord(const CliRequest& request) {
    const std::string_view words = request.command->words;
    const int full = request.shortReport ? 0 : 1;
    if (words == "report eklz activation-totals") {
        return eklz::EKLZCMDTHREADARG{eklz::kActivationTotals};
    }
    if (words == "report eklz dates") {
        return eklz::OTCHTHREADARG{eklz::OTCHTHREADARG::Routine::EklzReportByDates, full,
                                   dateText(request.dates->first), dateText(request.dates->last)};
    }
    if (words == "report eklz shifts") {
        return eklz::OTCHTHREADARG{eklz::OTCHTHREADARG::Routine::EklzReportByShifts, full,
                                   shiftText(request.shifts->first),
                                   shiftText(request.shifts->last)};
    }
    if (words == "report eklz shift-totals") {
        return eklz::EKLZPRNTHREADARG{eklz::kShiftTotals, shiftText(*request.shift)};
    }
    if (words == "report eklz control-tape") {
        return eklz::EKLZPRNTHREADARG{eklz::kControlTape, shiftText(*request.shift)};
    }
    return eklz::EKLZPRNTHREADARG{eklz::kDocument, request.kpk};
}

// The emergency report's watch in a terminal: it sleeps between the status requests; the stop
// request is looked at by the watch itself before each of them.
class TerminalWatcher final : public fiscal_memory::EmergencyReportWatcher {
public:
    bool pause(std::uint32_t ms) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        return true;
    }
    void stopTaken() override {}
    OwnerHandle boxOwner() const override { return {}; }
};

bool finishedPrinting(fiscal_memory::EmergencyEnding ending) {
    using fiscal_memory::EmergencyEnding;
    switch (ending) {
        case EmergencyEnding::Printed:
        case EmergencyEnding::NoPaper:
        case EmergencyEnding::NoPrinterLink:
        case EmergencyEnding::CoverOpen:
        case EmergencyEnding::NoRoll:
        case EmergencyEnding::BrokenOff:
            return true;
        default:
            return false;
    }
}

CommandOutcome emergencyOutcome(const Session& session, fiscal_memory::EmergencyEnding ending) {
    using fiscal_memory::EmergencyEnding;
    // Each ending has told its message already; the outcome only sorts it for the exit status.
    CommandOutcome outcome = outcomeOf(session, ExchangeResult::done());
    switch (ending) {
        case EmergencyEnding::Printed:
            return outcome;
        case EmergencyEnding::Interrupted:
        case EmergencyEnding::StopAfterEnd:
        case EmergencyEnding::Quitting:
        case EmergencyEnding::ModeExitFailed:
            // The watch has cleared the stop request again, so the outcome says it here. A mode
            // exit that failed after the stop has told why on standard error.
            outcome = outcomeOf(session, ExchangeResult{});
            outcome.status = CommandStatus::Stopped;
            if (ending != EmergencyEnding::ModeExitFailed) outcome.message = kStoppedMessage;
            return outcome;
        case EmergencyEnding::CommandFailed:
            // The report command is the first exchange: the result field holds a code's text
            // only when the register refused it.
            outcome = outcomeOf(session, ExchangeResult{});
            if (!outcome.resultText.empty()) outcome.status = CommandStatus::DeviceError;
            return outcome;
        case EmergencyEnding::StatusFailed:
            return outcomeOf(session, ExchangeResult{});
        case EmergencyEnding::NoPaper:
        case EmergencyEnding::NoPrinterLink:
        case EmergencyEnding::CoverOpen:
        case EmergencyEnding::NoRoll:
        case EmergencyEnding::BrokenOff:
            break;
    }
    // The register stopped printing before the end, or ran into a printer fault: a refusal of the
    // register's that no result code tells.
    outcome = outcomeOf(session, ExchangeResult{});
    outcome.status = CommandStatus::DeviceError;
    outcome.resultText.clear();
    return outcome;
}

}  // namespace

CommandOutcome shiftClosingReport(Session& session, const CliRequest& request) {
    const ModeVisit visit(session, request.command->mode, request.accessPassword);
    if (!visit.entry().succeeded()) return outcomeOf(session, visit.entry());
    return outcomeOf(session, sales::PrintShiftClosingReport(session));
}

CommandOutcome fiscalMemoryReport(Session& session, const CliRequest& request) {
    fiscal_memory::FMEMRPTTHREADARG arg;
    arg.full = request.shortReport ? 0 : 1;
    if (request.dates) {
        const CalendarDate& first = request.dates->first;
        const CalendarDate& last = request.dates->last;
        arg.kind = fiscal_memory::FMEMRPTTHREADARG::kByDates;
        arg.first = fiscal_memory::reportDayTime(first.year, first.month, first.day);
        arg.last = fiscal_memory::reportDayTime(last.year, last.month, last.day);
    } else {
        arg.kind = fiscal_memory::FMEMRPTTHREADARG::kByShifts;
        arg.first = request.shifts->first;
        arg.last = request.shifts->last;
    }
    const ModeVisit visit(session, request.command->mode, request.accessPassword);
    if (!visit.entry().succeeded()) return outcomeOf(session, visit.entry());
    const PacketResult result = fiscal_memory::RunFiscalMemoryReport(session, arg);
    // The form shows a failed report in a box; here its message goes to standard error.
    if (result.code != DriverCode::Stopped) session.errors.ShowDriverResult({}, result);
    return outcomeOf(session, result);
}

CommandOutcome eklzReport(Session& session, const CliRequest& request) {
    const eklz::EklzThreadArg record = eklzRecord(request);
    const ModeVisit visit(session, request.command->mode, request.accessPassword);
    if (!visit.entry().succeeded()) return outcomeOf(session, visit.entry());
    const std::optional<ExchangeResult> result = eklz::ReportThreadProc(session, record);
    // The command line checked every number, so the record always converts.
    return outcomeOf(session, result.value_or(ExchangeResult{}));
}

CommandOutcome emergencyReport(Session& session, const CliRequest&) {
    // The watch leaves the mode itself when stopped, so its exchanges must still go out: the stop
    // request reaches it between the status requests, not through the channel.
    session.channel.setStopSignal(nullptr);
    TerminalWatcher watcher;
    const fiscal_memory::EmergencyEnding ending =
        fiscal_memory::RunEmergencyReport(session, watcher);
    CommandOutcome outcome = emergencyOutcome(session, ending);
    // The register ends the report in the fiscal-memory mode; a script leaves it where it found
    // it, in the selection mode. A stopped report has been left by the watch already, and after a
    // failed exchange the register is not to be reached.
    if (finishedPrinting(ending)) {
        SwitchToMode(session, kSelectionMode, ModePassword::typed(""), Leaving::WhenNotInSelection);
    }
    session.channel.setStopSignal(&session.StopRequested);
    return outcome;
}

CommandOutcome clockSet(Session& session, const CliRequest& request) {
    DeviceDate date;
    DeviceTime time;
    if (request.now) {
        const auto now = platform::localDateTimeOf(std::time(nullptr));
        if (!now) {
            // Nothing is sent: a clock set to a wrong time is worse than one left alone.
            session.frontEnd.showMessage(MessageIcon::Error, kErrorCaption,
                                         "this computer's clock cannot be read");
            return outcomeOf(session, ExchangeResult{});
        }
        date = {now->day, now->month, now->year};
        time = {now->hour, now->minute, now->second};
    } else {
        date = {request.date->day, request.date->month, request.date->year};
        time = {request.time->hour, request.time->minute, request.time->second};
    }
    ClockSetting setting = SetDeviceClock(session, date, time);
    // The register wants a date far from its own entered twice. The window has the inspector type
    // it again; here --yes already confirmed this very date, so it goes out once more.
    if (setting.date.dateToConfirm()) setting = SetDeviceClock(session, date, time);
    if (setting.date.dateToConfirm()) tellDateAgain(session.frontEnd);
    return outcomeOf(session, setting.time.value_or(setting.date));
}

}  // namespace ptk::cli::run
