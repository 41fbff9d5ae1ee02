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

// One mode change each: the register's mode before, the change asked for (an entry with its
// password, or leaving when there is none), and what came of it.
TEST_F(DeviceTest, ModeChangesTakeTheRegisterWhereTheyGoOrLeaveItAndSayWhy) {
    struct Case {
        std::uint8_t from;
        sim::ReceiptKind receipt;
        std::uint8_t to;
        const char* password;  // null: leave the mode
        ExchangeResult result;
        std::uint8_t after;
        std::string box;  // empty: none, and the result field says no errors
    };
    const Case cases[] = {
        {sim::ModeFiscalMemory, sim::ReceiptKind::Closed, 0, nullptr, kDone, sim::ModeSelection,
         ""},
        {sim::ModeRegistration, sim::ReceiptKind::Sale, 0, nullptr, refused(0x89),
         sim::ModeRegistration, "89 - Открыт чек продажи - операция невозможна."},
        {sim::ModeSelection, sim::ReceiptKind::Closed, 1, "11111111", kDone, 1, ""},
        {sim::ModeSelection, sim::ReceiptKind::Closed, 3, "33333333", kDone, 3, ""},
        {sim::ModeSelection, sim::ReceiptKind::Closed, 5, "55555555", kDone, 5, ""},
        {sim::ModeSelection, sim::ReceiptKind::Closed, 6, "66666666", kDone, 6, ""},
        // Eight digits travel; a shorter password is filled with zeros on the left.
        {sim::ModeSelection, sim::ReceiptKind::Closed, 4, "4444", kDone, 4, ""},
        {sim::ModeSelection, sim::ReceiptKind::Closed, 1, "11111112", refused(0x8C),
         sim::ModeSelection, "8C - Неверный пароль."},
        {sim::ModeZReports, sim::ReceiptKind::Closed, 1, "11111111", refused(0x66),
         sim::ModeZReports, "66 - Команда не реализуется в данном режиме."},
    };
    state().passwords.access[4] = 4444;
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << int{c.from} << " -> " << int{c.to});
        state().mode.set(c.from);
        state().receipt.kind = c.receipt;
        frontEnd.clear();
        const ExchangeResult result =
            c.password ? EnterMode(session, c.to, c.password) : ExitCurrentMode(session);
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(state().mode.mode, c.after);
        if (c.box.empty()) {
            EXPECT_TRUE(frontEnd.boxes.empty());
            EXPECT_EQ(frontEnd.resultText, kNoErrors);
        } else {
            EXPECT_EQ(frontEnd.boxTexts(), std::vector<std::string>{c.box});
        }
    }
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
