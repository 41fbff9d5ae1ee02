// The EKLZ commands of the inspector's EKLZ access mode: activation, the activation totals,
// closing the archive, the reports by dates and by shifts, and the requests for a shift's totals,
// a shift's control tape and one document by its КПК number. Each prints on the tape and works
// for EklzState::operationUs before it answers.

#include "sim/commands_eklz.h"

#include <algorithm>
#include <array>
#include <string>

#include "sim/answer.h"
#include "sim/command_table.h"
#include "sim/device_errors.h"
#include "sim/tape_text.h"

namespace ptk::sim {

namespace {

constexpr std::uint8_t kActivation = 0xA6;
constexpr std::uint8_t kArchiveClosing = 0xA7;
constexpr std::uint8_t kActivationTotals = 0xA8;
constexpr std::uint8_t kShiftTotals = 0xA9;
constexpr std::uint8_t kControlTape = 0xAA;
constexpr std::uint8_t kDocument = 0xAB;
constexpr std::uint8_t kReportByDates = 0xAC;
constexpr std::uint8_t kReportByShifts = 0xAD;

// Answer codes met only here. A control tape printed in full answers 0x01, not 0x00.
constexpr std::uint8_t kControlTapeProcessed = 0x01;
constexpr std::uint8_t kWrongLength = 0x14;
constexpr std::uint8_t kCannotCloseArchive = 0x21;
constexpr std::uint8_t kWrongDate = 0x94;
constexpr std::uint8_t kWrongReportType = 0xA3;
constexpr std::uint8_t kNoSuchDocument = 0xAC;
constexpr std::uint8_t kActivationLimitReached = 0xCF;
constexpr std::uint8_t kActivationImpossible = 0xD0;
constexpr std::uint8_t kWrongEklzState = 0xD4;
constexpr std::uint8_t kEklzBroken = 0xD5;
constexpr std::uint8_t kNoRequestedData = 0xDA;

constexpr std::int64_t kSecondsPerDay = 86'400;

const char* const kDocumentNames[4] = {"ПРОДАЖА", "ПОКУПКА", "ВОЗВРАТ ПРОДАЖИ", "ВОЗВРАТ ПОКУПКИ"};

// Why an EKLZ command is refused before it starts, or 0: a broken EKLZ answers nothing else, one
// that is not activated has nothing to report, and every command prints.
std::uint8_t refusal(const RegisterState& state, bool needsActivation) {
    if (state.eklz.fatalError) return kEklzBroken;
    if (needsActivation && !state.eklz.activated) return kWrongEklzState;
    return state.printer.failure();
}

CommandReply done(const RegisterState& state, std::uint8_t code,
                  std::uint8_t answer = device_error::None) {
    return plainAnswer(state, code, answer, state.eklz.operationUs);
}

std::string eklzLine(const RegisterState& state) {
    return "ЭКЛЗ " + formatNumber(state.eklz.number, 10);
}

std::string when(const DateTime& at) {
    return formatDate(at) + " " + formatTime(at);
}

// The last shift the EKLZ holds: the open one, or the last closed one.
int lastHeldShift(const RegisterState& state) {
    return state.shift.open ? state.shift.current() : state.shift.lastClosed;
}

std::int64_t dayOf(const DateTime& at) {
    return toSeconds({at.year, at.month, at.day, 0, 0, 0}) / kSecondsPerDay;
}

// The sales filed in a set of documents: how many and their sum.
struct SalesCount {
    std::uint32_t count = 0;
    std::uint64_t sum = 0;

    void add(const ControlTapeEntry& entry) {
        if (entry.documentType != 0) return;
        ++count;
        sum += entry.total;
    }
    std::string text() const {
        return "ПРОДАЖ: " + std::to_string(count) + "  СУММА =" + formatSum(sum);
    }
};

// The range a report covers, as far as the EKLZ holds it: shifts for one report, days for the
// other. Empty when first > last.
struct Span {
    std::int64_t first = 0;
    std::int64_t last = -1;

