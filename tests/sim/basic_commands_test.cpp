// The first commands of the register, asked by the link code over the in-memory line.
#include <gtest/gtest.h>

#include "sim/answer.h"
#include "support/sim_fixture.h"

namespace ptk::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;
using sim::ReceiptKind;

const std::string kNoErrors = "00 - Ошибок нет. Команда выполнена.";

class BasicCommandsTest : public SimFixture {
protected:
    ExchangeResult probe() {
        MessageBuilder message = session.message(0xE0);
        message.byte(0).byte(0);
        CommandCall call = formCall(message, 7, ShortAnswer::Taken, ErrorCodeRule::AnswerByte1);
        call.unknownCommand = UnknownCommandAnswer::IsAResult;
        return session.exchange.SendFormCommand(call);
    }
    ExchangeResult shortStatus() {
        return send(0x45, {}, 55, ShortAnswer::Taken, ErrorCodeRule::None);
    }
    ExchangeResult deviceState() {
        return send(0x3F, {}, 55, ShortAnswer::Taken, ErrorCodeRule::StateAnswer);
    }

    // Every command the register carried out, as it interpreted it.
    std::vector<sim::CommandRecord> records;
    void SetUp() override {
        engine.setCommandObserver([this](const sim::CommandRecord& r) { records.push_back(r); });
    }
};

TEST_F(BasicCommandsTest, ProbeTellsWhichCodesTheRegisterTakes) {
    EXPECT_EQ(probe(), kDone);
    EXPECT_EQ(answer(4), (Bytes{0xE0, 0x00, 0x01, 0x01}));
    EXPECT_EQ(frontEnd.resultText, kNoErrors);

    state().link.unshiftedCodes = false;
    state().identity.modelNumber = 7;
    EXPECT_EQ(probe(), kDone);
    EXPECT_EQ(answer(4), (Bytes{0xE0, 0x00, 0x00, 0x07}));
    EXPECT_TRUE(frontEnd.boxes.empty());
}

TEST_F(BasicCommandsTest, ModelWithoutTheProbeAnswers7AAndCountsAsUnknown) {
    state().link.knowsProbe = false;
    EXPECT_TRUE(unknownCommand(probe()));
    EXPECT_EQ(answer(2), (Bytes{0xE0, 0x7A}));
    EXPECT_TRUE(frontEnd.boxes.empty());
}

TEST_F(BasicCommandsTest, ShiftedModelAddsTheShiftBackToEveryCodeButTheProbe) {
    state().link.unshiftedCodes = false;
    session.exchange.setCodeSet(CodeSet::Shifted);
    EXPECT_EQ(probe(), kDone);
    state().mode.set(sim::ModeZReports, 3);
    EXPECT_EQ(shortStatus(), kDone);
    EXPECT_EQ(answer(2), (Bytes{0x45, 0x33}));
    EXPECT_EQ(deviceState(), kDone);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].receivedCode, 0xE0);
    EXPECT_EQ(records[1].receivedCode, 0x17);
    EXPECT_EQ(records[1].code, 0x45);
    EXPECT_EQ(records[2].receivedCode, 0x11);
    EXPECT_EQ(records[2].code, 0x3F);

    // The program sends codes unshifted after its first probe; this model then reads 0x45 as
    // 0x73, which it does not know.
    session.exchange.setCodeSet(CodeSet::AsWritten);
    EXPECT_TRUE(failedOrRefused(send(0x52)));
    EXPECT_EQ(records.back().code, 0x80);
    EXPECT_EQ(frontEnd.resultText, "46 - Неверная команда от ПТК.");
}

TEST_F(BasicCommandsTest, UnshiftedModelDoesNotKnowShiftedCodes) {
    session.exchange.setCodeSet(CodeSet::Shifted);
    EXPECT_TRUE(failedOrRefused(send(0x52)));  // arrives as 0x24
    EXPECT_EQ(records.back().code, 0x24);
    EXPECT_EQ(answer(3), (Bytes{0x24, 0x46, 0x00}));
}

TEST_F(BasicCommandsTest, ShortStatusCarriesTheModeByteAndPrinterFlags) {
    struct Case {
        std::uint8_t mode, submode;
        bool paper, link, cover, roll;
        std::uint8_t modeByte, printerFlags;
    };
    const Case cases[] = {
        {0, 0, false, false, false, false, 0x00, 0x00},
        {5, 2, true, false, false, false, 0x25, 0x01},
        {1, 4, false, true, false, false, 0x41, 0x02},
        {6, 1, false, false, true, false, 0x16, 0x04},
        {7, 14, true, true, true, true, 0xE7, 0x0F},
    };
    for (const Case& c : cases) {
        state().mode.set(c.mode, c.submode);
        state().printer = {c.paper, c.link, c.cover, c.roll};
        EXPECT_EQ(shortStatus(), kDone);
        EXPECT_EQ(answer(3), (Bytes{0x45, c.modeByte, c.printerFlags}));
    }
    EXPECT_TRUE(frontEnd.boxes.empty());
}

