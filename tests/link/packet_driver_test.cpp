// The packet driver against the scripted register, in virtual time: its steps on the wire, its
// limits, each refusal and silence with its result code, the stop request, and the port's
// time-outs after every call.
#include <atomic>
#include <optional>

#include "link/packet_command.h"
#include "link/packet_driver.h"
#include "link_fixture.h"

namespace ptk::testing {
namespace {

using namespace packet_result;
using control::ACK;
using control::ENQ;
using control::EOT;
using control::NAK;

const Bytes kReadLine1{0x06, 0x00, 0x01, 0x01};

platform::CommTimeouts readConstant(std::uint32_t ms) {
    return {0, 0, ms, 0, 0};
}

class PacketDriverTest : public LinkFixture {
protected:
    PacketDriverTest() { device.answer = {0x46, 0x00, 0x8C, 0x80, 0x83}; }

    // Whether the call waits for the register's answer.
    enum class Await { Answer, Nothing };

    PacketResult run(std::uint8_t code, const Bytes& data = kReadLine1, Await await = Await::Answer,
                     std::optional<std::string_view> password = "7301") {
        const bool awaitAnswer = await == Await::Answer;
        settingsBefore = line.timeoutSettings().size();
        answerLength = capacity;
        const PacketResult result = session.packets.PacketDriver(
            code, data.data(), data.size(), password, awaitAnswer ? answer.data() : nullptr,
            awaitAnswer ? &answerLength : nullptr);
        // Whatever happened, the channel's own time-outs are back for the next command exchange.
        EXPECT_EQ(line.timeouts(), platform::CommTimeouts{});
        return result;
    }
    Bytes answerBytes() const {
        return Bytes(answer.begin(), answer.begin() + static_cast<std::ptrdiff_t>(answerLength));
    }
    // The time-outs the call asked for, in order.
    std::vector<platform::CommTimeouts> settingsOfTheCall() const {
        const auto& all = line.timeoutSettings();
        return {all.begin() + static_cast<std::ptrdiff_t>(settingsBefore), all.end()};
    }
    // Bytes for the program, one every millisecond from firstMs on.
    void scheduleEveryMs(std::uint64_t firstMs, const Bytes& bytes) {
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            line.send((firstMs + i) * 1000, {bytes[i]});
        }
    }

