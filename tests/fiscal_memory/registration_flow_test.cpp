// The registration without its form, against the simulated register: since a fiscalisation cannot
// be undone, a failure at any step before it sends no 0x62.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "fiscal_memory/registration_flow.h"
#include "support/recording_sim_rig.h"

namespace ptk::fiscal_memory {
namespace {

using Codes = std::vector<std::uint8_t>;

constexpr std::uint8_t kRegistration = 0x62;
// Stands for the fiscal-memory form, the owner of the flow's boxes.
const int kFormToken = 0;
const OwnerHandle kForm{&kFormToken};

struct StepCase {
    const char* name;
    std::function<void(testing::RecordingSimRig&)> arrange;
    DeviceDate date;
    // A register that gives up an answer after five repeats, as the program's five NAKs expect,
    // is idle again for the next command; one that repeats further answers into it.
    int answerRepeats;
    RegistrationSent sent;
    Codes codes;  // the commands the register met, in order
};

void PrintTo(const StepCase& step, std::ostream* out) {
    *out << step.name;
}

// The answer to the entry into mode, and its five repeats, arrive corrupt.
std::function<void(testing::RecordingSimRig&)> corruptEntryInto(std::uint8_t mode) {
    return [mode](testing::RecordingSimRig& rig) {
        rig.engine.setCommandObserver([&rig, mode](const sim::CommandRecord& record) {
            rig.commands.push_back(record.code);
            if (record.code == 0x56 && record.message.at(3) == mode) {
                rig.faults().badChecksumAnswers = 6;
            }
        });
    };
}

const Codes kWholeRegistration = {0x64, 0x4B, 0x52, 0x46, 0x56, 0x50,
                                  0x50, 0x50, 0x50, 0x52, 0x56, kRegistration};
const Codes kUpToTheReturn = {0x64, 0x4B, 0x52, 0x46, 0x56, 0x50, 0x50, 0x50, 0x50, 0x52, 0x56};
constexpr DeviceDate kToday{7, 5, 2013};  // the simulated register's clock reads this day

const StepCase kSteps[] = {
    {"every step through", [](auto&) {}, kToday, 10, RegistrationSent::Sent, kWholeRegistration},
    {"date refused",
     [](auto& rig) {
         rig.faults().errors.push_back({0x64, 0x94, 1});
     },
     kToday,
     10,
     RegistrationSent::Stopped,
     {0x64}},
    {"date to be entered again",
     [](auto&) {},
     {20, 5, 2013},
     10,
     RegistrationSent::DateToConfirm,
     {0x64}},
    {"time refused",
     [](auto& rig) {
         rig.faults().errors.push_back({0x4B, 0x95, 1});
     },
     kToday,
     10,
     RegistrationSent::Stopped,
     {0x64, 0x4B}},
    {"header line refused",
     [](auto& rig) {
         rig.faults().errors.push_back({0x50, 0x6A, 1});
     },
     kToday,
     10,
     RegistrationSent::Stopped,
     {0x64, 0x4B, 0x52, 0x46, 0x56, 0x50, 0x52, 0x56}},
    {"return to mode 5 refused",
     [](auto& rig) { rig.state().passwords.access[sim::ModeFiscalMemory] = 11111111; }, kToday, 10,
     RegistrationSent::Stopped, kUpToTheReturn},
    // The register entered mode 4 and took the lines, yet its answer never arrived intact.
    {"entry into mode 4 corrupt", corruptEntryInto(sim::ModeProgramming), kToday, 5,
     RegistrationSent::Stopped, kUpToTheReturn},
    {"return to mode 5 corrupt", corruptEntryInto(sim::ModeFiscalMemory), kToday, 5,
     RegistrationSent::Stopped, kUpToTheReturn},
};

class RegistrationSteps : public ::testing::TestWithParam<StepCase> {};

TEST_P(RegistrationSteps, TheRegistrationGoesOutOnlyAfterEveryStepBeforeIt) {
    const StepCase& c = GetParam();
    testing::RecordingSimRig rig(sim::EngineOptions{.maxAnswerRepeats = c.answerRepeats});
    rig.state().mode.set(sim::ModeFiscalMemory);
    c.arrange(rig);
    RegistrationFlow flow(rig.session, kForm);
    flow.restart("55555555");
    const Requisites requisites{"0000000077", "770123456789", "12345678", {"МАГАЗИН", "", "", ""}};
    ASSERT_TRUE(flow.linesWritable(requisites));

    EXPECT_EQ(flow.send(requisites, c.date, {10, 11, 12}), c.sent);

    EXPECT_EQ(rig.commands, c.codes);
    const bool registered = c.sent == RegistrationSent::Sent;
    EXPECT_EQ(std::count(rig.commands.begin(), rig.commands.end(), kRegistration),
              registered ? 1 : 0);
    EXPECT_EQ(rig.state().fiscal.fiscalised, registered);
    EXPECT_EQ(flow.dateRepeatTag(), c.sent == RegistrationSent::DateToConfirm ? 22 : 0);
    EXPECT_EQ(flow.stage(), 1);
}

INSTANTIATE_TEST_SUITE_P(Steps, RegistrationSteps, ::testing::ValuesIn(kSteps),
                         [](const auto& info) { return "step" + std::to_string(info.index); });

}  // namespace
}  // namespace ptk::fiscal_memory
