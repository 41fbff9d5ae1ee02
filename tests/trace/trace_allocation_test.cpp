// Tracing a transaction allocates nothing: every line is built in the trace's fixed buffers.
// This program replaces the global operator new to count, so it is a test program of its own.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "link/command_exchange.h"
#include "settings/scratch_directory.h"
#include "trace/exchange_trace.h"

namespace {

bool counting = false;
long allocations = 0;

}  // namespace

void* operator new(std::size_t size) {
    if (counting) ++allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace ptk::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes frameOf(const Bytes& message) {
    Bytes frame(kBufferSize);
    frame.resize(
        CommandExchange::buildFrame(message.data(), message.size(), frame.data(), frame.size()));
    return frame;
}

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

    counting = true;
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
            trace->transactionEnded((*pair)[3], 1, ResultKind::Exchange);
            trace->transactionEnded((*pair)[3], -0x9C, ResultKind::Driver);
        }
    }
    counting = false;
    EXPECT_EQ(allocations, 0);
    EXPECT_EQ(trace->linesLost(), 0u);
    trace.reset();
    EXPECT_GT(directory.read("trace.log").size(), 50u * 1000u);
}

}  // namespace
}  // namespace ptk::testing
