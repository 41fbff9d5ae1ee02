#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

#include "link/exchange_result.h"

namespace ptk {
class Session;
}

namespace ptk::eklz {

// The argument records of the EKLZ window's report thread. The window builds one on the
// user-interface thread, completely, before the thread starts; the thread only reads it, and the
// window does not let go of it before the thread has ended.

// A single command: EklzCommand with its operation code (1 activation, 2 activation totals,
// 3 archive closing).
struct EKLZCMDTHREADARG {
    int operationCode = 0;
};

// A report: EklzReportByDates or EklzReportByShifts, full (1) or short (0), with the first and
// last bound as text: two dates (day.month.year) or two shift numbers.
struct OTCHTHREADARG {
    enum class Routine { EklzReportByDates, EklzReportByShifts };
    Routine routine = Routine::EklzReportByDates;
    int full = 1;
    std::string first;
    std::string last;
};

// A request: EklzRequest of a kind (1 shift totals, 2 control tape, 3 document) with its number.
struct EKLZPRNTHREADARG {
    int kind = 0;
    std::string number;
};

// Which record it is selects the routine the thread runs.
using EklzThreadArg = std::variant<EKLZCMDTHREADARG, OTCHTHREADARG, EKLZPRNTHREADARG>;

// The thread's work: the record's routine, whose result is the thread's result.
std::optional<ExchangeResult> ReportThreadProc(Session& session, const EklzThreadArg& record);

}  // namespace ptk::eklz
