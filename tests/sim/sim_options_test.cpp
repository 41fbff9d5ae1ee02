// ptk-sim's command line and log lines.
#include <gtest/gtest.h>

#include "sim/sim_log.h"
#include "sim/sim_options.h"

namespace ptk::sim {
namespace {

SimSettings parsed(const std::vector<std::string>& args) {
    SimSettings settings;
    std::string error;
    EXPECT_TRUE(parseSimOptions(args, settings, error)) << error;
    return settings;
}

std::string refusal(const std::vector<std::string>& args) {
    SimSettings settings;
    std::string error;
    EXPECT_FALSE(parseSimOptions(args, settings, error));
    return error;
}

TEST(SimOptionsTest, SetTheRegistersState) {
    const SimSettings s = parsed({"--link",
                                  "COM9",
                                  "--link-password",
                                  "1234",
                                  "--mode",
                                  "0x25",
                                  "--serial",
                                  "00123456",
                                  "--shifted-codes",
                                  "--no-probe",
                                  "--access-password",
                                  "5:87654321",
                                  "--clock",
                                  "2013-05-07 09:05:00",
                                  "--fiscalised",
                                  "--inn",
                                  "7701234567",
                                  "--receipt-state=2",
                                  "--receipt-sum",
                                  "12345",
                                  "--paper-out",
                                  "--cover-open",
                                  "--eklz-number",
                                  "0000000042",
                                  "--trace",
                                  "sim trace.log"});
    EXPECT_EQ(s.linkName, "COM9");
    EXPECT_EQ(s.state.link.password, (std::array<std::uint8_t, 2>{0x12, 0x34}));
    EXPECT_EQ(s.state.mode.byte(), 0x25);
    EXPECT_EQ(s.state.identity.serialNumber, 123456u);
    EXPECT_FALSE(s.state.link.unshiftedCodes);
    EXPECT_FALSE(s.state.link.knowsProbe);
    EXPECT_EQ(s.state.passwords.access[5], 87654321u);
    EXPECT_EQ(s.state.clock.reading, (DateTime{2013, 5, 7, 9, 5, 0}));
    EXPECT_FALSE(s.clockFromSystem);
    EXPECT_TRUE(s.state.fiscal.fiscalised);
    EXPECT_EQ(s.state.fiscal.inn, 7701234567u);
    EXPECT_EQ(s.state.receipt.kind, ReceiptKind::Return);
    EXPECT_EQ(s.state.receipt.sum, 12345u);
    EXPECT_EQ(s.state.printer.flags(), 0x05);
    EXPECT_EQ(s.state.eklz.number, 42u);
    EXPECT_EQ(s.tracePath, "sim trace.log");
    EXPECT_TRUE(parsed({}).tracePath.empty()) << "no trace unless asked for";
}

TEST(SimOptionsTest, SetTheFaults) {
    const SimSettings s =
        parsed({"--nak", "3", "--bad-checksum", "always", "--silent", "answer-enq", "--silent",
                "frame-ack:2", "--delay-answer", "12.5:always", "--pause-in-frame", "3:50",
                "--error", "0x52:0x9C", "--error", "69:0x67:4"});
    EXPECT_EQ(s.faults.nakFrames, 3);
    EXPECT_EQ(s.faults.badChecksumAnswers, kAlways);
    EXPECT_EQ(s.faults.silent[static_cast<std::size_t>(SilentStep::AnswerRequest)], 1);
    EXPECT_EQ(s.faults.silent[static_cast<std::size_t>(SilentStep::FrameReply)], 2);
    EXPECT_EQ(s.faults.answerDelayUs, 12'500'000u);
    EXPECT_EQ(s.faults.delayedAnswers, kAlways);
    EXPECT_EQ(s.faults.pauseAfterByte, 3u);
    EXPECT_EQ(s.faults.pauseUs, 50'000u);
    EXPECT_EQ(s.faults.framePauses, 1);
    ASSERT_EQ(s.faults.errors.size(), 2u);
    EXPECT_EQ(s.faults.errors[0].code, 0x52);
    EXPECT_EQ(s.faults.errors[0].error, 0x9C);
    EXPECT_EQ(s.faults.errors[0].count, 1);
    EXPECT_EQ(s.faults.errors[1].code, 0x45);
    EXPECT_EQ(s.faults.errors[1].count, 4);
}

TEST(SimOptionsTest, HeaderLinesAreKeptInTheRegistersCodePage) {
    const SimSettings s = parsed({"--header", "3:ЧАЙ: 5"});
    EXPECT_EQ(s.state.tables.headerLines[2], "\x97\x80\x89: 5");
    // Raw bytes for what text cannot say: a prefixed character and a picture element.
    const SimSettings raw = parsed({"--header-bytes", "1:0941", "--header-bytes=4:0A020064"});
    EXPECT_EQ(raw.state.tables.headerLines[0], std::string("\x09\x41"));
    EXPECT_EQ(raw.state.tables.headerLines[3], std::string("\x0A\x02\x00\x64", 4));
}

TEST(SimOptionsTest, RefusesBadValuesNamingTheOption) {
    const std::vector<std::vector<std::string>> bad = {
        {"--link", "COM0"},
        {"--link", "ttyS0"},
        {"--link-password", "12345"},
        {"--link-password", "12a"},
        {"--mode", "0x08"},
        {"--serial", "123456789"},
        {"--cashier", "100"},
        {"--clock", "2013-02-30 10:00:00"},
        {"--silent", "later"},
        {"--pause-in-frame", "3"},
        {"--error", "0x52"},
        {"--nak", "-1"},
        {"--delay-answer", "soon"},
        {"--header", "5:x"},
        {"--receipt-state", "7"},
        {"--access-password", "8:12345678"},
        {"--header-bytes", "1:0A0"},
        {"--header-bytes", "2:0G"},
        {"--header-bytes", "0:41"},
        {"--header", "1:" + std::string(91, 'x')},
        {"--trace", ""},
    };
    for (const auto& args : bad) {
        EXPECT_NE(refusal(args).find(args[0]), std::string::npos) << args[0] << " " << args[1];
    }
    EXPECT_EQ(refusal({"--bogus"}), "unknown option --bogus (see --help)");
    EXPECT_EQ(refusal({"--nak"}), "--nak needs a value: N");
    EXPECT_EQ(refusal({"--paper-out=1"}), "--paper-out takes no value");
    EXPECT_EQ(refusal({"--trace"}), "--trace needs a value: FILE");
}

TEST(SimOptionsTest, EmergencyReportPlan) {
    const SimSettings s = parsed({"--emergency-report-time", "2.5", "--emergency-report-ends-with",
                                  "paper-out,cover-open", "--emergency-report-ends-in=0x00"});
    EXPECT_EQ(s.state.emergencyReport.printUs, 2'500'000u);
    EXPECT_EQ(s.state.emergencyReport.printerFlagsAtEnd, 0x05);
    EXPECT_EQ(s.state.emergencyReport.modeByteAtEnd, 0x00);
    EXPECT_EQ(parsed({"--emergency-report-ends-with", "no-roll,no-printer-link,no-roll"})
                  .state.emergencyReport.printerFlagsAtEnd,
              0x0A);

    const std::vector<std::vector<std::string>> bad = {
        {"--emergency-report-time", "-1"},         {"--emergency-report-time", "3601"},
        {"--emergency-report-time", "1s"},         {"--emergency-report-time", ""},
        {"--emergency-report-ends-with", "paper"}, {"--emergency-report-ends-with", "paper-out,"},
        {"--emergency-report-ends-with", ""},      {"--emergency-report-ends-in", "0x08"},
        {"--emergency-report-ends-in", "0x100"},
    };
    for (const auto& args : bad) {
        EXPECT_NE(refusal(args).find(args[0]), std::string::npos) << args[0] << " " << args[1];
    }
}

TEST(SimOptionsTest, HelpNamesEveryFaultStep) {
    const std::string help = simHelpText();
    for (std::size_t i = 0; i < kSilentStepCount; ++i) {
        EXPECT_NE(help.find(silentStepName(static_cast<SilentStep>(i))), std::string::npos);
    }
}

TEST(SimLogTest, DescribesCommandsWithTheirAnswers) {
    CommandRecord record;
    record.receivedCode = 0x17;
    record.code = 0x45;
    record.name = "short status";
    record.message = {0x73, 0x01, 0x17};
    record.answer = {0x45, 0x01, 0x00, 0x00};
    record.durationUs = 20'000;
    EXPECT_EQ(SimLog::describe(record),
              "0x17 (read as 0x45) short status: 73 01 17 -> 45 01 00 00 (20 ms)");

    record = {};
    record.receivedCode = record.code = 0x77;
    record.message = {0x73, 0x01, 0x77};
    record.answer = {0x77, 0x46, 0x00};
    EXPECT_EQ(SimLog::describe(record),
              "0x77 unknown command: 73 01 77 -> 77 46 00 [error 0x46] (0 ms)");
}

}  // namespace
}  // namespace ptk::sim
