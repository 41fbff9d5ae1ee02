// The register's side of the exchange, byte by byte, without the link code.
#include <gtest/gtest.h>

#include "engine_test_support.h"

namespace ptk::sim::testing {
namespace {

using namespace control;

class EngineProtocolTest : public ::testing::Test, public EngineProbe {};

TEST(FrameLayout, MatchesTheLineFormat) {
    EXPECT_EQ(buildFrame(Bytes{0x00, 0x00, 0x52}), (Bytes{0x02, 0x00, 0x00, 0x52, 0x03, 0x51}));
    EXPECT_EQ(buildFrame(Bytes{0x00, 0x00, 0xE0, 0x10, 0x03}),
              (Bytes{0x02, 0x00, 0x00, 0xE0, 0x10, 0x10, 0x10, 0x03, 0x03, 0xF0}));
}

TEST_F(EngineProtocolTest, PlaysAWholeExchangeInOrder) {
    EXPECT_EQ(values(feed(0, {ENQ})), Bytes{ACK});
    EXPECT_EQ(engine.phase(), RegisterEngine::Phase::AwaitFrame);
    EXPECT_EQ(values(feed(5'000, commandFrame(0x45))), Bytes{ACK});
    EXPECT_EQ(engine.phase(), RegisterEngine::Phase::AwaitEot);
    const auto enq = feed(10'000, {EOT});
    ASSERT_EQ(values(enq), Bytes{ENQ});
    // The short status takes the register 20 ms.
    EXPECT_EQ(enq.front().atUs, 10'000 + engine.options().replyLatencyUs + 20'000);
    const auto frame = feed(enq.front().atUs + 500, {ACK});
    // Type 0x45, mode byte, printer flags, register flags; checksum 45^03.
    EXPECT_EQ(values(frame), (Bytes{STX, 0x45, 0x00, 0x00, 0x00, ETX, 0x46}));
    EXPECT_EQ(values(feed(frame.back().atUs + 500, {ACK})), Bytes{EOT});
    EXPECT_EQ(engine.phase(), RegisterEngine::Phase::Idle);
    EXPECT_EQ(engine.commandsCarriedOut(), 1u);
}

TEST_F(EngineProtocolTest, AnswerBytesAreSpacedByTheirWireTime) {
    struct Case {
        std::uint32_t baud;
        std::uint64_t byteUs;
    };
    for (const Case c : {Case{9600, 1042}, Case{115200, 87}}) {
        EngineOptions options;
        options.baud = c.baud;
        RegisterEngine slow(RegisterState{}, options);
        EngineProbe probe{std::move(slow)};
        const std::uint64_t enqAt = probe.handOver(0, commandFrame(0x3F));
        const auto frame = probe.feed(enqAt + 100, {ACK});
        ASSERT_GT(frame.size(), 30u);
        for (std::size_t i = 1; i < frame.size(); ++i) {
            EXPECT_EQ(frame[i].atUs - frame[i - 1].atUs, c.byteUs) << c.baud << " baud, byte " << i;
        }
    }
}

TEST_F(EngineProtocolTest, RefusesAFrameWithAWrongChecksumAndTakesItsRepeat) {
    feed(0, {ENQ});
    Bytes bad = commandFrame(0x45);
    bad.back() ^= 0x01;
    EXPECT_EQ(values(feed(1'000, bad)), Bytes{NAK});
    EXPECT_EQ(values(feed(2'000, commandFrame(0x45))), Bytes{ACK});
    EXPECT_EQ(values(feed(3'000, {EOT})), Bytes{ENQ});
}

TEST_F(EngineProtocolTest, FindsTheClosingEtxBehindEscapes) {
    // Data byte 0x10 at the end: DLE DLE ETX closes the frame.
    feed(0, {ENQ});
    const Bytes endsWithDle = commandFrame(0xE0, {0x10});
    EXPECT_EQ(endsWithDle[endsWithDle.size() - 4], DLE);
    EXPECT_EQ(values(feed(1'000, endsWithDle)), Bytes{ACK});
    // An escaped ETX inside the data does not close the frame: the password 1003 travels as
    // DLE 10 DLE 03.
    engine.state().link.password = {0x10, 0x03};
    const Bytes frame = buildFrame(Bytes{0x10, 0x03, 0x45});
    // Checksum: 10^10^10^03^45^03 = 0x55, the escapes included.
    EXPECT_EQ(frame, (Bytes{STX, DLE, 0x10, DLE, 0x03, 0x45, ETX, 0x55}));
    EXPECT_EQ(values(feed(2'000, frame)), Bytes{ACK});
    const std::uint64_t enqAt = feed(3'000, {EOT}).front().atUs;
    const Bytes answer = unstuff(values(feed(enqAt + 100, {ACK})));
    EXPECT_EQ(answer.at(0), 0x45);  // the right password: a status answer, not 0x8C
}

TEST_F(EngineProtocolTest, AcceptsChecksumBytesThatLookLikeControlBytes) {
    // 73^01^45^ETX = 0x34; a data byte 0x37 makes the checksum 0x03, 0x24 makes it 0x10.
    for (const std::uint8_t data : {std::uint8_t{0x37}, std::uint8_t{0x24}}) {
        EngineProbe probe;
        const Bytes frame = commandFrame(0x45, {data});
        ASSERT_TRUE(frame.back() == ETX || frame.back() == DLE);
        probe.feed(0, {ENQ});
        EXPECT_EQ(values(probe.feed(1'000, frame)), Bytes{ACK});
    }
}

TEST_F(EngineProtocolTest, StuffsTheAnswerAndItsChecksumCoversTheEscapes) {
    engine.state().identity.serialNumber = 10031003;  // BCD 10 03 10 03 in the state answer
    const std::uint64_t enqAt = handOver(0, commandFrame(0x3F));
    const Bytes frame = values(feed(enqAt + 100, {ACK}));
    std::uint8_t checksum = 0;
    for (std::size_t i = 1; i + 1 < frame.size(); ++i) checksum ^= frame[i];
    EXPECT_EQ(frame.back(), checksum);
    const Bytes answer = unstuff(frame);
    ASSERT_EQ(answer.size(), 30u);
    EXPECT_EQ(Bytes(answer.begin() + 10, answer.begin() + 14), (Bytes{0x10, 0x03, 0x10, 0x03}));
    EXPECT_EQ(frame.size(), 30u + 4 + 3);  // four escapes, STX, ETX, checksum
}

TEST_F(EngineProtocolTest, SendsTheSameFrameAgainForEachNak) {
    const std::uint64_t enqAt = handOver(0, commandFrame(0x45));
    const auto first = feed(enqAt + 100, {ACK});
    const auto again = feed(first.back().atUs + 1'000, {NAK});
    EXPECT_EQ(values(again), values(first));
    EXPECT_GT(again.front().atUs, first.back().atUs);
    EXPECT_EQ(values(feed(again.back().atUs + 1'000, {ACK})), Bytes{EOT});
    EXPECT_EQ(engine.commandsCarriedOut(), 1u);  // repeats do not carry the command out again
}

TEST_F(EngineProtocolTest, GivesUpAnAnswerThatIsRefusedTooOften) {
    const std::uint64_t enqAt = handOver(0, commandFrame(0x45));
    std::uint64_t now = feed(enqAt + 100, {ACK}).back().atUs;
    for (int i = 0; i < engine.options().maxAnswerRepeats; ++i) {
        const auto again = feed(now + 1'000, {NAK});
        ASSERT_FALSE(again.empty()) << i;
        now = again.back().atUs;
    }
    EXPECT_TRUE(feed(now + 1'000, {NAK}).empty());
    EXPECT_EQ(engine.phase(), RegisterEngine::Phase::Idle);
    EXPECT_EQ(values(feed(now + 2'000, {ENQ})), Bytes{ACK});
}

// The computer starts over with ENQ at every point of an exchange; the register follows.
TEST_F(EngineProtocolTest, StartsOverOnEnqAtEveryStep) {
    enum class Stop { AfterLineGrant, AfterFrame, AfterAnswerRequest, AfterAnswerFrame };
    for (const Stop stop : {Stop::AfterLineGrant, Stop::AfterFrame, Stop::AfterAnswerRequest,
                            Stop::AfterAnswerFrame}) {
        EngineProbe probe;
        std::uint64_t now = 0;
        probe.feed(now, {ENQ});
        if (stop != Stop::AfterLineGrant) probe.feed(now += 1'000, commandFrame(0x52));
        if (stop == Stop::AfterAnswerRequest || stop == Stop::AfterAnswerFrame) {
            now = probe.feed(now + 1'000, {EOT}).front().atUs;
        }
        if (stop == Stop::AfterAnswerFrame) now = probe.feed(now + 1'000, {ACK}).back().atUs;
        EXPECT_EQ(values(probe.feed(now += 1'000, {ENQ})), Bytes{ACK});
        // The new exchange runs normally and answers its own command.
        EXPECT_EQ(probe.exchange(now + 1'000, commandFrame(0x45)).at(0), 0x45)
            << static_cast<int>(stop);
    }
}

TEST_F(EngineProtocolTest, DoesNotListenWhileItWorks) {
    engine.faults().answerDelayUs = 3'000'000;
    engine.faults().delayedAnswers = 1;
    feed(0, {ENQ});
    feed(1'000, commandFrame(0x45));
    const auto enq = feed(2'000, {EOT});
    ASSERT_EQ(values(enq), Bytes{ENQ});
    EXPECT_GE(enq.front().atUs, 3'000'000u);
    EXPECT_EQ(engine.phase(), RegisterEngine::Phase::Working);
    EXPECT_TRUE(feed(1'000'000, {ENQ}).empty());
    // Once it asks for the line, the answer goes out as usual.
    EXPECT_EQ(values(feed(enq.front().atUs + 100, {ACK})).at(1), 0x45);
}

TEST_F(EngineProtocolTest, IgnoresEverythingButEnqWhenIdle) {
    EXPECT_TRUE(feed(0, commandFrame(0x52)).empty());
    EXPECT_TRUE(feed(1'000, {EOT, ACK, NAK, 0x00, 0xFF}).empty());
    EXPECT_EQ(engine.commandsCarriedOut(), 0u);
    EXPECT_EQ(values(feed(2'000, {ENQ})), Bytes{ACK});
}

TEST_F(EngineProtocolTest, EotWithoutAnAcceptedFrameLeavesTheRegisterIdle) {
    feed(0, {ENQ});
    EXPECT_TRUE(feed(1'000, {EOT}).empty());
    EXPECT_EQ(engine.phase(), RegisterEngine::Phase::Idle);
    EXPECT_EQ(engine.commandsCarriedOut(), 0u);
}

TEST_F(EngineProtocolTest, EnqInsideAFrameIsData) {
    // Link password 0501: the frame starts STX 05 01.
    engine.state().link.password = {0x05, 0x01};
    feed(0, {ENQ});
    EXPECT_EQ(values(feed(1'000, buildFrame(Bytes{0x05, 0x01, 0x45}))), Bytes{ACK});
}

TEST_F(EngineProtocolTest, DropsAStalledFrameAndHearsTheNextEnq) {
    feed(0, {ENQ});
    EXPECT_TRUE(feed(1'000, {STX, 0x73, 0x01, ENQ}).empty());  // cut off; the ENQ is data
    EXPECT_EQ(values(feed(1'000 + engine.options().interByteTimeoutUs, {ENQ})), Bytes{ACK});
    EXPECT_EQ(exchange(400'000, commandFrame(0x45)).at(0), 0x45);
}

TEST_F(EngineProtocolTest, DropsAnOverlongFrameUntilTheLineIsQuiet) {
    feed(0, {ENQ});
    Bytes flood{STX};
    flood.insert(flood.end(), 400, 0x41);
    flood.insert(flood.end(), {ENQ, STX, 0x73});  // still part of the flood
    EXPECT_TRUE(feed(1'000, flood).empty());
    EXPECT_EQ(values(feed(1'000 + engine.options().interByteTimeoutUs, {ENQ})), Bytes{ACK});
}

TEST_F(EngineProtocolTest, GoesIdleWhenTheComputerDoesNotTakeTheAnswer) {
    const std::uint64_t enqAt = handOver(0, commandFrame(0x45));
    const std::uint64_t late = enqAt + engine.options().replyTimeoutUs + 1;
    EXPECT_TRUE(feed(late, {ACK}).empty());
    EXPECT_EQ(engine.phase(), RegisterEngine::Phase::Idle);

    // The same after the answer frame went out.
    const std::uint64_t enqAt2 = handOver(late + 1'000, commandFrame(0x45));
    const auto frame = feed(enqAt2 + 100, {ACK});
    EXPECT_TRUE(feed(engine.lineFreeAtUs() + engine.options().replyTimeoutUs, {NAK}).empty());
    EXPECT_EQ(engine.phase(), RegisterEngine::Phase::Idle);
}

TEST_F(EngineProtocolTest, ReportsEachCommandWithItsAnswer) {
    std::vector<CommandRecord> records;
    engine.setCommandObserver([&](const CommandRecord& record) { records.push_back(record); });
    exchange(0, commandFrame(0x52));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].code, 0x52);
    EXPECT_EQ(records[0].name, "leave mode");
    EXPECT_EQ(records[0].message, (Bytes{0x73, 0x01, 0x52}));
    EXPECT_EQ(records[0].answer, (Bytes{0x52, 0x00, 0x00}));
}

}  // namespace
}  // namespace ptk::sim::testing
