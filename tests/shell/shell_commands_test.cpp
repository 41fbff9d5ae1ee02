// The main window's own commands, cancelling the receipt and the connect sequence, against the
// simulated register over the in-memory line.
#include <gtest/gtest.h>

#include "device/device_fixture.h"
#include "shell/connect_sequence.h"
#include "shell/shell_commands.h"

namespace ptk::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The shell's commands ride on the same recording of the register as the device commands.
using ShellCommandsTest = DeviceTest;

TEST_F(ShellCommandsTest, CancellingWithoutAReceiptShowsTheRegistersMessage) {
    state().mode.set(sim::ModeRegistration);
    EXPECT_EQ(CancelReceipt(session), refused(0x9A));
    EXPECT_EQ(frontEnd.boxTexts(),
              std::vector<std::string>{"9A - Чек закрыт - операция невозможна."});
}

TEST_F(ShellCommandsTest, CancelReceiptCancelsTheOpenReceipt) {
    state().mode.set(sim::ModeRegistration);
    state().receipt.kind = sim::ReceiptKind::Sale;
    state().receipt.sum = 1500;
    EXPECT_EQ(CancelReceipt(session), kDone);
    EXPECT_FALSE(state().receipt.isOpen());
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].message, (Bytes{0x73, 0x01, 0x59}));
}

// The connect sequence, by what the register is found doing.
struct ConnectCase {
    const char* name;
    std::uint8_t modeByte;
    bool knowsProbe;
    bool silent;
    std::vector<std::uint8_t> codesReceived;
    ExchangeResult probe;
    std::optional<ExchangeResult> toSelection;
    std::uint8_t modeAfter;
};

class ConnectSequenceTest : public ShellCommandsTest,
                            public ::testing::WithParamInterface<ConnectCase> {};

TEST_P(ConnectSequenceTest, ProbesShiftedThenAsksTheStatusAndLeavesAModeUnasked) {
    const ConnectCase& c = GetParam();
    state().mode.set(c.modeByte & 0x0F, c.modeByte >> 4);
    state().link.knowsProbe = c.knowsProbe;
    if (c.silent) faults().silentAt(sim::SilentStep::LineAck) = sim::kAlways;
    session.exchange.setCodeSet(CodeSet::AsWritten);

    const ConnectOutcome outcome = ConnectToRegister(session);

    EXPECT_EQ(receivedCodes(), c.codesReceived);
    EXPECT_EQ(outcome.probe, c.probe);
    EXPECT_EQ(outcome.toSelection, c.toSelection);
    EXPECT_EQ(state().mode.byte(), c.modeAfter);
    // Whatever the probe answered, codes go out as written afterwards.
    EXPECT_EQ(session.exchange.codeSet(), CodeSet::AsWritten);
    EXPECT_TRUE(frontEnd.questions.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Registers, ConnectSequenceTest,
    ::testing::Values(
        ConnectCase{"IdleRegister", 0x00, true, false, {0xE0, 0x45}, kDone, kDone, 0x00},
        ConnectCase{
            "LeftInRegistration", 0x01, true, false, {0xE0, 0x45, 0x52}, kDone, kDone, 0x00},
        ConnectCase{"SubmodeOnly", 0x30, true, false, {0xE0, 0x45, 0x52}, kDone, kDone, 0x00},
        ConnectCase{"ModelWithoutProbe",
                    0x06,
                    false,
                    false,
                    {0xE0, 0x45, 0x52},
                    ExchangeResult{ExchangeOutcome::UnknownCommand, 0x7A},
                    kDone,
                    0x00},
        ConnectCase{"SilentRegister", 0x01, true, true, {}, kFailed, std::nullopt, 0x01}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ShellCommandsTest, SilentRegisterAtConnectIsToldOnce) {
    faults().silentAt(sim::SilentStep::LineAck) = sim::kAlways;
    ConnectToRegister(session);
    EXPECT_EQ(frontEnd.boxTexts(), std::vector<std::string>{"Нет ответа!"});
}

}  // namespace
}  // namespace ptk::testing
