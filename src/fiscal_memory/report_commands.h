#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "link/session.h"

namespace ptk::fiscal_memory {

// The fiscal-memory reports by dates and by shifts, which run on the report thread through the
// packet driver, and the query of the ranges the fiscal memory holds. Report results are driver
// results: Done, a code of DriverResultTable, or a device error with the register's code.

inline constexpr std::uint8_t kQueryRangesCode = 0x63;
inline constexpr std::uint8_t kReportByDatesCode = 0x65;
inline constexpr std::uint8_t kReportByShiftsCode = 0x66;

// The years a report by dates may name; a day outside them gives kBadDate ("Недопустимая дата").
inline constexpr int kFirstReportYear = 1998;
inline constexpr int kLastReportYear = 2089;
inline constexpr PacketResult kBadDate{DriverCode::BadDate};

// What the report thread is handed, filled completely before it starts and only read by it.
struct FMEMRPTTHREADARG {
    static constexpr std::int32_t kByDates = 0;
    static constexpr std::int32_t kByShifts = 1;

    std::int32_t kind = kByDates;
    std::int32_t full = 1;  // 1 full ("полная"), 0 short ("сокращённая")
    // By dates: the calendar times of 06:00 local time on the first and the last day (64 bits,
    // so that days after 2038 travel too). By shifts: the first and the last shift number.
    std::int64_t first = 0;
    std::int64_t last = 0;
};

// The calendar time of 06:00:00 local time on a day, as a report by dates is handed its days.
std::int64_t reportDayTime(int year, int month, int day);

// Flags (bit 0: full), then the first and last day each as day, month, year within the century.
// Done, or kBadDate when a day's year is outside 1998 to 2089.
PacketResult reportByDatesData(std::int64_t first, std::int64_t last, std::int32_t full,
                               std::array<std::uint8_t, 7>& data);
// Flags (bit 0: full), then the first and last shift numbers as four digits each.
std::array<std::uint8_t, 5> reportByShiftsData(std::int64_t first, std::int64_t last,
                                               std::int32_t full);

// The report of the days from first to last (0x65); nothing is sent for a date out of range.
PacketResult FmReportByDates(Session& session, std::int64_t first, std::int64_t last,
                             std::int32_t full);
// The report of the shifts from first to last (0x66); the register judges the range.
PacketResult FmReportByShifts(Session& session, std::int64_t first, std::int64_t last,
                              std::int32_t full);

// The job of the report thread: the report the record asks for, and its result.
PacketResult RunFiscalMemoryReport(Session& session, const FMEMRPTTHREADARG& arg);

// The dates and shifts the fiscal memory holds, as the form shows them: "01/02/09", "0007".
struct FiscalMemoryRanges {
    std::string firstDate;
    std::string lastDate;
    std::string firstShift;
    std::string lastShift;
};

// The ranges from the answer of QueryRanges in AnswerCopy (answer bytes 2 to 11).
FiscalMemoryRanges rangesFromAnswer(const LinkBuffer& answerCopy);

// Asks the register for its ranges (0x63); on success fills ranges, otherwise leaves them.
ExchangeResult QueryRanges(Session& session, FiscalMemoryRanges& ranges);

}  // namespace ptk::fiscal_memory
