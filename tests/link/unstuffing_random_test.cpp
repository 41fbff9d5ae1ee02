// Whatever the register sends, the frame walk and the un-stuffing stay inside their buffers.
// Each case works on a heap block of exactly the buffer's size, so the sanitizer build sees any
// step outside it.
#include <memory>
#include <random>

#include "link_fixture.h"

namespace ptk::testing {
namespace {

std::uint8_t biasedByte(std::mt19937& random) {
    // Control bytes are what the walk must get right, so they come often.
    static constexpr std::uint8_t kControl[] = {0x02, 0x03, 0x10, 0x10, 0x03};
    std::uniform_int_distribution<int> pick(0, 9);
    if (pick(random) < 4) return kControl[std::uniform_int_distribution<int>(0, 4)(random)];
    return static_cast<std::uint8_t>(std::uniform_int_distribution<int>(0, 255)(random));
}

TEST(UnstuffingRandomTest, WalkAndUnstuffNeverLeaveTheBuffer) {
    std::mt19937 random(20261209);
    for (int i = 0; i < 50'000; ++i) {
        auto frame = std::make_unique<std::uint8_t[]>(kBufferSize);
        const int length =
            std::uniform_int_distribution<int>(0, static_cast<int>(kBufferSize))(random);
        for (int k = 0; k < length; ++k) frame[static_cast<std::size_t>(k)] = biasedByte(random);
        const int etx = findClosingEtx(frame.get(), kBufferSize);
        ASSERT_LT(etx, static_cast<int>(kBufferSize));
        const bool checksum = checksumMatches(frame.get(), kBufferSize);
        const bool unstuffed = unstuffFrame(frame.get(), kBufferSize);
        EXPECT_EQ(unstuffed, etx >= 0);
        if (etx < 0) {
            EXPECT_FALSE(checksum);
        }
    }
}

TEST(UnstuffingRandomTest, EveryMessageSurvivesTheRoundTrip) {
    std::mt19937 random(7301);
    for (int i = 0; i < 20'000; ++i) {
        const std::size_t length = std::uniform_int_distribution<std::size_t>(1, 128)(random);
        Bytes message(length);
        for (auto& byte : message) byte = biasedByte(random);
        auto frame = std::make_unique<std::uint8_t[]>(kBufferSize);
        const std::size_t size = buildFrame(message.data(), length, frame.get(), kBufferSize);
        ASSERT_GT(size, 0u);
        ASSERT_TRUE(checksumMatches(frame.get(), kBufferSize));
        ASSERT_TRUE(unstuffFrame(frame.get(), kBufferSize));
        ASSERT_EQ(Bytes(frame.get() + 1, frame.get() + 1 + length), message);
        ASSERT_EQ(frame[length + 1], control::ETX);
    }
}

class RandomAnswerTest : public LinkFixture {};

TEST_F(RandomAnswerTest, GarbageAnswersEndWithADocumentedResult) {
    std::mt19937 random(42);
    for (int i = 0; i < 400; ++i) {
        Bytes garbage(std::uniform_int_distribution<std::size_t>(0, 600)(random));
        for (auto& byte : garbage) byte = biasedByte(random);
        if (!garbage.empty() && i % 2 == 0) garbage[0] = control::STX;
        device.rawAnswers.assign(6, garbage);
        frontEnd.clear();
        clock.advanceUs(2'000'000);
        const bool form = i % 3 != 0;
        const MessageBuilder callMessage = session.message(0x3F);
        CommandCall call =
            formCall(callMessage, 55, i % 4 != 0 ? ShortAnswer::Taken : ShortAnswer::Refused,
                     ErrorCodeRule::StateAnswer);
        const ExchangeResult result =
            form ? session.exchange.SendFormCommand(call) : session.exchange.SendCommand(call);
        // Garbage never passes for an unknown probe or the end of a data stream.
        using enum ExchangeOutcome;
        EXPECT_TRUE(result.outcome == Failed || result.outcome == Done ||
                    result.outcome == ChecksumWrong || result.outcome == DeviceError)
            << ::testing::PrintToString(result);
        EXPECT_LE(frontEnd.boxes.size(), 2u);
        device.rawAnswers.clear();
    }
}

}  // namespace
}  // namespace ptk::testing
