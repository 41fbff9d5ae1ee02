// A long session of random commands and faults against the register, from a fixed seed: every
// transaction ends with one of the link's documented results, tells at most one message, and the
// register always serves the next command.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <sstream>

#include "link/error_text.h"
#include "support/sim_fixture.h"

namespace ptk::testing {
namespace {

const std::set<std::string> kLinkTexts{"Нет связи!", "Нет ответа!", "Ошибка контрольной суммы!"};

bool isDeviceMessage(const std::string& text) {
    for (int code = 0; code < 256; ++code) {
        if (deviceErrorMessage(static_cast<std::uint8_t>(code)) == text) return true;
    }
    return false;
}

class RandomSession {
public:
    explicit RandomSession(std::uint32_t seed) : rng_(seed) {}

    int upTo(int limit) { return std::uniform_int_distribution<int>(0, limit)(rng_); }
    bool chance(int percent) { return upTo(99) < percent; }

    // One or two faults; the description goes into failure messages.
    std::string injectFaults(sim::RegisterEngine& engine, std::uint8_t code) {
        std::ostringstream told;
        sim::FaultPlan& faults = engine.faults();
        const int count = 1 + upTo(1);
        for (int i = 0; i < count; ++i) {
            switch (upTo(6)) {
                case 0:
                    faults.nakFrames = 1 + upTo(5);
                    told << "nak " << faults.nakFrames << "; ";
                    break;
                case 1:
                    faults.badChecksumAnswers = 1 + upTo(6);
                    told << "bad checksum " << faults.badChecksumAnswers << "; ";
                    break;
                case 2: {
                    const auto step = static_cast<sim::SilentStep>(upTo(sim::kSilentStepCount - 1));
                    faults.silentAt(step) = 1 + upTo(5);
                    told << "silent " << silentStepName(step) << " " << faults.silentAt(step)
                         << "; ";
                    break;
                }
                case 3:
                    faults.answerDelayUs = static_cast<std::uint64_t>(upTo(15'000)) * 1000;
                    faults.delayedAnswers = 1;
                    told << "delay " << faults.answerDelayUs << " us; ";
                    break;
                case 4:
                    faults.pauseAfterByte = static_cast<std::size_t>(1 + upTo(8));
                    faults.pauseUs = static_cast<std::uint64_t>(upTo(600)) * 1000;
                    faults.framePauses = 1 + upTo(2);
                    told << "pause " << faults.pauseUs << " us after " << faults.pauseAfterByte
                         << "; ";
                    break;
                case 5: {
                    const auto error = static_cast<std::uint8_t>(upTo(255));
                    faults.errors.push_back({code, error, 1});
                    told << "error " << int(error) << "; ";
                    break;
                }
                default: {
                    sim::Printer& printer = engine.state().printer;
                    printer = {chance(50), chance(30), chance(30), chance(30)};
                    told << "printer " << int(printer.flags()) << "; ";
                    break;
                }
            }
        }
        return told.str();
    }

private:
    std::mt19937 rng_;
};

struct Command {
    std::uint8_t code;
    std::size_t answerLength;
    ShortAnswer shortAnswer;
    ErrorCodeRule rule;
};

const Command kCommands[] = {
    {0xE0, 7, ShortAnswer::Taken, ErrorCodeRule::AnswerByte1},
    {0x45, 55, ShortAnswer::Taken, ErrorCodeRule::None},
    {0x3F, 55, ShortAnswer::Taken, ErrorCodeRule::StateAnswer},
    {0x52, 6, ShortAnswer::Refused, ErrorCodeRule::AnswerByte1},
    {0x59, 6, ShortAnswer::Refused, ErrorCodeRule::AnswerByte1},
    {0x77, 6, ShortAnswer::Refused, ErrorCodeRule::AnswerByte1},
};

TEST(RandomSessionTest, EveryTransactionEndsWithADocumentedResult) {
    RandomSession random(20130507);
    SimRig rig;
    int faulted = 0;
    int succeeded = 0;
    for (int round = 0; round < 400; ++round) {
        const Command& command = kCommands[random.upTo(std::size(kCommands) - 1)];
        // Random register situation: any mode, sometimes an open receipt.
        rig.state().mode.set(static_cast<std::uint8_t>(random.upTo(7)));
        rig.state().receipt.kind =
            random.chance(20) ? sim::ReceiptKind::Sale : sim::ReceiptKind::Closed;
        const bool withFaults = random.chance(60);
        const std::string faults = withFaults ? random.injectFaults(rig.engine, command.code) : "";
        const bool general = random.chance(25);
        rig.clock.advanceUs(static_cast<std::uint64_t>(random.upTo(2000)) * 1000);

        MessageBuilder message = rig.session.message(command.code);
        if (command.code == 0xE0) message.byte(0).byte(0);
        CommandCall call =
            SimRig::formCall(message, command.answerLength, command.shortAnswer, command.rule);
        if (command.code == 0xE0) call.unknownCommand = UnknownCommandAnswer::IsAResult;
        rig.frontEnd.clear();
        const ExchangeResult result = general ? rig.session.exchange.SendCommand(call)
                                              : rig.session.exchange.SendFormCommand(call);

        const std::string where = "round " + std::to_string(round) + ", code " +
                                  std::to_string(command.code) + (general ? " general" : " form") +
                                  ", faults: " + faults;
        // Every outcome but the end of a data stream, which none of these commands has.
        EXPECT_NE(result.outcome, ExchangeOutcome::NoMoreData) << where;
        ASSERT_LE(rig.frontEnd.boxes.size(), 1u) << where;
        for (const std::string& text : rig.frontEnd.boxTexts()) {
            EXPECT_TRUE(kLinkTexts.count(text) || isDeviceMessage(text)) << where << ": " << text;
            if (!withFaults) {
                EXPECT_FALSE(kLinkTexts.count(text)) << where << ": " << text;
            }
        }
        if (result.succeeded()) ++succeeded;
        if (!withFaults) continue;

        // After the faults, and once the register has stopped working and talking, the next
        // command is served.
        ++faulted;
        rig.engine.faults() = sim::FaultPlan{};
        rig.state().printer = {};
        rig.clock.advanceToUs(std::max(rig.clock.nowUs(), rig.engine.lineFreeAtUs()) + 1'000'000);
        rig.frontEnd.clear();
        EXPECT_EQ(rig.send(0x45, {}, 55, ShortAnswer::Taken, ErrorCodeRule::None), kDone) << where;
        EXPECT_EQ(rig.answer(1), std::vector<std::uint8_t>{0x45}) << where;
        EXPECT_TRUE(rig.frontEnd.boxes.empty()) << where;
    }
    // The session really mixed both kinds of rounds.
    EXPECT_GT(faulted, 150);
    EXPECT_GT(succeeded, 100);
}

}  // namespace
}  // namespace ptk::testing
