#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "link/scripted_register.h"
#include "link/session.h"
#include "platform/memory_line.h"
#include "support/recording_front_end.h"
#include "support/results.h"
#include "support/scratch_directory.h"
#include "trace/exchange_trace.h"
#include "trace/session_trace.h"
#include "trace/tracing_serial_device.h"
#include "trace_text.h"

namespace ptk::testing {

// Whether wanted appear in lines in this order, other lines between them allowed.
inline ::testing::AssertionResult appearInOrder(const std::vector<std::string>& lines,
                                                const std::vector<std::string>& wanted) {
    std::size_t next = 0;
    for (const std::string& line : lines) {
        if (next < wanted.size() && line == wanted[next]) ++next;
    }
    if (next == wanted.size()) return ::testing::AssertionSuccess();
    std::string all;
    for (const std::string& line : lines) all += "\n  " + line;
    return ::testing::AssertionFailure() << "missing, in order: '" << wanted[next] << "'" << all;
}

// A session whose port is traced: the device end of an in-memory line with a scripted register
// on the far end, in virtual time, the trace in a scratch file with the virtual clock's times.
struct TracedLinkRig {
    static constexpr int kPort = 8;  // COM9

    TracedLinkRig() {
        std::string error;
        trace = trace::ExchangeTrace::open(
            path(), trace::Role::Computer, "test", [this] { return clock.nowUs(); }, error);
        EXPECT_TRUE(trace) << error;
        opener = std::make_unique<trace::TracingSerialOpener>(lineOpener, trace.get());
        session = std::make_unique<Session>(frontEnd, clock, *opener);
        trace::followSession(*trace, *session);
        session->LinkPassword = "7301";
        session->channel.OpenPort(kPort);
        session->channel.ConfigurePort(kPort, 4);
    }

    std::string path() const { return (directory.path() / "trace.log").string(); }
    std::vector<std::string> lines() const { return traceLines(directory.read("trace.log")); }

    // One transaction of code with data, the error code from answer byte 1 unless told.
    ExchangeResult send(std::uint8_t code, std::vector<std::uint8_t> data = {},
                        ExchangeRules rules = ExchangeRules::Form,
                        ErrorCodeRule rule = ErrorCodeRule::AnswerByte1,
                        std::size_t answerLength = 6,
                        ShortAnswer shortAnswer = ShortAnswer::Refused) {
        MessageBuilder message = session->message(code);
        message.bytes(data.data(), data.size());
        CommandCall call = commandCall(message, answerLength, shortAnswer);
        call.errorCode = rule;
        return rules == ExchangeRules::Form ? session->exchange.SendFormCommand(call)
                                            : session->exchange.SendCommand(call);
    }

    ScratchDirectory directory;
    platform::VirtualClock clock;
    platform::MemoryLine line{clock};
    ScriptedRegister device{line};
    RecordingFrontEnd frontEnd;
    platform::MemoryLineOpener lineOpener{line, kPort};
    std::unique_ptr<trace::ExchangeTrace> trace;
    std::unique_ptr<trace::TracingSerialOpener> opener;
    std::unique_ptr<Session> session;
};

}  // namespace ptk::testing
