// The packet driver against a register that answers with whatever the fuzzer says: every result
// is a driver code, an answer is delivered only when it arrived whole, no call outlives its
// command's time-out and the driver's own waits, the port gets the channel's time-outs back, and
// after a pulled line the next call opens the port again.
#include "fuzzed_register.h"
#include "link/packet_command.h"

using namespace ptk;
using namespace ptk::packet_result;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    fuzz::FuzzedLine rig(input);
    const auto code = input.ConsumeIntegral<std::uint8_t>();
    const auto body = input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange(0, 100));
    rig.session.LinkPassword = input.ConsumeBool() ? "7301" : "";
    const std::size_t capacity = input.ConsumeIntegralInRange<std::size_t>(0, 100);

    bool pluggedIn = false;
    for (int call = 0; call < 3; ++call) {
        std::vector<std::uint8_t> answer(capacity);
        std::size_t length = capacity;
        const std::uint64_t startUs = rig.clock.nowUs();
        const PacketResult result =
            PacketCommand(rig.session, code, body.data(), body.size(),
                          capacity ? answer.data() : nullptr, capacity ? &length : nullptr);
        const bool failed = result == PortError || result == NoLink || result == NoAnswer ||
                            result == NotAcknowledged || result == MessageTooLong ||
                            result == AnswerTooLong || result == ChecksumMismatch ||
                            result == BufferTooSmall;
        // Otherwise the register's error code, mapped: done, a code of its own, or the device
        // error itself.
        FUZZ_CHECK(failed || result.succeeded() || result.isDeviceError() || result == NoPaper ||
                   result == ConfirmationNeeded || result == ShiftTooLong ||
                   result == WrongPassword || result == NotInThisMode);
        FUZZ_CHECK(rig.clock.nowUs() - startUs <= PacketTimeout(code) * 1000ULL + 200'000'000);
        if (!failed && capacity) {
            FUZZ_CHECK(fuzz::isGoodFrame(rig.peer.goodFrames, answer.data(), length));
        }
        FUZZ_CHECK(rig.frontEnd.boxes.empty());
        // A line plugged in again after it was pulled is open after the next call, and an open
        // port has the channel's own time-outs back.
        if (pluggedIn && !rig.line.isHungUp() && result != MessageTooLong) {
            FUZZ_CHECK(rig.session.channel.openPortIndex() >= 0);
        }
        if (!rig.line.isHungUp() && result != MessageTooLong) {
            FUZZ_CHECK(rig.line.timeouts() == platform::CommTimeouts{});
        }
        pluggedIn = rig.line.isHungUp() || (pluggedIn && result == MessageTooLong);
        rig.line.plugIn();
    }
    return 0;
}
