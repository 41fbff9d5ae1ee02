// What travels on the wire: framing, stuffing, checksum, code shift and the link password.
#include "link_fixture.h"

namespace ptk::testing {
namespace {

class FrameTest : public LinkFixture {
protected:
    Bytes sentFrame(const MessageBuilder& message) {
        session.exchange.SendFormCommand(
            formCall(message, 6, ShortAnswer::Refused, ErrorCodeRule::AnswerByte1));
        EXPECT_FALSE(device.framesReceived.empty());
        return device.framesReceived.empty() ? Bytes{} : device.framesReceived.front();
    }
};

TEST_F(FrameTest, LeaveModeWithEmptyPasswordIsTheShortestFrame) {
    EXPECT_EQ(sentFrame(session.message(0x52)), (Bytes{0x02, 0x00, 0x00, 0x52, 0x03, 0x51}));
}

TEST_F(FrameTest, DataBytesDleAndEtxAreEscapedAndCoveredByTheChecksum) {
    EXPECT_EQ(sentFrame(session.message(0xE0).byte(0x10).byte(0x03)),
              (Bytes{0x02, 0x00, 0x00, 0xE0, 0x10, 0x10, 0x10, 0x03, 0x03, 0xF0}));
}

TEST_F(FrameTest, PasswordDigitPairsThatLookLikeControlBytesAreEscaped) {
    session.LinkPassword = "1003";
    const Bytes frame = sentFrame(session.message(0x52));
    // 0x10 0x03 0x52, each control-looking byte behind a DLE; checksum over the stuffed form.
    const std::uint8_t checksum = 0x10 ^ 0x10 ^ 0x10 ^ 0x03 ^ 0x52 ^ 0x03;
    EXPECT_EQ(frame, (Bytes{0x02, 0x10, 0x10, 0x10, 0x03, 0x52, 0x03, checksum}));
}

TEST_F(FrameTest, PasswordPacksTwoDigitsPerByteAndShortPasswordsFillWithZeroHalves) {
    EXPECT_EQ(packLinkPassword("7301"), (std::array<std::uint8_t, 2>{0x73, 0x01}));
    EXPECT_EQ(packLinkPassword(""), (std::array<std::uint8_t, 2>{0x00, 0x00}));
    EXPECT_EQ(packLinkPassword("73"), (std::array<std::uint8_t, 2>{0x73, 0x00}));
    EXPECT_EQ(packLinkPassword("123456"), (std::array<std::uint8_t, 2>{0x12, 0x34}));
}

TEST_F(FrameTest, ChecksumBytesThatLookLikeControlBytesTravelUnescaped) {
    // 0x13 ^ ETX = 0x10 and 0x00 ^ ETX = 0x03.
    EXPECT_EQ(sentFrame(session.message(0x13)), (Bytes{0x02, 0x00, 0x00, 0x13, 0x03, 0x10}));
    device.framesReceived.clear();
    EXPECT_EQ(sentFrame(session.message(0x00)), (Bytes{0x02, 0x00, 0x00, 0x00, 0x03, 0x03}));
}

TEST_F(FrameTest, CodeShiftReducesEveryCodeButTheProbe) {
    session.exchange.setCodeSet(CodeSet::Shifted);
    EXPECT_EQ(sentFrame(session.message(0x45)).at(3), 0x17);
    device.framesReceived.clear();
    EXPECT_EQ(sentFrame(session.message(0xE0)).at(3), 0xE0);
    device.framesReceived.clear();
    // Modulo 256: a code below the shift wraps around.
    EXPECT_EQ(sentFrame(session.message(0x10)).at(3), 0xE2);
    session.exchange.setCodeSet(CodeSet::AsWritten);
    device.framesReceived.clear();
    EXPECT_EQ(sentFrame(session.message(0x45)).at(3), 0x45);
}

TEST(FrameLayout, ClosingEtxIsTheFirstOneNoDleEscapes) {
    // DLE DLE ETX ends the frame; DLE ETX does not.
    const Bytes endsAtFour{0x02, 0x10, 0x10, 0x03, 0x00};
    EXPECT_EQ(findClosingEtx(endsAtFour.data(), endsAtFour.size()), 3);
    const Bytes escaped{0x02, 0x10, 0x03, 0x41, 0x03, 0x00};
    EXPECT_EQ(findClosingEtx(escaped.data(), escaped.size()), 4);
    const Bytes none{0x02, 0x41, 0x10, 0x03};
    EXPECT_EQ(findClosingEtx(none.data(), none.size()), -1);
}

TEST(FrameLayout, UnstuffingKeepsEscapedBytesAndClearsTheRest) {
    Bytes frame{0x02, 0x45, 0x10, 0x10, 0x10, 0x03, 0x07, 0x03, 0x5C, 0x99, 0x99};
    ASSERT_TRUE(unstuffFrame(frame.data(), frame.size()));
    EXPECT_EQ(frame, (Bytes{0x02, 0x45, 0x10, 0x03, 0x07, 0x03, 0x5C, 0x00, 0x00, 0x00, 0x00}));
}

TEST(FrameLayout, AFrameWithoutClosingEtxNeverPassesItsChecksum) {
    Bytes frame(kBufferSize, 0x41);
    frame[0] = 0x02;
    EXPECT_FALSE(checksumMatches(frame.data(), frame.size()));
    // An ETX in the very last place leaves no room for a checksum byte.
    frame.back() = 0x03;
    EXPECT_FALSE(checksumMatches(frame.data(), frame.size()));
}

TEST(FrameLayout, MessagesUpTo128BytesAlwaysFit) {
    const Bytes worst(128, 0x10);
    Bytes frame(kBufferSize);
    EXPECT_EQ(buildFrame(worst.data(), worst.size(), frame.data(), frame.size()), 259u);
    const Bytes tooLong(129, 0x03);
    EXPECT_EQ(buildFrame(tooLong.data(), tooLong.size(), frame.data(), frame.size()), 0u);
}

TEST(DigitPacking, PacksPairsHighHalfFirstAndReadsThemBack) {
    DigitPacker packer;
    char digits[] = "00123456";
    const std::uint8_t* packed = packer.PackDigits(digits, 8);
    EXPECT_EQ(Bytes(packed, packed + 4), (Bytes{0x00, 0x12, 0x34, 0x56}));
    char nothing[] = "99";
    packer.PackDigits(nothing, 0);  // leaves the buffer as it was
    EXPECT_EQ(packer.buffer()[1], 0x12);
    EXPECT_EQ(BcdToBinary(0x59), 59);
    EXPECT_EQ(BcdToBinary(0x00), 0);
    EXPECT_EQ(BcdToBinary(0xAB), 10 * 10 + 11);  // no check of the halves

    std::uint8_t out[3] = {};
    EXPECT_TRUE(packDecimal(12345, out, 3));
    EXPECT_EQ(Bytes(out, out + 3), (Bytes{0x01, 0x23, 0x45}));
    EXPECT_FALSE(packDecimal(1234567, out, 3));
}

}  // namespace
}  // namespace ptk::testing
