// The command transaction: retries, time-outs, answer checks and result classification.
#include "link_fixture.h"

namespace ptk::testing {
namespace {

using control::ACK;
using control::NAK;

const std::string kNoLink = "Нет связи!";
const std::string kNoAnswer = "Нет ответа!";
const std::string kChecksum = "Ошибка контрольной суммы!";

class SendCommandTest : public LinkFixture {
protected:
    ExchangeResult form(std::uint8_t code, std::size_t answerLength = 6,
                        ShortAnswer shortAnswer = ShortAnswer::Refused,
                        ErrorCodeRule rule = ErrorCodeRule::AnswerByte1) {
        return session.exchange.SendFormCommand(
            formCall(session.message(code), answerLength, shortAnswer, rule));
    }
    ExchangeResult general(std::uint8_t code, std::size_t answerLength = 6) {
        return session.exchange.SendCommand(generalCall(session.message(code), answerLength));
    }
    int framesSent() const { return static_cast<int>(device.framesReceived.size()); }
};

TEST_F(SendCommandTest, HealthyExchangeFollowsTheHandshakeInOrder) {
    EXPECT_EQ(form(0x52), kDone);
    const Bytes frame{0x02, 0x00, 0x00, 0x52, 0x03, 0x51};
    EXPECT_EQ(writes(), (std::vector<Bytes>{{0x05}, frame, {0x04}, {ACK}, {ACK}}));
    EXPECT_EQ(frontEnd.resultText, "00 - Ошибок нет. Команда выполнена.");
    EXPECT_TRUE(frontEnd.boxes.empty());
    // The answer lies after the STX in both buffers.
    EXPECT_EQ(session.exchange.received()[1], 0x52);
    EXPECT_EQ(session.exchange.answer()[1], 0x52);
}

TEST_F(SendCommandTest, RefusedFrameIsSentAHundredTimesThenNoLink) {
    device.frameReply = NAK;
    EXPECT_EQ(general(0x52), kFailed);
    EXPECT_EQ(framesSent(), 100);
    EXPECT_EQ(device.eotCount, 1);  // the line is still handed over
    EXPECT_EQ(frontEnd.boxTexts(), std::vector<std::string>{kNoLink});
}

TEST_F(SendCommandTest, FormVariantSendsARefusedFrameFiveTimes) {
    device.frameReply = NAK;
    EXPECT_EQ(form(0x52), kFailed);
    EXPECT_EQ(framesSent(), 5);
    EXPECT_EQ(device.eotCount, 1);
    EXPECT_EQ(frontEnd.boxTexts(), std::vector<std::string>{kNoLink});
    EXPECT_EQ(frontEnd.boxes.front().caption, "Ошибка");
    EXPECT_EQ(frontEnd.boxes.front().icon, MessageIcon::Error);
}

TEST_F(SendCommandTest, SilenceAfterTheFrameEndsTheGeneralExchangeAtTheFifthTry) {
    device.frameReply = std::nullopt;
    EXPECT_EQ(general(0x52), kFailed);
    EXPECT_EQ(framesSent(), 5);
    EXPECT_EQ(device.eotCount, 0);
    EXPECT_EQ(frontEnd.boxTexts(), std::vector<std::string>{kNoLink});
}

TEST_F(SendCommandTest, SilentRegisterCostsFiveLineRequestsAndTheAnswerWait) {
    device.enqReply = std::nullopt;
    device.answerRequest = std::nullopt;
    EXPECT_EQ(form(0x52), kFailed);
    EXPECT_EQ(device.enqCount, 5);
    EXPECT_EQ(framesSent(), 0);
    EXPECT_EQ(device.eotCount, 1);
    EXPECT_GE(elapsedMs(), 5 * 500 + 10000u);
    // The general rules give up after the line requests.
    EXPECT_EQ(frontEnd.boxTexts(), std::vector<std::string>{kNoAnswer});
    frontEnd.clear();
    EXPECT_EQ(general(0x52), kFailed);
    EXPECT_EQ(device.eotCount, 1);
    EXPECT_EQ(frontEnd.boxTexts(), std::vector<std::string>{kNoLink});
}

TEST_F(SendCommandTest, WrongByteToTheLineRequestGoesOnToTheAnswer) {
    device.enqReply = NAK;
    EXPECT_EQ(general(0x52), kFailed);
    EXPECT_EQ(framesSent(), 0);
    EXPECT_EQ(device.eotCount, 1);
    EXPECT_EQ(frontEnd.boxTexts(), std::vector<std::string>{kNoLink});
}

TEST_F(SendCommandTest, LineRequestRefusedFourTimesThenGranted) {
    device.enqReplies = {NAK, std::nullopt, NAK, std::nullopt};
    EXPECT_EQ(form(0x52), kDone);
    EXPECT_EQ(device.enqCount, 5);
    EXPECT_TRUE(frontEnd.boxes.empty());
}

TEST_F(SendCommandTest, BadAnswerChecksumIsRefusedFiveTimesAndTheSixthGoodCopyTaken) {
    Bytes bad = device.goodAnswerFrame();
    bad.back() ^= 0x5A;
    device.rawAnswers.assign(5, bad);
    EXPECT_EQ(form(0x52), kDone);
    EXPECT_EQ(device.answerNaks, 5);
    EXPECT_EQ(device.answerAcks, 1);
    EXPECT_TRUE(frontEnd.boxes.empty());
}

TEST_F(SendCommandTest, SixthBadCopyGivesChecksumFailureAfterItsNak) {
    Bytes bad = device.goodAnswerFrame();
    bad.back() ^= 0x5A;
    device.rawAnswers.assign(6, bad);
    EXPECT_EQ(general(0x52), kChecksumWrong);
    EXPECT_EQ(device.answerNaks, 6);
    EXPECT_EQ(line.writes().back().bytes, Bytes{NAK});
    EXPECT_EQ(frontEnd.boxTexts(), std::vector<std::string>{kChecksum});
}

TEST_F(SendCommandTest, AnswersWhoseChecksumLooksLikeAControlByteAreTaken) {
    // 0x52 ^ 0x00 ^ x ^ ETX: x = 0x41 gives a checksum of 0x10, x = 0x52 one of 0x03.
    for (const std::uint8_t third : {std::uint8_t{0x41}, std::uint8_t{0x52}}) {
        device.answer = {0x52, 0x00, third};
        frontEnd.clear();
        EXPECT_EQ(form(0x52), kDone) << int{third};
        EXPECT_EQ(general(0x52), kDone) << int{third};
        EXPECT_TRUE(frontEnd.boxes.empty()) << frontEnd.boxTexts().front();
        EXPECT_EQ(session.exchange.received()[3], third);
    }
}

TEST_F(SendCommandTest, StateAnswerOpeningWithDCountsAsSuccessWhateverByteOneHolds) {
    device.answer = {0x44, 0x66, 0x20};
    EXPECT_EQ(general(0x3F), kDone);
    EXPECT_EQ(form(0x3F, 6, ShortAnswer::Refused, ErrorCodeRule::StateAnswer), kDone);
    EXPECT_TRUE(frontEnd.boxes.empty());
    // Any other type byte leaves the code in byte 1.
    device.answer = {0x3F, 0x66, 0x20};
    EXPECT_EQ(general(0x3F), refused(0x66));
    EXPECT_EQ(form(0x3F, 6, ShortAnswer::Refused, ErrorCodeRule::StateAnswer), refused(0x66));
    EXPECT_EQ(frontEnd.boxTexts(),
              (std::vector<std::string>{"66 - Команда не реализуется в данном режиме.",
                                        "66 - Команда не реализуется в данном режиме."}));
}

TEST_F(SendCommandTest, EveryZeroDeadlineFailsItsStepAtOnce) {
    struct Case {
        std::uint32_t Deadlines::*field;
        std::string box;
        int framesSent;
    };
    const Case cases[] = {
        {&Deadlines::tControl, kNoLink, 0},  {&Deadlines::tEnqAck, kNoLink, 0},
        {&Deadlines::tFrame, kNoLink, 0},    {&Deadlines::tFrameAck, kNoLink, 5},
        {&Deadlines::tEot, kNoAnswer, 1},    {&Deadlines::tAnswerStart, kNoAnswer, 1},
        {&Deadlines::tAnswer, kNoAnswer, 1}, {&Deadlines::tAnswerAck, kNoAnswer, 1},
    };
    for (const Case& c : cases) {
        clock.advanceUs(1'000'000);  // let the previous case's stray bytes arrive and be purged
        frontEnd.clear();
        device.framesReceived.clear();
        const MessageBuilder callMessage = session.message(0x52);
        CommandCall call =
            formCall(callMessage, 6, ShortAnswer::Refused, ErrorCodeRule::AnswerByte1);
        call.deadlines.*c.field = 0;
        const std::uint64_t before = clock.nowUs();
        EXPECT_EQ(session.exchange.SendFormCommand(call), kFailed) << c.box;
        EXPECT_EQ(frontEnd.boxTexts(), std::vector<std::string>{c.box});
        EXPECT_EQ(framesSent(), c.framesSent) << c.box;
        // Nothing waits on a zero deadline; the remaining steps keep their own bounds.
        EXPECT_LT(clock.nowUs() - before, 40'000'000u);
    }
    // Directly: no read or write is even tried.
    const auto readsBefore = line.readCalls() + line.waitCalls();
    const auto writesBefore = line.writes().size();
    const auto timeBefore = clock.nowUs();
    std::uint8_t byte = 0;
    EXPECT_FALSE(session.channel.ReadWithDeadline(&byte, 1, 0));
    EXPECT_FALSE(session.channel.WriteWithDeadline(&byte, 1, 0));
    EXPECT_EQ(line.readCalls() + line.waitCalls(), readsBefore);
    EXPECT_EQ(line.writes().size(), writesBefore);
    EXPECT_EQ(clock.nowUs(), timeBefore);
}

TEST_F(SendCommandTest, LongAnswerStartWaitIsHonouredToTheEnd) {
    const MessageBuilder callMessage = session.message(0x62);
    CommandCall call = formCall(callMessage, 6, ShortAnswer::Refused, ErrorCodeRule::AnswerByte1);
    call.deadlines.tAnswerStart = 600'000;
    device.commandUs = 599'000'000;
    EXPECT_EQ(session.exchange.SendFormCommand(call), kDone);
    device.commandUs = 601'000'000;
    EXPECT_EQ(session.exchange.SendFormCommand(call), kFailed);
    EXPECT_EQ(frontEnd.boxTexts(), std::vector<std::string>{kNoAnswer});
}

TEST_F(SendCommandTest, GeneralRulesClassifyTheSpecialCodes) {
    device.answer = {0x84, 0x18, 0x00};
    EXPECT_EQ(general(0x84), ExchangeResult{ExchangeOutcome::NoMoreData});
    device.answer = {0xE0, 0x7A, 0x00};
    EXPECT_EQ(general(0xE0), (ExchangeResult{ExchangeOutcome::UnknownCommand, 0x7A}));
    device.answer = {0xE0, 0x46, 0x00};
    EXPECT_EQ(general(0xE0), (ExchangeResult{ExchangeOutcome::UnknownCommand, 0x46}));
    EXPECT_TRUE(frontEnd.boxes.empty());
    // No more data for the data stream commands: a failure, and nothing shown.
    for (const std::uint8_t code : {std::uint8_t{0x7B}, std::uint8_t{0x7C}, std::uint8_t{0x7D}}) {
        device.answer = {code, 0x18, 0x00};
        frontEnd.resultText.clear();
        EXPECT_EQ(general(code), kFailed);
        EXPECT_TRUE(frontEnd.boxes.empty());
        EXPECT_EQ(frontEnd.resultText, "");
    }
    // The same code for another command is an ordinary device error.
    device.answer = {0x52, 0x18, 0x00};
    EXPECT_EQ(general(0x52), refused(0x18));
    EXPECT_EQ(frontEnd.boxTexts(),
              std::vector<std::string>{"18 - Нет больше данных для передачи ПО ПТК."});
}

TEST_F(SendCommandTest, DataStreamCommandsTakeAShortAnswer) {
    device.answer = {0x7C, 0x00, 0x01};
    EXPECT_EQ(general(0x7C, 40), kDone);
    EXPECT_TRUE(frontEnd.boxes.empty());
    // Any other command needs the whole answer.
    device.answer = {0x52, 0x00, 0x01};
    EXPECT_EQ(general(0x52, 40), kFailed);
    EXPECT_EQ(frontEnd.boxTexts(), std::vector<std::string>{kNoAnswer});
}

TEST_F(SendCommandTest, GeneralRulesWantTheAnswerToOpenWithStx) {
    device.rawAnswers = {Bytes{0x41, 0x52, 0x00, 0x00, 0x03, 0x51}};
    EXPECT_EQ(general(0x52), kFailed);
    EXPECT_EQ(frontEnd.boxTexts(), std::vector<std::string>{kNoAnswer});
}

TEST_F(SendCommandTest, FormVariantReportsDeviceErrorsWithTheirCodeAndMessage) {
    device.answer = {0x56, 0x8C, 0x00};
    EXPECT_EQ(form(0x56), refused(0x8C));
    EXPECT_EQ(frontEnd.boxTexts(), std::vector<std::string>{"8C - Неверный пароль."});
    EXPECT_EQ(frontEnd.resultText, "8C - Неверный пароль.");
    // Probe answered by a register that does not know it: a result of its own only where the
    // caller asks for it.
    device.answer = {0xE0, 0x7A, 0x00};
    frontEnd.clear();
    const MessageBuilder probeMessage = session.message(0xE0).byte(0).byte(0);
    CommandCall probe = formCall(probeMessage, 7, ShortAnswer::Taken, ErrorCodeRule::AnswerByte1);
    probe.unknownCommand = UnknownCommandAnswer::IsAResult;
    EXPECT_EQ(session.exchange.SendFormCommand(probe),
              (ExchangeResult{ExchangeOutcome::UnknownCommand, 0x7A}));
    EXPECT_TRUE(frontEnd.boxes.empty());
}

TEST_F(SendCommandTest, WithoutErrorCheckTheClosingByteDecides) {
    const MessageBuilder callMessage = session.message(0x45);
    CommandCall call = formCall(callMessage, 55, ShortAnswer::Taken, ErrorCodeRule::None);
    call.resultField = ResultFieldText::NoErrorsOnAnswer;
    device.answer = {0x45, 0x03, 0x0F};
    EXPECT_EQ(session.exchange.SendFormCommand(call), kDone);
    EXPECT_EQ(frontEnd.resultText, "00 - Ошибок нет. Команда выполнена.");
    device.closingByte = std::nullopt;
    EXPECT_EQ(session.exchange.SendFormCommand(call), kFailed);
    EXPECT_TRUE(frontEnd.boxes.empty());
    // The answer is kept even so.
    EXPECT_EQ(session.exchange.answer()[3], 0x0F);
}

TEST_F(SendCommandTest, ShortAnswerEndsWithItsChecksumInsteadOfWaitingOutTheDeadline) {
    device.answer.assign(30, 0x44);
    const MessageBuilder callMessage = session.message(0x3F);
    CommandCall call = formCall(callMessage, 55, ShortAnswer::Taken, ErrorCodeRule::StateAnswer);
    EXPECT_EQ(session.exchange.SendFormCommand(call), kDone);
    // ENQ, frame, EOT and answer each take a byte or a frame at 115200 baud, plus the pause:
    // well under the 500 ms an answer read would wait for bytes that never come.
    EXPECT_LT(elapsedMs(), 200 + 100u);
    EXPECT_EQ(session.exchange.answer()[30], 0x44);
    EXPECT_EQ(session.exchange.answer()[31], control::ETX);
}

TEST_F(SendCommandTest, PauseInsideTheAnswerRestartsTheReadAtTheBufferStart) {
    device.pauseAfterByte = 2;
    // Longer than the pause before the read, so the gap is still there when the read starts.
    device.pauseUs = 300'000;
    EXPECT_EQ(form(0x52), kFailed);
    EXPECT_EQ(frontEnd.boxTexts(), std::vector<std::string>{kNoAnswer});
}

TEST_F(SendCommandTest, QuittingDuringAWaitEndsTheTransactionAsNoAnswer) {
    device.commandUs = 5'000'000;
    frontEnd.quitAfterPumps = 20;
    EXPECT_EQ(form(0x52), kFailed);
    EXPECT_LT(elapsedMs(), 5000u);
}

TEST_F(SendCommandTest, NoPortMeansNoLinkWithoutSpinning) {
    session.channel.ClosePort(kPort);
    EXPECT_EQ(form(0x52), kFailed);
    EXPECT_EQ(frontEnd.boxTexts(), std::vector<std::string>{kNoLink});
    EXPECT_TRUE(line.writes().empty());
}

}  // namespace
}  // namespace ptk::testing
