// The frame tracker against the exchange's own frame builder: random messages, stuffed bytes
// everywhere, spoiled checksums, and how each byte may be written.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "frame_of.h"
#include "link/command_exchange.h"
#include "trace/frame_tracker.h"

namespace ptk::trace {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testing::frameOf;

// Messages with many control bytes among the data, so that stuffing happens often.
Bytes randomMessage(std::mt19937& random, std::size_t length) {
    static const std::uint8_t kOften[] = {0x02, 0x03, 0x10, 0x05, 0x06, 0x15};
    Bytes message(length);
    for (std::uint8_t& byte : message) {
        byte = random() % 3 == 0 ? kOften[random() % 6] : static_cast<std::uint8_t>(random());
    }
    return message;
}

struct Fed {
    std::vector<FrameTracker::Event> events;
    std::vector<Shown> shown;
};

Fed feedAll(FrameTracker& tracker, const Bytes& bytes) {
    Fed fed;
    for (std::uint8_t byte : bytes) {
        Shown shown = Shown::Hex;
        fed.events.push_back(tracker.feed(byte, shown));
        fed.shown.push_back(shown);
    }
    return fed;
}

TEST(FrameTracker, FindsEveryFrameTheExchangeBuildsAndItsMessage) {
    std::mt19937 random(4242);
    FrameTracker tracker(FrameKind::Answer);
    for (int round = 0; round < 500; ++round) {
        const Bytes message = randomMessage(random, 1 + random() % 120);
        Bytes frame = frameOf(message);
        const bool spoil = round % 4 == 3;
        if (spoil) frame.back() ^= static_cast<std::uint8_t>(1 + random() % 255);
        const Fed fed = feedAll(tracker, frame);
        for (std::size_t i = 0; i + 1 < frame.size(); ++i) {
            ASSERT_EQ(fed.events[i], FrameTracker::Event::None) << "round " << round << " at " << i;
        }
        ASSERT_EQ(fed.events.back(), FrameTracker::Event::FrameComplete) << "round " << round;
        const Frame& found = tracker.frame();
        EXPECT_EQ(Bytes(found.message.begin(), found.message.begin() + found.length), message);
        EXPECT_EQ(found.lineBytes, frame.size());
        EXPECT_EQ(found.checksumRight, !spoil) << "round " << round;
        EXPECT_FALSE(tracker.inFrame());
    }
}

TEST(FrameTracker, BytesBetweenFramesAreNoFrame) {
    FrameTracker tracker(FrameKind::Command);
    const Fed fed = feedAll(tracker, {0x05, 0x06, 0x04, 0x15, 0x03, 0x10});
    for (FrameTracker::Event event : fed.events) EXPECT_EQ(event, FrameTracker::Event::None);
    EXPECT_FALSE(tracker.inFrame());
}

TEST(FrameTracker, AFrameLongerThanAnyBufferIsBrokenOff) {
    FrameTracker tracker(FrameKind::Answer);
    Bytes endless(kBufferSize + 5, 0x41);
    endless[0] = control::STX;
    const Fed fed = feedAll(tracker, endless);
    EXPECT_EQ(fed.events[kBufferSize], FrameTracker::Event::None);
    EXPECT_EQ(fed.events[kBufferSize + 1], FrameTracker::Event::FrameBroken);
    EXPECT_FALSE(tracker.inFrame());
}

TEST(FrameTracker, AbandonTellsWhetherAFrameWasInProgress) {
    FrameTracker tracker(FrameKind::Answer);
    EXPECT_FALSE(tracker.abandon());
    feedAll(tracker, {control::STX, 0x52, 0x00});
    EXPECT_TRUE(tracker.abandon());
    EXPECT_EQ(tracker.frame().lineBytes, 3u);
    EXPECT_FALSE(tracker.inFrame());
}

TEST(FrameTracker, AnAnswerToATableReadIsSecretFromItsThirdByte) {
    FrameTracker tracker(FrameKind::Answer);
    feedAll(tracker, frameOf({0x46, 0x00, 0x12, 0x34, 0x56, 0x78}));
    const Frame& frame = tracker.frame();
    EXPECT_FALSE(frame.secret[0]);
    EXPECT_FALSE(frame.secret[1]);
    for (std::size_t i = 2; i < 6; ++i) EXPECT_TRUE(frame.secret[i]);
    feedAll(tracker, frameOf({0x52, 0x00, 0x12}));
    EXPECT_FALSE(tracker.frame().carriesSecret);
}

}  // namespace
}  // namespace ptk::trace
