// The commands of mode 5, access to the fiscal memory: programming the serial number (0x61),
// fiscalisation and re-registration (0x62), the ranges the fiscal memory holds (0x63), and the
// fiscal-memory reports by dates (0x65) and by shifts (0x66), which the register prints for
// FiscalData::reportDurationUs before it answers.
//
// Refusals, by the meaning of the register's error texts: a serial number set twice 0x9E, a
// serial number of zero 0xA5; a registration without a serial number 0xA9, after the fourth
// re-registration 0x9F, with a shift open 0x9C, with a zero РНМ, ИНН or password 0xA6, 0xA7,
// 0xA4; ranges or a report of an empty fiscal memory, or by dates with no shift in the period,
// 0xAA ("Нет отчетов."); a report by shifts naming shifts the memory does not hold, or a range
// that runs backwards, 0xA2 ("Неверная смена."); a report by dates with an impossible or
// backward period 0x94 ("Неверная дата.").

#include "sim/commands_fiscal_memory.h"

#include <algorithm>
#include <string>
#include <vector>

#include "sim/answer.h"
#include "sim/command_table.h"
#include "sim/device_errors.h"
#include "sim/header_print.h"
#include "sim/tape_text.h"

namespace ptk::sim {

namespace {

constexpr std::uint8_t kProgramSerialNumber = 0x61;
constexpr std::uint8_t kFiscalRegistration = 0x62;
constexpr std::uint8_t kQueryRanges = 0x63;
constexpr std::uint8_t kReportByDates = 0x65;
constexpr std::uint8_t kReportByShifts = 0x66;

// Error codes met only here.
constexpr std::uint8_t kWrongFormat = 0x13;
constexpr std::uint8_t kWrongLength = 0x14;
constexpr std::uint8_t kWrongDate = 0x94;
constexpr std::uint8_t kShiftMustBeClosed = 0x9C;
constexpr std::uint8_t kSerialAlreadySet = 0x9E;
constexpr std::uint8_t kTooManyReRegistrations = 0x9F;
constexpr std::uint8_t kWrongShift = 0xA2;
constexpr std::uint8_t kBadPassword = 0xA4;
constexpr std::uint8_t kBadSerialNumber = 0xA5;
constexpr std::uint8_t kBadRnm = 0xA6;
constexpr std::uint8_t kBadInn = 0xA7;
constexpr std::uint8_t kNoSerialNumber = 0xA9;
constexpr std::uint8_t kNoReports = 0xAA;

constexpr std::int64_t kSecondsPerDay = 86'400;

std::int64_t dayNumber(const DateTime& value) {
    const std::int64_t seconds = toSeconds(value);
    return (seconds >= 0 ? seconds : seconds - kSecondsPerDay + 1) / kSecondsPerDay;
}

// A day as the report commands carry it: day, month, year within the century.
bool readDay(std::span<const std::uint8_t> data, std::size_t offset, DateTime& day) {
    day = DateTime{};
    day.day = static_cast<int>(readBcd(data, offset, 1));
    day.month = static_cast<int>(readBcd(data, offset + 1, 1));
    const std::int64_t year = readBcd(data, offset + 2, 1);
    day.year = year < 0 ? -1 : 2000 + static_cast<int>(year);
    day.hour = day.minute = day.second = 0;
    return isValid(day);
}

// What every fiscal document of mode 5 prints under the header lines.
void printIdentity(RegisterState& state) {
    state.tape.print("ЗАВ. НОМЕР " + formatNumber(state.identity.serialNumber, 8));
    if (state.fiscal.fiscalised) {
        state.tape.print("РНМ " + formatNumber(state.fiscal.rnm, 10) + "  ИНН " +
                         formatNumber(state.fiscal.inn, 12));
    }
}

std::uint64_t printedDuration(const RegisterState& state, std::size_t linesBefore) {
    return kModeChangeUs + (state.tape.lines().size() - linesBefore) * kPrintLineUs;
}

CommandReply programSerialNumber(RegisterState& state, const CommandRequest& request) {
    if (request.data.size() < 4) return plainAnswer(state, kProgramSerialNumber, kWrongLength);
    const std::int64_t serial = readBcd(request.data, 0, 4);
    if (serial < 0) return plainAnswer(state, kProgramSerialNumber, kWrongFormat);
    if (state.identity.serialNumber != 0) {
        return plainAnswer(state, kProgramSerialNumber, kSerialAlreadySet);
    }
    if (serial == 0) return plainAnswer(state, kProgramSerialNumber, kBadSerialNumber);
    if (const std::uint8_t failure = state.printer.failure()) {
        return plainAnswer(state, kProgramSerialNumber, failure);
    }
    state.identity.serialNumber = static_cast<std::uint32_t>(serial);
    const std::size_t before = state.tape.lines().size();
    state.tape.print("ЗАВОДСКОЙ НОМЕР " + formatNumber(state.identity.serialNumber, 8));
    return plainAnswer(state, kProgramSerialNumber, device_error::None,
                       printedDuration(state, before));
}

// The register's first check that fails, or 0.
std::uint8_t registrationRefusal(const RegisterState& state, std::int64_t rnm, std::int64_t inn,
                                 std::int64_t password) {
    if (state.identity.serialNumber == 0) return kNoSerialNumber;
    if (state.fiscal.fiscalised && state.fiscal.reRegistrations >= kMaxReRegistrations) {
        return kTooManyReRegistrations;
    }
    if (state.shift.open) return kShiftMustBeClosed;
    if (rnm == 0) return kBadRnm;
    if (inn == 0) return kBadInn;
    if (password == 0) return kBadPassword;
    return state.printer.failure();
}

// Data: РНМ (5 bytes), ИНН (6), the new password of the fiscal memory (4), packed BCD. The new
// password becomes the access password of mode 5.
CommandReply fiscalRegistration(RegisterState& state, const CommandRequest& request) {
    if (request.data.size() < 15) return plainAnswer(state, kFiscalRegistration, kWrongLength);
    const std::int64_t rnm = readBcd(request.data, 0, 5);
    const std::int64_t inn = readBcd(request.data, 5, 6);
    const std::int64_t password = readBcd(request.data, 11, 4);
    if (rnm < 0 || inn < 0 || password < 0) {
        return plainAnswer(state, kFiscalRegistration, kWrongFormat);
    }
    if (const std::uint8_t refusal = registrationRefusal(state, rnm, inn, password)) {
        return plainAnswer(state, kFiscalRegistration, refusal);
    }

    FiscalData& fiscal = state.fiscal;
    const DateTime now = state.clock.now(request.nowUs);
    const bool reRegistration = fiscal.fiscalised;
    if (reRegistration) ++fiscal.reRegistrations;
    fiscal.fiscalised = true;
    fiscal.rnm = static_cast<std::uint64_t>(rnm);
    fiscal.inn = static_cast<std::uint64_t>(inn);
    fiscal.initialShift = state.shift.current();
    fiscal.registeredOn = now;
    fiscal.registrations.push_back({fiscal.rnm, fiscal.inn, fiscal.initialShift, now});
    state.passwords.access[ModeFiscalMemory] = static_cast<std::uint32_t>(password);

    const std::size_t before = state.tape.lines().size();
    printHeaderLines(state);
    state.tape.print(reRegistration ? "ПЕРЕРЕГИСТРАЦИЯ " + std::to_string(fiscal.reRegistrations)
                                    : std::string("ФИСКАЛИЗАЦИЯ"));
    printIdentity(state);
    state.tape.print(formatDate(now) + " " + formatTime(now));
    return plainAnswer(state, kFiscalRegistration, device_error::None,
                       printedDuration(state, before));
}

// Answer: the first and last day any record was written (day, month, year), and the first and
// last shift (two BCD bytes each).
CommandReply queryRanges(RegisterState& state, const CommandRequest&) {
    const auto& shifts = state.fiscalMemory;
    if (shifts.empty()) return plainAnswer(state, kQueryRanges, kNoReports);
    const auto byDay = [](const DateTime& a, const DateTime& b) {
        return toSeconds(a) < toSeconds(b);
    };
    std::vector<DateTime> days;
    for (const ShiftRecord& record : shifts) days.push_back(record.closedAt);
    for (const RegistrationRecord& record : state.fiscal.registrations) days.push_back(record.at);
    const auto [first, last] = std::minmax_element(days.begin(), days.end(), byDay);
    const auto byShift = [](const ShiftRecord& a, const ShiftRecord& b) {
        return a.shift < b.shift;
    };
    const auto [lowest, highest] = std::minmax_element(shifts.begin(), shifts.end(), byShift);
    return AnswerBuilder(kQueryRanges, device_error::None)
        .date(*first)
        .date(*last)
        .bcd(lowest->shift, 2)
        .bcd(highest->shift, 2)
        .reply(kQuickCommandUs);
}

// The records of the fiscal memory that fall inside a report's range.
struct ReportRecords {
    std::vector<const ShiftRecord*> shifts;
    std::vector<const RegistrationRecord*> registrations;
};

template <class ShiftInRange, class RegistrationInRange>
ReportRecords recordsInRange(const RegisterState& state, ShiftInRange shiftInRange,
                             RegistrationInRange registrationInRange) {
    ReportRecords records;
    for (const ShiftRecord& record : state.fiscalMemory) {
        if (shiftInRange(record)) records.shifts.push_back(&record);
    }
    for (const RegistrationRecord& record : state.fiscal.registrations) {
        if (registrationInRange(record)) records.registrations.push_back(&record);
    }
    return records;
}

// The report on the tape: the shifts chosen, each on a line of its own in a full report, their
// count and sum in every report, and in a full report the registrations among them.
void printReport(RegisterState& state, const std::string& title, const std::string& period,
                 bool full, const ReportRecords& records) {
    auto& tape = state.tape;
    printHeaderLines(state);
    tape.print("ОТЧЕТ ФП " + title + (full ? " ПОЛНЫЙ" : " СОКРАЩЕННЫЙ"));
    printIdentity(state);
    tape.print(period);
    std::uint64_t total = 0;
    for (const ShiftRecord* shift : records.shifts) {
        total += shift->salesSum;
        if (full) {
            tape.print("СМЕНА " + formatNumber(shift->shift, 4) + " " +
                       formatDate(shift->closedAt) + " =" + formatSum(shift->salesSum));
        }
    }
    if (full) {
        for (const RegistrationRecord* registration : records.registrations) {
            tape.print("РЕГИСТРАЦИЯ " + formatDate(registration->at) + " РНМ " +
                       formatNumber(registration->rnm, 10) + " СМЕНА " +
                       formatNumber(registration->firstShift, 4));
        }
    }
    tape.print("СМЕН: " + std::to_string(records.shifts.size()) + "  ИТОГО =" + formatSum(total));
    tape.print("КОНЕЦ ОТЧЕТА ФП");
}

// Data: flags (bit 0: full), the first day, the last day.
CommandReply reportByDates(RegisterState& state, const CommandRequest& request) {
    if (request.data.size() < 7) return plainAnswer(state, kReportByDates, kWrongLength);
    const bool full = (request.data[0] & 1) != 0;
    DateTime first;
    DateTime last;
    if (!readDay(request.data, 1, first) || !readDay(request.data, 4, last) ||
        dayNumber(first) > dayNumber(last)) {
        return plainAnswer(state, kReportByDates, kWrongDate);
    }
    const auto inPeriod = [&](const DateTime& at) {
        return dayNumber(at) >= dayNumber(first) && dayNumber(at) <= dayNumber(last);
    };
    const ReportRecords records = recordsInRange(
        state, [&](const ShiftRecord& r) { return inPeriod(r.closedAt); },
        [&](const RegistrationRecord& r) { return inPeriod(r.at); });
    if (records.shifts.empty()) return plainAnswer(state, kReportByDates, kNoReports);
    if (const std::uint8_t failure = state.printer.failure()) {
        return plainAnswer(state, kReportByDates, failure);
    }
    printReport(state, "ПО ДАТАМ", "ПЕРИОД " + formatDate(first) + " - " + formatDate(last), full,
                records);
    return plainAnswer(state, kReportByDates, device_error::None, state.fiscal.reportDurationUs);
}

// Data: flags (bit 0: full), the first shift, the last shift (two BCD bytes each).
CommandReply reportByShifts(RegisterState& state, const CommandRequest& request) {
    if (request.data.size() < 5) return plainAnswer(state, kReportByShifts, kWrongLength);
    const bool full = (request.data[0] & 1) != 0;
    const std::int64_t first = readBcd(request.data, 1, 2);
    const std::int64_t last = readBcd(request.data, 3, 2);
    if (first < 0 || last < 0) return plainAnswer(state, kReportByShifts, kWrongFormat);
    if (first == 0 || first > last) return plainAnswer(state, kReportByShifts, kWrongShift);
    const auto inRange = [&](std::uint16_t shift) { return shift >= first && shift <= last; };
    const ReportRecords records = recordsInRange(
        state, [&](const ShiftRecord& r) { return inRange(r.shift); },
        [&](const RegistrationRecord& r) { return inRange(r.firstShift); });
    if (records.shifts.empty()) return plainAnswer(state, kReportByShifts, kWrongShift);
    if (const std::uint8_t failure = state.printer.failure()) {
        return plainAnswer(state, kReportByShifts, failure);
    }
    printReport(state, "ПО СМЕНАМ",
                "СМЕНЫ " + formatNumber(static_cast<std::uint64_t>(first), 4) + " - " +
                    formatNumber(static_cast<std::uint64_t>(last), 4),
                full, records);
    return plainAnswer(state, kReportByShifts, device_error::None, state.fiscal.reportDurationUs);
}

}  // namespace

bool fillFiscalMemory(RegisterState& state, int shiftCount, const DateTime& first,
                      const DateTime& last) {
    if (shiftCount < 1 || shiftCount > 9999 || !isValid(first) || !isValid(last) ||
        dayNumber(first) > dayNumber(last)) {
        return false;
    }
    DateTime registeredAt = first;
    registeredAt.hour = 9;
    registeredAt.minute = registeredAt.second = 0;
    FiscalData& fiscal = state.fiscal;
    fiscal.fiscalised = true;
    fiscal.initialShift = 1;
    fiscal.registeredOn = registeredAt;
    fiscal.reRegistrations = 0;
    fiscal.registrations = {{fiscal.rnm, fiscal.inn, 1, registeredAt}};

    const std::int64_t days = dayNumber(last) - dayNumber(first);
    state.fiscalMemory.clear();
    std::uint64_t grandTotal = 0;
    for (int i = 0; i < shiftCount; ++i) {
        const std::int64_t day =
            shiftCount == 1 ? 0 : days * i / static_cast<std::int64_t>(shiftCount - 1);
        DateTime closedAt = fromSeconds((dayNumber(first) + day) * kSecondsPerDay);
        closedAt.hour = 21;
        const std::uint64_t sales = 100'000 + 1'234 * static_cast<std::uint64_t>(i);
        grandTotal += sales;
        state.fiscalMemory.push_back({static_cast<std::uint16_t>(i + 1), closedAt, sales});
    }
    state.shift.open = false;
    state.shift.lastClosed = static_cast<std::uint16_t>(shiftCount);
    state.totals.grandTotal = grandTotal;
    return true;
}

void registerFiscalMemoryCommands(CommandTable& table) {
    const ModeMask fiscalMemoryMode = inModes({ModeFiscalMemory});
    table.add(
        {kProgramSerialNumber, "program serial number", fiscalMemoryMode, programSerialNumber});
    table.add({kFiscalRegistration, "fiscal registration", fiscalMemoryMode, fiscalRegistration});
    table.add({kQueryRanges, "fiscal memory ranges", fiscalMemoryMode, queryRanges});
    table.add({kReportByDates, "fiscal memory report by dates", fiscalMemoryMode, reportByDates});
    table.add(
        {kReportByShifts, "fiscal memory report by shifts", fiscalMemoryMode, reportByShifts});
}

}  // namespace ptk::sim
