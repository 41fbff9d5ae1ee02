// The emergency fiscal-memory report (0x60). The register answers at once and then goes on
// printing on its own in the fiscal-memory mode's printing submode (mode byte 0x25), while the
// program watches it with the short status; when it is done it waits for a command (0x05).
// Leaving the mode (0x52) meanwhile breaks the report off (commands_basic.cpp).

#include "sim/answer.h"
#include "sim/command_table.h"
#include "sim/device_errors.h"
#include "sim/header_print.h"
#include "sim/tape_text.h"

namespace ptk::sim {

namespace {

constexpr std::uint8_t kEmergencyReport = 0x60;
constexpr std::uint8_t kPrintingSubmode = 2;

// The body of the report: what the fiscal memory holds, one line per record.
std::vector<std::string> reportBody(const RegisterState& state) {
    std::vector<std::string> lines;
    lines.push_back("ЗАВ. N " + formatNumber(state.identity.serialNumber, 8));
    if (state.fiscal.fiscalised) {
        lines.push_back("РНМ " + formatNumber(state.fiscal.rnm, 10));
        lines.push_back("ИНН " + formatNumber(state.fiscal.inn, 12));
        lines.push_back("ФИСКАЛИЗАЦИЯ " + formatDate(state.fiscal.registeredOn));
    } else {
        lines.push_back("ПТК НЕ ФИСКАЛИЗИРОВАН");
    }
    for (const ShiftRecord& record : state.fiscalMemory) {
        lines.push_back("СМЕНА " + formatNumber(record.shift, 4) + "  " +
                        formatDate(record.closedAt) + "  =" + formatSum(record.salesSum));
    }
    lines.push_back("ЗАПИСЕЙ В ФП: " + std::to_string(state.fiscalMemory.size()));
    lines.push_back("КОНЕЦ ОТЧЕТА");
    return lines;
}

// No data. Refused while a report still prints, and when the printer cannot start; otherwise
// the register enters the fiscal-memory mode, prints the heading at once and the body over the
// planned printing time, and ends as the plan says.
CommandReply emergencyReport(RegisterState& state, const CommandRequest& request) {
    if (state.background.active) {
        return plainAnswer(state, kEmergencyReport, device_error::NotInThisMode);
    }
    if (const std::uint8_t failure = state.printer.failure()) {
        return plainAnswer(state, kEmergencyReport, failure);
    }
    const EmergencyReportPlan& plan = state.emergencyReport;
    printHeaderLines(state);
    state.tape.print("АВАРИЙНЫЙ ОТЧЕТ ПО ФП");

    BackgroundPrint& print = state.background;
    print = BackgroundPrint{};
    print.active = true;
    print.startedUs = request.nowUs;
    print.busyUntilUs = request.nowUs + plan.printUs;
    print.submodeWhileBusy = kPrintingSubmode;
    print.modeAfter = static_cast<std::uint8_t>(plan.modeByteAtEnd & 0x0F);
    print.submodeAfter = static_cast<std::uint8_t>(plan.modeByteAtEnd >> 4);
    print.lines = reportBody(state);
    print.printerFlagsAfter = plan.printerFlagsAtEnd;
    state.mode.set(ModeFiscalMemory, kPrintingSubmode);
    return plainAnswer(state, kEmergencyReport, device_error::None, kModeChangeUs);
}

}  // namespace

void registerEmergencyCommands(CommandTable& table) {
    table.add({kEmergencyReport, "emergency report", inModes({ModeSelection, ModeFiscalMemory}),
               emergencyReport});
}

}  // namespace ptk::sim
