// The command exchange against a register that answers with whatever the fuzzer says: every
// result is one the exchange defines, a failure is told at most once, an answer is taken only
// when it arrived whole, no transaction outlives its deadlines, and after a pulled line the next
// transaction opens the port again.
#include "fuzzed_register.h"

using namespace ptk;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    fuzz::FuzzedLine rig(input);
    const bool form = input.ConsumeBool();
    MessageBuilder message = rig.session.message(input.ConsumeIntegral<std::uint8_t>());
    const auto body = input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange(0, 20));
    message.bytes(body.data(), body.size());
    CommandCall call = commandCall(message, input.ConsumeIntegralInRange<std::size_t>(1, 80),
                                   input.ConsumeBool() ? ShortAnswer::Taken : ShortAnswer::Refused);
    call.errorCode = static_cast<ErrorCodeRule>(input.ConsumeIntegralInRange(0, 3));
    rig.session.exchange.setCodeSet(input.ConsumeBool() ? CodeSet::AsWritten : CodeSet::Shifted);

    bool pluggedIn = false;
    for (int transaction = 0; transaction < 3; ++transaction) {
        const std::uint64_t startUs = rig.clock.nowUs();
        const std::size_t boxes = rig.frontEnd.boxes.size();
        const ExchangeResult result = form ? rig.session.exchange.SendFormCommand(call)
                                           : rig.session.exchange.SendCommand(call);
        using enum ExchangeOutcome;
        // The end of a data stream and an unknown probe are the general rules' alone.
        FUZZ_CHECK(!form || (result.outcome != NoMoreData && result.outcome != UnknownCommand));
        // A device error carries the register's code, which is never a success code.
        FUZZ_CHECK(result.outcome != DeviceError || !isSuccessCode(result.deviceCode));
        // At most one link failure and one device error (the form variant may meet both: a
        // frame the register refused, then an answer after all).
        std::size_t linkBoxes = 0;
        for (std::size_t i = boxes; i < rig.frontEnd.boxes.size(); ++i) {
            const std::string& text = rig.frontEnd.boxes[i].text;
            linkBoxes += text == "Нет связи!" || text == "Нет ответа!" ||
                         text == "Ошибка контрольной суммы!";
        }
        FUZZ_CHECK(linkBoxes <= 1 && rig.frontEnd.boxes.size() - boxes - linkBoxes <= 1);
        FUZZ_CHECK(rig.clock.nowUs() - startUs <= 300'000'000);
        // The general rules take only an answer that begins with STX (the form variant's first
        // answer byte need not be one).
        if (!form && result.outcome != Failed && result.outcome != ChecksumWrong) {
            // STX, the message, ETX, the checksum: the message is one of the whole frames.
            const LinkBuffer& answer = rig.session.exchange.answer();
            bool whole = false;
            for (std::size_t length = 0; length + 3 <= answer.size() && !whole; ++length) {
                whole = answer[length + 1] == control::ETX &&
                        fuzz::isGoodFrame(rig.peer.goodFrames, answer.data() + 1, length);
            }
            FUZZ_CHECK(answer[0] == control::STX && whole);
        }
        // A line plugged in again after it was pulled is open after the next transaction.
        if (pluggedIn && !rig.line.isHungUp()) {
            FUZZ_CHECK(rig.session.channel.openPortIndex() >= 0);
        }
        pluggedIn = rig.line.isHungUp();
        rig.line.plugIn();
    }
    return 0;
}
