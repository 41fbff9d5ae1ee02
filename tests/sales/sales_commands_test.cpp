// The receipt and the report with clearing against the simulated register,
// in virtual time: what goes on the wire, what the register does with it, and what the inspector
// is shown.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "link/front_end.h"
#include "sales/receipt_commands.h"
#include "sales/shift_report.h"
#include "sales_rig.h"
#include "sim/commands_sales.h"

namespace ptk::sales {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testing::failedOrRefused;
using testing::kDone;
using testing::kFailed;
constexpr const char* kSuccess = "00 - Ошибок нет. Команда выполнена.";

class SalesCommands : public ::testing::Test, public testing::SalesRig {
protected:
    void SetUp() override { enterMode(sim::ModeRegistration); }

    void printReceipt(const char* price, const char* section) {
        ASSERT_EQ(OpenReceipt(session, 1), kDone);
        ASSERT_EQ(RegisterSale(session, price, "1", section), kDone);
        ASSERT_EQ(CloseReceipt(session, "01", "0,00"), kDone);
    }
};

TEST_F(SalesCommands, ReceiptGoesOutByteForByteAndIsCounted) {
    printReceipt("1,11", "2");

    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0], (Bytes{0x73, 0x01, 0x92, 0x00, 0x01}));
    EXPECT_EQ(messages[1], (Bytes{0x73, 0x01, 0x48, 0x00, 0x00, 0x00, 0x00, 0x01, 0x11, 0x00, 0x00,
                                  0x00, 0x10, 0x00, 0x02}));
    EXPECT_EQ(messages[2], (Bytes{0x73, 0x01, 0x4A, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00}));

    EXPECT_TRUE(frontEnd.boxes.empty());
    EXPECT_EQ(frontEnd.resultText, kSuccess);
    EXPECT_FALSE(state().receipt.isOpen());
    EXPECT_EQ(state().receipt.number, 2);
    EXPECT_TRUE(state().shift.open);
    EXPECT_EQ(state().totals.sales, 1u);
    EXPECT_EQ(state().totals.salesSum, 111u);
    EXPECT_EQ(state().totals.sectionSums[1], 111u);
    EXPECT_TRUE(tapeHas("1.11 X 1.000 = 1.11"));
    EXPECT_TRUE(tapeHas("ИТОГ =1.11"));
}

TEST_F(SalesCommands, ShiftedCodesReachTheRegisterAsTheSameCommands) {
    session.exchange.setCodeSet(CodeSet::Shifted);
    state().link.unshiftedCodes = false;
    printReceipt("7", "5");
    EXPECT_EQ(commands, (Bytes{0x92, 0x48, 0x4A}));
    EXPECT_EQ(messages[1][2], 0x1A);
    EXPECT_EQ(state().totals.sectionSums[4], 700u);
}

TEST_F(SalesCommands, RefusedPriceSendsNothing) {
    ASSERT_EQ(OpenReceipt(session, 1), kDone);
    const auto written = line.writtenBytes().size();
    for (const char* price : {"", "1,111", "12345678901", "1,1.1", ","}) {
        EXPECT_EQ(RegisterSale(session, price, "1", "2"), std::nullopt) << price;
    }
    EXPECT_EQ(line.writtenBytes().size(), written);
    EXPECT_TRUE(frontEnd.boxes.empty());
    EXPECT_TRUE(state().receipt.isOpen());
    EXPECT_EQ(state().receipt.items, 0);
}

TEST_F(SalesCommands, RegisterJudgesTheSection) {
    ASSERT_EQ(OpenReceipt(session, 1), kDone);
    for (const char* section : {"", "17"}) {
        frontEnd.clear();
        EXPECT_TRUE(failedOrRefused(RegisterSale(session, "1", "1", section))) << section;
        EXPECT_EQ(frontEnd.boxTexts(), std::vector<std::string>{"7D - Неверная секция."});
    }
    EXPECT_EQ(RegisterSale(session, "1", "1", "1"), kDone);
    EXPECT_EQ(state().receipt.sum, 100u);
}

