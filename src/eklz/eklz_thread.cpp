#include "eklz/eklz_thread.h"

#include "eklz/eklz_commands.h"

namespace ptk::eklz {

namespace {

struct Dispatch {
    Session& session;

    std::optional<ExchangeResult> operator()(const EKLZCMDTHREADARG& record) const {
        return EklzCommand(session, record.operationCode);
    }
    std::optional<ExchangeResult> operator()(const OTCHTHREADARG& record) const {
        if (record.routine == OTCHTHREADARG::Routine::EklzReportByShifts) {
            return EklzReportByShifts(session, record.full, record.first, record.last);
        }
        return EklzReportByDates(session, record.full, record.first, record.last);
    }
    std::optional<ExchangeResult> operator()(const EKLZPRNTHREADARG& record) const {
        return EklzRequest(session, record.kind, record.number);
    }
};

}  // namespace

std::optional<ExchangeResult> ReportThreadProc(Session& session, const EklzThreadArg& record) {
    return std::visit(Dispatch{session}, record);
}

}  // namespace ptk::eklz
