// The simulated register fed whatever the fuzzer sends, at whatever times: its bytes go out in
// time order, every frame it sends has its checksum right, and left alone it always comes back
// to waiting for the computer's ENQ: it never wedges.
#include <fuzzer/FuzzedDataProvider.h>

#include <vector>

#include "fuzzed_register.h"
#include "link/frame.h"
#include "sim/register_engine.h"

using namespace ptk;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    sim::RegisterState state;
    state.mode.set(input.ConsumeIntegral<std::uint8_t>());
    sim::RegisterEngine engine(std::move(state));
    std::uint64_t nowUs = 0;
    std::uint64_t lastOutUs = 0;
    std::vector<std::uint8_t> sent;
    const auto collect = [&] {
        for (const sim::TimedByte& byte : engine.takeOutput()) {
            FUZZ_CHECK(byte.atUs >= lastOutUs);
            lastOutUs = byte.atUs;
            sent.push_back(byte.value);
        }
    };
    while (input.remaining_bytes() > 0) {
        nowUs += input.ConsumeIntegral<std::uint16_t>() * 50ULL;
        engine.advance(nowUs);
        collect();
        const auto chunk = input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange(1, 24));
        engine.receive(chunk.data(), chunk.size(), nowUs);
        collect();
    }
    engine.advance(nowUs + 3'600'000'000ULL);
    collect();
    FUZZ_CHECK(engine.phase() == sim::RegisterEngine::Phase::Idle);
    // Between its frames the register sends only control bytes.
    for (std::size_t at = 0; at < sent.size(); ++at) {
        if (sent[at] != control::STX) continue;
        const int etx = findClosingEtx(sent.data() + at, sent.size() - at);
        if (etx < 0) break;  // the last frame may still be on its way
        FUZZ_CHECK(checksumMatches(sent.data() + at, sent.size() - at));
        at += static_cast<std::size_t>(etx) + 1;
    }
    return 0;
}
