// The emergency report from the command to its ending, against the simulated register in virtual
// time: every ending with its one message, the stop at each moment, failures of the link in the
// middle, the shifted codes, and a randomized sweep of plans and stops.
#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "emergency_rig.h"
#include "fiscal_memory/emergency_report.h"
#include "link/front_end.h"

namespace ptk::fiscal_memory {
namespace {

using Box = testing::RecordingFrontEnd::Box;
using Codes = std::vector<std::uint8_t>;
using Ending = EmergencyEnding;

constexpr std::uint64_t kTwoSecondsUs = 2'000'000;
// Long enough that a stop always finds the register printing.
constexpr std::uint64_t kOneMinuteUs = 60'000'000;

// The watch's own messages belong to its window; the link's and the register's errors to the
// program.
Box errorBox(const std::string& text) {
    return {MessageIcon::Error, "Ошибка", text, testing::kEmergencyWindow};
}
Box programBox(const std::string& text) {
    return {MessageIcon::Error, "Ошибка", text, OwnerHandle{}};
}
const Box kInterruptedBox{MessageIcon::Information, "Информация", "Прервано пользователем!",
                          testing::kEmergencyWindow};

class EmergencyReportTest : public ::testing::Test, public testing::EmergencyRig {
protected:
    Ending run() { return RunEmergencyReport(session, watcher); }

