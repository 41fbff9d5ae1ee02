// The framing both transactions speak: a message framed and un-stuffed comes back whole with its
// checksum right, and any bytes at all are searched and un-stuffed within their buffer, the
// closing ETX found being one no DLE escapes.
#include <fuzzer/FuzzedDataProvider.h>

#include <memory>
#include <vector>

#include "fuzzed_register.h"
#include "link/frame.h"

using namespace ptk;

namespace {

// Exactly the bytes, on the heap, so that a step outside them is seen.
std::unique_ptr<std::uint8_t[]> copyOf(const std::vector<std::uint8_t>& bytes) {
    auto copy = std::make_unique<std::uint8_t[]>(bytes.size() + 1);
    std::copy(bytes.begin(), bytes.end(), copy.get());
    return copy;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const auto message = input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange(0, 300));
    std::vector<std::uint8_t> frame(message.size() * 2 + 3);
    frame.resize(buildFrame(message.data(), message.size(), frame.data(), frame.size()));
    FUZZ_CHECK(frame.size() == stuffedLength(message.data(), message.size()) + 3);
    FUZZ_CHECK(checksumMatches(frame.data(), frame.size()));
    FUZZ_CHECK(findClosingEtx(frame.data(), frame.size()) == static_cast<int>(frame.size()) - 2);
    auto unstuffed = copyOf(frame);
    FUZZ_CHECK(unstuffFrame(unstuffed.get(), frame.size()));
    FUZZ_CHECK(std::equal(message.begin(), message.end(), unstuffed.get() + 1));
    FUZZ_CHECK(unstuffed[message.size() + 1] == control::ETX);

    const auto any = input.ConsumeRemainingBytes<std::uint8_t>();
    auto bytes = copyOf(any);
    const int etx = findClosingEtx(bytes.get(), any.size());
    if (etx >= 0) {
        FUZZ_CHECK(any[static_cast<std::size_t>(etx)] == control::ETX);
        bool escaped = false;  // from position 1: position 0 is the STX
        for (int i = 1; i < etx; ++i)
            escaped = !escaped && any[static_cast<std::size_t>(i)] == control::DLE;
        FUZZ_CHECK(!escaped);
    }
    FUZZ_CHECK(unstuffFrame(bytes.get(), any.size()) == (etx >= 0));
    return 0;
}
