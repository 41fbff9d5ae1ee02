// The status requests and mode entry against the simulated register, in virtual time.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "status/device_state.h"
#include "status/eklz_state.h"
#include "status/mode_entry.h"
#include "status/registration_info.h"
#include "support/sim_fixture.h"

namespace ptk::testing {
namespace {

const std::string kNoErrors = "00 - Ошибок нет. Команда выполнена.";
const std::string kNoAnswer = "Нет ответа!";

class StatusExchangeTest : public SimFixture {
protected:
    void SetUp() override {
        engine.setCommandObserver([this](const sim::CommandRecord& r) { records.push_back(r); });
    }

    // The codes the register received, as it interpreted them.
    std::vector<std::uint8_t> codes() const {
        std::vector<std::uint8_t> all;
        for (const auto& record : records) all.push_back(record.code);
        return all;
    }

    std::vector<sim::CommandRecord> records;
    std::vector<std::string> lines{"an older line"};
};

TEST_F(StatusExchangeTest, StateReportShowsWhatTheRegisterHolds) {
    state().identity.cashier = 5;
    state().identity.serialNumber = 123456;
    state().identity.version = 258;
    state().clock.set({2013, 5, 7, 9, 5, 0}, 0);
    state().fiscal.fiscalised = true;
    state().shift.open = true;
    state().shift.lastClosed = 12;
    state().mode.set(sim::ModeRegistration);
    state().receipt = {sim::ReceiptKind::Sale, 105, 12345, 1};
    state().printer.paperOut = true;

    ASSERT_EQ(RequestDeviceState(session, lines), 1);
    ASSERT_EQ(lines.size(), 25u);
    EXPECT_EQ(lines[0], "Кассир: 5");
    EXPECT_EQ(lines[3], "Текущая  дата: 07/05/13");
    EXPECT_EQ(lines[4], "Текущее время: 09:05:00");
    EXPECT_EQ(lines[6], "ПТК фискализирован");
    EXPECT_EQ(lines[7], "Смена открыта");
    EXPECT_EQ(lines[12], "Завод. номер ПТК: 00123456");
    EXPECT_EQ(lines[13], "Версия ПТК: 258");
    EXPECT_EQ(lines[15], "Режим: регистрация");
    EXPECT_EQ(lines[18], "Номер чека: 0105");
    EXPECT_EQ(lines[19], "Номер закр. смены: 0012");
    EXPECT_EQ(lines[20], "Продажа");
    EXPECT_EQ(lines[21], "Сумма чека: 123,45");
    EXPECT_EQ(frontEnd.resultText, kNoErrors);

    ASSERT_EQ(RequestPrinterState(session, lines), 1);
    ASSERT_EQ(lines.size(), 29u);
    EXPECT_EQ(lines[25], "Бумаги в принтере нет");
    EXPECT_EQ(lines[28], "Рулон бумаги есть");
    EXPECT_TRUE(frontEnd.boxes.empty());
    EXPECT_EQ(codes(), (std::vector<std::uint8_t>{0x3F, 0x45}));
}

TEST_F(StatusExchangeTest, RefusedStateRequestShowsTheErrorAndKeepsTheLines) {
    faults().errors.push_back({0x3F, 0x68, 1});
    EXPECT_EQ(RequestDeviceState(session, lines), 0);
    EXPECT_EQ(lines, std::vector<std::string>{"an older line"});
    EXPECT_EQ(frontEnd.boxTexts(), std::vector<std::string>{"68 - Нет связи с принтером."});
}

TEST_F(StatusExchangeTest, PrinterStateWithoutClosingByteFailsSilently) {
    faults().silentAt(sim::SilentStep::Closing) = 1;
    EXPECT_EQ(RequestPrinterState(session, lines), 0);
    EXPECT_TRUE(frontEnd.boxes.empty());
    EXPECT_EQ(frontEnd.resultText, kNoErrors);
}

TEST_F(StatusExchangeTest, ShiftedCodesGoOutReduced) {
    state().link.unshiftedCodes = false;
    session.exchange.DirectCodes = 0;
    EXPECT_EQ(RequestDeviceState(session, lines), 1);
    EXPECT_EQ(RequestPrinterState(session, lines), 1);
    EXPECT_EQ(RequestEklzState(session, lines), 1);
    EXPECT_EQ(ReadDataRegister(session, 26, lines), 1);
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0].receivedCode, 0x11);
    EXPECT_EQ(records[1].receivedCode, 0x17);
    EXPECT_EQ(records[2].receivedCode, 0x80);
    EXPECT_EQ(records[3].receivedCode, 0x63);
}

