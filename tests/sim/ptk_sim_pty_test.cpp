// ptk-sim as a program: started in a scratch directory, reached through ./COM9 by the link code
// with the POSIX serial backend and the real clock.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <chrono>
#include <filesystem>

#include "support/pty_sim_session.h"

namespace ptk::testing {
namespace {

namespace fs = std::filesystem;

CommandCall formCall(const MessageBuilder& message, std::size_t answerLength,
                     ShortAnswer shortAnswer, ErrorCodeRule rule) {
    CommandCall call = commandCall(message, answerLength, shortAnswer);
    call.errorCode = rule;
    return call;
}

TEST(PtkSimPtyTest, ServesTheLinkThroughCom9) {
    PtySimSession pty({"--mode", "0x04", "--serial", "00123456", "--nak", "1", "--cover-open"});
    ASSERT_TRUE(pty.ready) << pty.log();
    RecordingFrontEnd& frontEnd = pty.frontEnd;
    Session& session = pty.session;
    const auto answerByte = [&](int k) { return session.exchange.answer()[k + 1]; };

    // The probe, with the frame refused once on request and sent again.
    MessageBuilder probe = session.message(0xE0);
    probe.byte(0).byte(0);
    CommandCall probeCall = formCall(probe, 7, ShortAnswer::Taken, ErrorCodeRule::AnswerByte1);
    probeCall.unknownCommand = UnknownCommandAnswer::IsAResult;
    EXPECT_EQ(session.exchange.SendFormCommand(probeCall), kDone);
    EXPECT_EQ(answerByte(0), 0xE0);
    EXPECT_EQ(answerByte(2), 0x01);

    const MessageBuilder status = session.message(0x45);
    EXPECT_EQ(session.exchange.SendFormCommand(
                  formCall(status, 55, ShortAnswer::Taken, ErrorCodeRule::None)),
              kDone);
    EXPECT_EQ(answerByte(1), 0x04);  // mode byte
    EXPECT_EQ(answerByte(2), 0x04);  // printer flags: cover open

    const MessageBuilder state = session.message(0x3F);
    EXPECT_EQ(session.exchange.SendFormCommand(
                  formCall(state, 55, ShortAnswer::Taken, ErrorCodeRule::StateAnswer)),
              kDone);
    EXPECT_EQ(answerByte(0), 0x44);
    EXPECT_EQ(answerByte(10), 0x00);
    EXPECT_EQ(answerByte(11), 0x12);
    EXPECT_EQ(answerByte(12), 0x34);
    EXPECT_EQ(answerByte(13), 0x56);

    const MessageBuilder leave = session.message(0x52);
    EXPECT_EQ(session.exchange.SendFormCommand(
                  formCall(leave, 6, ShortAnswer::Refused, ErrorCodeRule::AnswerByte1)),
              kDone);
    EXPECT_EQ(session.exchange.SendFormCommand(
                  formCall(status, 55, ShortAnswer::Taken, ErrorCodeRule::None)),
              kDone);
    EXPECT_EQ(answerByte(1), 0x00);
    EXPECT_TRUE(frontEnd.boxes.empty()) << frontEnd.boxTexts().front();

    const int exitStatus = pty.stopSim();
    EXPECT_TRUE(WIFEXITED(exitStatus) && WEXITSTATUS(exitStatus) == 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status("COM9"))) << "the link outlived ptk-sim";
    const std::string log = pty.log();
    EXPECT_NE(log.find("| 0xE0 probe: 73 01 E0 00 00 -> E0 00 01 01"), std::string::npos) << log;
    EXPECT_NE(log.find("| 0x52 leave mode: 73 01 52 -> 52 00 00"), std::string::npos) << log;
    EXPECT_NE(log.find("stopped after 5 command(s)"), std::string::npos) << log;
}

TEST(PtkSimPtyTest, RefusesABadOptionWithAMessage) {
    PtySimSession pty({"--nak", "many"});
    EXPECT_FALSE(pty.ready);
    const int status = pty.sim.waitForExit(std::chrono::seconds(5));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2);
    EXPECT_EQ(pty.log(), "ptk-sim: bad value for --nak: 'many' (expected N)\n");
    EXPECT_FALSE(fs::exists(fs::symlink_status("COM9")));
}

}  // namespace
}  // namespace ptk::testing