    std::array<std::uint8_t, 92> answer{};
    std::size_t capacity = answer.size();
    std::size_t answerLength = 0;
    std::size_t settingsBefore = 0;
};

TEST_F(PacketDriverTest, HealthyTransactionStepsAndTimeouts) {
    ASSERT_EQ(run(0x46), Done);
    const Bytes frame{0x02, 0x73, 0x01, 0x46, 0x06, 0x00, 0x01, 0x01, 0x03, 0x31};
    EXPECT_EQ(writes(), (std::vector<Bytes>{{ENQ}, frame, {EOT}, {ACK}, {ACK}}));
    EXPECT_EQ(answerBytes(), device.answer);
    EXPECT_EQ(settingsOfTheCall(),
              (std::vector<platform::CommTimeouts>{readConstant(700), readConstant(500),
                                                   readConstant(10'000), readConstant(2000),
                                                   readConstant(500), platform::CommTimeouts{}}));
    EXPECT_TRUE(frontEnd.boxes.empty());
    // The next command exchange reads with its per-byte rule again.
    device.answer = {0x52, 0x00, 0x00};
    EXPECT_EQ(session.exchange.SendFormCommand(formCall(
                  session.message(0x52), 6, ShortAnswer::Refused, ErrorCodeRule::AnswerByte1)),
              kDone);
}

TEST_F(PacketDriverTest, MessageLimitsBeforeAndAfterStuffing) {
    struct Case {
        std::size_t dataLength;
        std::size_t escapedBytes;  // data bytes that are 0x10
        bool withPassword;
        PacketResult expected;
    };
    const Case cases[] = {
        {86, 0, true, Done},            // 89 bytes, 89 stuffed
        {87, 0, true, MessageTooLong},  // 90 bytes pass the first limit; 90 stuffed do not
        {88, 0, true, MessageTooLong},  // 91 bytes
        {85, 1, true, Done},            // 88 bytes, 89 stuffed
        {85, 2, true, MessageTooLong},  // 88 bytes, 90 stuffed
        {88, 0, false, Done},           // 89 bytes without the password
        {89, 0, false, MessageTooLong},
    };
    for (const Case& c : cases) {
        line.clearWrites();
        Bytes data(c.dataLength, 0x41);
        for (std::size_t i = 0; i < c.escapedBytes; ++i) data[i] = 0x10;
        const std::optional<std::string_view> password =
            c.withPassword ? std::optional<std::string_view>("7301") : std::nullopt;
        const PacketResult result = run(0x50, data, Await::Nothing, password);
        EXPECT_EQ(result, c.expected) << c.dataLength << " bytes, " << c.escapedBytes;
        if (c.expected == Done) {
            ASSERT_EQ(writes().size(), 3u);
            const std::size_t message = c.dataLength + (c.withPassword ? 3 : 1);
            EXPECT_EQ(writes()[1].size(), message + c.escapedBytes + 3);
        } else {
            EXPECT_TRUE(writes().empty()) << "a message too long for a frame never goes out";
        }
    }
}

TEST_F(PacketDriverTest, HandshakeTriesFiveEnqsAndNoMore) {
    struct Case {
        std::deque<std::optional<std::uint8_t>> replies;
        PacketResult expected;
        std::uint64_t elapsedMs;  // until the result, when the handshake failed
    };
    const std::optional<std::uint8_t> silence;
    const Case cases[] = {
        {{NAK, NAK, NAK, NAK, NAK}, NoLink, 0},
        {{silence, silence, silence, silence, silence}, NoLink, 5 * 700},
        {{NAK, 0x00, silence, EOT, ACK}, Done, 0},
    };
    for (const Case& c : cases) {
        LinkRig rig;
        rig.device.enqReplies = c.replies;
        rig.device.enqReply = silence;
        std::array<std::uint8_t, 92> buffer{};
        std::size_t length = buffer.size();
        const PacketResult result = rig.session.packets.PacketDriver(
            0x46, kReadLine1.data(), kReadLine1.size(), "7301", buffer.data(), &length);
        EXPECT_EQ(result, c.expected);
        EXPECT_EQ(rig.device.enqCount, 5);
        if (c.expected == NoLink) {
            EXPECT_EQ(rig.countWrites(ENQ), 5);
            EXPECT_EQ(rig.writes().size(), 5u) << "no frame after a failed handshake";
            if (c.elapsedMs > 0) {
                EXPECT_GE(rig.elapsedMs(), c.elapsedMs);
                EXPECT_LT(rig.elapsedMs(), c.elapsedMs + 50);
            }
        }
        EXPECT_EQ(rig.line.timeouts(), platform::CommTimeouts{});
    }
}

TEST_F(PacketDriverTest, FrameIsWaitedPastNineNaksButNotTen) {
    struct Case {
        std::size_t extraNaks;  // after the register's own NAK, one a millisecond
        std::optional<std::uint8_t> last;
        PacketResult expected;
    };
    const std::optional<std::uint8_t> silence;
    const Case cases[] = {
        {8, ACK, Done},                 // nine NAKs, then ACK as the tenth read
        {9, silence, NotAcknowledged},  // ten NAKs
        {0, 0x00, NotAcknowledged},     // a byte that is neither
        {0, silence, NotAcknowledged},  // NAK, then silence
    };
    for (const Case& c : cases) {
        LinkRig rig;
        rig.device.frameReply = NAK;
        rig.device.answer = {0x50, 0x00, 0x04};
        Bytes more(c.extraNaks, NAK);
        if (c.last) more.push_back(*c.last);
        for (std::size_t i = 0; i < more.size(); ++i) {
            rig.line.send((10 + i) * 1000, {more[i]});
        }
        const PacketResult result = rig.session.packets.PacketDriver(
            0x50, kReadLine1.data(), kReadLine1.size(), "7301", nullptr, nullptr);
        EXPECT_EQ(result, c.expected) << c.extraNaks;
        EXPECT_EQ(rig.device.framesReceived.size(), 1u) << "the frame is never sent again";
        EXPECT_EQ(rig.countWrites(EOT), c.expected == Done ? 1 : 0);
    }
}

TEST_F(PacketDriverTest, AnswerFaultsGiveTheirResults) {
    struct Case {
        const char* name;
        std::function<void(ScriptedRegister&, std::size_t& capacity)> arrange;
        PacketResult expected;
    };
    const Bytes answer{0x46, 0x00, 0x8C, 0x80, 0x83};
    const auto frameOf = [](const Bytes& message) {
        Bytes frame(kBufferSize);
        frame.resize(buildFrame(message.data(), message.size(), frame.data(), frame.size()));
        return frame;
    };
    const Case cases[] = {
        {"bytes before STX are skipped",
         [&](ScriptedRegister& r, std::size_t&) {
             Bytes frame{0xFF, 0x00, 0x15, 0x03};
             const Bytes good = frameOf(answer);
             frame.insert(frame.end(), good.begin(), good.end());
             r.rawAnswers = {frame};
         },
         Done},
        {"wrong checksum",
         [&](ScriptedRegister& r, std::size_t&) {
             Bytes frame = frameOf(answer);
             frame.back() ^= 0x01;
             r.rawAnswers = {frame};
         },
         ChecksumMismatch},
        {"no request to answer", [](ScriptedRegister& r, std::size_t&) { r.answerRequest = {}; },
         NoAnswer},
        {"another byte instead of the request: no ACK, so no frame",
         [](ScriptedRegister& r, std::size_t&) { r.answerRequest = 0x00; }, NoAnswer},
        {"no answer frame", [](ScriptedRegister& r, std::size_t&) { r.answerSilent = true; },
         NoAnswer},
        {"a pause of 600 ms inside the frame",
         [](ScriptedRegister& r, std::size_t&) {
             r.pauseAfterByte = 2;
             r.pauseUs = 600'000;
         },
         NoAnswer},
        {"no closing byte", [](ScriptedRegister& r, std::size_t&) { r.closingByte = {}; },
         NoAnswer},
        {"answer longer than the buffer",
         [](ScriptedRegister&, std::size_t& capacity) { capacity = 4; }, BufferTooSmall},
        {"87-byte answer: 89 bytes from STX to ETX",
         [](ScriptedRegister& r, std::size_t&) { r.answer = Bytes(87, 0x41); }, Done},
        {"88-byte answer: the 90th byte is too many",
         [](ScriptedRegister& r, std::size_t& capacity) {
             r.answer = Bytes(88, 0x41);
             capacity = 89;
         },
         AnswerTooLong},
        {"a 90-byte table field, every byte stuffed, with room for it",
         [](ScriptedRegister& r, std::size_t&) {
             r.answer = Bytes(92, 0x10);
             r.answer[0] = 0x46;
             r.answer[1] = 0x00;
         },
         Done},
        {"93 bytes with room for 92",
         [](ScriptedRegister& r, std::size_t&) { r.answer = Bytes(93, 0x41); }, AnswerTooLong},
        {"a line that babbles without STX",
         [](ScriptedRegister& r, std::size_t&) { r.rawAnswers = {Bytes(200, 0x41)}; },
         AnswerTooLong},
    };
    for (const Case& c : cases) {
        LinkRig rig;
        rig.device.answer = answer;
        std::size_t capacity = 92;
        c.arrange(rig.device, capacity);
        std::array<std::uint8_t, 92> buffer{};
        std::size_t length = capacity;
        const PacketResult result = rig.session.packets.PacketDriver(
            0x46, kReadLine1.data(), kReadLine1.size(), "7301", buffer.data(), &length);
        EXPECT_EQ(result, c.expected) << c.name;
        if (result == Done) {
            EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(length)),
                      rig.device.answer)
                << c.name;
        }
        EXPECT_EQ(rig.line.timeouts(), platform::CommTimeouts{}) << c.name;
        EXPECT_TRUE(rig.frontEnd.boxes.empty()) << c.name;
    }
}

