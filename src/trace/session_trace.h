#pragma once

#include "link/session.h"
#include "trace/exchange_trace.h"

namespace ptk::trace {

// Lets the trace hear the end of every transaction of the session and read command codes the
// way the session sends them: shifted while DirectCodes is 0, except those of the packet driver,
// which never shifts.
inline void followSession(ExchangeTrace& trace, Session& session) {
    session.channel.transactionObserver = &trace;
    trace.setCodesShifted([&session] {
        return session.exchange.codeSet() == CodeSet::Shifted && !session.packets.inProgress();
    });
}

}  // namespace ptk::trace
