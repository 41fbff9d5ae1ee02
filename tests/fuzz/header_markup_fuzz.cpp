// The header-line markup both ways: any register bytes that read give a text that writes back as
// the bytes of the line and reads again the same; any text that is taken reads back within 90
// characters, and that reading writes back as the same bytes.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <string>

#include "fiscal_memory/header_markup.h"
#include "fuzzed_register.h"
#include "link/packet_driver.h"

using namespace ptk;

namespace {

struct Coded {
    PacketResult result;
    std::array<std::uint8_t, kHeaderLineLimit> bytes{};
    std::array<char, kHeaderLineLimit> text{};
    std::size_t length = kHeaderLineLimit;
};

Coded encode(std::string_view text) {
    Coded coded{};
    coded.result = HeaderTextToDevice(text, coded.bytes.data(), &coded.length);
    return coded;
}

Coded decode(const std::uint8_t* bytes, std::size_t count) {
    Coded coded{};
    coded.result = HeaderDeviceToText(bytes, count, coded.text.data(), &coded.length);
    return coded;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const auto bytes = input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange(0, 90));
    const Coded read = decode(bytes.data(), bytes.size());
    if (read.result == packet_result::Done) {
        const std::string_view text(read.text.data(), read.length);
        const Coded written = encode(text);
        FUZZ_CHECK(written.result == packet_result::Done);
        FUZZ_CHECK(written.length <= bytes.size() &&
                   std::equal(written.bytes.begin(), written.bytes.begin() + written.length,
                              bytes.begin()));
        // What is left was after the line's end: a NUL, or what followed a picture element.
        FUZZ_CHECK(written.length == bytes.size() || bytes[written.length] == 0x00 ||
                   (written.length >= kPictureElementSize &&
                    written.bytes[written.length - kPictureElementSize] == kPictureElementByte));
        const Coded again = decode(written.bytes.data(), written.length);
        FUZZ_CHECK(std::string_view(again.text.data(), again.length) == text);
    }

    const std::string typed = input.ConsumeRemainingBytesAsString();
    const Coded sent = encode(typed);
    if (sent.result != packet_result::Done) return 0;
    const Coded shown = decode(sent.bytes.data(), sent.length);
    FUZZ_CHECK(shown.result == packet_result::Done);
    const Coded back = encode(std::string_view(shown.text.data(), shown.length));
    FUZZ_CHECK(
        back.result == packet_result::Done && back.length == sent.length &&
        std::equal(back.bytes.begin(), back.bytes.begin() + back.length, sent.bytes.begin()));
    return 0;
}
