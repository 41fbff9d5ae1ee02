// The main window's commands and the register side of connecting, against the simulated
// register over the in-memory line.
#include <gtest/gtest.h>

#include "shell/connect_sequence.h"
#include "shell/shell_commands.h"
#include "support/sim_fixture.h"

namespace ptk::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

class ShellCommandsTest : public SimFixture {
protected:
    void SetUp() override {
        engine.setCommandObserver([this](const sim::CommandRecord& r) { records.push_back(r); });
    }
    // The codes as they arrived at the register.
    std::vector<std::uint8_t> receivedCodes() const {
        std::vector<std::uint8_t> codes;
        for (const auto& record : records) codes.push_back(record.receivedCode);
        return codes;
    }
    std::vector<sim::CommandRecord> records;
};

TEST_F(ShellCommandsTest, ExitCurrentModeTakesTheRegisterBackToSelection) {
    state().mode.set(sim::ModeFiscalMemory);
    EXPECT_EQ(ExitCurrentMode(session), kDone);
    EXPECT_EQ(state().mode.mode, sim::ModeSelection);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].message, (Bytes{0x73, 0x01, 0x52}));
    EXPECT_EQ(frontEnd.resultText, "00 - Ошибок нет. Команда выполнена.");
    EXPECT_TRUE(frontEnd.boxes.empty());
}

TEST_F(ShellCommandsTest, RefusedCommandsShowTheRegistersMessageAndGiveZero) {
    // Leaving the mode with a sale open, and cancelling when no receipt is open.
    state().mode.set(sim::ModeRegistration);
    state().receipt.kind = sim::ReceiptKind::Sale;
    EXPECT_TRUE(failedOrRefused(ExitCurrentMode(session)));
    state().receipt.kind = sim::ReceiptKind::Closed;
    EXPECT_TRUE(failedOrRefused(CancelReceipt(session)));
    EXPECT_EQ(frontEnd.boxTexts(),
              (std::vector<std::string>{"89 - Открыт чек продажи - операция невозможна.",
                                        "9A - Чек закрыт - операция невозможна."}));
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

TEST_F(ShellCommandsTest, ProbeIsNeverShiftedAndLeavesItsAnswerInAnswerCopy) {
    session.exchange.DirectCodes = 0;
    EXPECT_EQ(ProbeCommand(session, 0x10, 0x03), kDone);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].message, (Bytes{0x73, 0x01, 0xE0, 0x10, 0x03}));
    EXPECT_EQ(answer(4), (Bytes{0xE0, 0x00, 0x01, 0x01}));
}

TEST_F(ShellCommandsTest, ProbeThatGetsNoAnswerLeavesNoCodeSetFromAnEarlierAnswer) {
    ASSERT_EQ(ProbeCommand(session, 0, 0), kDone);
    ASSERT_EQ(session.exchange.AnswerCopy[kProbeCodeSetPosition], 1);
    faults().silentAt(sim::SilentStep::LineAck) = sim::kAlways;
    EXPECT_TRUE(failedOrRefused(ProbeCommand(session, 0, 0)));
    EXPECT_EQ(session.exchange.AnswerCopy[kProbeCodeSetPosition], 0);
}

struct UnknownProbeCase {
    const char* name;
    std::uint8_t error;
};

class UnknownProbeTest : public ShellCommandsTest,
                         public ::testing::WithParamInterface<UnknownProbeCase> {};

