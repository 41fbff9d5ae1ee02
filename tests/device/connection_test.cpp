// The probe, the code set it decides and opening the configured port, against the simulated
// register over the in-memory line.
#include <gtest/gtest.h>

#include "device/connection.h"
#include "device/device_fixture.h"
#include "device/mode_switch.h"

namespace ptk::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST_F(DeviceTest, ProbeIsNeverShiftedAndItsAnswerIsKept) {
    session.exchange.setCodeSet(CodeSet::Shifted);
    EXPECT_EQ(ProbeCommand(session, 0x10, 0x03), kDone);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].message, (Bytes{0x73, 0x01, 0xE0, 0x10, 0x03}));
    EXPECT_EQ(answer(4), (Bytes{0xE0, 0x00, 0x01, 0x01}));
}

struct UnknownProbeCase {
    const char* name;
    std::uint8_t error;
};

class UnknownProbeTest : public DeviceTest,
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

TEST_F(DeviceTest, ProbeWithAnotherErrorShowsItsMessage) {
    faults().errors.push_back({0xE0, 0x8C, 1});
    EXPECT_TRUE(failedOrRefused(ProbeCommand(session, 0, 0)));
    EXPECT_EQ(frontEnd.boxTexts(), std::vector<std::string>{"8C - Неверный пароль."});
}

// After the settings are applied the probe's answer byte 2 decides the code set.
struct CodeSetCase {
    const char* name;
    bool unshiftedModel;
    bool knowsProbe;
    bool silent;
    ExchangeResult probe;
    CodeSet codeSet;
    std::uint8_t exitCodeOnTheWire;
};

class ProbeCodeSetTest : public DeviceTest, public ::testing::WithParamInterface<CodeSetCase> {};

TEST_P(ProbeCodeSetTest, LaterCommandsGoOutInTheCodeSetTheRegisterAnnounced) {
    const CodeSetCase& c = GetParam();
    state().link.unshiftedCodes = c.unshiftedModel;
    state().link.knowsProbe = c.knowsProbe;
    state().mode.set(sim::ModeRegistration);
    if (c.silent) faults().silentAt(sim::SilentStep::LineAck) = 5;
    session.exchange.setCodeSet(CodeSet::AsWritten);

    EXPECT_EQ(ProbeCodeSet(session), c.probe);
    EXPECT_EQ(session.exchange.codeSet(), c.codeSet);

    records.clear();
    ExitCurrentMode(session);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].receivedCode, c.exitCodeOnTheWire);
}

INSTANTIATE_TEST_SUITE_P(Registers, ProbeCodeSetTest,
                         ::testing::Values(CodeSetCase{"UnshiftedModel", true, true, false, kDone,
                                                       CodeSet::AsWritten, 0x52},
                                           CodeSetCase{"ShiftedModel", false, true, false, kDone,
                                                       CodeSet::Shifted, 0x24},
                                           CodeSetCase{"ModelWithoutProbe",
                                                       true,
                                                       false,
                                                       false,
                                                       {ExchangeOutcome::UnknownCommand, 0x7A},
                                                       CodeSet::AsWritten,
                                                       0x52},
                                           CodeSetCase{"NoAnswer", true, true, true, kFailed,
                                                       CodeSet::Shifted, 0x24}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DeviceTest, PortThatCannotBeOpenedOrConfiguredIsTold) {
    session.channel.setCurrentPort(4);  // COM5: no device behind it
    EXPECT_FALSE(OpenConfiguredPort(session));
    session.channel.setCurrentPort(kPort);
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

TEST_F(DeviceTest, ReopeningClosesThePortThatWasInUseNotTheNewOne) {
    // COM9 is in use; the new settings name COM5.
    ASSERT_NE(session.channel.portSlot(kPort).device, nullptr);
    session.channel.setCurrentPort(4);
    EXPECT_FALSE(ReopenPort(session, kPort));
    EXPECT_EQ(session.channel.portSlot(kPort).device, nullptr);
    EXPECT_EQ(session.channel.portSlot(kPort).openFlag, 0);
    EXPECT_EQ(frontEnd.boxTexts(), std::vector<std::string>{"Порт недоступен!"});
}

}  // namespace
}  // namespace ptk::testing
