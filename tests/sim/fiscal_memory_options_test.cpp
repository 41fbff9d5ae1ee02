// ptk-sim's options for the fiscal memory: a register without a serial number or not fiscalised,
// a fiscal memory of N shifts over given days, and how long its reports take.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/commands_fiscal_memory.h"
#include "sim/sim_options.h"

namespace ptk::sim {
namespace {

bool parse(const std::vector<std::string>& args, SimSettings& settings) {
    std::string error;
    return parseSimOptions(args, settings, error);
}

TEST(FiscalMemoryOptionsTest, FiscalMemoryOfShiftsOverDays) {
    SimSettings s;
    ASSERT_TRUE(parse({"--rnm", "77", "--inn", "770123456789", "--fiscal-memory",
                       "25:2012-03-05:2012-03-07", "--report-seconds", "90.5"},
                      s));
    const RegisterState& state = s.state;
    EXPECT_TRUE(state.fiscal.fiscalised);
    EXPECT_EQ(state.fiscal.reportDurationUs, 90'500'000u);
    ASSERT_EQ(state.fiscal.registrations.size(), 1u);
    EXPECT_EQ(state.fiscal.registrations[0].rnm, 77u);
    EXPECT_EQ(state.fiscal.registrations[0].inn, 770123456789u);
    EXPECT_EQ(state.fiscal.registrations[0].at.day, 5);
    ASSERT_EQ(state.fiscalMemory.size(), 25u);
    EXPECT_EQ(state.shift.lastClosed, 25);
    // Numbered in order, the days spread over the period from its first day to its last.
    int previousDay = 5;
    for (std::size_t i = 0; i < state.fiscalMemory.size(); ++i) {
        const ShiftRecord& record = state.fiscalMemory[i];
        EXPECT_EQ(record.shift, i + 1);
        EXPECT_EQ(record.closedAt.month, 3);
        EXPECT_GE(record.closedAt.day, previousDay);
        EXPECT_LE(record.closedAt.day, 7);
        previousDay = record.closedAt.day;
    }
    EXPECT_EQ(state.fiscalMemory.front().closedAt.day, 5);
    EXPECT_EQ(state.fiscalMemory.back().closedAt.day, 7);

    // One shift on one day; a period across a year's end.
    for (const auto& [value, shifts, lastYear] :
         {std::tuple{"1:2013-05-07:2013-05-07", 1u, 2013},
          std::tuple{"9999:2019-12-30:2020-01-02", 9999u, 2020}}) {
        SimSettings other;
        ASSERT_TRUE(parse({"--fiscal-memory", value}, other)) << value;
        EXPECT_EQ(other.state.fiscalMemory.size(), shifts) << value;
        EXPECT_EQ(other.state.fiscalMemory.back().closedAt.year, lastYear) << value;
    }
}

TEST(FiscalMemoryOptionsTest, FreshRegister) {
    SimSettings s;
    ASSERT_TRUE(parse({"--report-seconds", "600", "--fiscal-memory", "3:2012-03-05:2012-03-07",
                       "--not-fiscalised", "--no-serial"},
                      s));
    EXPECT_EQ(s.state.identity.serialNumber, 0u);
    EXPECT_FALSE(s.state.fiscal.fiscalised);
    EXPECT_TRUE(s.state.fiscal.registrations.empty());
    EXPECT_EQ(s.state.fiscal.rnm, 0u);
    // How long a report takes is the printer's, not the registration's.
    EXPECT_EQ(s.state.fiscal.reportDurationUs, 600'000'000u);
}

TEST(FiscalMemoryOptionsTest, RefusedValues) {
    const std::vector<std::vector<std::string>> bad = {
        {"--fiscal-memory", "0:2012-03-05:2012-03-07"},
        {"--fiscal-memory", "10000:2012-03-05:2012-03-07"},
        {"--fiscal-memory", "5:2012-03-07:2012-03-05"},
        {"--fiscal-memory", "5:2012-02-30:2012-03-05"},
        {"--fiscal-memory", "5:2012-03-05"},
        {"--fiscal-memory", "x:2012-03-05:2012-03-07"},
        {"--report-seconds", "3601"},
        {"--report-seconds", "-1"},
        {"--report-seconds", "soon"},
        {"--report-seconds", ""},
        {"--no-serial=1"},
    };
    for (const auto& args : bad) {
        SimSettings s;
        EXPECT_FALSE(parse(args, s)) << args[0] << " " << args.back();
        EXPECT_TRUE(s.state.fiscalMemory.empty()) << args.back();
    }
    // The help names the new options.
    const std::string help = simHelpText();
    for (const char* option :
         {"--no-serial", "--not-fiscalised", "--fiscal-memory", "--report-seconds"}) {
        EXPECT_NE(help.find(option), std::string::npos) << option;
    }
}

}  // namespace
}  // namespace ptk::sim
