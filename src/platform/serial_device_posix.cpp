// The serial device on Linux and other POSIX systems: a terminal device opened exclusively and
// driven without blocking, every wait done in poll() so that an idle line costs no processor time.

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <utility>

#include "platform/port_names.h"
#include "platform/serial_device.h"

namespace ptk::platform {
namespace {

using SteadyClock = std::chrono::steady_clock;
using Deadline = SteadyClock::time_point;

Deadline deadlineAfterMs(std::uint64_t ms) {
    return SteadyClock::now() + std::chrono::milliseconds(ms);
}

// Milliseconds left until the deadline, rounded up so that poll() never wakes before it.
int msUntil(Deadline deadline) {
    const auto left = deadline - SteadyClock::now();
    if (left <= SteadyClock::duration::zero()) return 0;
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
    return ms > 60'000'000 ? 60'000'000 : static_cast<int>(ms);
}

class UniqueFd {
public:
    explicit UniqueFd(int fd = -1) : fd_(fd) {}
    ~UniqueFd() {
        if (fd_ >= 0) ::close(fd_);
    }
    UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) {
            if (fd_ >= 0) ::close(fd_);
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }

private:
    int fd_;
};

struct BaudSpeed {
    std::uint32_t baudRate;
    speed_t speed;
};
constexpr BaudSpeed kBaudSpeeds[] = {
    {9600, B9600}, {19200, B19200}, {38400, B38400}, {57600, B57600}, {115200, B115200},
};

bool speedForBaud(std::uint32_t baudRate, speed_t& speed) {
    for (const auto& entry : kBaudSpeeds) {
        if (entry.baudRate == baudRate) {
            speed = entry.speed;
            return true;
        }
    }
    return false;
}

enum class Readiness { Ready, TimedOut, HungUp, Error };

class PosixSerialDevice final : public SerialDevice {
public:
    explicit PosixSerialDevice(UniqueFd fd) : fd_(std::move(fd)) {}

    ~PosixSerialDevice() override {
        // The exclusive flag lives on the terminal, not on our descriptor: when somebody else
        // still holds the device open (a simulator keeps its pseudo-terminal's slave open), the
        // flag would outlast us and refuse the next program that opens the port.
        ::ioctl(fd_.get(), TIOCNXCL);
    }

    // The kernel's own buffers are big enough for every frame of this program.
    bool setupQueues(std::uint32_t, std::uint32_t) override { return true; }

    bool configureLine(std::uint32_t baudRate) override {
        speed_t speed{};
        if (!speedForBaud(baudRate, speed)) return false;
        termios tio{};
        if (::tcgetattr(fd_.get(), &tio) != 0) return false;
        ::cfmakeraw(&tio);
        tio.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
        tio.c_cflag |= CS8 | CLOCAL | CREAD;
        tio.c_iflag &= ~(IXON | IXOFF | IXANY);
        tio.c_cc[VMIN] = 1;
        tio.c_cc[VTIME] = 0;
        if (::cfsetspeed(&tio, speed) != 0) return false;
        if (::tcsetattr(fd_.get(), TCSANOW, &tio) != 0) return false;
        // tcsetattr succeeds when any part of the request was taken; make sure the speed was.
        termios applied{};
        if (::tcgetattr(fd_.get(), &applied) != 0 || ::cfgetospeed(&applied) != speed) {
            return false;
        }
        return dropModemLines();
    }

    bool setTimeouts(const CommTimeouts& timeouts) override {
        timeouts_ = timeouts;
        return true;
    }

    // A POSIX terminal keeps no latched line error to clear; only the queue counts are asked.
    bool clearErrors(QueueCounts* counts) override {
        int input = 0;
        int output = 0;
        if (::ioctl(fd_.get(), FIONREAD, &input) != 0) return false;
        if (::ioctl(fd_.get(), TIOCOUTQ, &output) != 0) return false;
        if (counts) {
            counts->input = static_cast<std::uint32_t>(input);
            counts->output = static_cast<std::uint32_t>(output);
        }
        return true;
    }

    // Reads and writes finish before they return, so there is nothing to abort: the abort flags
    // flush their queue just as the clear flags do.
    bool purge(unsigned purgeFlags) override {
        const bool input = purgeFlags & (PurgeRxClear | PurgeRxAbort);
        const bool output = purgeFlags & (PurgeTxClear | PurgeTxAbort);
        if (!input && !output) return true;
        const int queue = input && output ? TCIOFLUSH : (input ? TCIFLUSH : TCOFLUSH);
        return ::tcflush(fd_.get(), queue) == 0;
    }

