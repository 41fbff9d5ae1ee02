// The trace of whole transactions through the real command exchange: the decoded line of each
// kind of frame, control bytes, refused frames and the transaction's result.
#include <gtest/gtest.h>

#include <functional>
#include <variant>

#include "frame_of.h"
#include "link/packet_command.h"
#include "trace_rig.h"

namespace ptk::testing {
namespace {

using namespace control;
using Bytes = std::vector<std::uint8_t>;

Bytes withWrongChecksum(Bytes frame) {
    frame.back() ^= 0x5A;
    return frame;
}

// A transaction's result, of the command exchange or of the packet driver.
using AnyResult = std::variant<ExchangeResult, PacketResult>;

struct TransactionCase {
    const char* name;
    std::function<void(TracedLinkRig&)> arrange;
    std::function<AnyResult(TracedLinkRig&)> run;
    AnyResult result;
    std::vector<std::string> lines;  // expected in this order, others may come between
};

// A state answer of 30 bytes: type 'D', cashier 1, the rest zero but a 0x10 at byte 5.
Bytes stateAnswer() {
    Bytes answer(30, 0x00);
    answer[0] = 0x44;
    answer[1] = 0x01;
    answer[5] = 0x10;
    return answer;
}

const TransactionCase kCases[] = {
    {"state answer, stuffed byte un-stuffed in the decoded line",
     [](TracedLinkRig& rig) { rig.device.answer = stateAnswer(); },
     [](TracedLinkRig& rig) {
         return rig.send(0x3F, {}, ExchangeRules::Form, ErrorCodeRule::StateAnswer, 55,
                         ShortAnswer::Taken);
     },
     kDone,
     {"pc>reg 05 (ENQ)", "reg>pc 06 (ACK)", "pc>reg 02 73 01 3F 03 4E",
      "pc>reg command 0x3F state, link password 73 01, no data", "reg>pc 06 (ACK)",
      "pc>reg 04 (EOT)", "reg>pc 05 (ENQ)", "pc>reg 06 (ACK)",
      "reg>pc 02 44 01 00 00 00 10 10 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
      "00 00 00 00 03 46",
      "reg>pc answer to 0x3F state: 44 01 00 00 00 10 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
      "00 00 00 00 00 00 00 00 00 00, state answer, error 00 - Ошибок нет. Команда выполнена.",
      "pc>reg 06 (ACK)", "reg>pc 04 (EOT)", "end of 0x3F state: result 1 (done)"}},
    {"short status: byte 1 is the mode byte, not an error",
     [](TracedLinkRig& rig) {
         rig.device.answer = {0x45, 0x14, 0x00, 0x00};
     },
     [](TracedLinkRig& rig) {
         return rig.send(0x45, {}, ExchangeRules::Form, ErrorCodeRule::None, 55,
                         ShortAnswer::Taken);
     },
     kDone,
     {"pc>reg command 0x45 short status, link password 73 01, no data",
      "reg>pc answer to 0x45 short status: 45 14 00 00, mode byte 0x14",
      "end of 0x45 short status: result 1 (done)"}},
    {"device error, form variant",
     [](TracedLinkRig& rig) {
         rig.device.answer = {0x52, 0x9C, 0x00};
     },
     [](TracedLinkRig& rig) { return rig.send(0x52); },
     refused(0x9C),
     {"pc>reg command 0x52 leave mode, link password 73 01, no data",
      "reg>pc answer to 0x52 leave mode: 52 9C 00, error 9C - Необходимо провести гашение.",
      "end of 0x52 leave mode: result 0 (failed)"}},
    {"device error, general rules",
     [](TracedLinkRig& rig) {
         rig.device.answer = {0x59, 0x67, 0x00};
     },
     [](TracedLinkRig& rig) { return rig.send(0x59, {}, ExchangeRules::General); },
     refused(0x67),
     {"reg>pc answer to 0x59 cancel receipt: 59 67 00, error 67 - Нет бумаги.",
      "end of 0x59 cancel receipt: result 4 (device error)"}},
    {"a code the register does not define",
     [](TracedLinkRig& rig) {
         rig.device.answer = {0x52, 0x02, 0x00};
     },
     [](TracedLinkRig& rig) { return rig.send(0x52); },
     refused(0x02),
     {"reg>pc answer to 0x52 leave mode: 52 02 00, error 02 - Неизвестный код ошибки."}},
    {"answer with a wrong checksum, NAKed, then sent right",
     [](TracedLinkRig& rig) {
         rig.device.answer = {0x52, 0x00, 0x00};
         rig.device.rawAnswers = {withWrongChecksum(frameOf(rig.device.answer))};
     },
     [](TracedLinkRig& rig) { return rig.send(0x52); },
     kDone,
     {"reg>pc 02 52 00 00 03 0B",
      "reg>pc answer to 0x52 leave mode: 52 00 00, error 00 - Ошибок нет. Команда выполнена., "
      "checksum wrong",
      "pc>reg 15 (NAK)", "reg>pc 02 52 00 00 03 51",
      "reg>pc answer to 0x52 leave mode: 52 00 00, error 00 - Ошибок нет. Команда выполнена.",
      "pc>reg 06 (ACK)", "end of 0x52 leave mode: result 1 (done)"}},
    {"command frame NAKed by the register, then taken",
     [](TracedLinkRig& rig) { rig.device.frameReplies = {NAK}; },
     [](TracedLinkRig& rig) { return rig.send(0x52); },
     kDone,
     {"pc>reg command 0x52 leave mode, link password 73 01, no data", "reg>pc 15 (NAK)",
      "pc>reg command 0x52 leave mode, link password 73 01, no data", "reg>pc 06 (ACK)",
      "pc>reg 04 (EOT)", "end of 0x52 leave mode: result 1 (done)"}},
    {"codes shifted: the code as sent and as the register reads it",
     [](TracedLinkRig& rig) {
         rig.session->exchange.setCodeSet(CodeSet::Shifted);
         rig.device.answer = {0x45, 0x00, 0x00, 0x00};
     },
     [](TracedLinkRig& rig) {
         return rig.send(0x45, {}, ExchangeRules::Form, ErrorCodeRule::None, 55,
                         ShortAnswer::Taken);
     },
     kDone,
     {"pc>reg 02 73 01 17 03 66",
      "pc>reg command 0x17 (read as 0x45 short status), link password 73 01, no data",
      "reg>pc answer to 0x45 short status: 45 00 00 00, mode byte 0x00",
      "end of 0x45 short status: result 1 (done)"}},
    {"a code the program does not know, as sent and as read shifted",
     [](TracedLinkRig& rig) {
         rig.device.answer = {0x77, 0x46, 0x00};
     },
     [](TracedLinkRig& rig) {
         rig.send(0x77);
         rig.session->exchange.setCodeSet(CodeSet::Shifted);
         return rig.send(0x99);
     },
     refused(0x46),
     {"pc>reg command 0x77 (unknown), link password 73 01, no data",
      "reg>pc answer to 0x77: 77 46 00, error 46 - Неверная команда от ПТК.",
      "pc>reg command 0x6B (read as 0x99, unknown), link password 73 01, no data",
      "end of 0x99: result 0 (failed)"}},
    {"the probe is never shifted",
     [](TracedLinkRig& rig) {
         rig.session->exchange.setCodeSet(CodeSet::Shifted);
         rig.device.answer = {0xE0, 0x7A, 0x00};
     },
     [](TracedLinkRig& rig) {
         MessageBuilder message = rig.session->message(0xE0);
         message.byte(0x10).byte(0x03);
         CommandCall call = commandCall(message, 7, ShortAnswer::Taken);
         call.unknownCommand = UnknownCommandAnswer::IsAResult;
         return rig.session->exchange.SendFormCommand(call);
     },
     ExchangeResult{ExchangeOutcome::UnknownCommand, 0x7A},
     {"pc>reg 02 73 01 E0 10 10 10 03 03 82",
      "pc>reg command 0xE0 probe, link password 73 01, data 10 03",
      "reg>pc answer to 0xE0 probe: E0 7A 00, error 7A - Данная модель ПТК не может выполнить "
      "команду.",
      "end of 0xE0 probe: result 22 (command unknown to the register)"}},
    {"a silent register",
     [](TracedLinkRig& rig) { rig.device.answerRequest.reset(); },
     [](TracedLinkRig& rig) { return rig.send(0x52); },
     kFailed,
     {"pc>reg 04 (EOT)", "end of 0x52 leave mode: result 0 (failed)"}},
    {"packet command, its result as the caller sees it",
     [](TracedLinkRig& rig) {
         rig.device.answer = {0x46, 0x9C, 0x00};
     },
     [](TracedLinkRig& rig) {
         const std::uint8_t data[] = {0x06, 0x00, 0x01, 0x01};
         std::uint8_t answer[92] = {};
         std::size_t answerLength = sizeof answer;
         return PacketCommand(*rig.session, 0x46, data, sizeof data, answer, &answerLength);
     },
     PacketResultForDeviceCode(0x9C),
     {"pc>reg command 0x46 read table field, link password 73 01, data 06 00 01 01",
      "end of 0x46 read table field (packet driver): result device error 9C - Необходимо "
      "провести гашение."}},
    {"packet command while the exchange shifts codes: the packet driver never does",
     [](TracedLinkRig& rig) {
         rig.session->exchange.setCodeSet(CodeSet::Shifted);
         rig.device.answer = {0x46, 0x00, 0x41};
     },
     [](TracedLinkRig& rig) {
         const std::uint8_t data[] = {0x06, 0x00, 0x01, 0x01};
         std::uint8_t answer[92] = {};
         std::size_t answerLength = sizeof answer;
         PacketCommand(*rig.session, 0x46, data, sizeof data, answer, &answerLength);
         return rig.send(0x45, {}, ExchangeRules::Form, ErrorCodeRule::None, 55,
                         ShortAnswer::Taken);
     },
     kDone,
     {"pc>reg command 0x46 read table field, link password 73 01, data 06 00 01 01",
      "reg>pc answer to 0x46 read table field: 46 00 **, error 00 - Ошибок нет. Команда "
      "выполнена.",
      "end of 0x46 read table field (packet driver): result 0 (done)",
      "pc>reg command 0x17 (read as 0x45 short status), link password 73 01, no data"}},
};

class DecodedLines : public ::testing::TestWithParam<TransactionCase> {};

TEST_P(DecodedLines, FollowTheTransaction) {
    const TransactionCase& c = GetParam();
    TracedLinkRig rig;
    c.arrange(rig);
    EXPECT_EQ(c.run(rig), c.result);
    EXPECT_TRUE(appearInOrder(rig.lines(), c.lines));
}

INSTANTIATE_TEST_SUITE_P(Transactions, DecodedLines, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(TraceLines, EveryLineHasItsTimeAndTheRestIsInTimeOrder) {
    TracedLinkRig rig;
    rig.device.answer = {0x52, 0x00, 0x00};
    rig.send(0x52);
    rig.send(0x52);
    const std::string text = rig.directory.read("trace.log");
    std::istringstream in(text);
    double last = -1;
    int count = 0;
    for (std::string line; std::getline(in, line); ++count) {
        const double ms = std::stod(line);
        EXPECT_GE(ms, last) << line;
        last = ms;
        EXPECT_EQ(line[line.find('.') + 4], ' ') << "three decimals: " << line;
    }
    EXPECT_GT(count, 20);
    EXPECT_EQ(text.back(), '\n');
}

TEST(TraceLines, PortOpenAndCloseAndTheEndOfTheTrace) {
    auto rig = std::make_unique<TracedLinkRig>();
    rig->session->channel.ClosePort(TracedLinkRig::kPort);
    rig->session->channel.OpenPort(3);  // nothing answers on COM4
    rig->trace.reset();
    EXPECT_TRUE(appearInOrder(traceLines(rig->directory.read("trace.log")),
                              {"port COM9 opened", "port COM9 closed",
                               "port COM4 could not be opened: not there", "trace ends"}));
}

TEST(TraceLines, WithoutATraceTheDevicesAreHandedOutUntouched) {
    platform::VirtualClock clock;
    platform::MemoryLine line{clock};
    platform::MemoryLineOpener lineOpener{line, 8};
    trace::TracingSerialOpener opener(lineOpener, nullptr);
    const std::unique_ptr<platform::SerialDevice> device = opener.open(8);
    ASSERT_TRUE(device);
    EXPECT_EQ(dynamic_cast<trace::TracingSerialDevice*>(device.get()), nullptr);
}

}  // namespace
}  // namespace ptk::testing
