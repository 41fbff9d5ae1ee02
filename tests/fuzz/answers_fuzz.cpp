// The decoders of the reports' answers, fed any answer: they read nothing past it (the sanitizer
// sees every step outside the exact copy) and every line they make is whole UTF-8 that the window
// can show.
#include <fuzzer/FuzzedDataProvider.h>

#include <memory>
#include <string>
#include <vector>

#include "fiscal_memory/report_commands.h"
#include "fuzzed_register.h"
#include "status/device_state.h"
#include "status/eklz_state.h"
#include "status/registration_info.h"

using namespace ptk;

namespace {

bool wholeUtf8(const std::string& text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        if (lead >= 0x80 && lead < 0xC2) return false;
        if (i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        }
        i += length;
    }
    return true;
}

void checkLines(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) FUZZ_CHECK(wholeUtf8(line));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const auto copy = std::make_unique<std::uint8_t[]>(size - 1);
    std::copy(data + 1, data + size, copy.get());
    const AnswerBytes answer(copy.get(), size - 1);
    checkLines(deviceStateLines(answer));
    checkLines(eklzStateLines(answer));
    checkLines(printerStateLines(data[0]));
    checkLines(
        dataRegisterLines(static_cast<std::uint8_t>(kActivationRegister + data[0] % 3), answer));
    FUZZ_CHECK(wholeUtf8(receiptStateText(data[0])));

    LinkBuffer buffer{};
    std::copy(data, data + std::min(size, buffer.size()), buffer.begin());
    const fiscal_memory::FiscalMemoryRanges ranges = fiscal_memory::rangesFromAnswer(buffer);
    for (const std::string* text :
         {&ranges.firstDate, &ranges.lastDate, &ranges.firstShift, &ranges.lastShift}) {
        FUZZ_CHECK(wholeUtf8(*text));
    }
    return 0;
}
