// Entering and leaving the register's modes: the commands against the simulated register, and
// the passwords as they travel.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "device/device_fixture.h"
#include "device/mode_switch.h"

namespace ptk::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

const std::string kNoErrors = "00 - Ошибок нет. Команда выполнена.";
const std::string kNoAnswer = "Нет ответа!";

TEST_F(DeviceTest, ExitCurrentModeTakesTheRegisterBackToSelection) {
    state().mode.set(sim::ModeFiscalMemory);
    EXPECT_EQ(ExitCurrentMode(session), kDone);
    EXPECT_EQ(state().mode.mode, sim::ModeSelection);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].message, (Bytes{0x73, 0x01, 0x52}));
    EXPECT_EQ(frontEnd.resultText, "00 - Ошибок нет. Команда выполнена.");
    EXPECT_TRUE(frontEnd.boxes.empty());
}

TEST_F(DeviceTest, LeavingAModeWithASaleOpenIsRefused) {
    state().mode.set(sim::ModeRegistration);
    state().receipt.kind = sim::ReceiptKind::Sale;
    EXPECT_EQ(ExitCurrentMode(session), refused(0x89));
    EXPECT_EQ(frontEnd.boxTexts(),
              std::vector<std::string>{"89 - Открыт чек продажи - операция невозможна."});
}

TEST_F(DeviceTest, EachModeOpensWithItsOwnPassword) {
    for (const auto& [mode, password] : {std::pair{1, "11111111"}, std::pair{3, "33333333"},
                                         std::pair{5, "55555555"}, std::pair{6, "66666666"}}) {
        state().mode.set(sim::ModeSelection);
        EXPECT_EQ(EnterMode(session, static_cast<std::uint8_t>(mode), password), kDone) << mode;
        EXPECT_EQ(state().mode.mode, mode);
    }
    EXPECT_TRUE(frontEnd.boxes.empty());
    EXPECT_EQ(frontEnd.resultText, kNoErrors);
}

TEST_F(DeviceTest, WrongPasswordIsRefusedWith8C) {
    EXPECT_TRUE(failedOrRefused(EnterMode(session, 1, "11111112")));
    EXPECT_EQ(state().mode.mode, sim::ModeSelection);
    EXPECT_EQ(frontEnd.boxTexts(), std::vector<std::string>{"8C - Неверный пароль."});
}

TEST_F(DeviceTest, ModeCannotBeEnteredFromAnotherMode) {
    state().mode.set(sim::ModeZReports);
    EXPECT_TRUE(failedOrRefused(EnterMode(session, 1, "11111111")));
    EXPECT_EQ(state().mode.mode, sim::ModeZReports);
    EXPECT_EQ(frontEnd.boxTexts(),
              std::vector<std::string>{"66 - Команда не реализуется в данном режиме."});
}

TEST_F(DeviceTest, ShortPasswordTravelsWithLeadingZeros) {
    state().passwords.access[6] = 1234;
    EXPECT_EQ(EnterMode(session, 6, "1234"), kDone);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].message,
              (std::vector<std::uint8_t>{0x73, 0x01, 0x56, 0x06, 0x00, 0x00, 0x12, 0x34}));
}

TEST_F(DeviceTest, PasswordBytesThatNeedEscapingArriveIntact) {
    state().passwords.access[5] = 10030310;
    EXPECT_EQ(EnterMode(session, 5, "10030310"), kDone);
    const auto written = line.writtenBytes();
    const std::vector<std::uint8_t> stuffed = {0x05, 0x10, 0x10, 0x10, 0x03,
                                               0x10, 0x03, 0x10, 0x10};
    EXPECT_NE(std::search(written.begin(), written.end(), stuffed.begin(), stuffed.end()),
              written.end());
}

TEST_F(DeviceTest, IncompleteEntryAnswerIsNoAnswer) {
    faults().pauseAfterByte = 3;
    faults().pauseUs = 2'000'000;
    faults().framePauses = 1;
    EXPECT_TRUE(failedOrRefused(EnterMode(session, 1, "11111111")));
    EXPECT_EQ(frontEnd.boxTexts(), std::vector<std::string>{kNoAnswer});
}

struct PasswordCase {
    const char* name;
    const char* text;
    std::array<std::uint8_t, 4> packed;
};

class AccessPasswordPacking : public ::testing::TestWithParam<PasswordCase> {};

TEST_P(AccessPasswordPacking, PadsOnTheLeftToEightDigits) {
    EXPECT_EQ(packAccessPassword(GetParam().text), GetParam().packed);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, AccessPasswordPacking,
    ::testing::Values(PasswordCase{"Full", "12345678", {0x12, 0x34, 0x56, 0x78}},
                      PasswordCase{"FourDigits", "1234", {0x00, 0x00, 0x12, 0x34}},
                      PasswordCase{"Empty", "", {0x00, 0x00, 0x00, 0x00}},
                      PasswordCase{"OddLength", "123", {0x00, 0x00, 0x01, 0x23}},
                      PasswordCase{"OnlyFirstEightCount", "1234567890", {0x12, 0x34, 0x56, 0x78}},
                      PasswordCase{"DigitsThatNeedEscaping", "10030310", {0x10, 0x03, 0x03, 0x10}}),
    [](const ::testing::TestParamInfo<PasswordCase>& info) { return info.param.name; });

TEST(TableFieldPassword, EachByteIsReadAsTwoDecimalDigits) {
    const auto passwordOf = [](std::initializer_list<std::uint8_t> bytes) {
        TableFieldValue value{};
        std::copy(bytes.begin(), bytes.end(), value.begin());
        return passwordFromTableField(value);
    };
    EXPECT_EQ(passwordOf({0x44, 0x44, 0x44, 0x44}), "44444444");
    EXPECT_EQ(passwordOf({0x01, 0x02, 0x03, 0x04}), "01020304");
    EXPECT_EQ(passwordOf({0x00, 0x00, 0x00, 0x00}), "00000000");
}

}  // namespace
}  // namespace ptk::testing
