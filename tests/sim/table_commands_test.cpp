// The simulated register's table fields (0x46 read, 0x50 write) through the packet driver, its
// rule for messages without the link password, and the header lines on its paper tape.
#include <optional>

#include "link/packet_command.h"
#include "platform/codepage.h"
#include "support/recording_sim_rig.h"

namespace ptk::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace packet_result;

const Bytes kPasswordField{0x03, 0x00, 0x1E, 0x01};

class TableCommandsTest : public ::testing::Test, public RecordingSimRig {
protected:
    PacketResult command(std::uint8_t code, const Bytes& data) {
        answerLength = answer.size();
        return PacketCommand(session, code, data.data(), data.size(), answer.data(), &answerLength);
    }
    Bytes answerBytes() const {
        return Bytes(answer.begin(), answer.begin() + static_cast<std::ptrdiff_t>(answerLength));
    }
    std::array<std::uint8_t, 92> answer{};
    std::size_t answerLength = 0;
};

TEST_F(TableCommandsTest, FieldsByModeAndAddress) {
    struct Case {
        const char* name;
        std::uint8_t mode;
        std::uint8_t code;
        Bytes data;
        PacketResult expected;
    };
    const auto refused = [](std::uint8_t error) { return PacketResult::device(error); };
    const Case cases[] = {
        {"password read in the selection mode", 0, 0x46, kPasswordField, Done},
        {"password read in programming", 4, 0x46, kPasswordField, Done},
        {"password read in registration", 1, 0x46, kPasswordField, NotInThisMode},
        {"header read in the selection mode", 0, 0x46, {0x06, 0x00, 0x01, 0x01}, NotInThisMode},
        {"header write outside programming",
         0,
         0x50,
         {0x06, 0x00, 0x01, 0x01, 0x41},
         NotInThisMode},
        {"row 5 of table 6", 4, 0x46, {0x06, 0x00, 0x05, 0x01}, refused(0x92)},
        {"row 0x0101 of table 6", 4, 0x46, {0x06, 0x01, 0x01, 0x01}, refused(0x92)},
        {"field 2", 4, 0x46, {0x06, 0x00, 0x01, 0x02}, refused(0x93)},
        {"table 7", 4, 0x46, {0x07, 0x00, 0x01, 0x01}, refused(0x91)},
        {"row 31 of table 3", 4, 0x46, {0x03, 0x00, 0x1F, 0x01}, refused(0x92)},
        {"address cut short", 4, 0x46, {0x06, 0x00, 0x01}, refused(0x14)},
        {"write without a value", 4, 0x50, {0x06, 0x00, 0x01, 0x01}, refused(0x14)},
        {"password of three bytes",
         4,
         0x50,
         {0x03, 0x00, 0x1E, 0x01, 0x12, 0x34, 0x56},
         refused(0x14)},
        {"password that is no BCD",
         4,
         0x50,
         {0x03, 0x00, 0x1E, 0x01, 0x12, 0x34, 0x56, 0x7A},
         refused(0x13)},
    };
    for (const Case& c : cases) {
        state().mode.set(c.mode);
        EXPECT_EQ(command(c.code, c.data), c.expected) << c.name;
    }
}

TEST_F(TableCommandsTest, ProgrammingPasswordIsReadAndWrittenAsPackedDigits) {
    state().passwords.access[4] = 40302010;
    ASSERT_EQ(command(0x46, kPasswordField), Done);
    EXPECT_EQ(answerBytes(), (Bytes{0x46, 0x00, 0x40, 0x30, 0x20, 0x10}));
    state().mode.set(sim::ModeProgramming);
    Bytes write = kPasswordField;
    write.insert(write.end(), {0x12, 0x34, 0x56, 0x78});
    ASSERT_EQ(command(0x50, write), Done);
    EXPECT_EQ(state().passwords.access[4], 12345678u);
    ASSERT_EQ(command(0x46, kPasswordField), Done);
    EXPECT_EQ(answerBytes(), (Bytes{0x46, 0x00, 0x12, 0x34, 0x56, 0x78}));
}

TEST_F(TableCommandsTest, MessagesWithoutThePasswordByTheRegistersRule) {
    struct Case {
        const char* name;
        std::optional<std::string_view> password;
        std::uint8_t code;
        PacketResult expected;
        std::optional<std::uint8_t> carriedOut;  // the code the register carried out
    };
    const Case cases[] = {
        {"with the password", "7301", 0x46, Done, 0x46},
        {"without: the first byte is a command it knows", std::nullopt, 0x46, Done, 0x46},
        {"without: an unknown first byte is a wrong password", std::nullopt, 0x47, WrongPassword,
         std::nullopt},
        {"another password", "1234", 0x46, WrongPassword, std::nullopt},
    };
    for (const Case& c : cases) {
        commands.clear();
        answerLength = answer.size();
        const PacketResult driver =
            session.packets.PacketDriver(c.code, kPasswordField.data(), kPasswordField.size(),
                                         c.password, answer.data(), &answerLength);
        ASSERT_EQ(driver, Done) << c.name;
        EXPECT_EQ(PacketResultForDeviceCode(answer[1]), c.expected) << c.name;
        ASSERT_EQ(commands.size(), 1u);
        if (c.carriedOut) {
            EXPECT_EQ(commands[0], *c.carriedOut) << c.name;
            EXPECT_EQ(answerBytes(), (Bytes{0x46, 0x00, 0x44, 0x44, 0x44, 0x44})) << c.name;
        }
    }
    // A byte that is neither password nor command: no code at all.
    answerLength = answer.size();
    ASSERT_EQ(
        session.packets.PacketDriver(0x00, nullptr, 0, std::nullopt, answer.data(), &answerLength),
        Done);
    EXPECT_EQ(answer[1], 0x46);
}

TEST_F(TableCommandsTest, HeaderLinesTopEveryPrintedDocument) {
    state().tables.headerLines = {platform::utf8ToCp866("МАГАЗИН"),
                                  "\x09"
                                  "AB",
                                  std::string("\x0A\x03\x01\x02", 4), ""};
    state().mode.set(sim::ModeRegistration);
    ASSERT_EQ(command(0x92, {0x00, 0x01}), Done);  // open a sale receipt
    const auto& tape = state().tape.lines();
    ASSERT_GE(tape.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(tape.begin(), tape.begin() + 3),
              (std::vector<std::string>{"МАГАЗИН", "AB", "[картинка 3, смещение 258]"}));
    ASSERT_EQ(command(0x4A, {0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00}), Done);

    // The Z report starts with them too.
    state().tape.clear();
    state().mode.set(sim::ModeZReports);
    ASSERT_EQ(command(0x5A, {}), Done);
    ASSERT_GE(state().tape.lines().size(), 3u);
    EXPECT_EQ(state().tape.lines()[2], "[картинка 3, смещение 258]");
}

}  // namespace
}  // namespace ptk::testing