TEST_F(BasicCommandsTest, StateAnswerLaysOutTheWholeReport) {
    sim::RegisterState& s = state();
    s.identity.cashier = 5;
    s.identity.hallNumber = 12;
    s.clock.set({2013, 5, 7, 9, 5, 0}, clock.nowUs());
    s.fiscal.fiscalised = true;
    s.shift.open = true;
    s.hardware.cashDrawerOpen = true;
    s.printer.coverOpen = true;
    s.hardware.batteryLow = true;
    s.identity.serialNumber = 123456;
    s.identity.version = 258;
    s.mode.set(sim::ModeRegistration, 4);
    s.receipt = {ReceiptKind::Return, 105, 12345, 1};
    s.shift.lastClosed = 12;
    s.identity.decimalPoint = 2;
    s.identity.portNumber = 3;

    EXPECT_EQ(deviceState(), kDone);
    const Bytes expected{0x44,                          // 'D'
                         0x05, 0x12,                    // cashier, hall number
                         0x13, 0x05, 0x07,              // year, month, day
                         0x09, 0x05, 0x00,              // time (read within the same second)
                         0xA7,                          // flags: all five set
                         0x00, 0x12, 0x34, 0x56,        // serial number
                         0x00,                          // unused
                         0x02, 0x01,                    // version 258, low byte first
                         0x41,                          // mode byte
                         0x01, 0x05,                    // receipt 0105
                         0x00, 0x12,                    // last closed shift 0012
                         0x02,                          // receipt state: return
                         0x00, 0x00, 0x01, 0x23, 0x45,  // sum 123,45
                         0x02, 0x03};                   // decimal point, port number
    EXPECT_EQ(answer(30), expected);
    EXPECT_EQ(frontEnd.resultText, kNoErrors);
}

TEST_F(BasicCommandsTest, RegisterClockRunsWithTime) {
    state().clock.set({2013, 12, 31, 23, 59, 30}, clock.nowUs());
    clock.advanceUs(45'000'000);
    EXPECT_EQ(deviceState(), kDone);
    EXPECT_EQ(answer(9), (Bytes{0x44, 0x01, 0x01, 0x14, 0x01, 0x01, 0x00, 0x00, 0x15}));
}

TEST_F(BasicCommandsTest, LeaveModeReturnsToSelection) {
    state().mode.set(sim::ModeFiscalMemory, 0);
    EXPECT_EQ(send(0x52), kDone);
    EXPECT_EQ(answer(3), (Bytes{0x52, 0x00, 0x00}));
    EXPECT_EQ(state().mode.byte(), 0x00);
    // Already there: nothing to do, no error.
    EXPECT_EQ(send(0x52), kDone);
}

TEST_F(BasicCommandsTest, LeaveModeIsRefusedWhileAReceiptIsOpen) {
    struct Case {
        ReceiptKind kind;
        std::string text;
    };
    const Case cases[] = {
        {ReceiptKind::Sale, "89 - Открыт чек продажи - операция невозможна."},
        {ReceiptKind::Return, "87 - Открыт чек возврата - операция невозможна."},
        {ReceiptKind::Annulment, "82 - Открыт чек аннулирования - операция невозможна."},
    };
    for (const Case& c : cases) {
        state().mode.set(sim::ModeRegistration);
        state().receipt.kind = c.kind;
        frontEnd.clear();
        EXPECT_TRUE(failedOrRefused(send(0x52)));
        EXPECT_EQ(frontEnd.boxTexts(), std::vector<std::string>{c.text});
        EXPECT_EQ(state().mode.mode, sim::ModeRegistration);
    }
}

TEST_F(BasicCommandsTest, LeaveModeBreaksOffABackgroundReport) {
    state().mode.set(sim::ModeFiscalMemory, 2);
    state().background.active = true;
    state().background.busyUntilUs = clock.nowUs() + 60'000'000;
    state().background.submodeWhileBusy = 2;
    EXPECT_EQ(send(0x52), kDone);
    EXPECT_FALSE(state().background.active);
    EXPECT_EQ(state().mode.byte(), 0x00);
    EXPECT_EQ(state().tape.lines().back(), "ОТЧЕТ ПРЕРВАН");
}

