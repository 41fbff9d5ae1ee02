// The short status request against the simulated register: the mode byte and printer flags it
// reads, and what the user sees.
#include <gtest/gtest.h>

#include "device/short_status.h"
#include "support/sim_fixture.h"

namespace ptk::testing {
namespace {

const std::string kNoErrors = "00 - Ошибок нет. Команда выполнена.";

class ShortStatusTest : public SimFixture {
protected:
    void SetUp() override {
        engine.setCommandObserver([this](const sim::CommandRecord& r) { records.push_back(r); });
    }
    std::vector<sim::CommandRecord> records;
};

TEST_F(ShortStatusTest, ReadsTheModeByteAndTheFlagsOfTheAnswer) {
    state().mode.set(sim::ModeRegistration, 2);
    state().printer.coverOpen = true;
    const ShortStatusReply reply = QueryStatusCode(session);

    ASSERT_EQ(reply.result, kDone);
    EXPECT_EQ(reply.status.modeByte, 0x21);
    EXPECT_EQ(reply.status.flags, 0x04);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].message, (std::vector<std::uint8_t>{0x73, 0x01, 0x45}));
    // The register's answer is four bytes, far short of the 55 asked for: taken all the same.
    EXPECT_EQ(answer(5)[4], control::ETX);
    EXPECT_EQ(frontEnd.resultText, kNoErrors);
    EXPECT_TRUE(frontEnd.boxes.empty());
}

TEST_F(ShortStatusTest, AnErrorCodeInTheAnswerIsNotJudgedHere) {
    // An injected 0x66 sits where the mode byte is; the caller judges it, no box appears, and the
    // result field still reads "no errors".
    faults().errors.push_back({0x45, 0x66, 1});
    const ShortStatusReply reply = QueryStatusCode(session);
    EXPECT_EQ(reply.result, kDone);
    EXPECT_EQ(reply.status.modeByte, 0x66);
    EXPECT_EQ(frontEnd.resultText, kNoErrors);
    EXPECT_TRUE(frontEnd.boxes.empty());
}

TEST_F(ShortStatusTest, FailedRequestLeavesNoStaleModeBehind) {
    state().mode.set(sim::ModeFiscalMemory);
    ASSERT_EQ(QueryStatusCode(session).status.modeByte, 0x05);

    faults().silentAt(sim::SilentStep::AnswerRequest) = sim::kAlways;
    const ShortStatusReply reply = QueryStatusCode(session);
    EXPECT_EQ(reply.result, kFailed);
    EXPECT_EQ(frontEnd.boxTexts(), std::vector<std::string>{"Нет ответа!"});
    EXPECT_EQ(reply.status.modeByte, 0);
    EXPECT_EQ(reply.status.flags, 0);
}

// Puts the register's answers to the line request and to the command frame on the line late,
// as a register busy printing does.
class SlowToGrantPeer final : public platform::LinePeer {
public:
    SlowToGrantPeer(sim::RegisterEngine& engine, platform::MemoryLine& line, std::uint64_t delayUs)
        : engine_(engine), line_(line), delayUs_(delayUs) {
        line_.attach(this);
    }
    ~SlowToGrantPeer() override { line_.attach(nullptr); }

    void onReceived(const std::uint8_t* data, std::size_t count, std::uint64_t nowUs) override {
        engine_.receive(data, count, nowUs);
        const bool lineRequestOrFrame = data[0] == control::ENQ || data[0] == control::STX;
        const std::uint64_t delay = lineRequestOrFrame ? delayUs_ : 0;
        for (const sim::TimedByte& byte : engine_.takeOutput()) {
            line_.send(byte.atUs + delay, &byte.value, 1);
        }
    }

private:
    sim::RegisterEngine& engine_;
    platform::MemoryLine& line_;
    std::uint64_t delayUs_;
};

TEST(ShortStatusWaits, RegisterThatTakesOverASecondToGrantTheLineIsWaitedFor) {
    platform::VirtualClock clock;
    platform::MemoryLine line{clock};
    sim::RegisterEngine engine;
    engine.state().mode.set(sim::ModeRegistration);
    SlowToGrantPeer peer{engine, line, 1'500'000};
    RecordingFrontEnd frontEnd;
    platform::MemoryLineOpener opener{line, 8};
    Session session{frontEnd, clock, opener};
    session.LinkPassword = "7301";
    session.channel.OpenPort(8);
    session.channel.ConfigurePort(8, 4);

    const ShortStatusReply reply = QueryStatusCode(session);
    EXPECT_EQ(reply.result, kDone);
    EXPECT_EQ(reply.status.modeByte, 0x01);
    EXPECT_TRUE(frontEnd.boxes.empty());
    // Asked once and sent once: neither the line request nor the frame had to be repeated.
    int lineRequests = 0, frames = 0;
    for (const auto& write : line.writes()) {
        lineRequests += write.bytes == std::vector<std::uint8_t>{control::ENQ};
        frames += !write.bytes.empty() && write.bytes[0] == control::STX;
    }
    EXPECT_EQ(lineRequests, 1);
    EXPECT_EQ(frames, 1);
}

struct FlagCase {
    bool paperOut, linkLost, coverOpen, noRoll;
};

class PrinterFlagsTest : public SimFixture, public ::testing::WithParamInterface<FlagCase> {};

TEST_P(PrinterFlagsTest, EachPrinterFlagComesFromItsOwnBit) {
    const FlagCase c = GetParam();
    state().printer = {c.paperOut, c.linkLost, c.coverOpen, c.noRoll};
    state().mode.set(sim::ModeEklz, 1);
    const ShortStatusReply reply = QueryStatusCode(session);
    ASSERT_EQ(reply.result, kDone);

    EXPECT_EQ(reply.status.modeByte, 0x16);
    EXPECT_EQ(reply.status.noPaper(), c.paperOut);
    EXPECT_EQ(reply.status.noPrinterLink(), c.linkLost);
    EXPECT_EQ(reply.status.coverOpen(), c.coverOpen);
    EXPECT_EQ(reply.status.noRoll(), c.noRoll);
}

INSTANTIATE_TEST_SUITE_P(FlagsBytes, PrinterFlagsTest,
                         ::testing::Values(FlagCase{false, false, false, false},
                                           FlagCase{true, true, false, false},   // 0x03
                                           FlagCase{false, false, true, false},  // 0x04
                                           FlagCase{false, false, false, true},  // 0x08
                                           FlagCase{true, true, true, true}));

TEST(ShortStatusValue, TheHighFlagBitsNameNoPrinterFault) {
    const ShortStatus status{0x25, 0xF0};
    EXPECT_FALSE(status.noPaper() || status.noPrinterLink() || status.coverOpen() ||
                 status.noRoll());
    EXPECT_FALSE(status.inSelectionMode());
    EXPECT_TRUE((ShortStatus{0x00, 0xFF}.inSelectionMode()));
    EXPECT_FALSE((ShortStatus{0x10, 0x00}.inSelectionMode()));
}

}  // namespace
}  // namespace ptk::testing
