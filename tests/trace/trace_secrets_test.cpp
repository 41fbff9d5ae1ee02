// No secret reaches a trace: two runs that differ only in a password give the same trace, line
// for line, whatever the password's digits (pairs that travel stuffed included), whichever end of
// the line writes it and however the bytes are split into reads and writes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <random>

#include "frame_of.h"
#include "secret_streams.h"
#include "trace_rig.h"

namespace ptk::testing {
namespace {

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
         rig.session->exchange.setCodeSet(CodeSet::Shifted);
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
    // Any table read's answer is masked: a late one could be the password's.
    EXPECT_TRUE(appearInOrder(
        rig.lines(),
        {"pc>reg command 0x46 read table field, link password 73 01, data 03 00 1F 01",
         "reg>pc answer to 0x46 read table field: 46 00 ** **, error 00 - Ошибок нет. Команда "
         "выполнена.",
         "pc>reg command 0x61 program serial number, link password 73 01, data 00 12 34 56"}));
}

TEST(Secrets, NoStreamOfEitherEndLetsTheSecretsChangeTheTrace) {
    std::mt19937 seeds(20260515);
    int decoded = 0;
    for (int round = 0; round < 6000; ++round) {
        const trace::Role role = round % 2 ? trace::Role::Register : trace::Role::Computer;
        const unsigned seed = static_cast<unsigned>(seeds());
        std::mt19937 first_(seed), second_(seed);
        Structure a = [&] { return static_cast<std::uint32_t>(first_()); };
        Structure b = [&] { return static_cast<std::uint32_t>(second_()); };
        const auto first = tracedLines(role, randomStream(role, a, static_cast<unsigned>(seeds())));
        const auto second =
            tracedLines(role, randomStream(role, b, static_cast<unsigned>(seeds())));
        ASSERT_EQ(first.size(), second.size()) << "round " << round;
        for (std::size_t i = 0; i < first.size(); ++i) {
            ASSERT_EQ(first[i], second[i]) << "round " << round << " line " << i;
        }
        decoded += static_cast<int>(std::count_if(first.begin(), first.end(), [](const auto& l) {
            return l.find(" command 0x") != std::string::npos;
        }));
    }
    EXPECT_GT(decoded, 4000);  // the streams are read as frames, not only masked
}

// Streams met in the field, each traced with two passwords: the same trace, and the password
// masked where it is told.
struct StreamCase {
    const char* name;
    trace::Role role;
    std::function<std::vector<Step>(const Bytes& password)> stream;
    std::string maskedLine;
};

const Bytes kModeEntryHead = {0x73, 0x01, 0x56, 0x04};

const StreamCase kStreamCases[] = {
    {"the program's mode entry written in part, then sent again whole", trace::Role::Computer,
     [](const Bytes& password) {
         // Written as far as the first password byte.
         const std::vector<Bytes> units = frameUnits(concat(kModeEntryHead, password));
         Bytes part;
         for (std::size_t i = 0; i < 6; ++i)
             part.insert(part.end(), units[i].begin(), units[i].end());
         return std::vector<Step>{{Step::Sent, part},
                                  {Step::WriteFailed, {}},
                                  {Step::Sent, frameOf(concat(kModeEntryHead, password))}};
     },
     "pc>reg command 0x56 enter mode, link password 73 01, data 04 ** ** ** **"},
    {"the simulator's mode entry that lost its ETX, then sent again whole", trace::Role::Register,
     [](const Bytes& password) {
         const Bytes frame = frameOf(concat(kModeEntryHead, password));
         return std::vector<Step>{{Step::Received, Bytes(frame.begin(), frame.end() - 2)},
                                  {Step::Received, frame}};
     },
     "pc>reg command 0x56 enter mode, link password 73 01, data 04 ** ** ** ** ** ** ** ** ** ** "
     "** ** **"},
    {"a frame cut after its ETX, then sent again whole", trace::Role::Register,
     [](const Bytes& password) {
         const Bytes frame = frameOf(concat(kModeEntryHead, password));
         return std::vector<Step>{{Step::Received, Bytes(frame.begin(), frame.end() - 1)},
                                  {Step::Received, frame}};
     },
     "pc>reg command 0x56 enter mode, link password 73 01, data 04 ** ** ** **"},
    {"the register's 02 46 03 before the answer to a table 3 row 30 read", trace::Role::Computer,
     [](const Bytes& password) {
         return std::vector<Step>{
             {Step::Sent, frameOf(concat({0x73, 0x01, 0x46}, kPasswordField))},
             {Step::Received, concat({0x02, 0x46, 0x03}, frameOf(concat({0x46, 0x00}, password)))}};
     },
     "reg>pc answer to 0x46 read table field: 46 00 ** ** ** **, error 00 - Ошибок нет. Команда "
     "выполнена."},
    {"a garbled frame with a password: no checksum verdict", trace::Role::Register,
     [](const Bytes& password) {
         Bytes frame = frameOf(concat(kModeEntryHead, password));
         frame.back() ^= 0x21;
         return std::vector<Step>{{Step::Received, frame}};
     },
     "pc>reg command 0x56 enter mode, link password 73 01, data 04 ** ** ** **"},
};

TEST(Secrets, StreamsMetInTheField) {
    std::mt19937 random(7);
    for (const StreamCase& c : kStreamCases) {
        for (int round = 0; round < 40; ++round) {
            const auto first = tracedLines(c.role, c.stream(randomPassword(random)));
            const auto second = tracedLines(c.role, c.stream(randomPassword(random)));
            ASSERT_EQ(first, second) << c.name;
            ASSERT_TRUE(appearInOrder(first, {c.maskedLine})) << c.name;
        }
    }
}

}  // namespace
}  // namespace ptk::testing
