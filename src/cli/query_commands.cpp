// The queries: what the register tells about itself, as the status windows show it.

#include <string>
#include <string_view>
#include <vector>

#include "cli/command_line.h"
#include "cli/command_results.h"
#include "cli/register_commands.h"
#include "device/short_status.h"
#include "fiscal_memory/header_lines.h"
#include "fiscal_memory/report_commands.h"
#include "status/device_state.h"
#include "status/eklz_state.h"
#include "status/registration_info.h"

namespace ptk::cli::run {
namespace {

// A line of a window's report by its place there, under the English name a script reads it by.
struct LineField {
    std::size_t line;
    std::string_view name;
};

// The value of a "label: value" line without its label; a line without a label (a flag, the
// mode) is its own value.
std::string valueOf(const std::string& line) {
    const std::size_t colon = line.find(':');
    std::string value = colon == std::string::npos ? line : line.substr(colon + 1);
    const std::size_t first = value.find_first_not_of(' ');
    const std::size_t last = value.find_last_not_of(' ');
    return first == std::string::npos ? std::string() : value.substr(first, last - first + 1);
}

void takeLines(CommandOutcome& outcome, std::vector<std::string> lines,
               std::span<const LineField> fields) {
    for (const LineField& field : fields) {
        if (field.line < lines.size()) {
            outcome.fields.emplace_back(field.name, valueOf(lines[field.line]));
        }
    }
    outcome.lines = std::move(lines);
}

// A status window's report: the request that fills its lines, and the lines' fields.
using FillLines = ExchangeResult (*)(Session&, std::vector<std::string>&);
CommandOutcome windowReport(Session& session, std::span<const LineField> fields, FillLines fill) {
    std::vector<std::string> lines;
    const ExchangeResult result = fill(session, lines);
    CommandOutcome outcome = outcomeOf(session, result);
    if (result.succeeded()) takeLines(outcome, std::move(lines), fields);
    return outcome;
}

// The state window's lines: the state report, then the printer's.
constexpr LineField kStateFields[] = {
    {0, "cashier"},
    {1, "registerNumber"},
    {3, "date"},
    {4, "time"},
    {6, "fiscalised"},
    {7, "shift"},
    {8, "cashDrawer"},
    {9, "printerCover"},
    {10, "battery"},
    {12, "serialNumber"},
    {13, "version"},
    {15, "mode"},
    {16, "submode"},
    {18, "receiptNumber"},
    {19, "lastClosedShift"},
    {20, "receiptState"},
    {21, "receiptSum"},
    {22, "decimalPoint"},
    {24, "port"},
    {25, "paper"},
    {26, "printerLink"},
    {27, "printerCoverState"},
    {28, "paperRoll"},
};

constexpr LineField kRegistrationFields[] = {
    {1, "eklzActivation"}, {4, "eklzActivationsLeft"}, {7, "inn"},         {10, "rnm"},
    {13, "firstShift"},    {16, "registrationDate"},   {19, "eklzNumber"},
};

constexpr LineField kEklzStateFields[] = {
    {0, "documentTotal"}, {1, "lastOperationDate"}, {2, "lastOperationTime"}, {3, "lastKpk"},
    {5, "eklzNumber"},    {7, "documentType"},      {8, "archiveClosed"},     {9, "activated"},
    {10, "reportMode"},   {11, "documentOpen"},     {12, "shiftOpen"},        {13, "failure"},
    {15, "shiftNumber"},
};

}  // namespace

CommandOutcome status(Session& session, const CliRequest&) {
    const ShortStatusReply reply = QueryStatusCode(session);
    CommandOutcome outcome = outcomeOf(session, reply.result);
    if (!reply.result.succeeded()) return outcome;
    const auto [mode, submode] = modeLines(reply.status.modeByte);
    std::vector<std::string> lines{std::string(mode), std::string(submode)};
    for (std::string& line : printerStateLines(reply.status.flags)) lines.push_back(line);
    outcome.fields = {{"mode", std::to_string(reply.status.modeByte & 0x0F)},
                      {"submode", std::to_string(reply.status.modeByte >> 4)}};
    constexpr LineField kFlags[] = {
        {0, "modeText"},    {1, "submodeText"},  {2, "paper"},
        {3, "printerLink"}, {4, "printerCover"}, {5, "paperRoll"},
    };
    for (const LineField& field : kFlags) {
        outcome.fields.emplace_back(field.name, valueOf(lines[field.line]));
    }
    outcome.lines = std::move(lines);
    return outcome;
}

CommandOutcome state(Session& session, const CliRequest&) {
    return windowReport(session, kStateFields, [](Session& s, std::vector<std::string>& lines) {
        const ExchangeResult result = RequestDeviceState(s, lines);
        // The window adds the printer's state below the register's, as one report.
        return result.succeeded() ? RequestPrinterState(s, lines) : result;
    });
}

CommandOutcome registration(Session& session, const CliRequest&) {
    return windowReport(session, kRegistrationFields, ReadRegistrationInfo);
}

CommandOutcome eklzState(Session& session, const CliRequest&) {
    return windowReport(session, kEklzStateFields, RequestEklzState);
}

CommandOutcome fiscalMemoryRanges(Session& session, const CliRequest& request) {
    const ModeVisit visit(session, request.command->mode, request.accessPassword);
    if (!visit.entry().succeeded()) return outcomeOf(session, visit.entry());
    fiscal_memory::FiscalMemoryRanges ranges;
    const ExchangeResult result = fiscal_memory::QueryRanges(session, ranges);
    CommandOutcome outcome = outcomeOf(session, result);
    if (!result.succeeded()) return outcome;
    outcome.fields = {{"firstDate", ranges.firstDate},
                      {"lastDate", ranges.lastDate},
                      {"firstShift", ranges.firstShift},
                      {"lastShift", ranges.lastShift}};
    // As the range page lays them out: a heading, the first and the last joined by "__".
    outcome.lines = {"ДИАПАЗОНЫ ДАТ: " + ranges.firstDate + "__" + ranges.lastDate,
                     "ДИАПАЗОНЫ СМЕН: " + ranges.firstShift + "__" + ranges.lastShift};
    return outcome;
}

CommandOutcome headerLines(Session& session, const CliRequest& request) {
    const ModeVisit visit(session, request.command->mode, request.accessPassword);
    if (!visit.entry().succeeded()) return outcomeOf(session, visit.entry());
    HeaderLineTexts texts;
    const PacketResult result = ReadHeaderLines(session, texts);
    // The form shows a driver failure in a box; here it goes to standard error the same way.
    session.errors.ShowDriverResult({}, result);
    CommandOutcome outcome = outcomeOf(session, result);
    if (!result.succeeded()) return outcome;
    for (int line = 0; line < kHeaderLineCount; ++line) {
        const std::string& text = texts[static_cast<std::size_t>(line)];
        outcome.fields.emplace_back("line" + std::to_string(line + 1), text);
        outcome.lines.push_back(text);
    }
    return outcome;
}

}  // namespace ptk::cli::run