TEST_P(UnknownProbeTest, RegisterThatDoesNotKnowTheProbeGives22WithoutAMessage) {
    faults().errors.push_back({0xE0, GetParam().error, 1});
    EXPECT_TRUE(unknownCommand(ProbeCommand(session, 0, 0)));
    EXPECT_TRUE(frontEnd.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Codes, UnknownProbeTest,
                         ::testing::Values(UnknownProbeCase{"ModelCannot", 0x7A},
                                           UnknownProbeCase{"WrongCommand", 0x46}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ShellCommandsTest, ProbeWithAnotherErrorShowsItsMessage) {
    faults().errors.push_back({0xE0, 0x8C, 1});
    EXPECT_TRUE(failedOrRefused(ProbeCommand(session, 0, 0)));
    EXPECT_EQ(frontEnd.boxTexts(), std::vector<std::string>{"8C - Неверный пароль."});
}

// The connect sequence, by what the register is found doing.
struct ConnectCase {
    const char* name;
    std::uint8_t modeByte;
    bool knowsProbe;
    bool silent;
    std::vector<std::uint8_t> codesReceived;
    ExchangeResult probe;
    std::optional<ExchangeResult> status;
    std::optional<ExchangeResult> exitMode;
    std::uint8_t modeAfter;
};

class ConnectSequenceTest : public ShellCommandsTest,
                            public ::testing::WithParamInterface<ConnectCase> {};

TEST_P(ConnectSequenceTest, ProbesShiftedThenAsksTheStatusAndLeavesAModeUnasked) {
    const ConnectCase& c = GetParam();
    state().mode.set(c.modeByte & 0x0F, c.modeByte >> 4);
    state().link.knowsProbe = c.knowsProbe;
    if (c.silent) faults().silentAt(sim::SilentStep::LineAck) = sim::kAlways;
    session.exchange.DirectCodes = 1;

    const ConnectOutcome outcome = ConnectToRegister(session);

    EXPECT_EQ(receivedCodes(), c.codesReceived);
    EXPECT_EQ(outcome.probe, c.probe);
    EXPECT_EQ(outcome.status, c.status);
    EXPECT_EQ(outcome.exitMode, c.exitMode);
    EXPECT_EQ(state().mode.byte(), c.modeAfter);
    // Whatever the probe answered, codes go out as written afterwards.
    EXPECT_EQ(session.exchange.DirectCodes, 1);
    EXPECT_TRUE(frontEnd.questions.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Registers, ConnectSequenceTest,
    ::testing::Values(
        ConnectCase{"IdleRegister", 0x00, true, false, {0xE0, 0x45}, kDone, kDone, {}, 0x00},
        ConnectCase{
            "LeftInRegistration", 0x01, true, false, {0xE0, 0x45, 0x52}, kDone, kDone, kDone, 0x00},
        ConnectCase{
            "SubmodeOnly", 0x30, true, false, {0xE0, 0x45, 0x52}, kDone, kDone, kDone, 0x00},
        ConnectCase{"ModelWithoutProbe",
                    0x06,
                    false,
                    false,
                    {0xE0, 0x45, 0x52},
                    {ExchangeOutcome::UnknownCommand, 0x7A},
                    kDone,
                    kDone,
                    0x00},
        ConnectCase{"SilentRegister", 0x01, true, true, {}, kFailed, {}, {}, 0x01}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ShellCommandsTest, SilentRegisterAtConnectIsToldOnce) {
    faults().silentAt(sim::SilentStep::LineAck) = sim::kAlways;
    ConnectToRegister(session);
    EXPECT_EQ(frontEnd.boxTexts(), std::vector<std::string>{"Нет ответа!"});
}

// After the settings are applied the probe's answer byte 2 decides the code set.
struct CodeSetCase {
    const char* name;
    bool unshiftedModel;
    bool knowsProbe;
    bool silent;
    ExchangeResult probe;
    int directCodes;
    std::uint8_t exitCodeOnTheWire;
};

class ProbeCodeSetTest : public ShellCommandsTest,
                         public ::testing::WithParamInterface<CodeSetCase> {};

TEST_P(ProbeCodeSetTest, LaterCommandsGoOutInTheCodeSetTheRegisterAnnounced) {
    const CodeSetCase& c = GetParam();
    state().link.unshiftedCodes = c.unshiftedModel;
    state().link.knowsProbe = c.knowsProbe;
    state().mode.set(sim::ModeRegistration);
    if (c.silent) faults().silentAt(sim::SilentStep::LineAck) = 5;
    session.exchange.DirectCodes = 1;

    EXPECT_EQ(ProbeCodeSet(session), c.probe);
    EXPECT_EQ(session.exchange.DirectCodes, c.directCodes);

    records.clear();
    ExitCurrentMode(session);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].receivedCode, c.exitCodeOnTheWire);
}

INSTANTIATE_TEST_SUITE_P(
    Registers, ProbeCodeSetTest,
    ::testing::Values(CodeSetCase{"UnshiftedModel", true, true, false, kDone, 1, 0x52},
                      CodeSetCase{"ShiftedModel", false, true, false, kDone, 0, 0x24},
                      CodeSetCase{"ModelWithoutProbe",
                                  true,
                                  false,
                                  false,
                                  {ExchangeOutcome::UnknownCommand, 0x7A},
                                  1,
                                  0x52},
                      CodeSetCase{"NoAnswer", true, true, true, kFailed, 0, 0x24}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ShellCommandsTest, PortThatCannotBeOpenedOrConfiguredIsTold) {
    session.channel.CurrentPort = 4;  // COM5: no device behind it
    EXPECT_FALSE(OpenConfiguredPort(session));
    session.channel.CurrentPort = kPort;
    line.setConfigureFails(true);
    EXPECT_FALSE(ReopenPort(session, 4));
    line.setConfigureFails(false);
    EXPECT_TRUE(ReopenPort(session, kPort));
    EXPECT_EQ(frontEnd.boxTexts(), (std::vector<std::string>{"Порт недоступен!", "Нет связи!"}));
    for (const auto& box : frontEnd.boxes) {
        EXPECT_EQ(box.caption, "Ошибка");
        EXPECT_EQ(box.icon, MessageIcon::Error);
    }
}

TEST_F(ShellCommandsTest, ReopeningClosesThePortThatWasInUseNotTheNewOne) {
    // COM9 is in use; the new settings name COM5.
    ASSERT_NE(session.channel.PortTable[kPort].device, nullptr);
    session.channel.CurrentPort = 4;
    EXPECT_FALSE(ReopenPort(session, kPort));
    EXPECT_EQ(session.channel.PortTable[kPort].device, nullptr);
    EXPECT_EQ(session.channel.PortTable[kPort].openFlag, 0);
    EXPECT_EQ(frontEnd.boxTexts(), std::vector<std::string>{"Порт недоступен!"});
}

}  // namespace
}  // namespace ptk::testing