TEST_F(PacketDriverTest, EachCommandWaitsItsOwnAnswerTime) {
    EXPECT_EQ(PacketTimeout(0x65), 600'000u);
    EXPECT_EQ(PacketTimeout(0x45), 10'000u);
    EXPECT_EQ(PacketTimeout(0x5A), 40'000u);
    EXPECT_EQ(PacketTimeout(0xAD), 120'000u);
    // A report that works 599 s is waited for; a status that works 11 s is not.
    device.commandUs = 599'000'000;
    device.answer = {0x65, 0x00};
    EXPECT_EQ(run(0x65, {0x01}), Done);
    EXPECT_GE(elapsedMs(), 599'000u);
    EXPECT_EQ(answerBytes(), device.answer);

    LinkRig slow;
    slow.device.commandUs = 11'000'000;
    std::size_t length = answer.size();
    EXPECT_EQ(slow.session.packets.PacketDriver(0x45, nullptr, 0, "7301", answer.data(), &length),
              NoAnswer);
    EXPECT_LT(slow.elapsedMs(), 11'000u);
}

TEST_F(PacketDriverTest, CodesGoOutUnshiftedWhateverDirectCodesSays) {
    session.exchange.setCodeSet(CodeSet::Shifted);
    ASSERT_EQ(run(0x46), Done);
    ASSERT_EQ(device.framesReceived.size(), 1u);
    EXPECT_EQ(device.framesReceived[0][3], 0x46);
}

TEST_F(PacketDriverTest, WithoutAnAnswerBufferTheCallEndsAfterEot) {
    ASSERT_EQ(run(0x50, {0x06, 0x00, 0x01, 0x01, 0x41}, Await::Nothing), Done);
    EXPECT_EQ(
        writes(),
        (std::vector<Bytes>{
            {ENQ}, {0x02, 0x73, 0x01, 0x50, 0x06, 0x00, 0x01, 0x01, 0x41, 0x03, 0x66}, {EOT}}));
}

TEST_F(PacketDriverTest, PortThatRefusesTimeoutsShowsTheSystemsText) {
    line.failNextTimeoutSettings(1);
    EXPECT_EQ(run(0x46), PortError);
    EXPECT_TRUE(writes().empty());
    ASSERT_EQ(frontEnd.boxes.size(), 1u);
    EXPECT_EQ(frontEnd.boxes[0].icon, MessageIcon::Information);
    EXPECT_EQ(frontEnd.boxes[0].caption, "GetLastError");
    EXPECT_FALSE(frontEnd.boxes[0].text.empty());

    // Later refusals give the same result without a box.
    frontEnd.clear();
    device.incomingFault = [&](std::size_t, std::uint8_t& byte) {
        if (byte == EOT) line.failNextTimeoutSettings(1);
        return true;
    };
    EXPECT_EQ(run(0x46), PortError);
    EXPECT_TRUE(frontEnd.boxes.empty());
}

TEST_F(PacketDriverTest, StopRequestEndsEveryWaitWithinOneSlice) {
    // Clean run: how many bytes the register receives.
    ASSERT_EQ(run(0x46), Done);
    const std::size_t received = device.bytesReceived;
    for (std::size_t position = 0; position < received; ++position) {
        LinkRig rig;
        rig.device.commandUs = 5'000'000;  // a long wait for the answer
        std::atomic<bool> flag{false};
        rig.session.channel.setStopSignal(&flag);
        std::uint64_t stoppedAtUs = 0;
        rig.device.incomingFault = [&](std::size_t index, std::uint8_t&) {
            if (index == position) {
                flag = true;
                stoppedAtUs = rig.clock.nowUs();
            }
            return true;
        };
        std::size_t length = answer.size();
        const PacketResult result = rig.session.packets.PacketDriver(
            0x46, kReadLine1.data(), kReadLine1.size(), "7301", answer.data(), &length);
        // The last bytes may end the call before it waits again; a stopped one says so.
        EXPECT_TRUE(result == Stopped || result == Done)
            << position << ": " << ::testing::PrintToString(result);
        EXPECT_LE(rig.clock.nowUs() - stoppedAtUs, kStopSliceMs * 1000) << position;
        EXPECT_TRUE(rig.frontEnd.boxes.empty());
        EXPECT_EQ(rig.line.timeouts(), platform::CommTimeouts{});
    }
    // Set before the call: nothing goes out.
    std::atomic<bool> stop{true};
    session.channel.setStopSignal(&stop);
    line.clearWrites();
    EXPECT_EQ(run(0x46), Stopped);
    EXPECT_TRUE(writes().empty());
}

TEST_F(PacketDriverTest, StoppedCommandExchangeEndsWithoutALinkBox) {
    std::atomic<bool> stop{false};
    session.channel.setStopSignal(&stop);
    device.commandUs = 8'000'000;
    device.incomingFault = [&](std::size_t, std::uint8_t& byte) {
        if (byte == EOT) stop = true;
        return true;
    };
    const MessageBuilder message = session.message(0x52);
    EXPECT_EQ(session.exchange.SendFormCommand(
                  formCall(message, 6, ShortAnswer::Refused, ErrorCodeRule::AnswerByte1)),
              kFailed);
    EXPECT_TRUE(frontEnd.boxes.empty());
    EXPECT_LT(elapsedMs(), 100u);
    EXPECT_EQ(writes().back(), Bytes{EOT}) << "nothing is written once the stop is requested";
    // Without the signal, the same silence is told as ever.
    LinkRig plain;
    plain.device.answerRequest = {};
    const MessageBuilder again = plain.session.message(0x52);
    EXPECT_EQ(plain.session.exchange.SendFormCommand(
                  formCall(again, 6, ShortAnswer::Refused, ErrorCodeRule::AnswerByte1)),
              kFailed);
    EXPECT_EQ(plain.frontEnd.boxTexts(), std::vector<std::string>{"Нет ответа!"});
}

TEST_F(PacketDriverTest, PacketCommandTurnsTheErrorCodeIntoAResult) {
    session.LinkPassword = "7301";
    struct Case {
        std::uint8_t code;
        PacketResult expected;
        const char* shown;  // what ShowDriverResult puts in a box
    };
    const Case cases[] = {
        {0x00, Done, nullptr},
        {0x16, ConfirmationNeeded, "Требуется подтверждение"},
        {0x66, NotInThisMode, "Невозможно в данном режиме"},
        {0x67, NoPaper, "Нет бумаги"},
        {0x88, ShiftTooLong, "Превышена продолжительность смены"},
        {0x8C, WrongPassword, "Неверный пароль"},
        {0x9C, PacketResult::device(0x9C), "9C - Необходимо провести гашение."},
        {0x02, PacketResult::device(0x02), "Неизвестный код ошибки."},
    };
    for (const Case& c : cases) {
        device.answer = {0x46, c.code, 0x44};
        frontEnd.clear();
        std::size_t length = answer.size();
        const PacketResult result = PacketCommand(session, 0x46, kReadLine1.data(),
                                                  kReadLine1.size(), answer.data(), &length);
        EXPECT_EQ(result, c.expected) << int{c.code};
        session.errors.ShowDriverResult(OwnerHandle{}, result);
        if (c.shown) {
            EXPECT_EQ(frontEnd.boxTexts(), std::vector<std::string>{c.shown}) << int{c.code};
        } else {
            EXPECT_TRUE(frontEnd.boxes.empty());
        }
    }
    // The password went out packed, and an answer without its error code is no answer.
    EXPECT_EQ(device.framesReceived.back()[1], 0x73);
    device.answer = {0x46};
    std::size_t length = answer.size();
    EXPECT_EQ(
        PacketCommand(session, 0x46, kReadLine1.data(), kReadLine1.size(), answer.data(), &length),
        NoAnswer);
}

TEST(ToBcdTest, DigitsTwoToAByteMostSignificantFirst) {
    const BcdBytes twoBytes = ToBcd(7301, 2);
    EXPECT_EQ(twoBytes[0], 0x73);
    EXPECT_EQ(twoBytes[1], 0x01);
    const BcdBytes date = ToBcd(311224, 3);
    EXPECT_EQ((Bytes{date[0], date[1], date[2]}), (Bytes{0x31, 0x12, 0x24}));
    // Digits above the field are dropped; the rest of the nine bytes stays clear.
    const BcdBytes cut = ToBcd(123456, 2);
    EXPECT_EQ((Bytes{cut[0], cut[1], cut[2]}), (Bytes{0x34, 0x56, 0x00}));
    const BcdBytes wide = ToBcd(123456789012345678ULL, 9);
    EXPECT_EQ(wide[0], 0x12);
    EXPECT_EQ(wide[8], 0x78);
}

}  // namespace
}  // namespace ptk::testing
