#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "link/session.h"
#include "platform/memory_line.h"
#include "sim/engine_line_peer.h"
#include "sim/register_engine.h"
#include "support/recording_front_end.h"
#include "support/results.h"

namespace ptk::testing {

// The link code talking to the simulated register over an in-memory line, in virtual time: the
// session's port (COM9) is open and configured at 115200 baud, its link password matches the
// register's, and codes go out unshifted.
struct SimRig {
    static constexpr int kPort = 8;  // COM9

    explicit SimRig(const sim::EngineOptions& options = {})
        : engine(sim::RegisterState{}, options) {
        session.LinkPassword = "7301";
        session.channel.OpenPort(kPort);
        session.channel.ConfigurePort(kPort, 4);
    }

    // A form-variant call with the usual deadlines.
    static CommandCall formCall(const MessageBuilder& message, std::size_t answerLength,
                                ShortAnswer shortAnswer, ErrorCodeRule rule) {
        CommandCall call = commandCall(message, answerLength, shortAnswer);
        call.errorCode = rule;
        return call;
    }

    // One form-variant transaction of code with data.
    ExchangeResult send(std::uint8_t code, std::initializer_list<std::uint8_t> data = {},
                        std::size_t answerLength = 6,
                        ShortAnswer shortAnswer = ShortAnswer::Refused,
                        ErrorCodeRule rule = ErrorCodeRule::AnswerByte1) {
        MessageBuilder message = session.message(code);
        for (std::uint8_t byte : data) message.byte(byte);
        return session.exchange.SendFormCommand(formCall(message, answerLength, shortAnswer, rule));
    }

    // The answer message of the last transaction as it lies in AnswerCopy (after the STX).
    std::vector<std::uint8_t> answer(std::size_t count) const {
        const auto& copy = session.exchange.answer();
        return {copy.begin() + 1, copy.begin() + 1 + static_cast<std::ptrdiff_t>(count)};
    }

    sim::RegisterState& state() { return engine.state(); }
    sim::FaultPlan& faults() { return engine.faults(); }

    platform::VirtualClock clock;
    platform::MemoryLine line{clock};
    sim::RegisterEngine engine;  // made by the constructor, with its options
    sim::EngineLinePeer peer{engine, line};
    RecordingFrontEnd frontEnd;
    platform::MemoryLineOpener opener{line, kPort};
    Session session{frontEnd, clock, opener};
};

class SimFixture : public ::testing::Test, public SimRig {};

}  // namespace ptk::testing