TEST_F(StatusExchangeTest, EklzStateReportShowsTheEklz) {
    state().eklz.number = 1234567;
    state().eklz.activated = true;
    state().eklz.archiveOpen = false;
    state().eklz.lastKpk = 123;
    state().eklz.lastOperation = {2024, 11, 28, 14, 37, 0};
    state().shift.open = true;
    state().shift.lastClosed = 17;
    state().receipt = {sim::ReceiptKind::Return, 1, 1500, 1};

    ASSERT_EQ(RequestEklzState(session, lines), 1);
    const std::vector<std::string> expected = {"Итог текущего документа: 00000015.00",
                                               "Дата последней операции: 28/11/24",
                                               "Время последней операции: 14:37",
                                               "Последний номер КПК: 0000000123",
                                               std::string(38, '_'),
                                               "Номер ЭКЛЗ: 0001234567",
                                               std::string(38, '_'),
                                               "Возврат продажи",
                                               "Архив закрыт",
                                               "ЭКЛЗ активизировано",
                                               "Нет отчета",
                                               "Документ открыт",
                                               "Смена открыта",
                                               "Нет неисправимой ошибки",
                                               std::string(38, '_'),
                                               "Номер текущей/новой смены: 0018"};
    EXPECT_EQ(lines, expected);
}

TEST_F(StatusExchangeTest, EklzStateRefusedLeavesTheLines) {
    faults().errors.push_back({0xAE, 0xD5, 1});
    EXPECT_EQ(RequestEklzState(session, lines), 0);
    EXPECT_EQ(lines, std::vector<std::string>{"an older line"});
    EXPECT_EQ(frontEnd.boxTexts(), std::vector<std::string>{"D5 - Неисправимая ошибка ЭКЛЗ."});
}

// --- Registration information -------------------------------------------------------------------

class RegistrationExchangeTest : public StatusExchangeTest {
protected:
    void SetUp() override {
        StatusExchangeTest::SetUp();
        state().eklz.activationNumber = 3;
        state().eklz.activationsLeft = 4;
        state().eklz.number = 1234567;
        state().fiscal.inn = 50012345005;
        state().fiscal.rnm = 123456;
        state().fiscal.initialShift = 1;
        state().fiscal.registeredOn = {2013, 5, 7, 0, 0, 0};
    }
};

TEST_F(RegistrationExchangeTest, ThreeReadsFillTheWindow) {
    ASSERT_EQ(ReadRegistrationInfo(session, lines), 1);
    ASSERT_EQ(lines.size(), 21u);
    EXPECT_EQ(lines[1], " НОМЕР ТЕКУЩЕЙ АКТИВИЗАЦИИ ЭКЛЗ:" + std::string(10, ' ') + "3");
    EXPECT_EQ(lines[4], " КОЛ-ВО ОСТАВШИХСЯ АКТИВИЗАЦИЙ ЭКЛЗ:" + std::string(3, ' ') + "4");
    EXPECT_EQ(lines[7], " ИНН:" + std::string(64, ' ') + "050012345005");
    EXPECT_EQ(lines[10], " РНМ:" + std::string(64, ' ') + "0000123456");
    EXPECT_EQ(lines[13], " НАЧАЛЬНАЯ СМЕНА:" + std::string(40, ' ') + "0001");
    EXPECT_EQ(lines[16], " ДАТА ФИСКАЛИЗ./ПЕРЕРЕГИСТР.:" + std::string(19, ' ') + "07/05/13");
    EXPECT_EQ(lines[19], " НОМЕР ЭКЛЗ:" + std::string(51, ' ') + "0001234567");
    ASSERT_EQ(records.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(
            records[i].message,
            (std::vector<std::uint8_t>{0x73, 0x01, 0x91, static_cast<std::uint8_t>(26 + i), 0, 0}));
    }
}

struct FailingRead {
    const char* name;
    int failingRead;  // 0, 1 or 2: which of the three reads the register refuses
};

class RegistrationFailure : public RegistrationExchangeTest,
                            public ::testing::WithParamInterface<FailingRead> {};

TEST_P(RegistrationFailure, StopsAtTheFailedRead) {
    // The register answers the reads before the failing one, then refuses.
    const int failing = GetParam().failingRead;
    engine.setCommandObserver([this, failing](const sim::CommandRecord& r) {
        records.push_back(r);
        if (static_cast<int>(records.size()) == failing) faults().errors.push_back({0x91, 0x6C, 1});
    });
    if (failing == 0) faults().errors.push_back({0x91, 0x6C, 1});

    EXPECT_EQ(ReadRegistrationInfo(session, lines), 0);
    EXPECT_EQ(records.size(), static_cast<std::size_t>(failing + 1));
    EXPECT_EQ(frontEnd.boxTexts(), std::vector<std::string>{"6C - Неверный номер регистра."});
    // Lines already written stay; a failure on the first read leaves the older text alone.
    const std::size_t expectedLines[] = {1, 7, 19};
    EXPECT_EQ(lines.size(), expectedLines[failing]);
}