TEST_F(BasicCommandsTest, CancelReceiptNeedsTheRegistrationModeAndAnOpenReceipt) {
    EXPECT_TRUE(failedOrRefused(send(0x59)));
    EXPECT_EQ(frontEnd.resultText, "66 - Команда не реализуется в данном режиме.");
    state().mode.set(sim::ModeRegistration);
    EXPECT_TRUE(failedOrRefused(send(0x59)));
    EXPECT_EQ(frontEnd.resultText, "9A - Чек закрыт - операция невозможна.");
    EXPECT_TRUE(state().tape.lines().empty());
}

TEST_F(BasicCommandsTest, CancelReceiptPrintsTheCancellationAndCountsIt) {
    std::vector<std::string> printed;
    state().tape.setObserver([&](const std::string& line) { printed.push_back(line); });
    state().clock.set({2013, 5, 7, 9, 5, 0}, clock.nowUs());
    state().mode.set(sim::ModeRegistration);
    state().receipt = {ReceiptKind::Sale, 7, 111, 1};
    EXPECT_EQ(send(0x59), kDone);
    EXPECT_EQ(printed,
              (std::vector<std::string>{"ЧЕК 0007 АННУЛИРОВАН", "СУММА: 1.11", "07.05.13 09:05"}));
    EXPECT_FALSE(state().receipt.isOpen());
    EXPECT_EQ(state().receipt.sum, 0u);
    EXPECT_EQ(state().receipt.number, 8);
    EXPECT_EQ(state().totals.cancelled, 1u);
    EXPECT_EQ(state().totals.cancelledSum, 111u);
}

TEST_F(BasicCommandsTest, CancelReceiptWithAFaultyPrinterKeepsTheReceipt) {
    state().mode.set(sim::ModeRegistration);
    state().receipt = {ReceiptKind::Sale, 7, 111, 1};
    state().printer.paperOut = true;
    EXPECT_TRUE(failedOrRefused(send(0x59)));
    EXPECT_EQ(frontEnd.resultText, "67 - Нет бумаги.");
    EXPECT_TRUE(state().receipt.isOpen());
    state().printer = {};
    state().printer.linkLost = true;
    EXPECT_TRUE(failedOrRefused(send(0x59)));
    EXPECT_EQ(frontEnd.resultText, "68 - Нет связи с принтером.");
}

TEST_F(BasicCommandsTest, UnknownCommandGets46) {
    EXPECT_TRUE(failedOrRefused(send(0x77)));
    EXPECT_EQ(answer(3), (Bytes{0x77, 0x46, 0x00}));
    EXPECT_EQ(frontEnd.boxTexts(), std::vector<std::string>{"46 - Неверная команда от ПТК."});
}

TEST_F(BasicCommandsTest, WrongLinkPasswordGets8CWhateverTheCommand) {
    session.LinkPassword = "1234";
    EXPECT_TRUE(failedOrRefused(send(0x52)));
    EXPECT_EQ(frontEnd.resultText, "8C - Неверный пароль.");
    EXPECT_TRUE(failedOrRefused(probe()));
    EXPECT_EQ(answer(2), (Bytes{0xE0, 0x8C}));
    // The state request is refused with a type byte other than 'D', so it counts as an error.
    EXPECT_TRUE(failedOrRefused(deviceState()));
    EXPECT_EQ(answer(2), (Bytes{0x3F, 0x8C}));
}

TEST_F(BasicCommandsTest, NewCommandGroupsPlugIntoTheTable) {
    engine.commands().add({0xF1, "test command", sim::inModes({sim::ModeSelection}),
                           [](sim::RegisterState& s, const sim::CommandRequest& request) {
                               return sim::AnswerBuilder(request.code, 0)
                                   .byte(request.data.empty() ? 0 : request.data[0])
                                   .bcd(s.eklz.number, 5)
                                   .reply(sim::kQuickCommandUs);
                           }});
    EXPECT_EQ(send(0xF1, {28, 0, 0}, 55, ShortAnswer::Taken), kDone);
    EXPECT_EQ(answer(8), (Bytes{0xF1, 0x00, 28, 0x12, 0x34, 0x56, 0x78, 0x90}));
    state().mode.set(sim::ModeRegistration);
    EXPECT_TRUE(failedOrRefused(send(0xF1, {28, 0, 0}, 55, ShortAnswer::Taken)));
    EXPECT_EQ(frontEnd.resultText, "66 - Команда не реализуется в данном режиме.");
}

}  // namespace
}  // namespace ptk::testing
