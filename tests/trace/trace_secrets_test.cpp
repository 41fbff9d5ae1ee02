// No secret reaches a trace: two runs that differ only in a password give the same trace, line
// for line, whatever the password's digits (pairs that travel stuffed included), whichever end of
// the line writes it and however the bytes are split into reads and writes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
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
         rig.send(0x46, kPasswordField, false, ErrorCodeRule::AnswerByte1, 80, true);
     },
     "reg>pc answer to 0x46 read table field: 46 00 ** ** ** **, error 00 - Ошибок нет. Команда "
     "выполнена."},
    {"programming password read, the answer pausing inside the password",
     [](TracedLinkRig& rig, const Bytes& password) {
         rig.device.answer = concat({0x46, 0x00}, password);
         rig.device.pauseAfterByte = 3;
         rig.device.pauseUs = 400'000;  // beyond the exchange's 200 ms pause before it reads
         rig.send(0x46, kPasswordField, false, ErrorCodeRule::AnswerByte1, 80, true);
     },
     "reg>pc answer to 0x46 read table field: 46 00 ** ** ** **, error 00 - Ошибок нет. Команда "
     "выполнена., read in 2 parts"},
    {"programming password read, the rest of the answer coming in the next transaction",
     [](TracedLinkRig& rig, const Bytes& password) {
         rig.device.answer = concat({0x46, 0x00}, password);
         rig.device.pauseAfterByte = 4;
         rig.device.pauseUs = 900'000;  // the program has given up and gone on
         rig.send(0x46, kPasswordField, false, ErrorCodeRule::AnswerByte1, 80, true);
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
    rig.send(0x46, {0x03, 0x00, 0x1F, 0x01}, false, ErrorCodeRule::AnswerByte1, 80, true);
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

// Streams fed to the trace as either program meets them: frames cut short and sent again, junk,
// answers early or late, the two directions interleaved anywhere, read and written in pieces of
// any size. Everything but the secrets is drawn from the structure's seed, so two runs that differ
// only in the secrets must give the same trace. A stream is a list of steps on the trace.
struct Step {
    enum What { Sent, Received, WriteFailed, Silence, Discarded } what;
    Bytes bytes;
};

// The line bytes of a frame in units: STX, each message byte (a stuffed one with its DLE), ETX,
// the checksum. A cut or a split falls between units, so it falls alike whatever the secrets.
std::vector<Bytes> frameUnits(const Bytes& message) {
    std::vector<Bytes> units{{control::STX}};
    std::uint8_t checksum = control::ETX;
    for (std::uint8_t byte : message) {
        if (byte == control::DLE || byte == control::ETX) {
            units.push_back({control::DLE, byte});
            checksum ^= control::DLE;
        } else {
            units.push_back({byte});
        }
        checksum ^= byte;
    }
    units.push_back({control::ETX});
    units.push_back({checksum});
    return units;
}

// Secret bytes: packed digits, the control bytes among them often.
struct Secrets {
    std::mt19937 random;
    Bytes next(std::size_t count) {
        static constexpr std::uint8_t kOften[] = {0x02, 0x03, 0x10, 0x04, 0x05, 0x06, 0x15, 0x46};
        Bytes bytes(count);
        for (std::uint8_t& byte : bytes) {
            byte = random() % 2 ? kOften[random() % 8]
                                : static_cast<std::uint8_t>((random() % 10) << 4 | random() % 10);
        }
        return bytes;
    }
};

Bytes publicBytes(std::mt19937& structure, std::size_t count) {
    static constexpr std::uint8_t kOften[] = {0x02, 0x03, 0x10, 0x05, 0x06, 0x15, 0x46, 0x56};
    Bytes bytes(count);
    for (std::uint8_t& byte : bytes) {
        byte = structure() % 2 ? kOften[structure() % 8] : static_cast<std::uint8_t>(structure());
    }
    return bytes;
}

// A message of either kind, now and then one that carries a password.
Bytes message(bool command, std::mt19937& structure, Secrets& secrets) {
    const Bytes password = secrets.next(4);
    if (command) {
        switch (structure() % 6) {
            case 0:
                return concat(
                    {0x73, 0x01, structure() % 2 ? std::uint8_t{0x56} : std::uint8_t{0x28}, 0x04},
                    password);
            case 1:
                return concat(concat({0x73, 0x01, 0x62}, kRnmAndInn), password);
            case 2:
                return concat(concat({0x73, 0x01, 0x50}, kPasswordField), password);
            case 3:
                return concat({0x73, 0x01, 0x46}, kPasswordField);
            default:
                return publicBytes(structure, 1 + structure() % 12);
        }
    }
    switch (structure() % 4) {
        case 0:
            return concat({structure() % 2 ? std::uint8_t{0x46} : std::uint8_t{0x18}, 0x00},
                          password);
        default:
            return publicBytes(structure, 1 + structure() % 12);
    }
}

// One direction's part of a stream, in units; an empty unit stands for a failed write.
std::vector<Bytes> directionUnits(bool command, bool writtenByProgram, std::mt19937& structure,
                                  Secrets& secrets) {
    std::vector<Bytes> units;
    const auto add = [&units](const std::vector<Bytes>& more) {
        units.insert(units.end(), more.begin(), more.end());
    };
    const int pieces = 1 + static_cast<int>(structure() % 6);
    for (int piece = 0; piece < pieces; ++piece) {
        const std::vector<Bytes> frame = frameUnits(message(command, structure, secrets));
        switch (structure() % 5) {
            case 0: {  // cut short anywhere, even before its checksum, then sent again whole
                const std::size_t cut = 1 + structure() % (frame.size() - 1);
                add(std::vector<Bytes>(frame.begin(), frame.begin() + static_cast<long>(cut)));
                if (writtenByProgram) units.push_back({});
                add(frame);
                break;
            }
            case 1:  // junk
                for (std::uint8_t byte : publicBytes(structure, 1 + structure() % 6)) {
                    units.push_back({byte});
                }
                break;
            case 2:
                units.push_back({static_cast<std::uint8_t>(structure() % 2 ? 0x04 : 0x06)});
                break;
            default:
                add(frame);
        }
    }
    return units;
}

std::vector<Step> randomStream(trace::Role role, unsigned structureSeed, unsigned secretSeed) {
    std::mt19937 structure(structureSeed);
    Secrets secrets{std::mt19937(secretSeed)};
    const bool computer = role == trace::Role::Computer;
    const std::vector<Bytes> commands = directionUnits(true, computer, structure, secrets);
    const std::vector<Bytes> answers = directionUnits(false, !computer, structure, secrets);
    // Interleaved unit by unit: answers may come early, late, or inside a command frame.
    std::vector<Step> steps;
    std::size_t c = 0, a = 0;
    while (c < commands.size() || a < answers.size()) {
        const bool command = a == answers.size() || (c < commands.size() && structure() % 2);
        const Bytes& unit = command ? commands[c++] : answers[a++];
        const bool sent = command == computer;
        if (unit.empty()) {
            steps.push_back({Step::WriteFailed, {}});
            continue;
        }
        const Step::What what = sent ? Step::Sent : Step::Received;
        if (steps.empty() || steps.back().what != what || structure() % 3 == 0) {
            steps.push_back({what, {}});
        }
        steps.back().bytes.insert(steps.back().bytes.end(), unit.begin(), unit.end());
        if (structure() % 40 == 0)
            steps.push_back({structure() % 2 ? Step::Silence : Step::Discarded, {}});
    }
    return steps;
}

std::vector<std::string> tracedLines(trace::Role role, const std::vector<Step>& steps) {
    static const ScratchDirectory directory;
    const std::string path = (directory.path() / "trace.log").string();
    std::filesystem::remove(path);
    std::uint64_t nowUs = 0;
    {
        std::string error;
        auto trace = trace::ExchangeTrace::open(
            path, role, "test", [&] { return nowUs += 10; }, error);
        if (!trace) return {error};
        for (const Step& step : steps) {
            switch (step.what) {
                case Step::Sent:
                    trace->sent(step.bytes.data(), step.bytes.size());
                    break;
                case Step::Received:
                    trace->received(step.bytes.data(), step.bytes.size());
                    break;
                case Step::WriteFailed:
                    trace->writeFailed();
                    break;
                case Step::Silence:
                    trace->silence();
                    break;
                case Step::Discarded:
                    trace->inputDiscarded();
                    break;
            }
        }
    }
    return traceLines(directory.read("trace.log"));
}

TEST(Secrets, NoStreamOfEitherEndLetsTheSecretsChangeTheTrace) {
    std::mt19937 seeds(20260515);
    int decoded = 0;
    for (int round = 0; round < 6000; ++round) {
        const trace::Role role = round % 2 ? trace::Role::Register : trace::Role::Computer;
        const unsigned structure = static_cast<unsigned>(seeds());
        const auto first = tracedLines(role, randomStream(role, structure, seeds()));
        const auto second = tracedLines(role, randomStream(role, structure, seeds()));
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
