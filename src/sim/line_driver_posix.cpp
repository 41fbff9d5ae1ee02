// ptk-sim's line on POSIX: a pseudo-terminal whose slave end is linked as ./COMn, served with
// ppoll on the master end.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <deque>

#include "platform/pseudo_terminal.h"
#include "sim/line_driver.h"
#include "trace/exchange_trace.h"

namespace ptk::sim {

namespace {

std::atomic<bool>* stopFlag = nullptr;

extern "C" void onStopSignal(int) {
    if (stopFlag) stopFlag->store(true);
}

// The longest ppoll waits with nothing to send, so that waits of the engine run out on time.
constexpr std::uint64_t kIdleWaitUs = 100'000;
// Bytes due this soon go out with those already due: the UART would queue them back to back
// anyway, and the program need not wake for every byte. Shorter than the computer's 2 ms byte
// time-out, so a pause inside a frame stays a pause.
constexpr std::uint64_t kWriteAheadUs = 1'000;

timespec toTimespec(std::uint64_t us) {
    timespec value{};
    value.tv_sec = static_cast<time_t>(us / 1'000'000);
    value.tv_nsec = static_cast<long>(us % 1'000'000 * 1000);
    return value;
}

}  // namespace

void stopOnSignals(std::atomic<bool>& stop) {
    stopFlag = &stop;
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

bool serveOnLine(const std::string& linkName, RegisterEngine& engine, const MonotonicClock& clock,
                 const std::atomic<bool>& stop,
                 const std::function<void(const std::string&)>& ready, std::string& error,
                 std::optional<std::uint64_t> hangUpAfter, trace::ExchangeTrace* trace) {
    // The stop signals are let through only while ppoll waits, so none is missed between the
    // check of the flag and the wait.
    sigset_t blocked, waiting;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGINT);
    sigaddset(&blocked, SIGTERM);
    sigaddset(&blocked, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &blocked, &waiting);
    sigdelset(&waiting, SIGINT);
    sigdelset(&waiting, SIGTERM);
    sigdelset(&waiting, SIGHUP);

    platform::PseudoTerminal terminal;
    if (!terminal.isOpen()) {
        error = "cannot open a pseudo-terminal: " + terminal.error();
        return false;
    }
    const std::string linkPath = "./" + linkName;
    if (!terminal.linkAs(linkPath)) {
        error = "cannot link " + linkPath + ": " + terminal.error();
        return false;
    }
    const int fd = terminal.masterFd();
    // Nobody may be reading the other end; bytes that do not fit are dropped, never waited for.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    ready(linkPath + " -> " + terminal.slavePath());

    std::deque<TimedByte> pending;
    std::uint8_t buffer[512];
    while (!stop.load()) {
        std::uint64_t now = clock.nowUs();
        engine.advance(now);
        for (const TimedByte& byte : engine.takeOutput()) pending.push_back(byte);
        // Everything due goes out in one write; a pause inside a frame splits it.
        std::size_t due = 0;
        while (due < pending.size() && pending[due].atUs <= now + kWriteAheadUs &&
               due < sizeof buffer) {
            buffer[due] = pending[due].value;
            ++due;
        }
        if (due > 0) {
            const ssize_t written = ::write(fd, buffer, due);
            if (trace && written > 0) trace->sent(buffer, static_cast<std::size_t>(written));
            if (written < 0 && errno != EAGAIN && errno != EINTR) {
                error = std::string("write to the pseudo-terminal: ") + std::strerror(errno);
                return false;
            }
            pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(due));
        }
        const std::uint64_t waitUs =
            pending.empty() ? kIdleWaitUs
                            : (pending.front().atUs > now ? pending.front().atUs - now : 0);
        pollfd poller{fd, POLLIN, 0};
        const timespec timeout = toTimespec(waitUs);
        const int events = ::ppoll(&poller, 1, &timeout, &waiting);
        if (events < 0) {
            if (errno == EINTR) continue;
            error = std::string("poll: ") + std::strerror(errno);
            return false;
        }
        if (events > 0 && (poller.revents & POLLIN)) {
            const ssize_t count = ::read(fd, buffer, sizeof buffer);
            if (count > 0) {
                if (trace) trace->received(buffer, static_cast<std::size_t>(count));
                engine.receive(buffer, static_cast<std::size_t>(count), clock.nowUs());
                for (const TimedByte& byte : engine.takeOutput()) pending.push_back(byte);
                // Closing the master hangs the line up under the program that holds it.
                if (hangUpAfter && engine.commandsCarriedOut() > *hangUpAfter) return true;
            }
        } else if (events > 0 && (poller.revents & (POLLHUP | POLLERR))) {
            // No end is open on the other side for a moment; do not spin on it.
            const timespec pause = toTimespec(10'000);
            ::ppoll(nullptr, 0, &pause, &waiting);
        }
    }
    return true;
}

}  // namespace ptk::sim
