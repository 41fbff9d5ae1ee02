// The serial channel's waiting primitives over the in-memory line, in virtual time.
#include "link_fixture.h"

namespace ptk::testing {
namespace {

class SerialChannelTest : public LinkFixture {
protected:
    SerialChannelTest() { line.attach(nullptr); }  // the test plays the far end itself
    SerialChannel& channel() { return session.channel; }
};

TEST(ElapsedTest, SurvivesTheWrapOfTheTickCounter) {
    EXPECT_TRUE(Elapsed(5, 0xFFFFFFFBu, 10));
    EXPECT_FALSE(Elapsed(3, 0xFFFFFFFBu, 10));
    EXPECT_TRUE(Elapsed(100, 100, 0));
    EXPECT_FALSE(Elapsed(100, 100, 1));
}

TEST(WrappingClockTest, DeadlinesAcrossTheWrapEndOnTime) {
    platform::VirtualClock clock(0xFFFFFF00u);
    platform::MemoryLine line(clock);
    RecordingFrontEnd frontEnd;
    platform::MemoryLineOpener opener(line, 0);
    Session session(frontEnd, clock, opener);
    ASSERT_TRUE(session.channel.OpenPort(0));
    std::uint8_t byte = 0;
    EXPECT_FALSE(session.channel.ReadWithDeadline(&byte, 1, 500));
    EXPECT_GE(clock.nowUs(), 500'000u);
    EXPECT_LT(clock.nowUs(), 530'000u);
}

TEST_F(SerialChannelTest, IdleWaitSleepsOnThePortAndStillTurnsTheMessagePump) {
    std::uint8_t buffer[8] = {};
    EXPECT_FALSE(channel().ReadWithDeadline(buffer, 1, 10'000));
    // No one-byte read is tried while nothing is there, and the pump turns every 20 ms.
    EXPECT_EQ(line.readCalls(), 0u);
    EXPECT_LE(line.waitCalls(), 10'000u / kPumpIntervalMs + 2);
    EXPECT_GE(frontEnd.pumps, 10'000 / static_cast<long>(kPumpIntervalMs));
}

TEST_F(SerialChannelTest, QuitFromTheMessageQueueEndsTheRead) {
    frontEnd.quitAfterPumps = 3;
    std::uint8_t byte = 0;
    EXPECT_FALSE(channel().ReadWithDeadline(&byte, 1, 10'000));
    EXPECT_LT(clock.nowUs(), 100'000u);
}

TEST_F(SerialChannelTest, StuffedPairCountsAsOneLogicalByteButBothAreStored) {
    line.send(0, {0x10, 0x10});
    std::uint8_t buffer[4] = {};
    std::size_t total = 0;
    ASSERT_TRUE(channel().ReadPort(buffer, 1, &total));
    EXPECT_EQ(total, 2u);
    EXPECT_EQ(buffer[0], 0x10);
    EXPECT_EQ(buffer[1], 0x10);
}

TEST_F(SerialChannelTest, ByteAfterTheClosingEtxCountsWhateverItsValue) {
    // STX, 'A', ETX and a checksum of 0x10: four logical bytes.
    line.send(0, {0x02, 0x41, 0x03, 0x10});
    std::uint8_t buffer[8] = {};
    EXPECT_TRUE(channel().ReadWithDeadline(buffer, 4, 500));
    // An escaped ETX is data; the DLE before it does not count.
    line.send(clock.nowUs(), {0x02, 0x10, 0x03, 0x03, 0x10});
    std::uint8_t second[10] = {};
    EXPECT_TRUE(channel().ReadWithDeadline(second, 4, 500));
    EXPECT_EQ(second[4], 0x10);
}

TEST_F(SerialChannelTest, PauseInsideAFrameRestartsTheAttemptAtTheBufferStart) {
    line.send(0, {0x02, 0x41, 0x42}, 87);
    line.send(20'000, {0x43, 0x03, 0x00}, 87);
    std::uint8_t buffer[12] = {};
    EXPECT_FALSE(channel().ReadWithDeadline(buffer, 6, 500));
    // The second half overwrote the first.
    EXPECT_EQ(buffer[0], 0x43);
    EXPECT_EQ(buffer[1], 0x03);
    EXPECT_EQ(buffer[2], 0x00);
}

TEST_F(SerialChannelTest, InputLeftUnreadIsDiscardedWhenAWriteBegins) {
    line.send(0, {0x06, 0x06, 0x06});
    clock.advanceUs(1000);
    const std::uint8_t enq = 0x05;
    ASSERT_TRUE(channel().WritePort(&enq, 1));
    EXPECT_EQ(line.pendingBytes(), 0u);
    // Bytes still on their way are not thrown away.
    line.send(clock.nowUs() + 5000, {0x06});
    ASSERT_TRUE(channel().WritePort(&enq, 1));
    EXPECT_EQ(line.pendingBytes(), 1u);
}

TEST_F(SerialChannelTest, RefusedWritesAreRetriedUntilTheDeadline) {
    line.failNextWrites(3);
    const std::uint8_t enq = 0x05;
    EXPECT_TRUE(channel().WriteWithDeadline(&enq, 1, 500));
    EXPECT_EQ(line.writes().size(), 1u);
    line.failNextWrites(1'000'000);
    EXPECT_FALSE(channel().WriteWithDeadline(&enq, 1, 500));
    EXPECT_GE(clock.nowUs(), 500'000u);
}

TEST_F(SerialChannelTest, QueueCountersComeFromTheDriverAndFallToZeroOnFailure) {
    line.setQueueCounts({3, 7});
    channel().UpdateQueueCounters();
    const PortSlot& slot = channel().portSlot(kPort);
    EXPECT_EQ(slot.outputQueue, 3u);
    EXPECT_EQ(slot.inputQueue, 7u);
    line.setClearErrorsFails(true);
    channel().UpdateQueueCounters();
    EXPECT_EQ(slot.outputQueue, 0u);
    EXPECT_EQ(slot.inputQueue, 0u);
    // A driver that cannot clear its errors cannot be written to.
    const std::uint8_t enq = 0x05;
    EXPECT_FALSE(channel().WritePort(&enq, 1));
}

TEST_F(SerialChannelTest, OpenSetsTheCurrentPortEvenWhenItFails) {
    EXPECT_FALSE(channel().OpenPort(7));  // COM8 has no device behind this opener
    EXPECT_EQ(channel().currentPort(), 7);
    EXPECT_EQ(channel().portSlot(7).openFlag, 1);
    EXPECT_FALSE(channel().OpenPort(256));
    EXPECT_EQ(channel().currentPort(), 256);
    // Reads and writes on a port that is not there fail without touching the line.
    std::uint8_t byte = 0x05;
    EXPECT_FALSE(channel().WritePort(&byte, 1));
    EXPECT_TRUE(line.writes().empty());

    EXPECT_TRUE(channel().OpenPort(kPort));
    EXPECT_TRUE(channel().ClosePort(kPort));
    EXPECT_EQ(channel().portSlot(kPort).openFlag, 0);
    EXPECT_FALSE(channel().ClosePort(kPort));
}

TEST_F(SerialChannelTest, ConfigureSetsTheBaudAndTheTwoMillisecondByteTimeouts) {
    ASSERT_TRUE(channel().OpenPort(kPort));
    EXPECT_TRUE(channel().ConfigurePort(kPort, 1));
    EXPECT_EQ(line.configuredBaud(), 19200u);
    EXPECT_EQ(line.timeouts().readTotalMultiplierMs, 2u);
    EXPECT_EQ(line.timeouts().writeTotalMultiplierMs, 2u);
    EXPECT_FALSE(channel().ConfigurePort(kPort, 5));
    line.setConfigureFails(true);
    EXPECT_FALSE(channel().ConfigurePort(kPort, 4));
}

}  // namespace
}  // namespace ptk::testing
