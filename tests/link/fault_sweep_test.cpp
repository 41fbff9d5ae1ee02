// Every byte of a conversation dropped, corrupted or delayed in turn: each run must end with a
// documented result and its one message, within its deadlines, and never report success for an
// answer that did not arrive intact.
#include <functional>
#include <set>

#include "link_fixture.h"

namespace ptk::testing {
namespace {

enum class Fault { Drop, Corrupt, Delay };
enum class Direction { FromRegister, ToRegister };

struct Transaction {
    const char* name;
    ExchangeRules rules;
    std::uint8_t code;
    std::size_t answerLength;
    ShortAnswer shortAnswer;
    ErrorCodeRule rule;
    Bytes answer;
};

const Transaction kTransactions[] = {
    {"leave mode",
     ExchangeRules::Form,
     0x52,
     6,
     ShortAnswer::Refused,
     ErrorCodeRule::AnswerByte1,
     {0x52, 0x00, 0x00}},
    {"state",
     ExchangeRules::Form,
     0x3F,
     55,
     ShortAnswer::Taken,
     ErrorCodeRule::StateAnswer,
     {0x44, 0x01, 0x01, 0x26, 0x12, 0x09, 0x10, 0x30, 0x00, 0x03, 0x00, 0x12, 0x34, 0x56}},
    {"general",
     ExchangeRules::General,
     0x52,
     6,
     ShortAnswer::Refused,
     ErrorCodeRule::AnswerByte1,
     {0x52, 0x01, 0x10}},
};

// The longest any transaction may take: every read waiting out its whole deadline.
std::uint64_t worstCaseMs(const Deadlines& t, ExchangeRules rules) {
    const std::uint64_t frameTries = rules == ExchangeRules::Form ? 5 : 100;
    return 5 * (t.tControl + t.tEnqAck) + frameTries * (t.tFrame + t.tFrameAck) + t.tEot +
           t.tAnswerStart + t.tControl + t.pauseMs + 6 * 2 * t.tAnswer + t.tEot;
}

struct FaultSweep : LinkRig {
    ExchangeResult run(const Transaction& tx) {
        device.answer = tx.answer;
        const MessageBuilder callMessage = session.message(tx.code);
        CommandCall call = formCall(callMessage, tx.answerLength, tx.shortAnswer, tx.rule);
        return tx.rules == ExchangeRules::Form ? session.exchange.SendFormCommand(call)
                                               : session.exchange.SendCommand(call);
    }
};

struct Outcome {
    std::size_t sent;
    std::size_t received;
};

Outcome cleanRun(const Transaction& tx) {
    FaultSweep fixture;
    EXPECT_EQ(fixture.run(tx), kDone) << tx.name;
    return {fixture.device.bytesSent, fixture.device.bytesReceived};
}

// An XOR checksum cannot see a lost 0x00 byte; an answer read to its full length catches it by
// the length, but one that is taken short has no length to check. Those runs are counted, not
// judged.
int undetectableLosses = 0;

void checkRun(const Transaction& tx, Direction direction, std::size_t position, Fault fault) {
    FaultSweep f;
    bool lostZeroByte = false;
    if (direction == Direction::FromRegister) {
        f.device.outgoingFault = [&](std::size_t index, std::uint8_t& byte, std::uint64_t& atUs) {
            if (index != position) return true;
            lostZeroByte = fault == Fault::Drop && byte == 0x00;
            if (fault == Fault::Corrupt) byte ^= 0x55;
            if (fault == Fault::Delay) atUs += 700'000;
            return fault != Fault::Drop;
        };
    } else {
        f.device.incomingFault = [&](std::size_t index, std::uint8_t& byte) {
            if (index != position) return true;
            if (fault == Fault::Corrupt) byte ^= 0x55;
            return fault != Fault::Drop;
        };
    }
    const ExchangeResult result = f.run(tx);
    const std::string where =
        std::string(tx.name) +
        (direction == Direction::FromRegister ? " from register" : " to register") + " byte " +
        std::to_string(position) + " fault " + std::to_string(static_cast<int>(fault));

    using enum ExchangeOutcome;
    const std::set<ExchangeOutcome> documented =
        tx.rules == ExchangeRules::Form ? std::set{Failed, Done, ChecksumWrong}
                                        : std::set{Failed, Done, ChecksumWrong, DeviceError};
    EXPECT_TRUE(documented.count(result.outcome))
        << where << " result " << ::testing::PrintToString(result);
    EXPECT_LE(f.clock.nowUs() / 1000, worstCaseMs(Deadlines{}, tx.rules)) << where;

    const std::set<std::string> linkMessages{"Нет связи!", "Нет ответа!",
                                             "Ошибка контрольной суммы!"};
    if (result.succeeded() && lostZeroByte && tx.shortAnswer == ShortAnswer::Taken) {
        ++undetectableLosses;
    } else if (result.succeeded()) {
        EXPECT_TRUE(f.frontEnd.boxes.empty()) << where;
        // Success only for the answer the register really sent.
        const Bytes got(
            f.session.exchange.received().begin() + 1,
            f.session.exchange.received().begin() + 1 + static_cast<long>(tx.answer.size()));
        EXPECT_EQ(got, tx.answer) << where;
    } else {
        ASSERT_EQ(f.frontEnd.boxes.size(), 1u) << where;
        EXPECT_TRUE(linkMessages.count(f.frontEnd.boxes[0].text))
            << where << ": " << f.frontEnd.boxes[0].text;
        if (result == kChecksumWrong) {
            EXPECT_EQ(f.frontEnd.boxes[0].text, "Ошибка контрольной суммы!") << where;
        }
    }
}

TEST(FaultSweepTest, EveryBytePositionOfRepresentativeTransactions) {
    int runs = 0;
    for (const Transaction& tx : kTransactions) {
        const Outcome clean = cleanRun(tx);
        ASSERT_GE(clean.sent, 10u);
        for (std::size_t position = 0; position < clean.sent; ++position) {
            for (Fault fault : {Fault::Drop, Fault::Corrupt, Fault::Delay}) {
                checkRun(tx, Direction::FromRegister, position, fault);
                ++runs;
            }
        }
        for (std::size_t position = 0; position < clean.received; ++position) {
            for (Fault fault : {Fault::Drop, Fault::Corrupt}) {
                checkRun(tx, Direction::ToRegister, position, fault);
                ++runs;
            }
        }
    }
    EXPECT_GT(runs, 150);
    // Only the zero bytes of the state answer's data: 0x00 at answer bytes 8 and 10.
    EXPECT_EQ(undetectableLosses, 2);
}

}  // namespace
}  // namespace ptk::testing
