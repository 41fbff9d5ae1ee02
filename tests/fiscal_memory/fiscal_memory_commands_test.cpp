// The fiscal-memory commands against the simulated register, in virtual time: the serial number,
// the registration and its limits, the round trips through the programming mode, the clock, the
// reports, with what goes on the wire and what the inspector is shown.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "fiscal_memory/registration_commands.h"
#include "fiscal_memory/report_commands.h"
#include "sim/commands_fiscal_memory.h"
#include "support/recording_sim_rig.h"

namespace ptk::fiscal_memory {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Codes = std::vector<std::uint8_t>;
using Box = testing::RecordingFrontEnd::Box;
using testing::failedOrRefused;
using testing::kDone;
constexpr const char* kSuccess = "00 - Ошибок нет. Команда выполнена.";
// Stands for the fiscal-memory form, the owner of its boxes.
const OwnerHandle kForm{&kSuccess};

class FiscalMemoryCommands : public ::testing::Test, public testing::RecordingSimRig {
protected:
    FiscalMemoryCommands() {
        // As the mode entry leaves it: in mode 5, entered with the inspector's password.
        state().mode.set(sim::ModeFiscalMemory);
    }

    void clearRecords() {
        commands.clear();
        messages.clear();
        frontEnd.clear();
    }

    std::string accessPassword = "55555555";

    bool tapeHas(const std::string& line) const {
        for (const auto& printed : engine.state().tape.lines()) {
            if (printed == line) return true;
        }
        return false;
    }

