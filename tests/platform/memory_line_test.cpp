// The in-memory line that the link tests run on: its virtual time must behave like a wire.

#include "platform/memory_line.h"

#include <gtest/gtest.h>

namespace ptk::platform {
namespace {

class RecordingPeer final : public LinePeer {
public:
    void onReceived(const std::uint8_t* data, std::size_t count, std::uint64_t nowUs) override {
        received.insert(received.end(), data, data + count);
        lastAtUs = nowUs;
    }
    std::vector<std::uint8_t> received;
    std::uint64_t lastAtUs = 0;
};

class MemoryLineTest : public ::testing::Test {
protected:
    VirtualClock clock_;
    MemoryLine line_{clock_};
    std::unique_ptr<SerialDevice> device_ = line_.openDevice();
    std::uint8_t byte_ = 0;
};

TEST_F(MemoryLineTest, BytesArriveAtTheirScheduledTimes) {
    line_.send(1000, {0x11, 0x22, 0x33}, 500);
    for (const auto& [value, atUs] : {std::pair{0x11, 1000}, {0x22, 1500}, {0x33, 2000}}) {
        ASSERT_EQ(device_->readByte(byte_), ReadOutcome::Byte);
        EXPECT_EQ(byte_, value);
        EXPECT_EQ(clock_.nowUs(), static_cast<std::uint64_t>(atUs));
    }
    EXPECT_EQ(line_.pendingBytes(), 0u);
}

TEST_F(MemoryLineTest, ReadWaitsAtMostItsTimeOut) {
    line_.send(5000, {0x42});
    // The default time-outs give a read 2 ms.
    EXPECT_EQ(device_->readByte(byte_), ReadOutcome::NoByte);
    EXPECT_EQ(clock_.nowUs(), 2000u);
    EXPECT_EQ(device_->readByte(byte_), ReadOutcome::NoByte);
    EXPECT_EQ(clock_.nowUs(), 4000u);
    ASSERT_EQ(device_->readByte(byte_), ReadOutcome::Byte);
    EXPECT_EQ(clock_.nowUs(), 5000u);

    CommTimeouts packetTimeouts;
    packetTimeouts.readTotalMultiplierMs = 0;
    packetTimeouts.readTotalConstantMs = 500;
    ASSERT_TRUE(device_->setTimeouts(packetTimeouts));
    EXPECT_EQ(device_->readByte(byte_), ReadOutcome::NoByte);
    EXPECT_EQ(clock_.nowUs(), 505000u);
}

TEST_F(MemoryLineTest, HugeTimeOutsDoNotWrapAround) {
    CommTimeouts timeouts;
    timeouts.readTotalMultiplierMs = 0xFFFFFFFF;
    timeouts.readTotalConstantMs = 2;
    ASSERT_TRUE(device_->setTimeouts(timeouts));
    line_.send(10'000'000, {0x01});
    ASSERT_EQ(device_->readByte(byte_), ReadOutcome::Byte);
    EXPECT_EQ(clock_.nowUs(), 10'000'000u);
}

TEST_F(MemoryLineTest, WaitForInputTakesNoByte) {
    EXPECT_FALSE(device_->waitForInput(20));
    EXPECT_EQ(clock_.nowUs(), 20000u);
    line_.send(30000, {0x7E});
    EXPECT_TRUE(device_->waitForInput(50));
    EXPECT_EQ(clock_.nowUs(), 30000u);
    EXPECT_EQ(line_.pendingBytes(), 1u);
    ASSERT_EQ(device_->readByte(byte_), ReadOutcome::Byte);
    EXPECT_EQ(byte_, 0x7E);
}

TEST_F(MemoryLineTest, PurgeDropsOnlyBytesThatHaveArrived) {
    line_.send(0, {0x01, 0x02});
    line_.send(10000, {0x03});
    clock_.advanceUs(1000);
    ASSERT_TRUE(device_->purge(PurgeTxClear));
    EXPECT_EQ(line_.pendingBytes(), 3u) << "a transmit purge leaves the input alone";
    ASSERT_TRUE(device_->purge(PurgeRxClear | PurgeTxClear));
    EXPECT_EQ(line_.pendingBytes(), 1u);

    CommTimeouts timeouts;
    timeouts.readTotalConstantMs = 20;
    ASSERT_TRUE(device_->setTimeouts(timeouts));
    ASSERT_EQ(device_->readByte(byte_), ReadOutcome::Byte);
    EXPECT_EQ(byte_, 0x03);
}

TEST_F(MemoryLineTest, WritesAreRecordedAndDeliveredToThePeer) {
    RecordingPeer peer;
    line_.attach(&peer);
    clock_.advanceUs(700);
    const std::uint8_t first[] = {0x05};
    const std::uint8_t second[] = {0x02, 0x06, 0x03};
    std::size_t written = 0;
    ASSERT_TRUE(device_->write(first, 1, written));
    EXPECT_EQ(written, 1u);
    clock_.advanceUs(300);
    ASSERT_TRUE(device_->write(second, 3, written));

    ASSERT_EQ(line_.writes().size(), 2u);
    EXPECT_EQ(line_.writes()[0].atUs, 700u);
    EXPECT_EQ(line_.writes()[1].atUs, 1000u);
    const std::vector<std::uint8_t> all = {0x05, 0x02, 0x06, 0x03};
    EXPECT_EQ(line_.writtenBytes(), all);
    EXPECT_EQ(peer.received, all);
    EXPECT_EQ(peer.lastAtUs, 1000u);

    line_.failNextWrites(1);
    EXPECT_FALSE(device_->write(first, 1, written));
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(peer.received.size(), all.size()) << "a failed write reaches nobody";
}

}  // namespace
}  // namespace ptk::platform
