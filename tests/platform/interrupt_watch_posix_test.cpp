#include <gtest/gtest.h>

#include <signal.h>

#include <atomic>

#include "platform/interrupt.h"

namespace ptk::platform {
namespace {

std::atomic<int> earlierHandlerCalls{0};
void earlierHandler(int) {
    earlierHandlerCalls.fetch_add(1);
}

// SIGINT and SIGTERM become the stop request while the watch lives, and whatever handled them
// before handles them again afterwards.
TEST(InterruptWatch, TurnsInterruptsIntoTheStopRequestAndGivesThemBack) {
    for (const int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        struct sigaction earlier {};
        earlier.sa_handler = earlierHandler;
        sigemptyset(&earlier.sa_mask);
        struct sigaction original {};
        ASSERT_EQ(sigaction(signal, &earlier, &original), 0);
        earlierHandlerCalls = 0;
        std::atomic<bool> stop{false};
        {
            const InterruptWatch watch(stop);
            raise(signal);
            EXPECT_TRUE(stop.load());
            EXPECT_EQ(earlierHandlerCalls.load(), 0);
        }
        raise(signal);
        EXPECT_EQ(earlierHandlerCalls.load(), 1);
        sigaction(signal, &original, nullptr);
    }
}

}  // namespace
}  // namespace ptk::platform
