// Interrupts through sigaction; the handler does nothing but store into a lock-free atomic.

#include <signal.h>
#include <unistd.h>

#include "platform/interrupt.h"

namespace ptk::platform {
namespace {

std::atomic<std::atomic<bool>*> watchedFlag{nullptr};
struct sigaction previousInterrupt {};
struct sigaction previousTerminate {};

static_assert(std::atomic<bool>::is_always_lock_free &&
                  std::atomic<std::atomic<bool>*>::is_always_lock_free,
              "a signal handler may only touch lock-free atomics");

void onInterrupt(int) {
    if (std::atomic<bool>* flag = watchedFlag.load()) flag->store(true);
}

}  // namespace

InterruptWatch::InterruptWatch(std::atomic<bool>& stop) {
    watchedFlag.store(&stop);
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    // Reset to the default after the first signal: the second one ends the process.
    action.sa_flags = SA_RESETHAND;
    sigaction(SIGINT, &action, &previousInterrupt);
    sigaction(SIGTERM, &action, &previousTerminate);
}

InterruptWatch::~InterruptWatch() {
    sigaction(SIGINT, &previousInterrupt, nullptr);
    sigaction(SIGTERM, &previousTerminate, nullptr);
    watchedFlag.store(nullptr);
}

bool isTerminal(std::FILE* stream) {
    return ::isatty(::fileno(stream)) == 1;
}

void useUtf8Console() {}

}  // namespace ptk::platform
