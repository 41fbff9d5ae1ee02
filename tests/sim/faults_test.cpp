// Every fault the register shows on request, met by the link code.
#include <gtest/gtest.h>

#include "support/sim_fixture.h"

namespace ptk::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;
using sim::SilentStep;

const std::string kNoLink = "Нет связи!";
const std::string kNoAnswer = "Нет ответа!";
const std::string kChecksum = "Ошибка контрольной суммы!";

class FaultsTest : public SimFixture {
protected:
    ExchangeResult leaveMode() { return send(0x52); }
    ExchangeResult shortStatus() {
        return send(0x45, {}, 55, ShortAnswer::Taken, ErrorCodeRule::None);
    }
    int countWrites(std::uint8_t firstByte) const {
        int count = 0;
        for (const auto& write : line.writes()) count += write.bytes.at(0) == firstByte;
        return count;
    }
    // After a fault the register must serve the next command as if nothing had happened. The
    // inspector takes a moment to read the box first; an immediate retry may still meet the tail
    // of the failed exchange on the line, as it would with a real register.
    void expectHealthy() {
        clock.advanceUs(1'000'000);
        frontEnd.clear();
        EXPECT_EQ(shortStatus(), kDone);
        EXPECT_EQ(answer(1), Bytes{0x45});
        EXPECT_TRUE(frontEnd.boxes.empty());
    }
};

TEST_F(FaultsTest, RefusedFramesAreSentAgainUpToTheVariantsLimit) {
    faults().nakFrames = 4;
    EXPECT_EQ(leaveMode(), kDone);
    EXPECT_EQ(countWrites(0x02), 5);
    EXPECT_EQ(engine.commandsCarriedOut(), 1u);

    // Five refusals exhaust the form variant: it hands the line over without a command and the
    // register has nothing to answer.
    line.clearWrites();
    faults().nakFrames = 5;
    EXPECT_TRUE(failedOrRefused(leaveMode()));
    EXPECT_EQ(countWrites(0x02), 5);
    EXPECT_EQ(frontEnd.boxTexts(), std::vector<std::string>{kNoAnswer});
    EXPECT_EQ(engine.commandsCarriedOut(), 1u);
    expectHealthy();
}

TEST_F(FaultsTest, GeneralRulesSendARefusedFrameAHundredTimes) {
    faults().nakFrames = sim::kAlways;
    MessageBuilder message = session.message(0x52);
    CommandCall call = formCall(message, 6, ShortAnswer::Refused, ErrorCodeRule::AnswerByte1);
    EXPECT_EQ(session.exchange.SendCommand(call), kFailed);
    EXPECT_EQ(countWrites(0x02), 100);
    EXPECT_EQ(frontEnd.boxTexts(), std::vector<std::string>{kNoAnswer});
    faults().nakFrames = 0;
    expectHealthy();
}

TEST_F(FaultsTest, WrongAnswerChecksumsAreRefusedFiveTimesThenAccepted) {
    faults().badChecksumAnswers = 5;
    EXPECT_EQ(leaveMode(), kDone);
    EXPECT_EQ(countWrites(0x15), 5);
    EXPECT_TRUE(frontEnd.boxes.empty());

    faults().badChecksumAnswers = 6;
    EXPECT_EQ(leaveMode(), kChecksumWrong);
    EXPECT_EQ(frontEnd.boxTexts(), std::vector<std::string>{kChecksum});
    expectHealthy();
}

TEST_F(FaultsTest, SilenceAtEachStep) {
    struct Case {
        SilentStep step;
        int times;
        ExchangeResult result;  // of the form-variant leave-mode command
        std::vector<std::string> boxes;
        std::size_t carriedOut;  // commands the register carried out
    };
    const Case cases[] = {
        // A lost ACK to the line request: the computer asks again.
        {SilentStep::LineAck, 1, kDone, {}, 1},
        // Never granted: five requests, then the whole answer wait for nothing.
        {SilentStep::LineAck, 5, kFailed, {kNoAnswer}, 0},
        // A lost ACK to the frame: the frame goes again, and is taken once.
        {SilentStep::FrameReply, 1, kDone, {}, 1},
        {SilentStep::FrameReply, 5, kFailed, {kNoAnswer}, 0},
        // The register works but never asks to answer.
        {SilentStep::AnswerRequest, 1, kFailed, {kNoAnswer}, 1},
        // The answer frame is lost and the answer is not taken short.
        {SilentStep::AnswerFrame, 1, kFailed, {kNoAnswer}, 1},
        // The closing EOT is lost; a checked answer does not need it.
        {SilentStep::Closing, 1, kDone, {}, 1},
    };
    for (const Case& c : cases) {
        SimRig rig;
        rig.faults().silentAt(c.step) = c.times;
        EXPECT_EQ(rig.send(0x52), c.result) << silentStepName(c.step) << " x" << c.times;
        EXPECT_EQ(rig.frontEnd.boxTexts(), c.boxes) << silentStepName(c.step);
        EXPECT_EQ(rig.engine.commandsCarriedOut(), c.carriedOut) << silentStepName(c.step);
        rig.clock.advanceUs(1'000'000);
        rig.frontEnd.clear();
        EXPECT_EQ(rig.send(0x45, {}, 55, ShortAnswer::Taken, ErrorCodeRule::None), kDone)
            << silentStepName(c.step);
    }
}

