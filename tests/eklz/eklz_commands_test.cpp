// The EKLZ transactions against the simulated register, in virtual time: the bytes on the wire,
// the time the register may take, what the inspector is shown, and what the register's EKLZ does.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "eklz/eklz_commands.h"
#include "eklz/eklz_thread.h"
#include "eklz_rig.h"

namespace ptk::eklz {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testing::EklzRig;
using Call = std::function<std::optional<ExchangeResult>(Session&)>;
using testing::failedOrRefused;
using testing::kDone;
using testing::kFailed;

constexpr const char* kSuccess = "00 - Ошибок нет. Команда выполнена.";
constexpr const char* kTapeProcessed = "01 - Контрольная лента обработана без ошибок.";
constexpr const char* kNoAnswer = "Нет ответа!";

struct WireCase {
    const char* name;
    Call call;
    Bytes message;  // code and data, after the link password
    const char* resultText;
    const char* printed;  // the first line the register prints
};

// Activation needs an EKLZ that is not activated yet; every other case starts from setUpEklz.
std::vector<WireCase> wireCases() {
    return {
        {"activation",
         [](Session& s) { return EklzCommand(s, kActivation); },
         {0xA6},
         kSuccess,
         "АКТИВИЗАЦИЯ ЭКЛЗ"},
        {"activation totals",
         [](Session& s) { return EklzCommand(s, kActivationTotals); },
         {0xA8},
         kSuccess,
         "ИТОГИ АКТИВИЗАЦИИ ЭКЛЗ"},
        {"archive closing",
         [](Session& s) { return EklzCommand(s, kArchiveClosing); },
         {0xA7},
         kSuccess,
         "ЗАКРЫТИЕ АРХИВА ЭКЛЗ"},
        {"dates full",
         [](Session& s) { return EklzReportByDates(s, 1, "01.02.2013", "28.02.2013"); },
         {0xAC, 0x01, 0x01, 0x02, 0x13, 0x28, 0x02, 0x13},
         kSuccess,
         "ОТЧЕТ ЭКЛЗ ПО ДАТАМ ПОЛНЫЙ"},
        {"shifts short",
         [](Session& s) { return EklzReportByShifts(s, 0, "1", "25"); },
         {0xAD, 0x00, 0x00, 0x01, 0x00, 0x25},
         kSuccess,
         "ОТЧЕТ ЭКЛЗ ПО СМЕНАМ СОКРАЩЕННЫЙ"},
        {"shift totals",
         [](Session& s) { return EklzRequest(s, kShiftTotals, "7"); },
         {0xA9, 0x00, 0x07},
         kSuccess,
         "ИТОГИ СМЕНЫ 0007"},
        {"control tape",
         [](Session& s) { return EklzRequest(s, kControlTape, "12"); },
         {0xAA, 0x00, 0x12},
         kTapeProcessed,
         "КОНТРОЛЬНАЯ ЛЕНТА СМЕНЫ 0012"},
        {"document",
         [](Session& s) { return EklzRequest(s, kDocument, "5"); },
         {0xAB, 0x00, 0x00, 0x00, 0x05},
         kSuccess,
         "ДОКУМЕНТ КПК 00000005"},
    };
}

// Each transaction byte for byte, with codes as they are and reduced by the code shift, and
// the register carrying it out either way; 0x01 (a control tape processed) is a success too.
TEST(EklzCommands, EachTransactionOnTheWire) {
    for (const bool shifted : {false, true}) {
        for (const WireCase& c : wireCases()) {
            SCOPED_TRACE(std::string(c.name) + (shifted ? ", shifted" : ""));
            EklzRig rig;
            if (c.message[0] == kActivationCode) rig.state().eklz.activated = false;
            if (shifted) {
                rig.session.exchange.setCodeSet(CodeSet::Shifted);
                rig.state().link.unshiftedCodes = false;
            }
            const std::size_t printedBefore = rig.state().tape.lines().size();

            EXPECT_EQ(c.call(rig.session), kDone);

            Bytes expected{0x73, 0x01};
            expected.insert(expected.end(), c.message.begin(), c.message.end());
            if (shifted) expected[2] = static_cast<std::uint8_t>(expected[2] - 0x2E);
            ASSERT_EQ(rig.messages.size(), 1u);
            EXPECT_EQ(rig.messages[0], expected);
            EXPECT_EQ(rig.commands, Bytes{c.message[0]});
            EXPECT_TRUE(rig.frontEnd.boxes.empty());
            EXPECT_EQ(rig.frontEnd.resultText, c.resultText);
            ASSERT_GT(rig.state().tape.lines().size(), printedBefore);
            EXPECT_EQ(rig.state().tape.lines()[printedBefore], c.printed);
        }
    }
}

// The record a window hands to the report thread selects the routine; its result is the
// thread's.
TEST(EklzCommands, ReportThreadProcRunsTheRoutineOfTheRecord) {
    using Routine = OTCHTHREADARG::Routine;
    const struct {
        EklzThreadArg record;
        Bytes message;
        std::optional<ExchangeResult> result;
    } cases[] = {
        {EKLZCMDTHREADARG{kActivationTotals}, {0xA8}, kDone},
        {EKLZCMDTHREADARG{9}, {}, std::nullopt},
        {OTCHTHREADARG{Routine::EklzReportByDates, 0, "01.02.2013", "28.02.13"},
         {0xAC, 0x00, 0x01, 0x02, 0x13, 0x28, 0x02, 0x13},
         kDone},
        {OTCHTHREADARG{Routine::EklzReportByShifts, 1, "12", "13"},
         {0xAD, 0x01, 0x00, 0x12, 0x00, 0x13},
         kDone},
        {EKLZPRNTHREADARG{kControlTape, "13"}, {0xAA, 0x00, 0x13}, kDone},
        {EKLZPRNTHREADARG{kDocument, "99"}, {0xAB, 0x00, 0x00, 0x00, 0x99}, testing::refused(0xAC)},
        {EKLZPRNTHREADARG{4, "1"}, {}, std::nullopt},
    };
    for (const auto& c : cases) {
        EklzRig rig;
        EXPECT_EQ(ReportThreadProc(rig.session, c.record), c.result) << c.record.index();
        if (c.message.empty()) {
            EXPECT_TRUE(rig.line.writes().empty());
        } else {
            ASSERT_EQ(rig.messages.size(), 1u);
            EXPECT_EQ(Bytes(rig.messages[0].begin() + 2, rig.messages[0].end()), c.message);
        }
    }
}

// What does not convert never reaches the line, and nothing is shown: the window has refused
// it with its own message before.
TEST(EklzCommands, ArgumentsThatDoNotConvertSendNothing) {
    const Call calls[] = {
        [](Session& s) { return EklzCommand(s, 0); },
        [](Session& s) { return EklzCommand(s, 4); },
        [](Session& s) { return EklzReportByDates(s, 1, "1.2.2013", "28.02.2013"); },
        [](Session& s) { return EklzReportByDates(s, 1, "01.02.2013", ""); },
        [](Session& s) { return EklzReportByShifts(s, 1, "", "25"); },
        [](Session& s) { return EklzReportByShifts(s, 1, "1", "12345"); },
        [](Session& s) { return EklzRequest(s, kShiftTotals, "12345"); },
        [](Session& s) { return EklzRequest(s, kControlTape, " "); },
        [](Session& s) { return EklzRequest(s, kDocument, "123456789"); },
        [](Session& s) { return EklzRequest(s, kDocument, "12a"); },
        [](Session& s) { return EklzRequest(s, 0, "1"); },
    };
    for (std::size_t i = 0; i < std::size(calls); ++i) {
        EklzRig rig;
        EXPECT_FALSE(calls[i](rig.session).has_value()) << i;
        EXPECT_TRUE(rig.line.writes().empty()) << i;
        EXPECT_TRUE(rig.frontEnd.boxes.empty()) << i;
        EXPECT_TRUE(rig.frontEnd.resultHistory.empty()) << i;
    }
}

// The single commands may take the register just under 20 s, the reports and requests just
// under two minutes; an answer that starts later is no answer.
TEST(EklzCommands, TimeTheRegisterMayTake) {
    const struct {
        const char* name;
        Call call;
        std::uint64_t workUs;
        ExchangeResult result;
    } cases[] = {
        {"single command in 19 s", [](Session& s) { return EklzCommand(s, kActivationTotals); },
         19'000'000, kDone},
        {"single command in 19.9 s", [](Session& s) { return EklzCommand(s, kActivationTotals); },
         19'900'000, kDone},
        {"single command in 20 s", [](Session& s) { return EklzCommand(s, kActivationTotals); },
         20'000'000, kFailed},
        {"report in 119.9 s", [](Session& s) { return EklzReportByShifts(s, 1, "1", "30"); },
         119'900'000, kDone},
        {"report in 120 s", [](Session& s) { return EklzReportByShifts(s, 1, "1", "30"); },
         120'000'000, kFailed},
        {"request in 60 s", [](Session& s) { return EklzRequest(s, kShiftTotals, "12"); },
         60'000'000, kDone},
        {"request in 120 s", [](Session& s) { return EklzRequest(s, kDocument, "7"); }, 120'000'000,
         kFailed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EklzRig rig;
        rig.state().eklz.operationUs = c.workUs;
        EXPECT_EQ(c.call(rig.session), c.result);
        if (c.result.succeeded()) {
            EXPECT_TRUE(rig.frontEnd.boxes.empty());
        } else {
            EXPECT_EQ(rig.frontEnd.boxTexts(), std::vector<std::string>{kNoAnswer});
        }
    }
}

// The register's refusals reach the inspector in its own words, in a box and in the result
// field, and count as failures.
TEST(EklzCommands, RefusalsOfTheRegister) {
    using Setup = std::function<void(sim::RegisterState&)>;
    const struct {
        const char* name;
        Setup setup;
        Call call;
        const char* text;
    } cases[] = {
        {"fifty activations",
         [](sim::RegisterState& s) {
             s.eklz.activated = false;
             s.eklz.activationsLeft = 0;
         },
         [](Session& s) { return EklzCommand(s, kActivation); },
         "CF - В ПТК произведено 50 активизаций."},
        {"activation impossible",
         [](sim::RegisterState& s) {
             s.eklz.activated = false;
             s.eklz.activationPossible = false;
         },
         [](Session& s) { return EklzCommand(s, kActivation); },
         "D0 - Активизация данной ЭКЛЗ в составе данной ПТК невозможна."},
        {"activated already", [](sim::RegisterState&) {},
         [](Session& s) { return EklzCommand(s, kActivation); }, "D4 - Неверное состояние ЭКЛЗ."},
        {"archive with the shift open", [](sim::RegisterState& s) { s.shift.open = true; },
         [](Session& s) { return EklzCommand(s, kArchiveClosing); },
         "21 - Невозможно закрыть архив."},
        {"archive closed already", [](sim::RegisterState& s) { s.eklz.archiveOpen = false; },
         [](Session& s) { return EklzCommand(s, kArchiveClosing); },
         "21 - Невозможно закрыть архив."},
        {"no such document", [](sim::RegisterState&) {},
         [](Session& s) { return EklzRequest(s, kDocument, "8"); },
         "AC - Нет указанного чека в КЛ."},
        {"shift not held", [](sim::RegisterState&) {},
         [](Session& s) { return EklzRequest(s, kControlTape, "31"); },
         "DA - В ЭКЛЗ нет запрошенных данных."},
        {"dates before the activation", [](sim::RegisterState&) {},
         [](Session& s) { return EklzReportByDates(s, 0, "01.12.2012", "09.01.2013"); },
         "DA - В ЭКЛЗ нет запрошенных данных."},
        {"shifts the wrong way round", [](sim::RegisterState&) {},
         [](Session& s) { return EklzReportByShifts(s, 0, "20", "10"); },
         "DA - В ЭКЛЗ нет запрошенных данных."},
        {"no such date", [](sim::RegisterState&) {},
         [](Session& s) { return EklzReportByDates(s, 1, "31.02.2013", "28.02.2013"); },
         "94 - Неверная дата."},
        {"not activated", [](sim::RegisterState& s) { s.eklz.activated = false; },
         [](Session& s) { return EklzRequest(s, kShiftTotals, "12"); },
         "D4 - Неверное состояние ЭКЛЗ."},
        {"broken", [](sim::RegisterState& s) { s.eklz.fatalError = true; },
         [](Session& s) { return EklzCommand(s, kActivationTotals); },
         "D5 - Неисправимая ошибка ЭКЛЗ."},
        {"no paper", [](sim::RegisterState& s) { s.printer.paperOut = true; },
         [](Session& s) { return EklzReportByShifts(s, 1, "1", "2"); }, "67 - Нет бумаги."},
        {"another mode", [](sim::RegisterState& s) { s.mode.set(sim::ModeRegistration); },
         [](Session& s) { return EklzRequest(s, kControlTape, "12"); },
         "66 - Команда не реализуется в данном режиме."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EklzRig rig;
        c.setup(rig.state());
        const std::size_t printedBefore = rig.state().tape.lines().size();
        EXPECT_TRUE(failedOrRefused(c.call(rig.session)));
        EXPECT_EQ(rig.frontEnd.boxTexts(), std::vector<std::string>{c.text});
        EXPECT_EQ(rig.frontEnd.resultText, c.text);
        EXPECT_EQ(rig.state().tape.lines().size(), printedBefore);
    }
}

// The register's side: an activation starts a new EKLZ at the current shift, receipts are filed
// on its control tape under the next КПК numbers, and the requests find them.
TEST(EklzCommands, ReceiptsAreFiledOnTheControlTapeOfANewEklz) {
    EklzRig rig;
    auto& eklz = rig.state().eklz;
    eklz.activated = false;
    eklz.controlTape.clear();
    rig.state().shift.lastClosed = 40;
    ASSERT_EQ(EklzCommand(rig.session, kActivation), kDone);
    EXPECT_TRUE(eklz.activated);
    EXPECT_EQ(eklz.activationNumber, 2);
    EXPECT_EQ(eklz.activationsLeft, 48);
    EXPECT_EQ(eklz.firstShift, 41);
    EXPECT_TRUE(rig.tapeHas("АКТИВИЗАЦИЯ 2  ОСТАЛОСЬ 48"));

    rig.enterMode(sim::ModeRegistration);
    for (int receipt = 0; receipt < 2; ++receipt) {
        ASSERT_EQ(rig.send(0x92, {0x00, 0x01}), kDone);
        ASSERT_EQ(
            rig.send(0x48, {0x00, 0x00, 0x00, 0x00, 0x02, 0x50, 0x00, 0x00, 0x00, 0x10, 0x00, 0x01},
                     20, ShortAnswer::Taken),
            kDone);
        ASSERT_EQ(rig.send(0x4A, {0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00}), kDone);
    }
    ASSERT_EQ(eklz.controlTape.size(), 2u);
    EXPECT_EQ(eklz.lastKpk, 9u);

    rig.enterMode(sim::ModeEklz);
    EXPECT_EQ(EklzRequest(rig.session, kControlTape, "41"), kDone);
    EXPECT_TRUE(rig.tapeHas("ДОКУМЕНТОВ: 2"));
    EXPECT_EQ(EklzRequest(rig.session, kDocument, "9"), kDone);
    EXPECT_TRUE(rig.tapeHas("ДОКУМЕНТ КПК 00000009"));
    EXPECT_TRUE(rig.tapeHas("ПРОДАЖА =2.50"));
    EXPECT_EQ(EklzRequest(rig.session, kShiftTotals, "41"), kDone);
    EXPECT_TRUE(rig.tapeHas("ПРОДАЖА =5.00"));
    // The shift is still open: the archive stays open until it is closed.
    EXPECT_TRUE(failedOrRefused(EklzCommand(rig.session, kArchiveClosing)));
    EXPECT_TRUE(eklz.archiveOpen);
}

// A closed archive takes no more documents.
TEST(EklzCommands, ClosedArchiveFilesNothing) {
    EklzRig rig;
    ASSERT_EQ(EklzCommand(rig.session, kArchiveClosing), kDone);
    EXPECT_FALSE(rig.state().eklz.archiveOpen);
    EXPECT_TRUE(rig.tapeHas("ИТОГО ПРОДАЖ: 2  СУММА =11.11"));
    rig.enterMode(sim::ModeRegistration);
    ASSERT_EQ(rig.send(0x92, {0x00, 0x01}), kDone);
    ASSERT_EQ(rig.send(0x4A, {0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00}), kDone);
    EXPECT_EQ(rig.state().eklz.controlTape.size(), 3u);
    EXPECT_EQ(rig.state().eklz.lastKpk, 7u);
}

// A full report lists each shift with documents, a short one only the totals; both cover only
// what the range holds.
TEST(EklzCommands, FullReportsListTheShifts) {
    const struct {
        Call call;
        std::vector<std::string> lines;
    } cases[] = {
        {[](Session& s) { return EklzReportByShifts(s, 1, "1", "30"); },
         {"ОТЧЕТ ЭКЛЗ ПО СМЕНАМ ПОЛНЫЙ", "СМЕНЫ С 0001 ПО 0030",
          "СМЕНА 0012  ПРОДАЖ: 1  СУММА =1.11", "СМЕНА 0013  ПРОДАЖ: 1  СУММА =10.00",
          "ИТОГО ПРОДАЖ: 2  СУММА =11.11"}},
        {[](Session& s) { return EklzReportByShifts(s, 0, "13", "40"); },
         {"ОТЧЕТ ЭКЛЗ ПО СМЕНАМ СОКРАЩЕННЫЙ", "СМЕНЫ С 0013 ПО 0040",
          "ИТОГО ПРОДАЖ: 1  СУММА =10.00"}},
        {[](Session& s) { return EklzReportByDates(s, 1, "01.02.2013", "28.02.2013"); },
         {"ОТЧЕТ ЭКЛЗ ПО ДАТАМ ПОЛНЫЙ", "С 01.02.13 ПО 28.02.13",
          "СМЕНА 0012  ПРОДАЖ: 1  СУММА =1.11", "ИТОГО ПРОДАЖ: 1  СУММА =1.11"}},
        {[](Session& s) { return EklzReportByDates(s, 0, "01.03.2013", "31.12.2013"); },
         {"ОТЧЕТ ЭКЛЗ ПО ДАТАМ СОКРАЩЕННЫЙ", "С 01.03.13 ПО 31.12.13",
          "ИТОГО ПРОДАЖ: 1  СУММА =10.00"}},
    };
    for (const auto& c : cases) {
        EklzRig rig;
        EXPECT_EQ(c.call(rig.session), kDone);
        EXPECT_EQ(rig.state().tape.lines(), c.lines);
    }
}

// At most as many activations as the register has left; then CF, whatever EKLZ is put in.
TEST(EklzCommands, ActivationsRunOut) {
    EklzRig rig;
    rig.state().eklz.activationsLeft = 3;
    int activations = 0;
    for (int attempt = 0; attempt < 5; ++attempt) {
        rig.state().eklz.activated = false;  // a new EKLZ put in
        if (EklzCommand(rig.session, kActivation) == kDone) ++activations;
    }
    EXPECT_EQ(activations, 3);
    EXPECT_EQ(rig.state().eklz.activationsLeft, 0);
    EXPECT_EQ(rig.frontEnd.boxTexts(),
              (std::vector<std::string>{"CF - В ПТК произведено 50 активизаций.",
                                        "CF - В ПТК произведено 50 активизаций."}));
}

}  // namespace
}  // namespace ptk::eklz