    bool write(const std::uint8_t* data, std::size_t count, std::size_t& written) override {
        written = 0;
        const Deadline deadline = deadlineAfterMs(writeLimitMs(count));
        while (written < count) {
            const ssize_t n = ::write(fd_.get(), data + written, count - written);
            if (n > 0) {
                written += static_cast<std::size_t>(n);
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            if (n < 0 && errno == EAGAIN) {
                if (waitUntil(POLLOUT, deadline) == Readiness::Ready) continue;
            }
            return false;
        }
        return true;
    }

    ReadOutcome readByte(std::uint8_t& byte) override {
        const Deadline deadline = deadlineAfterMs(std::uint64_t{timeouts_.readTotalMultiplierMs} +
                                                  timeouts_.readTotalConstantMs);
        for (;;) {
            const ssize_t n = ::read(fd_.get(), &byte, 1);
            if (n == 1) return ReadOutcome::Byte;
            if (n < 0 && errno == EINTR) continue;
            // End of file, EIO or anything else: the device hung up or failed.
            if (n == 0 || errno != EAGAIN) return ReadOutcome::Failed;
            switch (waitUntil(POLLIN, deadline)) {
                case Readiness::Ready:
                    continue;
                case Readiness::TimedOut:
                    return ReadOutcome::NoByte;
                case Readiness::HungUp:
                case Readiness::Error:
                    return ReadOutcome::Failed;
            }
        }
    }

    // A device that hung up or failed is "ready" at once: the read that follows tells.
    bool waitForInput(std::uint32_t maxMs) override {
        return waitUntil(POLLIN, deadlineAfterMs(maxMs)) != Readiness::TimedOut;
    }

    bool hungUp() override {
        const Readiness readiness = waitUntil(POLLOUT, SteadyClock::now());
        return readiness == Readiness::HungUp || readiness == Readiness::Error;
    }

private:
    // Clears DTR and RTS. A pseudo-terminal has no modem lines and refuses the request with
    // ENOTTY (some drivers say EINVAL); that is not a fault of the line.
    bool dropModemLines() {
        int lines = TIOCM_DTR | TIOCM_RTS;
        if (::ioctl(fd_.get(), TIOCMBIC, &lines) == 0) return true;
        return errno == ENOTTY || errno == EINVAL;
    }

    // The write limit as the driver's time-outs give it. With both at zero a Windows driver would
    // wait without any limit; a device that never takes the bytes must not hang the program, so
    // then the bytes get twice the time they need on the wire at the slowest speed, plus 100 ms.
    std::uint64_t writeLimitMs(std::size_t count) const {
        const std::uint64_t limit = std::uint64_t{timeouts_.writeTotalMultiplierMs} * count +
                                    timeouts_.writeTotalConstantMs;
        if (limit != 0) return limit;
        constexpr std::uint64_t kBitsPerByte = 10;
        constexpr std::uint64_t kSlowestBaud = 9600;
        const std::uint64_t wireMs =
            (count * kBitsPerByte * 1000 + kSlowestBaud - 1) / kSlowestBaud;
        return 2 * wireMs + 100;
    }

    // Waits in poll() for the events or the deadline. Hang-up with bytes still queued counts as
    // ready, so that they can be read first.
    Readiness waitUntil(short events, Deadline deadline) {
        for (;;) {
            pollfd entry{fd_.get(), events, 0};
            const int rc = ::poll(&entry, 1, msUntil(deadline));
            if (rc < 0) {
                if (errno == EINTR) continue;
                return Readiness::Error;
            }
            if (rc == 0) return Readiness::TimedOut;
            if (entry.revents & POLLHUP) {
                int pending = 0;
                const bool hasInput =
                    (events & POLLIN) && ::ioctl(fd_.get(), FIONREAD, &pending) == 0 && pending > 0;
                return hasInput ? Readiness::Ready : Readiness::HungUp;
            }
            if (entry.revents & (POLLERR | POLLNVAL)) return Readiness::Error;
            if (entry.revents & events) return Readiness::Ready;
        }
    }

    UniqueFd fd_;
    CommTimeouts timeouts_{};
};

// Why an open failed, by the system's error number.
PortOpenFailure failureOf(int error) {
    switch (error) {
        case ENOENT:
        case ENODEV:
        case ENXIO:
            return PortOpenFailure::NotThere;
        case EBUSY:
        case EWOULDBLOCK:
            return PortOpenFailure::Busy;
        case EACCES:
        case EPERM:
            return PortOpenFailure::NoPermission;
        case ENOTTY:
            return PortOpenFailure::NotSerial;
        default:
            return PortOpenFailure::Other;
    }
}

// The path, and where a link leads: "./COM9 -> /dev/pts/3".
std::string deviceName(const std::string& path) {
    char target[4096];
    const ssize_t length = ::readlink(path.c_str(), target, sizeof target - 1);
    if (length <= 0) return path;
    return path + " -> " + std::string(target, static_cast<std::size_t>(length));
}

std::unique_ptr<SerialDevice> refused(PortOpenReport* report) {
    const int error = errno;
    if (report) {
        report->failure = failureOf(error);
        report->systemText = std::strerror(error);
    }
    return nullptr;
}

}  // namespace

// The port is ours alone: TIOCEXCL refuses further opens of the terminal by other users, and the
// flock refuses everyone else, root and this very process included (a lock belongs to the open
// file, so a second descriptor of the same device is refused too).
std::unique_ptr<SerialDevice> SystemSerialOpener::open(int portIndex, PortOpenReport* report) {
    const std::string path = portDevicePath(portIndex);
    if (report) *report = {path.empty() ? std::string() : deviceName(path), {}, {}};
    if (path.empty()) {
        if (report) report->failure = PortOpenFailure::NoDevice;
        return nullptr;
    }
    UniqueFd fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.valid()) return refused(report);
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) return refused(report);
    // Fails with ENOTTY when the path is no terminal at all, which is no serial port either.
    if (::ioctl(fd.get(), TIOCEXCL) != 0) return refused(report);
    return std::make_unique<PosixSerialDevice>(std::move(fd));
}

}  // namespace ptk::platform
