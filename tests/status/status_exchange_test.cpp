// The status requests against the simulated register, in virtual time.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/device_fixture.h"
#include "status/device_state.h"
#include "status/eklz_state.h"
#include "status/registration_info.h"

namespace ptk::testing {
namespace {

const std::string kNoErrors = "00 - Ошибок нет. Команда выполнена.";
const std::string kNoAnswer = "Нет ответа!";

class StatusExchangeTest : public DeviceTest {
protected:
    std::vector<std::string> lines{"an older line"};
};

TEST_F(StatusExchangeTest, RefusedStateRequestShowsTheErrorAndKeepsTheLines) {
    faults().errors.push_back({0x3F, 0x68, 1});
    EXPECT_TRUE(failedOrRefused(RequestDeviceState(session, lines)));
    EXPECT_EQ(lines, std::vector<std::string>{"an older line"});
    EXPECT_EQ(frontEnd.boxTexts(), std::vector<std::string>{"68 - Нет связи с принтером."});
}

TEST_F(StatusExchangeTest, PrinterStateWithoutClosingByteFailsSilently) {
    faults().silentAt(sim::SilentStep::Closing) = 1;
    EXPECT_TRUE(failedOrRefused(RequestPrinterState(session, lines)));
    EXPECT_TRUE(frontEnd.boxes.empty());
    EXPECT_EQ(frontEnd.resultText, kNoErrors);
}

TEST_F(StatusExchangeTest, ShiftedCodesGoOutReduced) {
    state().link.unshiftedCodes = false;
    session.exchange.setCodeSet(CodeSet::Shifted);
    EXPECT_EQ(RequestDeviceState(session, lines), kDone);
    EXPECT_EQ(RequestPrinterState(session, lines), kDone);
    EXPECT_EQ(RequestEklzState(session, lines), kDone);
    EXPECT_EQ(ReadDataRegister(session, 26, lines), kDone);
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0].receivedCode, 0x11);
    EXPECT_EQ(records[1].receivedCode, 0x17);
    EXPECT_EQ(records[2].receivedCode, 0x80);
    EXPECT_EQ(records[3].receivedCode, 0x63);
}

TEST_F(StatusExchangeTest, EklzStateRefusedLeavesTheLines) {
    faults().errors.push_back({0xAE, 0xD5, 1});
    EXPECT_TRUE(failedOrRefused(RequestEklzState(session, lines)));
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

TEST_F(RegistrationExchangeTest, ThreeReadsAskForTheirRegisters) {
    ASSERT_EQ(ReadRegistrationInfo(session, lines), kDone);
    ASSERT_EQ(lines.size(), 21u);
    EXPECT_EQ(lines[7], " ИНН:" + std::string(64, ' ') + "050012345005");
    EXPECT_EQ(lines[16], " ДАТА ФИСКАЛИЗ./ПЕРЕРЕГИСТР.:" + std::string(19, ' ') + "07/05/13");
    ASSERT_EQ(records.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(
            records[i].message,
            (std::vector<std::uint8_t>{0x73, 0x01, 0x91, static_cast<std::uint8_t>(26 + i), 0, 0}));
    }
}

TEST_F(RegistrationExchangeTest, SlowRegisterIsWaitedForUpTo45Seconds) {
    faults().answerDelayUs = 44'000'000;
    faults().delayedAnswers = 1;
    const std::uint64_t start = clock.nowUs();
    EXPECT_EQ(ReadDataRegister(session, 26, lines), kDone);
    EXPECT_GE(clock.nowUs() - start, 44'000'000u);
    EXPECT_TRUE(frontEnd.boxes.empty());

    faults().answerDelayUs = 46'000'000;
    faults().delayedAnswers = 1;
    EXPECT_TRUE(failedOrRefused(ReadDataRegister(session, 27, lines)));
    EXPECT_EQ(frontEnd.boxTexts(), std::vector<std::string>{kNoAnswer});
}

TEST_F(RegistrationExchangeTest, UnknownDataRegisterIsRefused) {
    EXPECT_TRUE(failedOrRefused(ReadDataRegister(session, 29, lines)));
    EXPECT_EQ(frontEnd.boxTexts(), std::vector<std::string>{"6C - Неверный номер регистра."});
}

}  // namespace
}  // namespace ptk::testing
