// No secret reaches a trace: two runs that differ only in a password give the same trace, line
// for line, whatever the password's digits (pairs that travel stuffed included), whichever end of
// the line writes it and however the bytes are split into reads and writes.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>

#include "frame_of.h"
#include "trace_rig.h"

namespace ptk::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Four packed BCD bytes of an 8-digit password; the pairs 03 and 10, which travel stuffed, come
// often.
Bytes randomPassword(std::mt19937& random) {
    Bytes password(4);
    for (std::uint8_t& byte : password) {
        switch (random() % 4) {
            case 0:
                byte = 0x03;
                break;
            case 1:
                byte = 0x10;
                break;
            default:
                byte = static_cast<std::uint8_t>((random() % 10) << 4 | random() % 10);
        }
    }
    return password;
}

Bytes concat(Bytes head, const Bytes& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

const Bytes kPasswordField = {0x03, 0x00, 0x1E, 0x01};
const Bytes kRnmAndInn = {0x00, 0x00, 0x12, 0x34, 0x56, 0x00, 0x07, 0x70, 0x12, 0x34, 0x56};

// A transaction that carries the password somewhere, through the real command exchange.
struct SecretCase {
    const char* name;
    std::function<void(TracedLinkRig&, const Bytes& password)> run;
    std::string secretLine;  // a line that shows where the password went
    // The line was garbled (bytes of another exchange taken into a broken frame): how many of
    // them a run of "**" stands for may then differ, the rest may not.
    bool garbled = false;
};

// The lines with every run of "** ** ..." written as one "**".
std::vector<std::string> withMaskedRunsJoined(std::vector<std::string> lines) {
    for (std::string& line : lines) {
        for (std::size_t at; (at = line.find("** **")) != std::string::npos;) line.erase(at, 3);
    }
    return lines;
}

const SecretCase kExchangeCases[] = {
    {"mode entry",
     [](TracedLinkRig& rig, const Bytes& password) {
         rig.device.answer = {0x56, 0x00, 0x00};
         rig.send(0x56, concat({0x01}, password));
     },
     "pc>reg command 0x56 enter mode, link password 73 01, data 01 ** ** ** **"},
    {"mode entry with shifted codes",
     [](TracedLinkRig& rig, const Bytes& password) {
         rig.session->exchange.DirectCodes = 0;
         rig.device.answer = {0x56, 0x00, 0x00};
         rig.send(0x56, concat({0x05}, password));
     },
     "pc>reg command 0x28 (read as 0x56 enter mode), link password 73 01, data 05 ** ** ** **"},
    {"fiscal registration",
     [](TracedLinkRig& rig, const Bytes& password) {
         rig.device.answer = {0x62, 0x00, 0x00};
         rig.send(0x62, concat(kRnmAndInn, password));
     },
     "pc>reg command 0x62 fiscal registration, link password 73 01, data 00 00 12 34 56 00 07 "
     "70 12 34 56 ** ** ** **"},
    {"programming password read from table 3 row 30 field 1",
     [](TracedLinkRig& rig, const Bytes& password) {
         rig.device.answer = concat({0x46, 0x00}, password);
         rig.send(0x46, kPasswordField, ExchangeRules::General, ErrorCodeRule::AnswerByte1, 80,
                  ShortAnswer::Taken);
     },
     "reg>pc answer to 0x46 read table field: 46 00 ** ** ** **, error 00 - Ошибок нет. Команда "
     "выполнена."},
    {"programming password read, the answer pausing inside the password",
     [](TracedLinkRig& rig, const Bytes& password) {
         rig.device.answer = concat({0x46, 0x00}, password);
         rig.device.pauseAfterByte = 3;
         rig.device.pauseUs = 400'000;  // beyond the exchange's 200 ms pause before it reads
         rig.send(0x46, kPasswordField, ExchangeRules::General, ErrorCodeRule::AnswerByte1, 80,
                  ShortAnswer::Taken);
     },
     "reg>pc answer to 0x46 read table field: 46 00 ** ** ** **, error 00 - Ошибок нет. Команда "
     "выполнена., read in 2 parts"},
    {"programming password read, the rest of the answer coming in the next transaction",
     [](TracedLinkRig& rig, const Bytes& password) {
         rig.device.answer = concat({0x46, 0x00}, password);
         rig.device.pauseAfterByte = 4;
         rig.device.pauseUs = 900'000;  // the program has given up and gone on
         rig.send(0x46, kPasswordField, ExchangeRules::General, ErrorCodeRule::AnswerByte1, 80,
                  ShortAnswer::Taken);
         rig.device.pauseAfterByte.reset();
         rig.device.answer = {0x52, 0x00, 0x00};
         rig.send(0x52);
         rig.send(0x52);
     },
     "end of 0x52 leave mode: result 1 (done)", true},
    {"programming password written to table 3 row 30 field 1",
     [](TracedLinkRig& rig, const Bytes& password) {
         rig.device.answer = {0x50, 0x00, 0x00};
         rig.send(0x50, concat(kPasswordField, password));
     },
     "pc>reg command 0x50 write table field, link password 73 01, data 03 00 1E 01 ** ** ** **"},
};

class SecretsThroughTheExchange : public ::testing::TestWithParam<SecretCase> {};

TEST_P(SecretsThroughTheExchange, TraceDoesNotDependOnThePassword) {
    const SecretCase& c = GetParam();
    std::mt19937 random(20240515);
    for (int round = 0; round < 40; ++round) {
        const Bytes first = randomPassword(random);
        const Bytes second = randomPassword(random);
        TracedLinkRig a, b;
        c.run(a, first);
        c.run(b, second);
        if (c.garbled) {
            ASSERT_EQ(withMaskedRunsJoined(a.lines()), withMaskedRunsJoined(b.lines()))
                << "round " << round;
        } else {
            ASSERT_EQ(a.lines(), b.lines()) << "round " << round;
        }
        ASSERT_TRUE(appearInOrder(a.lines(), {c.secretLine}));
    }
}

INSTANTIATE_TEST_SUITE_P(Secrets, SecretsThroughTheExchange, ::testing::ValuesIn(kExchangeCases),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(Secrets, OtherTableFieldsAndOtherCommandsStayReadable) {
    TracedLinkRig rig;
    rig.device.answer = {0x46, 0x00, 0x12, 0x34};
    rig.send(0x46, {0x03, 0x00, 0x1F, 0x01}, ExchangeRules::General, ErrorCodeRule::AnswerByte1, 80,
             ShortAnswer::Taken);
    rig.device.answer = {0x61, 0x00, 0x00};
    rig.send(0x61, {0x00, 0x12, 0x34, 0x56});
    EXPECT_TRUE(appearInOrder(
        rig.lines(),
        {"reg>pc answer to 0x46 read table field: 46 00 12 34, error 00 - Ошибок нет. Команда "
         "выполнена.",
         "pc>reg command 0x61 program serial number, link password 73 01, data 00 12 34 56"}));
}

// The other end of the line: frames fed to the trace as ptk-sim reads and writes them, split at
// random places.
struct FedFrame {
    bool fromComputer;
    Bytes message;
};

void feed(trace::ExchangeTrace& trace, trace::Role role, const Bytes& frame, bool fromComputer,
          std::mt19937& random) {
    const bool sent = (role == trace::Role::Computer) == fromComputer;
    for (std::size_t at = 0; at < frame.size();) {
        const std::size_t count = std::min<std::size_t>(1 + random() % 6, frame.size() - at);
        if (sent) {
            trace.sent(frame.data() + at, count);
        } else {
            trace.received(frame.data() + at, count);
        }
        at += count;
    }
}

std::vector<std::string> fedTrace(trace::Role role, bool shifted,
                                  const std::vector<FedFrame>& frames, unsigned splitSeed) {
    ScratchDirectory directory;
    std::uint64_t nowUs = 0;
    {
        std::string error;
        auto trace = trace::ExchangeTrace::open((directory.path() / "trace.log").string(), role,
                                                "test", [&] { return nowUs += 10; }, error);
        if (!trace) return {error};
        trace->setCodesShifted([shifted] { return shifted; });
        std::mt19937 random(splitSeed);
        for (const FedFrame& frame : frames) {
            feed(*trace, role, frameOf(frame.message), frame.fromComputer, random);
            const std::uint8_t ack = control::ACK;
            feed(*trace, role, {ack}, !frame.fromComputer, random);
        }
    }
    return traceLines(directory.read("trace.log"));
}

TEST(Secrets, EitherEndOfTheLineWithAnySplitOfTheBytes) {
    std::mt19937 random(7);
    for (int round = 0; round < 60; ++round) {
        const trace::Role role = round % 2 ? trace::Role::Register : trace::Role::Computer;
        // Every third round the codes travel shifted; the packet driver's 0x56 never shifts.
        const bool shifted = round % 3 == 0;
        const auto frames = [&](const Bytes& password) {
            const std::uint8_t enterMode = shifted ? 0x28 : 0x56;
            return std::vector<FedFrame>{
                {true, concat({0x73, 0x01, enterMode, 0x04}, password)},
                {false, {0x56, 0x00, 0x04}},
                {true, concat({0x73, 0x01, 0x56, 0x04}, password)},
                {true, concat(concat({0x73, 0x01, 0x62}, kRnmAndInn), password)},
                {true, concat({0x73, 0x01, 0x46}, kPasswordField)},
                {false, concat(concat({0x46, 0x00}, password), {0x00, 0x00})},
            };
        };
        const unsigned splitSeed = static_cast<unsigned>(random());
        const auto first = fedTrace(role, shifted, frames(randomPassword(random)), splitSeed);
        const auto second = fedTrace(role, shifted, frames(randomPassword(random)), splitSeed);
        ASSERT_EQ(first, second) << "round " << round;
        const auto masked = std::count_if(first.begin(), first.end(), [](const std::string& l) {
            return l.ends_with("link password 73 01, data 04 ** ** ** **");
        });
        ASSERT_EQ(masked, 2) << "round " << round;
    }
}

}  // namespace
}  // namespace ptk::testing
