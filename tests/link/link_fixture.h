#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "link/session.h"
#include "platform/memory_line.h"
#include "scripted_register.h"
#include "support/recording_front_end.h"
#include "support/results.h"

namespace ptk::testing {

// A session whose port is the device end of an in-memory line, with a scripted register on the
// far end, in virtual time.
struct LinkRig {
    static constexpr int kPort = 8;  // COM9

    LinkRig() {
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

    // The general rules' usual deadlines, pause 100 ms.
    static CommandCall generalCall(const MessageBuilder& message, std::size_t answerLength) {
        CommandCall call =
            formCall(message, answerLength, ShortAnswer::Refused, ErrorCodeRule::AnswerByte1);
        call.deadlines.pauseMs = 100;
        return call;
    }

    // The frames the program sent, each write separately.
    std::vector<std::vector<std::uint8_t>> writes() const {
        std::vector<std::vector<std::uint8_t>> all;
        for (const auto& write : line.writes()) all.push_back(write.bytes);
        return all;
    }

    int countWrites(std::uint8_t firstByte) const {
        int count = 0;
        for (const auto& write : line.writes())
            count += !write.bytes.empty() && write.bytes[0] == firstByte;
        return count;
    }

    std::uint64_t elapsedMs() const { return clock.nowUs() / 1000; }

    platform::VirtualClock clock;
    platform::MemoryLine line{clock};
    ScriptedRegister device{line};
    RecordingFrontEnd frontEnd;
    platform::MemoryLineOpener opener{line, kPort};
    Session session{frontEnd, clock, opener};
};

class LinkFixture : public ::testing::Test, public LinkRig {};

using Bytes = std::vector<std::uint8_t>;

}  // namespace ptk::testing