    testing::VirtualWatcher watcher{*this};
};

struct EndingCase {
    const char* name;
    std::uint8_t flagsAtEnd;
    std::uint8_t modeAtEnd;
    Ending ending;
    std::optional<std::string> message;  // always with the error icon and caption
};

TEST_F(EmergencyReportTest, EveryEndingOfAFinishedReportHasItsMessage) {
    const EndingCase cases[] = {
        {"printed", 0x00, 0x05, Ending::Printed, std::nullopt},
        {"paper", 0x01, 0x05, Ending::NoPaper, "Нет бумаги!"},
        {"printer link", 0x02, 0x05, Ending::NoPrinterLink, "Нет связи с принтером!"},
        {"cover", 0x04, 0x05, Ending::CoverOpen, "Открыта крышка ПУ!"},
        {"roll", 0x08, 0x05, Ending::NoRoll, "Нет рулона!"},
        {"paper before roll", 0x09, 0x05, Ending::NoPaper, "Нет бумаги!"},
        {"cover before roll", 0x0C, 0x05, Ending::CoverOpen, "Открыта крышка ПУ!"},
        {"link before cover", 0x0E, 0x05, Ending::NoPrinterLink, "Нет связи с принтером!"},
        {"selection mode", 0x01, 0x00, Ending::BrokenOff, "Снятие отчета прервалось!"},
        {"password submode", 0x00, 0x15, Ending::BrokenOff, "Снятие отчета прервалось!"},
    };
    for (const EndingCase& c : cases) {
        SCOPED_TRACE(c.name);
        EmergencyRig rig;
        rig.plan(kTwoSecondsUs, c.flagsAtEnd, c.modeAtEnd);
        testing::VirtualWatcher caseWatcher(rig);

        EXPECT_EQ(RunEmergencyReport(rig.session, caseWatcher), c.ending);

        std::vector<Box> expected;
        if (c.message) expected.push_back(errorBox(*c.message));
        EXPECT_EQ(rig.frontEnd.boxes, expected);
        EXPECT_EQ(rig.records.front().message, (Codes{0x73, 0x01, kEmergencyReportCode}));
        EXPECT_EQ(rig.count(0x52), 0u);
        // Two seconds of printing take several turns, each a status request.
        EXPECT_GE(rig.count(0x45), 5u);
        EXPECT_EQ(rig.count(0x45), static_cast<std::size_t>(caseWatcher.pauses));
        rig.expectWatchPace();
        EXPECT_EQ(rig.state().mode.byte(), c.modeAtEnd);
        EXPECT_TRUE(rig.tapeHas("АВАРИЙНЫЙ ОТЧЕТ ПО ФП"));
        EXPECT_TRUE(rig.tapeHas("КОНЕЦ ОТЧЕТА"));
        EXPECT_FALSE(rig.session.StopRequested);
    }
}

// The stop button at several moments while the register prints: the next status request still
// shows the printing submode, the mode exit follows it at once, and the user is told.
TEST_F(EmergencyReportTest, StopWhilePrintingLeavesTheModeAfterTheNextStatus) {
    enum class PressedDuring { ReportCommand, FirstPause, FifthPause, StatusExchange };
    for (PressedDuring when : {PressedDuring::ReportCommand, PressedDuring::FirstPause,
                               PressedDuring::FifthPause, PressedDuring::StatusExchange}) {
        SCOPED_TRACE(static_cast<int>(when));
        EmergencyRig rig;
        rig.plan(kOneMinuteUs);
        testing::VirtualWatcher caseWatcher(rig);
        std::size_t commandsAtPress = 0;
        const auto press = [&rig, &commandsAtPress] {
            rig.session.StopRequested = true;
            commandsAtPress = rig.records.size();
        };
        rig.duringCommand = [&](const sim::CommandRecord& record) {
            const bool command = when == PressedDuring::ReportCommand && record.code == 0x60;
            const bool status = when == PressedDuring::StatusExchange && record.code == 0x45 &&
                                rig.count(0x45) == 3;
            if (command || status) press();
        };
        caseWatcher.atPause = [&](int pause) {
            if ((when == PressedDuring::FirstPause && pause == 1) ||
                (when == PressedDuring::FifthPause && pause == 5)) {
                press();
            }
        };

        EXPECT_EQ(RunEmergencyReport(rig.session, caseWatcher), Ending::Interrupted);

        EXPECT_EQ(rig.frontEnd.boxes, std::vector<Box>{kInterruptedBox});
        ASSERT_GE(rig.records.size(), 3u);
        const auto& exit = rig.records.back();
        const auto& lastStatus = rig.records[rig.records.size() - 2];
        EXPECT_EQ(exit.code, 0x52);
        EXPECT_EQ(lastStatus.code, 0x45);
        EXPECT_EQ(lastStatus.answer.at(1), kPrintingReportMode);
        // The status that decided was asked after the press, and not more than one turn late.
        const std::size_t statusAfterPress = rig.records.size() - 1 - commandsAtPress;
        EXPECT_GE(statusAfterPress, 1u);
        EXPECT_LE(statusAfterPress, 2u);
        EXPECT_EQ(caseWatcher.stopsTaken, std::vector<std::size_t>{rig.records.size() - 1});
        EXPECT_TRUE(rig.tapeHas("ОТЧЕТ ПРЕРВАН"));
        EXPECT_FALSE(rig.tapeHas("КОНЕЦ ОТЧЕТА"));
        EXPECT_EQ(rig.state().mode.byte(), 0x00);
        EXPECT_FALSE(rig.session.StopRequested);
        rig.expectWatchPace();
    }
}

// Pressed in the last turn of a report that then ends on its own, even with a printer fault: no
// message and no mode exit.
TEST_F(EmergencyReportTest, StopAfterTheRegisterFinishedSendsAndShowsNothing) {
    for (std::uint8_t flags : {std::uint8_t{0x00}, std::uint8_t{0x01}}) {
        SCOPED_TRACE(static_cast<int>(flags));
        EmergencyRig rig;
        rig.plan(kTwoSecondsUs, flags);
        testing::VirtualWatcher caseWatcher(rig);
        rig.duringCommand = [&rig](const sim::CommandRecord& record) {
            const auto& print = rig.state().background;
            const std::uint64_t turnUs = std::uint64_t{kWatchIntervalMs} * 1000;
            if (record.code == 0x45 && print.active && print.busyUntilUs - record.atUs < turnUs) {
                rig.session.StopRequested = true;
            }
        };

        EXPECT_EQ(RunEmergencyReport(rig.session, caseWatcher), Ending::StopAfterEnd);

        EXPECT_TRUE(rig.frontEnd.boxes.empty());
        EXPECT_EQ(rig.count(0x52), 0u);
        EXPECT_TRUE(caseWatcher.stopsTaken.empty());
        EXPECT_EQ(rig.state().mode.byte(), 0x05);
        EXPECT_TRUE(rig.tapeHas("КОНЕЦ ОТЧЕТА"));
        EXPECT_FALSE(rig.session.StopRequested);
    }
}

// A failing mode exit shows its own message only.
TEST_F(EmergencyReportTest, FailedModeExitAfterStopShowsOnlyItsOwnMessage) {
    struct Case {
        const char* name;
        std::function<void(EmergencyRig&)> spoil;
        Box box;
    };
    const Case cases[] = {
        {"register deaf",
         [](EmergencyRig& rig) { rig.faults().silentAt(sim::SilentStep::LineAck) = sim::kAlways; },
         programBox("Нет ответа!")},
        {"refused",
         [](EmergencyRig& rig) {
             rig.faults().errors.push_back({0x52, 0x9C, 1});
         },
         programBox("9C - Необходимо провести гашение.")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EmergencyRig rig;
        rig.plan(kTwoSecondsUs);
        testing::VirtualWatcher caseWatcher(rig);
        caseWatcher.atPause = [&rig](int pause) {
            if (pause == 2) rig.session.StopRequested = true;
        };
        caseWatcher.atStopTaken = [&] { c.spoil(rig); };

        EXPECT_EQ(RunEmergencyReport(rig.session, caseWatcher), Ending::ModeExitFailed);
        EXPECT_EQ(rig.frontEnd.boxes, std::vector<Box>{c.box});
        EXPECT_EQ(caseWatcher.stopsTaken.size(), 1u);
        EXPECT_FALSE(rig.session.StopRequested);
    }
}

// A status request that fails in the middle of the watch ends it at once with nothing but what
// the request itself showed.
TEST_F(EmergencyReportTest, FailingStatusRequestEndsTheWatchWithItsOwnMessageOnly) {
    struct Case {
        const char* name;
        std::function<void(sim::FaultPlan&)> spoil;
        std::vector<Box> boxes;
    };
    const Case cases[] = {
        {"no link",
         [](sim::FaultPlan& f) { f.silentAt(sim::SilentStep::LineAck) = sim::kAlways; },
         {programBox("Нет ответа!")}},
        {"checksum",
         [](sim::FaultPlan& f) { f.badChecksumAnswers = sim::kAlways; },
         {programBox("Ошибка контрольной суммы!")}},
        // The status request takes an answer without its closing byte as a failure it does not
        // tell.
        {"no closing byte",
         [](sim::FaultPlan& f) { f.silentAt(sim::SilentStep::Closing) = sim::kAlways; },
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EmergencyRig rig;
        rig.plan(kTwoSecondsUs);
        testing::VirtualWatcher caseWatcher(rig);
        caseWatcher.atPause = [&](int pause) {
            if (pause == 3) c.spoil(rig.faults());
        };

        EXPECT_EQ(RunEmergencyReport(rig.session, caseWatcher), Ending::StatusFailed);
        EXPECT_EQ(rig.frontEnd.boxes, c.boxes);
        EXPECT_EQ(caseWatcher.pauses, 3);
        EXPECT_EQ(rig.count(0x52), 0u);
        EXPECT_FALSE(rig.session.StopRequested);
    }
}

TEST_F(EmergencyReportTest, RefusedOrLostReportCommandStartsNoWatch) {
    struct Case {
        const char* name;
        std::function<void(EmergencyRig&)> spoil;
        Box box;
    };
    const Case cases[] = {
        {"no paper", [](EmergencyRig& rig) { rig.state().printer.paperOut = true; },
         programBox("67 - Нет бумаги.")},
        {"no answer",
         [](EmergencyRig& rig) {
             rig.faults().silentAt(sim::SilentStep::AnswerRequest) = sim::kAlways;
         },
         programBox("Нет ответа!")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EmergencyRig rig;
        rig.plan(kTwoSecondsUs);
        c.spoil(rig);
        testing::VirtualWatcher caseWatcher(rig);

        EXPECT_EQ(RunEmergencyReport(rig.session, caseWatcher), Ending::CommandFailed);
        EXPECT_EQ(rig.frontEnd.boxes, std::vector<Box>{c.box});
        EXPECT_EQ(caseWatcher.pauses, 0);
        EXPECT_EQ(rig.codes(), Codes{kEmergencyReportCode});
    }
}

TEST_F(EmergencyReportTest, ShiftedCodesGoOutReduced) {
    session.exchange.setCodeSet(CodeSet::Shifted);
    state().link.unshiftedCodes = false;
    plan(kTwoSecondsUs);
    watcher.atPause = [this](int pause) {
        if (pause == 2) session.StopRequested = true;
    };

    EXPECT_EQ(run(), Ending::Interrupted);

    ASSERT_GE(records.size(), 3u);
    EXPECT_EQ(records.front().receivedCode, 0x32);
    for (std::size_t i = 1; i + 1 < records.size(); ++i) EXPECT_EQ(records[i].receivedCode, 0x17);
    EXPECT_EQ(records.back().receivedCode, 0x24);
    EXPECT_EQ(frontEnd.boxes, std::vector<Box>{kInterruptedBox});
}

TEST_F(EmergencyReportTest, QuittingProgramEndsTheWatchQuietly) {
    plan(kTwoSecondsUs);
    watcher.quitAtPause = 4;
    EXPECT_EQ(run(), Ending::Quitting);
    EXPECT_TRUE(frontEnd.boxes.empty());
    EXPECT_EQ(count(0x45), 3u);
    EXPECT_EQ(count(0x52), 0u);
}

// Random plans and stop moments, fixed seed: whatever happens, the watch keeps its pace, shows at
// most one box of its own, sends the mode exit only to carry out a stop and as its last command,
// and leaves no stop request behind.
TEST_F(EmergencyReportTest, RandomPlansAndStopsKeepTheWatchsPromises) {
    std::mt19937 random(20130507);
    const std::uint8_t endModes[] = {0x05, 0x05, 0x05, 0x00, 0x15};
    for (int run = 0; run < 60; ++run) {
        EmergencyRig rig;
        const std::uint64_t printUs = 50'000 + random() % 3'000'000;
        const auto flags = static_cast<std::uint8_t>(random() % 16);
        const std::uint8_t endMode = endModes[random() % 5];
        const int stopAtPause = static_cast<int>(random() % 25);  // 0: never
        rig.plan(printUs, flags, endMode);
        testing::VirtualWatcher caseWatcher(rig);
        caseWatcher.atPause = [&](int pause) {
            if (pause == stopAtPause) rig.session.StopRequested = true;
        };
        SCOPED_TRACE(::testing::Message()
                     << "run " << run << " print " << printUs << " flags " << int{flags} << " mode "
                     << int{endMode} << " stop " << stopAtPause);

        const Ending ending = RunEmergencyReport(rig.session, caseWatcher);

        rig.expectWatchPace();
        EXPECT_FALSE(rig.session.StopRequested);
        EXPECT_LE(rig.frontEnd.boxes.size(), 1u);
        const bool exited = ending == Ending::Interrupted;
        EXPECT_EQ(rig.count(0x52), exited ? 1u : 0u);
        if (exited) {
            EXPECT_EQ(rig.codes().back(), 0x52);
            EXPECT_EQ(rig.frontEnd.boxes, std::vector<Box>{kInterruptedBox});
            EXPECT_EQ(rig.state().mode.byte(), 0x00);
        } else {
            EXPECT_EQ(rig.state().mode.byte(), endMode);
            EXPECT_TRUE(rig.tapeHas("КОНЕЦ ОТЧЕТА"));
        }
        const bool stopped = stopAtPause != 0 && stopAtPause <= caseWatcher.pauses;
        if (!stopped) {
            // Unstopped, the ending is the register's: its mode, then its first printer fault.
            EXPECT_NE(ending, Ending::StopAfterEnd);
            EXPECT_EQ(ending == Ending::BrokenOff, endMode != 0x05);
            EXPECT_EQ(ending == Ending::Printed, endMode == 0x05 && flags == 0);
        }
    }
}

}  // namespace
}  // namespace ptk::fiscal_memory
