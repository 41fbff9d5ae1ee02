// ptk-sim's options for the EKLZ operations: the time each works, the first shift the EKLZ holds
// and an EKLZ that cannot be activated.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/sim_options.h"

namespace ptk::sim {
namespace {

TEST(SimEklzOptions, TakeTheirValues) {
    const struct {
        std::vector<std::string> args;
        std::uint64_t operationUs;
        std::uint16_t firstShift;
        bool activationPossible;
    } cases[] = {
        {{}, 3'000'000, 1, true},
        {{"--eklz-time", "60"}, 60'000'000, 1, true},
        {{"--eklz-time=0.25"}, 250'000, 1, true},
        {{"--eklz-time", "120"}, 120'000'000, 1, true},
        {{"--eklz-time", "0"}, 0, 1, true},
        {{"--eklz-first-shift", "0012", "--eklz-activation-refused"}, 3'000'000, 12, false},
    };
    for (const auto& c : cases) {
        SimSettings s;
        std::string error;
        ASSERT_TRUE(parseSimOptions(c.args, s, error)) << error;
        EXPECT_EQ(s.state.eklz.operationUs, c.operationUs);
        EXPECT_EQ(s.state.eklz.firstShift, c.firstShift);
        EXPECT_EQ(s.state.eklz.activationPossible, c.activationPossible);
    }
}

// Longer than the program waits, negative, not a number, or a shift number of five digits.
TEST(SimEklzOptions, RefuseWhatTheRegisterCannotDo) {
    const std::vector<std::vector<std::string>> refused = {
        {"--eklz-time", "120.5"}, {"--eklz-time", "-1"},           {"--eklz-time", "1s"},
        {"--eklz-time", ""},      {"--eklz-time", "nan"},          {"--eklz-first-shift", "12345"},
        {"--eklz-time"},          {"--eklz-activation-refused=1"},
    };
    for (const auto& args : refused) {
        SimSettings s;
        std::string error;
        EXPECT_FALSE(parseSimOptions(args, s, error)) << args[0];
        EXPECT_NE(error.find(args[0].substr(0, args[0].find('='))), std::string::npos) << error;
        EXPECT_EQ(s.state.eklz.operationUs, 3'000'000u);
    }
}

}  // namespace
}  // namespace ptk::sim
