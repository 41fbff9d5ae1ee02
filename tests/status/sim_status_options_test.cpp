// ptk-sim's options for the registration data, the EKLZ and the access passwords.
#include <gtest/gtest.h>

#include "sim/sim_options.h"

namespace ptk::sim {
namespace {

TEST(SimStatusOptionsTest, SetRegistrationDataEklzAndPasswords) {
    SimSettings s;
    std::string error;
    ASSERT_TRUE(parseSimOptions({"--inn",
                                 "770123456789",
                                 "--rnm",
                                 "0000123456",
                                 "--initial-shift",
                                 "17",
                                 "--registered-on",
                                 "2024-03-15",
                                 "--eklz-number",
                                 "0001234567",
                                 "--eklz-activation",
                                 "2",
                                 "--eklz-activations-left",
                                 "3",
                                 "--eklz-last-kpk",
                                 "123",
                                 "--eklz-last-operation",
                                 "2024-11-28 14:37:00",
                                 "--eklz-archive-closed",
                                 "--eklz-fatal-error",
                                 "--eklz-activated",
                                 "--access-password",
                                 "1:12345678",
                                 "--access-password",
                                 "6:00000066"},
                                s, error))
        << error;
    EXPECT_EQ(s.state.fiscal.inn, 770123456789u);
    EXPECT_EQ(s.state.fiscal.rnm, 123456u);
    EXPECT_EQ(s.state.fiscal.initialShift, 17);
    const DateTime& registeredOn = s.state.fiscal.registeredOn;
    EXPECT_EQ(registeredOn.year, 2024);
    EXPECT_EQ(registeredOn.month, 3);
    EXPECT_EQ(registeredOn.day, 15);
    EXPECT_EQ(s.state.eklz.number, 1234567u);
    EXPECT_EQ(s.state.eklz.activationNumber, 2);
    EXPECT_EQ(s.state.eklz.activationsLeft, 3);
    EXPECT_EQ(s.state.eklz.lastKpk, 123u);
    EXPECT_EQ(s.state.eklz.lastOperation, (DateTime{2024, 11, 28, 14, 37, 0}));
    EXPECT_FALSE(s.state.eklz.archiveOpen);
    EXPECT_TRUE(s.state.eklz.fatalError);
    EXPECT_TRUE(s.state.eklz.activated);
    EXPECT_EQ(s.state.passwords.access[1], 12345678u);
    EXPECT_EQ(s.state.passwords.access[6], 66u);
}

TEST(SimStatusOptionsTest, RefuseValuesTheRegisterCannotHold) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--eklz-last-kpk", "12345678901"},
          std::vector<std::string>{"--eklz-last-operation", "2024-11-28"},
          std::vector<std::string>{"--access-password", "8:12345678"},
          std::vector<std::string>{"--access-password", "1:123456789"},
          std::vector<std::string>{"--inn", "77012345678a"}}) {
        SimSettings s;
        std::string error;
        EXPECT_FALSE(parseSimOptions(args, s, error)) << args[0] << " " << args[1];
    }
}

}  // namespace
}  // namespace ptk::sim