INSTANTIATE_TEST_SUITE_P(Reads, RegistrationFailure,
                         ::testing::Values(FailingRead{"Activations", 0},
                                           FailingRead{"Registration", 1},
                                           FailingRead{"EklzNumber", 2}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RegistrationExchangeTest, SlowRegisterIsWaitedForUpTo45Seconds) {
    faults().answerDelayUs = 44'000'000;
    faults().delayedAnswers = 1;
    const std::uint64_t start = clock.nowUs();
    EXPECT_EQ(ReadDataRegister(session, 26, lines), 1);
    EXPECT_GE(clock.nowUs() - start, 44'000'000u);
    EXPECT_TRUE(frontEnd.boxes.empty());

    faults().answerDelayUs = 46'000'000;
    faults().delayedAnswers = 1;
    EXPECT_EQ(ReadDataRegister(session, 27, lines), 0);
    EXPECT_EQ(frontEnd.boxTexts(), std::vector<std::string>{kNoAnswer});
}

TEST_F(RegistrationExchangeTest, UnknownDataRegisterIsRefused) {
    EXPECT_EQ(ReadDataRegister(session, 29, lines), 0);
    EXPECT_EQ(frontEnd.boxTexts(), std::vector<std::string>{"6C - Неверный номер регистра."});
}

// --- Mode entry ---------------------------------------------------------------------------------

TEST_F(StatusExchangeTest, EachModeOpensWithItsOwnPassword) {
    for (const auto& [mode, password] : {std::pair{1, "11111111"}, std::pair{3, "33333333"},
                                         std::pair{5, "55555555"}, std::pair{6, "66666666"}}) {
        state().mode.set(sim::ModeSelection);
        EXPECT_EQ(EnterMode(session, static_cast<std::uint8_t>(mode), password), 1) << mode;
        EXPECT_EQ(state().mode.mode, mode);
    }
    EXPECT_TRUE(frontEnd.boxes.empty());
    EXPECT_EQ(frontEnd.resultText, kNoErrors);
}

TEST_F(StatusExchangeTest, WrongPasswordIsRefusedWith8C) {
    EXPECT_EQ(EnterMode(session, 1, "11111112"), 0);
    EXPECT_EQ(state().mode.mode, sim::ModeSelection);
    EXPECT_EQ(frontEnd.boxTexts(), std::vector<std::string>{"8C - Неверный пароль."});
}

TEST_F(StatusExchangeTest, ModeCannotBeEnteredFromAnotherMode) {
    state().mode.set(sim::ModeZReports);
    EXPECT_EQ(EnterMode(session, 1, "11111111"), 0);
    EXPECT_EQ(state().mode.mode, sim::ModeZReports);
    EXPECT_EQ(frontEnd.boxTexts(),
              std::vector<std::string>{"66 - Команда не реализуется в данном режиме."});
}

TEST_F(StatusExchangeTest, ShortPasswordTravelsWithLeadingZeros) {
    state().passwords.access[6] = 1234;
    EXPECT_EQ(EnterMode(session, 6, "1234"), 1);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].message,
              (std::vector<std::uint8_t>{0x73, 0x01, 0x56, 0x06, 0x00, 0x00, 0x12, 0x34}));
}

TEST_F(StatusExchangeTest, PasswordBytesThatNeedEscapingArriveIntact) {
    state().passwords.access[5] = 10030310;
    EXPECT_EQ(EnterMode(session, 5, "10030310"), 1);
    const auto written = line.writtenBytes();
    const std::vector<std::uint8_t> stuffed = {0x05, 0x10, 0x10, 0x10, 0x03,
                                               0x10, 0x03, 0x10, 0x10};
    EXPECT_NE(std::search(written.begin(), written.end(), stuffed.begin(), stuffed.end()),
              written.end());
}

TEST_F(StatusExchangeTest, ShiftedEntryGoesOutAs28) {
    state().link.unshiftedCodes = false;
    session.exchange.DirectCodes = 0;
    EXPECT_EQ(EnterMode(session, 3, "33333333"), 1);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].receivedCode, 0x28);
    EXPECT_EQ(state().mode.mode, sim::ModeZReports);
}

TEST_F(StatusExchangeTest, IncompleteEntryAnswerIsNoAnswer) {
    faults().pauseAfterByte = 3;
    faults().pauseUs = 2'000'000;
    faults().framePauses = 1;
    EXPECT_EQ(EnterMode(session, 1, "11111111"), 0);
    EXPECT_EQ(frontEnd.boxTexts(), std::vector<std::string>{kNoAnswer});
}

}  // namespace
}  // namespace ptk::testing
