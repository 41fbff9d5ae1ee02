#include "fiscal_memory/report_commands.h"

#include <cstdio>
#include <optional>

#include "link/bcd.h"
#include "link/packet_command.h"
#include "platform/local_time.h"

namespace ptk::fiscal_memory {

namespace {

constexpr int kReportHour = 6;
constexpr std::size_t kReportAnswerCapacity = 90;
constexpr std::size_t kRangesAnswerLength = 25;
constexpr std::uint32_t kRangesAnswerMs = 200;
// Answer byte k lies at position k + 1 of AnswerCopy, after the STX.
constexpr std::size_t kFirstDatePosition = 3;
constexpr std::size_t kLastDatePosition = 6;
constexpr std::size_t kFirstShiftPosition = 9;
constexpr std::size_t kLastShiftPosition = 11;

std::uint8_t flagsByte(std::int32_t full) {
    return static_cast<std::uint8_t>(full & 1);
}

// Day, month and year within the century of a calendar time into out; false when its local
// year is outside the years a report may name.
bool packReportDay(std::int64_t calendarTime, std::uint8_t* out) {
    const std::optional<platform::LocalDateTime> local = platform::localDateTimeOf(calendarTime);
    if (!local || local->year < kFirstReportYear || local->year > kLastReportYear) return false;
    out[0] = ToBcd(static_cast<std::uint64_t>(local->day), 1)[0];
    out[1] = ToBcd(static_cast<std::uint64_t>(local->month), 1)[0];
    out[2] = ToBcd(static_cast<std::uint64_t>(local->year % 100), 1)[0];
    return true;
}

// A shift number as the register reads it: four digits. The edits hold at most four digits;
// anything else counts by its last four.
std::uint64_t shiftDigits(std::int64_t shift) {
    return static_cast<std::uint64_t>(shift < 0 ? -shift : shift) % 10'000;
}

PacketResult sendReport(Session& session, std::uint8_t code, const std::uint8_t* data,
                        std::size_t count) {
    std::array<std::uint8_t, kReportAnswerCapacity> answer{};
    std::size_t answerLength = answer.size();
    return PacketCommand(session, code, data, count, answer.data(), &answerLength);
}

// Bytes as their decimal values with at least two digits each, joined by separator. Built with
// the C library's formatting: GCC 12 at -O3 warns falsely (-Wrestrict) on the chained
// std::string operator+ form.
std::string twoDigitsEach(const LinkBuffer& copy, std::size_t at, std::size_t count,
                          const char* separator) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        char digits[8];
        std::snprintf(digits, sizeof digits, "%02d", BcdToBinary(copy[at + i]));
        if (i > 0) text += separator;
        text += digits;
    }
    return text;
}

std::string dateText(const LinkBuffer& copy, std::size_t at) {
    return twoDigitsEach(copy, at, 3, "/");
}

std::string shiftText(const LinkBuffer& copy, std::size_t at) {
    return twoDigitsEach(copy, at, 2, "");
}

}  // namespace

std::int64_t reportDayTime(int year, int month, int day) {
    return platform::localCalendarTime({year, month, day, kReportHour, 0, 0});
}

PacketResult reportByDatesData(std::int64_t first, std::int64_t last, std::int32_t full,
                               std::array<std::uint8_t, 7>& data) {
    data.fill(0);
    data[0] = flagsByte(full);
    if (!packReportDay(first, &data[1]) || !packReportDay(last, &data[4])) {
        return kBadDate;
    }
    return packet_result::Done;
}

std::array<std::uint8_t, 5> reportByShiftsData(std::int64_t first, std::int64_t last,
                                               std::int32_t full) {
    const BcdBytes firstBytes = ToBcd(shiftDigits(first), 2);
    const BcdBytes lastBytes = ToBcd(shiftDigits(last), 2);
    return {flagsByte(full), firstBytes[0], firstBytes[1], lastBytes[0], lastBytes[1]};
}

PacketResult FmReportByDates(Session& session, std::int64_t first, std::int64_t last,
                             std::int32_t full) {
    std::array<std::uint8_t, 7> data{};
    if (const PacketResult built = reportByDatesData(first, last, full, data); !built.succeeded()) {
        return built;
    }
    return sendReport(session, kReportByDatesCode, data.data(), data.size());
}

PacketResult FmReportByShifts(Session& session, std::int64_t first, std::int64_t last,
                              std::int32_t full) {
    const auto data = reportByShiftsData(first, last, full);
    return sendReport(session, kReportByShiftsCode, data.data(), data.size());
}

PacketResult RunFiscalMemoryReport(Session& session, const FMEMRPTTHREADARG& arg) {
    if (arg.kind != FMEMRPTTHREADARG::kByDates) {
        return FmReportByShifts(session, arg.first, arg.last, arg.full);
    }
    return FmReportByDates(session, arg.first, arg.last, arg.full);
}

FiscalMemoryRanges rangesFromAnswer(const LinkBuffer& answerCopy) {
    return {dateText(answerCopy, kFirstDatePosition), dateText(answerCopy, kLastDatePosition),
            shiftText(answerCopy, kFirstShiftPosition), shiftText(answerCopy, kLastShiftPosition)};
}

ExchangeResult QueryRanges(Session& session, FiscalMemoryRanges& ranges) {
    const MessageBuilder message = session.message(kQueryRangesCode);
    // The answer is taken however much of it came within its short deadline; the ACK or NAK for
    // it keeps the usual one.
    CommandCall call = commandCall(message, kRangesAnswerLength, ShortAnswer::Taken);
    call.deadlines.tAnswer = kRangesAnswerMs;
    const ExchangeResult result = session.exchange.SendFormCommand(call);
    if (result.succeeded()) ranges = rangesFromAnswer(session.exchange.answer());
    return result;
}

}  // namespace ptk::fiscal_memory
