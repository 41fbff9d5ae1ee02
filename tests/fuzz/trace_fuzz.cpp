// The trace of both programs fed streams whose shape the fuzzer chooses (cuts, resends, junk,
// answers anywhere, pieces of any size): two runs that differ only in the passwords write the
// same trace.
#include <fuzzer/FuzzedDataProvider.h>

#include "fuzzed_register.h"
#include "trace/secret_streams.h"

using namespace ptk;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const trace::Role role = size % 2 ? trace::Role::Register : trace::Role::Computer;
    std::vector<std::string> traces[2];
    for (unsigned run = 0; run < 2; ++run) {
        FuzzedDataProvider input(data, size);
        testing::Structure structure = [&input] { return input.ConsumeIntegral<std::uint32_t>(); };
        traces[run] = testing::tracedLines(role, testing::randomStream(role, structure, run + 1));
    }
    FUZZ_CHECK(traces[0] == traces[1]);
    return 0;
}