TEST_F(FaultsTest, LostAnswerFrameIsSentAgainWhenTheComputerAsks) {
    // A status request takes a short answer: it refuses the empty one and gets it again.
    faults().silentAt(SilentStep::AnswerFrame) = 1;
    EXPECT_EQ(shortStatus(), kDone);
    EXPECT_EQ(countWrites(0x15), 1);
    EXPECT_EQ(answer(1), Bytes{0x45});
}

TEST_F(FaultsTest, LostClosingByteFailsAnUncheckedRequestSilently) {
    faults().silentAt(SilentStep::Closing) = 1;
    EXPECT_TRUE(failedOrRefused(shortStatus()));
    EXPECT_TRUE(frontEnd.boxes.empty());
    expectHealthy();
}

TEST_F(FaultsTest, SlowAnswersAreWaitedForUpToTheAnswerStartDeadline) {
    faults().answerDelayUs = 9'500'000;
    faults().delayedAnswers = 1;
    const std::uint64_t start = clock.nowUs();
    EXPECT_EQ(leaveMode(), kDone);
    EXPECT_GE(clock.nowUs() - start, 9'500'000u);

    faults().answerDelayUs = 10'500'000;
    faults().delayedAnswers = 1;
    EXPECT_TRUE(failedOrRefused(leaveMode()));
    EXPECT_EQ(frontEnd.boxTexts(), std::vector<std::string>{kNoAnswer});
    // The late answer request meets the next transaction, which starts over.
    expectHealthy();
}

TEST_F(FaultsTest, PauseInsideTheAnswerFrame) {
    // The computer reads the answer 200 ms after it granted the line; a pause that ends before
    // then is hidden in the driver's queue.
    faults().pauseAfterByte = 3;
    faults().pauseUs = 150'000;
    faults().framePauses = 1;
    EXPECT_EQ(leaveMode(), kDone);

    // Longer: the read runs into the gap. A complete answer is required, so the torn frame is no
    // answer.
    faults().pauseUs = 300'000;
    faults().framePauses = 1;
    EXPECT_TRUE(failedOrRefused(leaveMode()));
    EXPECT_EQ(frontEnd.boxTexts(), std::vector<std::string>{kNoAnswer});

    // A request that takes short answers refuses the torn frame and gets it again whole.
    line.clearWrites();
    faults().framePauses = 1;
    EXPECT_EQ(shortStatus(), kDone);
    EXPECT_EQ(countWrites(0x15), 1);
    expectHealthy();
}

TEST_F(FaultsTest, ChosenCommandIsAnsweredWithAChosenError) {
    faults().errors.push_back({0x52, 0x9C, 1});
    state().mode.set(sim::ModeZReports);
    EXPECT_TRUE(failedOrRefused(leaveMode()));
    EXPECT_EQ(frontEnd.boxTexts(), std::vector<std::string>{"9C - Необходимо провести гашение."});
    EXPECT_EQ(state().mode.mode, sim::ModeZReports);  // not carried out
    EXPECT_EQ(leaveMode(), kDone);                    // only once
    EXPECT_TRUE(faults().errors.empty());

    faults().errors.push_back({0x52, 0x1E, sim::kAlways});
    EXPECT_TRUE(failedOrRefused(leaveMode()));
    EXPECT_TRUE(failedOrRefused(leaveMode()));
    EXPECT_EQ(frontEnd.resultText, "1E - Вход в режим заблокирован.");
}

TEST_F(FaultsTest, PrinterFaultsShowInTheStatusAndStopPrinting) {
    state().printer.coverOpen = true;
    EXPECT_EQ(shortStatus(), kDone);
    EXPECT_EQ(answer(3), (Bytes{0x45, 0x00, 0x04}));
    state().mode.set(sim::ModeRegistration);
    state().receipt.kind = sim::ReceiptKind::Sale;
    EXPECT_TRUE(failedOrRefused(send(0x59)));
    EXPECT_EQ(frontEnd.resultText, "69 - Механическая ошибка печатающего устройства.");
    state().printer = {};
    state().printer.noRoll = true;
    EXPECT_TRUE(failedOrRefused(send(0x59)));
    EXPECT_EQ(frontEnd.resultText, "67 - Нет бумаги.");
}

}  // namespace
}  // namespace ptk::testing
