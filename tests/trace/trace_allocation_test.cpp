// Tracing a transaction allocates nothing: every line is built in the trace's fixed buffers.
// This program replaces the global operator new to count (allocation_counter), so it is a test
// program of its own.
#include <gtest/gtest.h>

#include "frame_of.h"
#include "link/command_exchange.h"
#include "support/allocation_counter.h"
#include "support/scratch_directory.h"
#include "trace/exchange_trace.h"

namespace ptk::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(TraceAllocations, NoneWhileTransactionsAreTraced) {
    ScratchDirectory directory;
    std::string error;
    std::uint64_t nowUs = 0;
    auto trace =
        trace::ExchangeTrace::open((directory.path() / "trace.log").string(), trace::Role::Computer,
                                   "test", [&nowUs] { return nowUs += 50; }, error);
    ASSERT_TRUE(trace) << error;
    trace->setCodesShifted([] { return false; });
    // Frames made beforehand: the counting covers the trace alone.
    const Bytes mode = frameOf({0x73, 0x01, 0x56, 0x01, 0x10, 0x03, 0x00, 0x30});
    const Bytes modeAnswer = frameOf({0x56, 0x00, 0x01});
    Bytes state(55, 0x10);
    state[0] = 0x44;
    const Bytes stateAnswer = frameOf(state);
    const Bytes stateCommand = frameOf({0x73, 0x01, 0x3F});
    const std::uint8_t enq = control::ENQ, ack = control::ACK, eot = control::EOT,
                       nak = control::NAK;

    startCountingAllocations();
    for (int round = 0; round < 50; ++round) {
        for (const Bytes* pair : {&mode, &stateCommand}) {
            trace->sent(&enq, 1);
            trace->received(&ack, 1);
            trace->inputDiscarded();
            trace->sent(pair->data(), pair->size());
            trace->received(&ack, 1);
            trace->sent(&eot, 1);
            trace->received(&enq, 1);
            trace->sent(&ack, 1);
            const Bytes& answer = pair == &mode ? modeAnswer : stateAnswer;
            for (std::uint8_t byte : answer) trace->received(&byte, 1);
            trace->sent(&nak, 1);
            for (std::size_t i = 0; i < answer.size() / 2; ++i) trace->received(&answer[i], 1);
            trace->silence();
            trace->inputDiscarded();
            trace->sent(&ack, 1);
            trace->received(&eot, 1);
            trace->exchangeEnded((*pair)[3], ExchangeResult::done(), ExchangeRules::Form);
            trace->packetEnded((*pair)[3], PacketResult::device(0x9C));
        }
    }
    EXPECT_EQ(stopCountingAllocations(), 0);
    EXPECT_EQ(trace->linesLost(), 0u);
    trace.reset();
    EXPECT_GT(directory.read("trace.log").size(), 50u * 1000u);
}

}  // namespace
}  // namespace ptk::testing