    void fillMemory(int shifts = 25) {
        ASSERT_TRUE(
            sim::fillFiscalMemory(state(), shifts, {2012, 3, 5, 0, 0, 0}, {2012, 3, 7, 0, 0, 0}));
    }
};

TEST_F(FiscalMemoryCommands, SerialNumberIsProgrammedOnce) {
    state().identity.serialNumber = 0;
    EXPECT_EQ(ProgramSerialNumber(session, "123"), kDone);
    EXPECT_EQ(messages.back(), (Bytes{0x73, 0x01, 0x61, 0x00, 0x00, 0x01, 0x23}));
    EXPECT_EQ(state().identity.serialNumber, 123u);
    EXPECT_EQ(frontEnd.resultText, kSuccess);
    EXPECT_TRUE(tapeHas("ЗАВОДСКОЙ НОМЕР 00000123"));

    EXPECT_TRUE(failedOrRefused(ProgramSerialNumber(session, "4567")));
    EXPECT_EQ(frontEnd.boxTexts(), std::vector<std::string>{"9E - Заводской номер уже задан."});
    EXPECT_EQ(state().identity.serialNumber, 123u);

    // With the codes shifted, the command still reaches the register as 0x61.
    clearRecords();
    state().identity.serialNumber = 0;
    session.exchange.setCodeSet(CodeSet::Shifted);
    state().link.unshiftedCodes = false;
    EXPECT_EQ(ProgramSerialNumber(session, "7"), kDone);
    EXPECT_EQ(messages.back()[2], 0x33);
    EXPECT_EQ(state().identity.serialNumber, 7u);
}

TEST_F(FiscalMemoryCommands, RegistrationIsRefusedForTheReasonTheRegisterNames) {
    struct Case {
        const char* name;
        void (*prepare)(sim::RegisterState&);
        const char* regNum;
        const char* inn;
        const char* password;
        const char* refusal;
    };
    const Case cases[] = {
        {"no serial number", [](sim::RegisterState& s) { s.identity.serialNumber = 0; }, "77",
         "770123456789", "12345678", "A9 - Не задан заводской номер."},
        {"shift open", [](sim::RegisterState& s) { s.shift.open = true; }, "77", "770123456789",
         "12345678", "9C - Необходимо провести гашение."},
        {"zero registration number", [](sim::RegisterState&) {}, "0", "770123456789", "12345678",
         "A6 - Недопустимый РНМ."},
        {"zero taxpayer number", [](sim::RegisterState&) {}, "77", "0", "12345678",
         "A7 - Недопустимый ИНН."},
        {"zero password", [](sim::RegisterState&) {}, "77", "770123456789", "00000000",
         "A4 - Недопустимый пароль."},
        {"not in mode 5", [](sim::RegisterState& s) { s.mode.set(sim::ModeProgramming); }, "77",
         "770123456789", "12345678", "66 - Команда не реализуется в данном режиме."},
        {"no paper", [](sim::RegisterState& s) { s.printer.paperOut = true; }, "77", "770123456789",
         "12345678", "67 - Нет бумаги."},
    };
    for (const Case& c : cases) {
        sim::RegisterState fresh;
        fresh.mode.set(sim::ModeFiscalMemory);
        c.prepare(fresh);
        state() = fresh;
        clearRecords();
        EXPECT_TRUE(failedOrRefused(FiscalRegistration(session, c.regNum, c.inn, c.password)))
            << c.name;
        EXPECT_EQ(frontEnd.boxTexts(), std::vector<std::string>{c.refusal}) << c.name;
        EXPECT_FALSE(state().fiscal.fiscalised) << c.name;
        EXPECT_TRUE(state().fiscal.registrations.empty()) << c.name;
    }
}

TEST_F(FiscalMemoryCommands, FiscalisationAndFourReRegistrationsThenTheLimit) {
    state().shift.lastClosed = 11;
    ASSERT_EQ(FiscalRegistration(session, "77", "770123456789", "12345678"), kDone);
    EXPECT_EQ(messages.back(), (Bytes{0x73, 0x01, 0x62, 0x00, 0x00, 0x00, 0x00, 0x77, 0x77, 0x01,
                                      0x23, 0x45, 0x67, 0x89, 0x12, 0x34, 0x56, 0x78}));
    EXPECT_TRUE(state().fiscal.fiscalised);
    EXPECT_EQ(state().fiscal.rnm, 77u);
    EXPECT_EQ(state().fiscal.inn, 770123456789u);
    EXPECT_EQ(state().fiscal.initialShift, 12);
    // The new password is the fiscal memory's access password from now on.
    EXPECT_EQ(state().passwords.access[sim::ModeFiscalMemory], 12345678u);
    EXPECT_TRUE(tapeHas("ФИСКАЛИЗАЦИЯ"));

    for (int n = 1; n <= sim::kMaxReRegistrations; ++n) {
        ASSERT_EQ(FiscalRegistration(session, std::to_string(100 + n), "770123456789", "87654321"),
                  kDone)
            << n;
        EXPECT_TRUE(tapeHas("ПЕРЕРЕГИСТРАЦИЯ " + std::to_string(n)));
    }
    EXPECT_TRUE(failedOrRefused(FiscalRegistration(session, "200", "770123456789", "87654321")));
    EXPECT_EQ(frontEnd.boxTexts(),
              std::vector<std::string>{"9F - Количество перерегистраций не может быть более 4."});
    EXPECT_EQ(state().fiscal.rnm, 104u);
    ASSERT_EQ(state().fiscal.registrations.size(), 5u);
    EXPECT_EQ(state().fiscal.registrations.front().rnm, 77u);
}

TEST_F(FiscalMemoryCommands, StartUpReadsTheHeaderLinesInModeFourAndComesBack) {
    HeaderLineTexts lines{"a", "b", "c", "d"};
    ASSERT_TRUE(FiskPamStartUp(session, lines, accessPassword, kForm));
    EXPECT_EQ(commands, (Codes{0x52, 0x46, 0x56, 0x46, 0x46, 0x46, 0x46, 0x52, 0x56}));
    // The password of mode 4 is read from table 3 row 30 under the general rules, then used.
    EXPECT_EQ(messages[1], (Bytes{0x73, 0x01, 0x46, 0x03, 0x00, 0x1E, 0x01}));
    EXPECT_EQ(messages[2], (Bytes{0x73, 0x01, 0x56, 0x04, 0x44, 0x44, 0x44, 0x44}));
    EXPECT_EQ(messages[8], (Bytes{0x73, 0x01, 0x56, 0x05, 0x55, 0x55, 0x55, 0x55}));
    EXPECT_EQ(lines, (HeaderLineTexts{"МАГАЗИН", "ДОБРО ПОЖАЛОВАТЬ", "", ""}));
    EXPECT_EQ(state().mode.mode, sim::ModeFiscalMemory);
    EXPECT_TRUE(frontEnd.boxes.empty());

    // A changed mode-4 password is found in the table, whatever it is.
    clearRecords();
    state().passwords.access[sim::ModeProgramming] = 1020304;
    ASSERT_TRUE(FiskPamStartUp(session, lines, accessPassword, kForm));
    EXPECT_EQ(messages[2], (Bytes{0x73, 0x01, 0x56, 0x04, 0x01, 0x02, 0x03, 0x04}));
}

TEST_F(FiscalMemoryCommands, StartUpStopsWhereItFails) {
    // Mode 4 refused: nothing more is sent.
    faults().errors.push_back({0x56, 0x8C, 1});
    HeaderLineTexts lines{"a", "b", "c", "d"};
    EXPECT_FALSE(FiskPamStartUp(session, lines, accessPassword, kForm));
    EXPECT_EQ(commands, (Codes{0x52, 0x46, 0x56}));
    EXPECT_EQ(frontEnd.boxTexts(), std::vector<std::string>{"8C - Неверный пароль."});
    EXPECT_EQ(lines, (HeaderLineTexts{"a", "b", "c", "d"}));

    // A line that does not decode stops the read there: the register stays in mode 4, and the
    // lines after it keep their texts.
    clearRecords();
    state().mode.set(sim::ModeFiscalMemory);
    state().tables.headerLines[1] = std::string(50, '\\');
    EXPECT_FALSE(FiskPamStartUp(session, lines, accessPassword, kForm));
    EXPECT_EQ(commands, (Codes{0x52, 0x46, 0x56, 0x46, 0x46}));
    EXPECT_EQ(frontEnd.boxes, (std::vector<Box>{{MessageIcon::Error, "Ошибка",
                                                 "Размер данных превышает размер буфера", kForm}}));
    EXPECT_EQ(lines, (HeaderLineTexts{"МАГАЗИН", "b", "c", "d"}));
    EXPECT_EQ(state().mode.mode, sim::ModeProgramming);
}

// An entry whose answer never arrives intact is no entry: the register may be in any mode, so
// the form must not open, whichever of the two entries it was.
TEST(FiscalMemoryStartUpTest, FailsWhenAnEntrysAnswerStaysCorrupt) {
    for (const std::uint8_t mode : {sim::ModeProgramming, sim::ModeFiscalMemory}) {
        SCOPED_TRACE(static_cast<int>(mode));
        testing::RecordingSimRig rig;
        rig.state().mode.set(sim::ModeFiscalMemory);
        rig.engine.setCommandObserver([&rig, mode](const sim::CommandRecord& record) {
            rig.commands.push_back(record.code);
            // The answer and each of its five repeats.
            if (record.code == 0x56 && record.message.at(3) == mode) {
                rig.faults().badChecksumAnswers = 6;
            }
        });
        HeaderLineTexts lines{"a", "b", "c", "d"};
        EXPECT_FALSE(FiskPamStartUp(rig.session, lines, "55555555", kForm));
        EXPECT_EQ(rig.frontEnd.boxTexts(), std::vector<std::string>{"Ошибка контрольной суммы!"});
        EXPECT_EQ(rig.commands.back(), 0x56);
    }
}

TEST_F(FiscalMemoryCommands, HeaderLinesAreStoredInModeFourBeforeTheRegistration) {
    EXPECT_TRUE(
        StoreHeaderLines(session, {"ООО РОМАШКА", "{IMG 2:100}", "", "x"}, accessPassword, kForm));
    EXPECT_EQ(commands, (Codes{0x52, 0x46, 0x56, 0x50, 0x50, 0x50, 0x50, 0x52, 0x56}));
    EXPECT_EQ(state().tables.headerLines[1], std::string("\x0A\x02\x00\x64", 4));
    EXPECT_EQ(state().mode.mode, sim::ModeFiscalMemory);

    // Broken markup: nothing is written, the register is taken back to mode 5, and the
    // registration must not go on.
    clearRecords();
    EXPECT_FALSE(StoreHeaderLines(session, {"A", "{img 1}", "C", "D"}, accessPassword, kForm));
    EXPECT_EQ(commands, (Codes{0x52, 0x46, 0x56, 0x52, 0x56}));
    EXPECT_EQ(frontEnd.boxTexts(), std::vector<std::string>{"Недопустимый параметр"});
    EXPECT_EQ(state().mode.mode, sim::ModeFiscalMemory);

    // Lines written, but mode 5 refused: the register is in no mode to register in.
    clearRecords();
    accessPassword = "11111111";
    EXPECT_FALSE(StoreHeaderLines(session, {"A", "B", "C", "D"}, accessPassword, kForm));
    EXPECT_EQ(state().tables.headerLines[3], "D");
    EXPECT_EQ(state().mode.mode, sim::ModeSelection);
}

TEST_F(FiscalMemoryCommands, ReportsAreJudgedByTheRegisterAndPrinted) {
    fillMemory();
    struct Case {
        const char* name;
        PacketResult (*report)(Session&);
        PacketResult expected;
        Bytes message;
        const char* printed;
    };
    const auto deviceError = [](std::uint8_t code) { return PacketResult::device(code); };
    const Case cases[] = {
        {"dates, full",
         [](Session& s) {
             return FmReportByDates(s, reportDayTime(2012, 3, 5), reportDayTime(2012, 3, 7), 1);
         },
         packet_result::Done, Bytes{0x73, 0x01, 0x65, 0x01, 0x05, 0x03, 0x12, 0x07, 0x03, 0x12},
         "ОТЧЕТ ФП ПО ДАТАМ ПОЛНЫЙ"},
        {"shifts, short", [](Session& s) { return FmReportByShifts(s, 1, 25, 0); },
         packet_result::Done, Bytes{0x73, 0x01, 0x66, 0x00, 0x00, 0x01, 0x00, 0x25},
         "ОТЧЕТ ФП ПО СМЕНАМ СОКРАЩЕННЫЙ"},
        {"shifts beyond the memory", [](Session& s) { return FmReportByShifts(s, 30, 40, 1); },
         deviceError(0xA2), Bytes{0x73, 0x01, 0x66, 0x01, 0x00, 0x30, 0x00, 0x40}, nullptr},
        {"shifts backwards", [](Session& s) { return FmReportByShifts(s, 5, 4, 1); },
         deviceError(0xA2), Bytes{0x73, 0x01, 0x66, 0x01, 0x00, 0x05, 0x00, 0x04}, nullptr},
        {"days without shifts",
         [](Session& s) {
             return FmReportByDates(s, reportDayTime(2013, 1, 1), reportDayTime(2013, 1, 2), 1);
         },
         deviceError(0xAA), Bytes{0x73, 0x01, 0x65, 0x01, 0x01, 0x01, 0x13, 0x02, 0x01, 0x13},
         nullptr},
    };
    for (const Case& c : cases) {
        clearRecords();
        state().tape.clear();
        EXPECT_EQ(c.report(session), c.expected) << c.name;
        ASSERT_FALSE(messages.empty()) << c.name;
        EXPECT_EQ(messages.back(), c.message) << c.name;
        if (c.printed) {
            EXPECT_TRUE(tapeHas(c.printed)) << c.name;
            EXPECT_TRUE(tapeHas("КОНЕЦ ОТЧЕТА ФП")) << c.name;
        } else {
            EXPECT_TRUE(state().tape.lines().empty()) << c.name;
        }
    }
    // A full report lists each shift, a short one only the totals.
    clearRecords();
    state().tape.clear();
    ASSERT_EQ(FmReportByShifts(session, 2, 3, 1), packet_result::Done);
    EXPECT_TRUE(tapeHas("СМЕНА 0002 05.03.12 =1012.34"));
    EXPECT_TRUE(tapeHas("СМЕН: 2  ИТОГО =2037.02"));

    // A day out of the range the report may name sends nothing at all.
    clearRecords();
    EXPECT_EQ(FmReportByDates(session, reportDayTime(2012, 3, 5), reportDayTime(2090, 1, 1), 1),
              kBadDate);
    EXPECT_TRUE(messages.empty());
}

}  // namespace
}  // namespace ptk::fiscal_memory