    bool empty() const { return first > last; }
    bool contains(std::int64_t value) const { return value >= first && value <= last; }
    Span intersect(const Span& other) const {
        return {std::max(first, other.first), std::min(last, other.last)};
    }
};

// Prints a report over the documents whose shift (or day) key lies in span: in full one line
// per shift with documents, then the totals.
template <typename Key>
void printReport(RegisterState& state, const Span& span, bool full, Key key) {
    SalesCount total;
    SalesCount shift;
    int shiftNumber = -1;
    const auto closeShift = [&] {
        if (full && shiftNumber >= 0) {
            state.tape.print("СМЕНА " + formatNumber(static_cast<std::uint64_t>(shiftNumber), 4) +
                             "  " + shift.text());
        }
        shift = {};
    };
    for (const ControlTapeEntry& entry : state.eklz.controlTape) {
        if (!span.contains(key(entry))) continue;
        if (entry.shift != shiftNumber) {
            closeShift();
            shiftNumber = entry.shift;
        }
        shift.add(entry);
        total.add(entry);
    }
    closeShift();
    state.tape.print("ИТОГО " + total.text());
}

// ---- the single commands -----------------------------------------------------------------

// A new EKLZ starts its life in this register: it holds the shifts from the current one on. At
// most 50 activations in one register; some EKLZ cannot be activated in it at all.
CommandReply activation(RegisterState& state, const CommandRequest& request) {
    if (const std::uint8_t refused = refusal(state, false)) {
        return plainAnswer(state, kActivation, refused);
    }
    auto& eklz = state.eklz;
    if (eklz.activationsLeft <= 0) return plainAnswer(state, kActivation, kActivationLimitReached);
    if (!eklz.activationPossible) return plainAnswer(state, kActivation, kActivationImpossible);
    if (eklz.activated) return plainAnswer(state, kActivation, kWrongEklzState);

    const DateTime now = state.clock.now(request.nowUs);
    eklz.activated = true;
    eklz.archiveOpen = true;
    ++eklz.activationNumber;
    --eklz.activationsLeft;
    eklz.firstShift = state.shift.current();
    eklz.activatedOn = now;
    eklz.lastOperation = now;
    state.tape.print("АКТИВИЗАЦИЯ ЭКЛЗ");
    state.tape.print(eklzLine(state));
    state.tape.print("АКТИВИЗАЦИЯ " + std::to_string(eklz.activationNumber) + "  ОСТАЛОСЬ " +
                     std::to_string(eklz.activationsLeft));
    state.tape.print(when(now));
    return done(state, kActivation);
}

CommandReply activationTotals(RegisterState& state, const CommandRequest&) {
    if (const std::uint8_t refused = refusal(state, true)) {
        return plainAnswer(state, kActivationTotals, refused);
    }
    const auto& eklz = state.eklz;
    state.tape.print("ИТОГИ АКТИВИЗАЦИИ ЭКЛЗ");
    state.tape.print(eklzLine(state));
    state.tape.print("АКТИВИЗАЦИЯ " + when(eklz.activatedOn));
    state.tape.print("РНМ " + formatNumber(state.fiscal.rnm, 10) + "  ИНН " +
                     formatNumber(state.fiscal.inn, 12));
    state.tape.print("ПЕРВАЯ СМЕНА " + formatNumber(eklz.firstShift, 4));
    state.tape.print("ДОКУМЕНТОВ: " + std::to_string(eklz.controlTape.size()) + "  ПОСЛЕДНИЙ КПК " +
                     formatNumber(eklz.lastKpk, 8));
    return done(state, kActivationTotals);
}

// The archive closes for good: an EKLZ that is not activated, whose archive is closed already, or
// whose shift is still open cannot close it.
CommandReply archiveClosing(RegisterState& state, const CommandRequest& request) {
    if (const std::uint8_t refused = refusal(state, false)) {
        return plainAnswer(state, kArchiveClosing, refused);
    }
    auto& eklz = state.eklz;
    if (!eklz.activated || !eklz.archiveOpen || state.shift.open) {
        return plainAnswer(state, kArchiveClosing, kCannotCloseArchive);
    }
    SalesCount sales;
    for (const ControlTapeEntry& entry : eklz.controlTape) sales.add(entry);
    eklz.archiveOpen = false;
    state.tape.print("ЗАКРЫТИЕ АРХИВА ЭКЛЗ");
    state.tape.print(eklzLine(state));
    state.tape.print("ИТОГО " + sales.text());
    state.tape.print(when(state.clock.now(request.nowUs)));
    return done(state, kArchiveClosing);
}

// ---- requests ------------------------------------------------------------------------------

// The shift number of a request (2 bytes), when the EKLZ holds that shift; otherwise the answer
// that refuses it.
struct ShiftArgument {
    int shift = -1;
    std::uint8_t refused = device_error::None;
};

ShiftArgument heldShift(const RegisterState& state, const CommandRequest& request) {
    if (const std::uint8_t refused = refusal(state, true)) return {-1, refused};
    if (request.data.size() < 2) return {-1, kWrongLength};
    const std::int64_t shift = readBcd(request.data, 0, 2);
    if (shift < 0) return {-1, kWrongLength};
    if (!Span{state.eklz.firstShift, lastHeldShift(state)}.contains(shift)) {
        return {-1, kNoRequestedData};
    }
    return {static_cast<int>(shift), device_error::None};
}

std::string shiftText(int shift) {
    return formatNumber(static_cast<std::uint64_t>(shift), 4);
}

CommandReply shiftTotals(RegisterState& state, const CommandRequest& request) {
    const ShiftArgument argument = heldShift(state, request);
    if (argument.shift < 0) return plainAnswer(state, kShiftTotals, argument.refused);
    std::array<std::uint64_t, 4> sums{};
    std::uint32_t documents = 0;
    for (const ControlTapeEntry& entry : state.eklz.controlTape) {
        if (entry.shift != argument.shift) continue;
        ++documents;
        sums[entry.documentType & 3] += entry.total;
    }
    state.tape.print("ИТОГИ СМЕНЫ " + shiftText(argument.shift));
    for (std::size_t kind = 0; kind < sums.size(); ++kind) {
        if (sums[kind] != 0)
            state.tape.print(std::string(kDocumentNames[kind]) + " =" + formatSum(sums[kind]));
    }
    state.tape.print("ДОКУМЕНТОВ: " + std::to_string(documents));
    return done(state, kShiftTotals);
}

void printDocument(RegisterState& state, const ControlTapeEntry& entry) {
    state.tape.print("КПК " + formatNumber(entry.kpk, 8) + "  ЧЕК " +
                     formatNumber(entry.receipt, 4) + "  " + when(entry.at));
    state.tape.print(std::string(kDocumentNames[entry.documentType & 3]) + " =" +
                     formatSum(entry.total));
}

CommandReply controlTape(RegisterState& state, const CommandRequest& request) {
    const ShiftArgument argument = heldShift(state, request);
    if (argument.shift < 0) return plainAnswer(state, kControlTape, argument.refused);
    state.tape.print("КОНТРОЛЬНАЯ ЛЕНТА СМЕНЫ " + shiftText(argument.shift));
    std::uint32_t documents = 0;
    for (const ControlTapeEntry& entry : state.eklz.controlTape) {
        if (entry.shift != argument.shift) continue;
        printDocument(state, entry);
        ++documents;
    }
    state.tape.print("ДОКУМЕНТОВ: " + std::to_string(documents));
    return done(state, kControlTape, kControlTapeProcessed);
}

CommandReply documentByKpk(RegisterState& state, const CommandRequest& request) {
    if (const std::uint8_t refused = refusal(state, true)) {
        return plainAnswer(state, kDocument, refused);
    }
    if (request.data.size() < 4) return plainAnswer(state, kDocument, kWrongLength);
    const std::int64_t kpk = readBcd(request.data, 0, 4);
    const auto& tape = state.eklz.controlTape;
    const auto found = std::find_if(tape.begin(), tape.end(), [kpk](const ControlTapeEntry& e) {
        return static_cast<std::int64_t>(e.kpk) == kpk;
    });
    if (kpk < 0 || found == tape.end()) return plainAnswer(state, kDocument, kNoSuchDocument);
    const ControlTapeEntry entry = *found;
    state.tape.print("ДОКУМЕНТ КПК " + formatNumber(entry.kpk, 8));
    state.tape.print("СМЕНА " + shiftText(entry.shift));
    printDocument(state, entry);
    return done(state, kDocument);
}

// ---- reports -------------------------------------------------------------------------------

// The first data byte of a report: 1 full, 0 short; anything else is not a report type.
bool reportType(const CommandRequest& request, bool& full) {
    if (request.data[0] > 1) return false;
    full = request.data[0] == 1;
    return true;
}

const char* typeName(bool full) {
    return full ? "ПОЛНЫЙ" : "СОКРАЩЕННЫЙ";
}

bool readDate(const CommandRequest& request, std::size_t offset, DateTime& out) {
    const std::int64_t day = readBcd(request.data, offset, 1);
    const std::int64_t month = readBcd(request.data, offset + 1, 1);
    const std::int64_t year = readBcd(request.data, offset + 2, 1);
    if (day < 0 || month < 0 || year < 0) return false;
    out = {2000 + static_cast<int>(year), static_cast<int>(month), static_cast<int>(day), 0, 0, 0};
    return isValid(out);
}

// Data: full flag, first date, last date (day, month, year within the century). The EKLZ holds
// the days from its activation to today.
CommandReply reportByDates(RegisterState& state, const CommandRequest& request) {
    if (const std::uint8_t refused = refusal(state, true)) {
        return plainAnswer(state, kReportByDates, refused);
    }
    if (request.data.size() < 7) return plainAnswer(state, kReportByDates, kWrongLength);
    bool full = false;
    if (!reportType(request, full)) return plainAnswer(state, kReportByDates, kWrongReportType);
    DateTime first{};
    DateTime last{};
    if (!readDate(request, 1, first) || !readDate(request, 4, last)) {
        return plainAnswer(state, kReportByDates, kWrongDate);
    }
    const Span held{dayOf(state.eklz.activatedOn), dayOf(state.clock.now(request.nowUs))};
    const Span span = Span{dayOf(first), dayOf(last)}.intersect(held);
    if (span.empty()) return plainAnswer(state, kReportByDates, kNoRequestedData);

    state.tape.print(std::string("ОТЧЕТ ЭКЛЗ ПО ДАТАМ ") + typeName(full));
    state.tape.print("С " + formatDate(first) + " ПО " + formatDate(last));
    printReport(state, span, full, [](const ControlTapeEntry& entry) { return dayOf(entry.at); });
    return done(state, kReportByDates);
}

// Data: full flag, first shift, last shift (two bytes each).
CommandReply reportByShifts(RegisterState& state, const CommandRequest& request) {
    if (const std::uint8_t refused = refusal(state, true)) {
        return plainAnswer(state, kReportByShifts, refused);
    }
    if (request.data.size() < 5) return plainAnswer(state, kReportByShifts, kWrongLength);
    bool full = false;
    if (!reportType(request, full)) return plainAnswer(state, kReportByShifts, kWrongReportType);
    const std::int64_t first = readBcd(request.data, 1, 2);
    const std::int64_t last = readBcd(request.data, 3, 2);
    if (first < 0 || last < 0) return plainAnswer(state, kReportByShifts, kWrongLength);
    const Span span = Span{first, last}.intersect({state.eklz.firstShift, lastHeldShift(state)});
    if (span.empty()) return plainAnswer(state, kReportByShifts, kNoRequestedData);

    state.tape.print(std::string("ОТЧЕТ ЭКЛЗ ПО СМЕНАМ ") + typeName(full));
    state.tape.print("СМЕНЫ С " + shiftText(static_cast<int>(first)) + " ПО " +
                     shiftText(static_cast<int>(last)));
    printReport(state, span, full, [](const ControlTapeEntry& entry) { return entry.shift; });
    return done(state, kReportByShifts);
}

}  // namespace

std::uint8_t eklzDocumentType(ReceiptKind kind) {
    switch (kind) {
        case ReceiptKind::Purchase:
        case ReceiptKind::PurchaseAnnulment:
            return 1;
        case ReceiptKind::Return:
            return 2;
        case ReceiptKind::PurchaseReturn:
            return 3;
        default:
            return 0;
    }
}

void recordEklzDocument(RegisterState& state, const DateTime& at, std::uint16_t receiptNumber,
                        ReceiptKind kind, std::uint64_t total) {
    auto& eklz = state.eklz;
    if (!eklz.activated || !eklz.archiveOpen || eklz.fatalError) return;
    ++eklz.lastKpk;
    eklz.lastOperation = at;
    eklz.controlTape.push_back(
        {eklz.lastKpk, at, state.shift.current(), receiptNumber, eklzDocumentType(kind), total});
}

void registerEklzCommands(CommandTable& table) {
    const ModeMask eklzMode = inModes({ModeEklz});
    table.add({kActivation, "EKLZ activation", eklzMode, activation});
    table.add({kArchiveClosing, "EKLZ archive closing", eklzMode, archiveClosing});
    table.add({kActivationTotals, "EKLZ activation totals", eklzMode, activationTotals});
    table.add({kShiftTotals, "EKLZ shift totals", eklzMode, shiftTotals});
    table.add({kControlTape, "EKLZ control tape", eklzMode, controlTape});
    table.add({kDocument, "EKLZ document", eklzMode, documentByKpk});
    table.add({kReportByDates, "EKLZ report by dates", eklzMode, reportByDates});
    table.add({kReportByShifts, "EKLZ report by shifts", eklzMode, reportByShifts});
}

}  // namespace ptk::sim
