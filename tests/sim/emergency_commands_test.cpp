// The simulated register's emergency report (0x60), asked by the link code over the in-memory
// line: the printing in the background, breaking it off, the faults it ends with, the modes.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/sim_fixture.h"

namespace ptk::testing {
namespace {

constexpr std::uint64_t kOneSecondUs = 1'000'000;

class EmergencyCommandsTest : public SimFixture {
protected:
    ExchangeResult report() { return send(0x60); }
    // The short status: mode byte and printer flags.
    std::pair<std::uint8_t, std::uint8_t> status() {
        EXPECT_EQ(send(0x45, {}, 55, ShortAnswer::Taken, ErrorCodeRule::None), kDone);
        return {session.exchange.answer()[2], session.exchange.answer()[3]};
    }
    const std::vector<std::string>& tape() { return state().tape.lines(); }
    std::size_t position(const std::string& line) {
        return static_cast<std::size_t>(std::find(tape().begin(), tape().end(), line) -
                                        tape().begin());
    }

    void SetUp() override {
        state().fiscal.fiscalised = true;
        state().fiscal.rnm = 42;
        state().fiscalMemory = {{1, {2013, 5, 6, 21, 0, 0}, 12345}, {2, {2013, 5, 7, 21, 0, 0}, 0}};
        state().emergencyReport.printUs = kOneSecondUs;
    }
};

TEST_F(EmergencyCommandsTest, ReportPrintsLineByLineWhileTheModeSaysSo) {
    ASSERT_EQ(report(), kDone);
    EXPECT_EQ(answer(3), (std::vector<std::uint8_t>{0x60, 0x00, 0x25}));
    EXPECT_EQ(tape().back(), "АВАРИЙНЫЙ ОТЧЕТ ПО ФП");
    const std::size_t heading = tape().size();

    // Asked every 50 ms, the register shows the printing submode until its time is up, and its
    // lines come one after another, never all at once.
    std::size_t printedBefore = tape().size();
    int turnsWithNewLines = 0;
    while (status().first == 0x25) {
        turnsWithNewLines += tape().size() > printedBefore ? 1 : 0;
        printedBefore = tape().size();
        clock.sleepMs(50);
        ASSERT_LT(clock.nowUs(), 2 * kOneSecondUs);
    }
    EXPECT_GE(clock.nowUs(), kOneSecondUs);
    EXPECT_GE(turnsWithNewLines, 3);
    EXPECT_EQ(status(), (std::pair<std::uint8_t, std::uint8_t>{0x05, 0x00}));
    EXPECT_EQ(tape().back(), "КОНЕЦ ОТЧЕТА");
    EXPECT_LT(position("РНМ 0000000042"), position("СМЕНА 0001  06.05.13  =123.45"));
    EXPECT_LT(position("СМЕНА 0001  06.05.13  =123.45"), position("СМЕНА 0002  07.05.13  =0.00"));
    EXPECT_LT(position("СМЕНА 0002  07.05.13  =0.00"), position("ЗАПИСЕЙ В ФП: 2"));
    EXPECT_GT(tape().size(), heading + 5);
}

TEST_F(EmergencyCommandsTest, LeavingTheModeBreaksTheReportOff) {
    ASSERT_EQ(report(), kDone);
    clock.sleepMs(300);
    ASSERT_EQ(send(0x52), kDone);
    const std::vector<std::string> printed = tape();
    EXPECT_EQ(printed.back(), "ОТЧЕТ ПРЕРВАН");

    clock.sleepMs(2000);
    EXPECT_EQ(status().first, 0x00);
    EXPECT_EQ(tape(), printed);
    EXPECT_EQ(position("КОНЕЦ ОТЧЕТА"), tape().size());
}

TEST_F(EmergencyCommandsTest, PrinterFaultsAndTheModeAppearWhenTheReportEnds) {
    state().emergencyReport.printerFlagsAtEnd = 0x09;
    state().emergencyReport.modeByteAtEnd = 0x15;
    ASSERT_EQ(report(), kDone);
    EXPECT_EQ(status(), (std::pair<std::uint8_t, std::uint8_t>{0x25, 0x00}));
    clock.sleepMs(1000);
    EXPECT_EQ(status(), (std::pair<std::uint8_t, std::uint8_t>{0x15, 0x09}));
    // Out of paper, the next report does not start.
    state().mode.set(sim::ModeFiscalMemory);
    EXPECT_TRUE(failedOrRefused(report()));
    EXPECT_EQ(frontEnd.boxTexts().back(), "67 - Нет бумаги.");
}

TEST_F(EmergencyCommandsTest, ReportStartsFromTheSelectionOrTheFiscalMemoryModeOnly) {
    struct Case {
        std::uint8_t mode;
        std::uint8_t submode;
        bool printing;
        ExchangeResult result;
    };
    const ExchangeResult wrongMode = refused(0x66);
    const Case cases[] = {
        {sim::ModeSelection, 0, false, kDone},       {sim::ModeFiscalMemory, 0, false, kDone},
        {sim::ModeFiscalMemory, 2, true, wrongMode}, {sim::ModeRegistration, 0, false, wrongMode},
        {sim::ModeZReports, 0, false, wrongMode},    {sim::ModeEklz, 0, false, wrongMode},
        {sim::ModeProgramming, 0, false, wrongMode},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << int{c.mode} << "/" << int{c.submode});
        state().background.active = c.printing;
        state().background.busyUntilUs = clock.nowUs() + 60 * kOneSecondUs;
        state().mode.set(c.mode, c.submode);
        frontEnd.clear();
        EXPECT_EQ(report(), c.result);
        if (!c.result.succeeded()) {
            EXPECT_EQ(frontEnd.boxTexts(),
                      std::vector<std::string>{"66 - Команда не реализуется в данном режиме."});
        } else {
            EXPECT_EQ(state().mode.byte(), 0x25);
        }
        state().background = {};
    }
}

}  // namespace
}  // namespace ptk::testing