TEST_F(SalesCommands, ReceiptLeftOpenIsCancelledAndNotCounted) {
    ASSERT_EQ(OpenReceipt(session, 1), kDone);
    ASSERT_EQ(RegisterSale(session, "5", "1", "1"), kDone);
    EXPECT_TRUE(failedOrRefused(OpenReceipt(session, 1)));
    EXPECT_EQ(frontEnd.boxTexts().back(), "9B - Чек открыт - операция невозможна.");

    EXPECT_EQ(send(0x59), kDone);
    EXPECT_FALSE(state().receipt.isOpen());
    EXPECT_EQ(state().totals.salesSum, 0u);
    EXPECT_EQ(state().totals.cancelledSum, 500u);

    // A receipt opened after the cancellation starts from nothing.
    printReceipt("1", "2");
    EXPECT_EQ(state().totals.salesSum, 100u);
    EXPECT_EQ(state().totals.sectionSums[0], 0u);
}

TEST_F(SalesCommands, RegisterJudgesThePayment) {
    struct Case {
        Bytes data;  // flags, payment type, sum
        std::uint8_t error;
    };
    const Case cases[] = {
        {{0x00, 0x05, 0x00, 0x00, 0x00, 0x00, 0x00}, 0x7E},  // no such payment type
        {{0x00, 0x01, 0x00, 0x00, 0x00, 0x02, 0x00}, 0x72},  // 2.00 paid for 2.50
        {{0x00, 0x02, 0x00, 0x00, 0x00, 0x03, 0x00}, 0x71},  // card over the sum
        {{0x00, 0x01, 0x00, 0x00, 0x00, 0x03, 0x00}, 0x00},  // 3.00 cash, change 0.50
    };
    ASSERT_EQ(OpenReceipt(session, 1), kDone);
    ASSERT_EQ(RegisterSale(session, "2,5", "1", "3"), kDone);
    for (const auto& c : cases) {
        auto message = session.message(0x4A);
        message.bytes(c.data.data(), c.data.size());
        session.exchange.SendFormCommand(
            formCall(message, 6, ShortAnswer::Refused, ErrorCodeRule::AnswerByte1));
        EXPECT_EQ(session.exchange.received()[2], c.error) << int(c.data[1]);
    }
    EXPECT_TRUE(tapeHas("СДАЧА =0.50"));
    EXPECT_EQ(state().totals.salesSum, 250u);
}

TEST_F(SalesCommands, ShiftOverADayRefusesANewReceipt) {
    state().shift.open = true;
    state().shift.openedAt = state().clock.reading;
    state().clock.set(sim::fromSeconds(sim::toSeconds(state().clock.reading) + 25 * 3600), 0);
    EXPECT_TRUE(failedOrRefused(OpenReceipt(session, 1)));
    EXPECT_EQ(frontEnd.boxTexts(), std::vector<std::string>{"88 - Смена превысила 24 часа."});
}

TEST_F(SalesCommands, ReportWithClearingClosesTheShiftOnce) {
    printReceipt("1,11", "2");
    printReceipt("10", "2");
    enterMode(sim::ModeZReports);
    const std::uint16_t shift = state().shift.current();

    EXPECT_EQ(PrintShiftClosingReport(session), kDone);
    EXPECT_EQ(messages.back(), (Bytes{0x73, 0x01, 0x5A}));
    EXPECT_FALSE(state().shift.open);
    EXPECT_EQ(state().shift.lastClosed, shift);
    EXPECT_EQ(state().totals.sales, 0u);
    EXPECT_EQ(state().totals.grandTotal, 1111u);
    ASSERT_EQ(state().fiscalMemory.size(), 1u);
    EXPECT_EQ(state().fiscalMemory[0].salesSum, 1111u);
    EXPECT_TRUE(tapeHas("ПРОДАЖ: 2  СУММА =11.11"));
    EXPECT_TRUE(tapeHas("СЕКЦИЯ 02 =11.11"));
    EXPECT_TRUE(tapeHas("СМЕНА ЗАКРЫТА"));

    EXPECT_TRUE(failedOrRefused(PrintShiftClosingReport(session)));
    EXPECT_EQ(frontEnd.boxTexts().back(), "8F - Обнуленная касса (повторное гашение невозможно).");
    EXPECT_EQ(state().shift.lastClosed, shift);
}

TEST_F(SalesCommands, ReportWithClearingOnlyInItsMode) {
    state().shift.open = true;
    EXPECT_TRUE(failedOrRefused(PrintShiftClosingReport(session)));
    EXPECT_EQ(frontEnd.boxTexts(),
              std::vector<std::string>{"66 - Команда не реализуется в данном режиме."});
    EXPECT_TRUE(state().shift.open);
}

}  // namespace
}  // namespace ptk::sales
