// The header lines and the mode-4 password through the packet driver, the POSIX serial backend
// and the real clock, against ptk-sim on a pseudo-terminal linked as ./COM9.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include "fiscal_memory/header_lines.h"
#include "link/packet_command.h"
#include "support/pty_sim_session.h"

namespace ptk::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace packet_result;

const Bytes kPasswordField{0x03, 0x00, 0x1E, 0x01};

Bytes readProgrammingPassword(Session& session) {
    std::array<std::uint8_t, 92> answer{};
    std::size_t length = answer.size();
    const PacketResult result = PacketCommand(session, 0x46, kPasswordField.data(),
                                              kPasswordField.size(), answer.data(), &length);
    if (result != Done || length < 6) return {};
    return Bytes(answer.begin() + 2, answer.begin() + 6);
}

TEST(HeaderLinesPtyTest, ReadAndWriteThroughTheSerialBackend) {
    PtySimSession pty({"--mode", "0x04", "--header", "1:ЧАЙНАЯ", "--header-bytes", "2:0A020064",
                       "--header", "3:", "--access-password", "4:12345678"});
    ASSERT_TRUE(pty.ready) << pty.log();
    RecordingFrontEnd& frontEnd = pty.frontEnd;
    Session& session = pty.session;

    HeaderLineTexts texts;
    ASSERT_EQ(ReadHeaderLines(session, texts), Done);
    EXPECT_EQ(texts, (HeaderLineTexts{"ЧАЙНАЯ", "{IMG 2:100}", "", ""}));
    EXPECT_EQ(readProgrammingPassword(session), (Bytes{0x12, 0x34, 0x56, 0x78}));

    const HeaderLineTexts written{"НОВАЯ \\{1}", "~Aб", "", "{IMG 1:0}"};
    ASSERT_EQ(WriteHeaderLines(session, written), Done);
    ASSERT_EQ(ReadHeaderLines(session, texts), Done);
    EXPECT_EQ(texts, written);

    Bytes password = kPasswordField;
    password.insert(password.end(), {0x87, 0x65, 0x43, 0x21});
    std::array<std::uint8_t, 90> answer{};
    std::size_t length = answer.size();
    ASSERT_EQ(
        PacketCommand(session, 0x50, password.data(), password.size(), answer.data(), &length),
        Done);
    EXPECT_EQ(readProgrammingPassword(session), (Bytes{0x87, 0x65, 0x43, 0x21}));

    // The command exchange after the packet driver reads with its own time-outs again.
    const MessageBuilder leave = session.message(0x52);
    CommandCall call = commandCall(leave, 6, ShortAnswer::Refused);
    EXPECT_EQ(session.exchange.SendFormCommand(call), kDone);
    EXPECT_TRUE(frontEnd.boxes.empty()) << frontEnd.boxTexts().front();

    const int exitStatus = pty.stopSim();
    EXPECT_TRUE(WIFEXITED(exitStatus) && WEXITSTATUS(exitStatus) == 0);
    const std::string log = pty.log();
    EXPECT_NE(log.find("| 0x50 write table field: 73 01 50 06 00 04 01 0A 01 00 00 -> 50 00 04"),
              std::string::npos)
        << log;
}

}  // namespace
}  // namespace ptk::testing
