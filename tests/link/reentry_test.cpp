// One transaction on the line at a time: in debug builds a transaction that starts while another
// is still on the line (here from a window message the first one pumped while it waited) stops the
// program at once, whichever of the two transactions it is.
#include <gtest/gtest.h>

#include <functional>

#include "link/packet_command.h"
#include "link/session.h"
#include "platform/memory_line.h"
#include "scripted_register.h"

namespace ptk::testing {
namespace {

// A front end whose message pump carries out one window message: whatever the test puts there.
class PumpingFrontEnd final : public FrontEnd {
public:
    void setResultText(std::string_view) override {}
    void showMessage(MessageIcon, std::string_view, std::string_view, OwnerHandle) override {}
    bool askQuestion(std::string_view, OwnerHandle) override { return false; }
    void beep() override {}
    bool pumpMessages() override {
        if (message) std::exchange(message, nullptr)();
        return true;
    }

    std::function<void()> message;
};

struct PumpingRig {
    static constexpr int kPort = 8;

    PumpingRig() {
        session.channel.OpenPort(kPort);
        session.channel.ConfigurePort(kPort, 4);
        // The register takes its time, so the transaction waits and pumps.
        device.commandUs = 200'000;
    }

    ExchangeResult leaveMode() {
        const MessageBuilder message = session.message(0x52);
        return session.exchange.SendFormCommand(commandCall(message, 6, ShortAnswer::Refused));
    }
    PacketResult readHeaderLine() {
        const std::uint8_t field[] = {0x06, 0x00, 0x01, 0x01};
        std::uint8_t answer[92] = {};
        std::size_t length = sizeof answer;
        return PacketCommand(session, 0x46, field, sizeof field, answer, &length);
    }

    platform::VirtualClock clock;
    platform::MemoryLine line{clock};
    ScriptedRegister device{line};
    PumpingFrontEnd frontEnd;
    platform::MemoryLineOpener opener{line, kPort};
    Session session{frontEnd, clock, opener};
};

#ifndef NDEBUG

TEST(ReentryDeathTest, AnExchangeStartedInsideAnotherStopsTheProgram) {
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    EXPECT_DEATH(
        {
            PumpingRig rig;
            rig.frontEnd.message = [&rig] { rig.leaveMode(); };
            rig.leaveMode();
        },
        "another one was on the line");
}

TEST(ReentryDeathTest, APacketCallStartedInsideAnExchangeStopsTheProgram) {
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    EXPECT_DEATH(
        {
            PumpingRig rig;
            rig.frontEnd.message = [&rig] { rig.readHeaderLine(); };
            rig.leaveMode();
        },
        "another one was on the line");
}

#endif

TEST(Reentry, TransactionsOneAfterAnotherRunAsEver) {
    PumpingRig rig;
    bool pumped = false;
    rig.frontEnd.message = [&pumped] { pumped = true; };
    EXPECT_EQ(rig.leaveMode(), ExchangeResult::done());
    EXPECT_TRUE(pumped);
    rig.device.answer = {0x46, 0x00, 0x41};
    EXPECT_EQ(rig.readHeaderLine(), PacketResult{});
    rig.device.answer = {0x52, 0x00, 0x00};
    EXPECT_EQ(rig.leaveMode(), ExchangeResult::done());
}

}  // namespace
}  // namespace ptk::testing
