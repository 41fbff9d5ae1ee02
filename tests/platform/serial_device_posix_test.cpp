// The POSIX serial backend against a real pseudo-terminal, reached as the program reaches a
// simulator: through a link ./COM9 in the working directory. Real time, small time-outs; the
// tests assert what arrived, never how long it took.

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/pseudo_terminal.h"
#include "platform/serial_device.h"
#include "support/scoped_work_dir.h"

namespace ptk::platform {
namespace {

constexpr int kCom9 = 8;
using Bytes = std::vector<std::uint8_t>;

Bytes allByteValues() {
    Bytes bytes(256);
    for (int i = 0; i < 256; ++i) bytes[i] = static_cast<std::uint8_t>(i);
    return bytes;
}

class PtySerialTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty_->isOpen()) << pty_->error();
        ASSERT_TRUE(pty_->linkAs("COM9")) << pty_->error();
    }

    std::unique_ptr<SerialDevice> openConfigured(std::uint32_t baud = 115200) {
        auto device = opener_.open(kCom9);
        if (device && !device->configureLine(baud)) return nullptr;
        return device;
    }

    void masterWrite(const Bytes& bytes) {
        ASSERT_EQ(::write(pty_->masterFd(), bytes.data(), bytes.size()),
                  static_cast<ssize_t>(bytes.size()));
    }

    // What the master receives, until count bytes came or the line stayed quiet for a second.
    Bytes masterRead(std::size_t count) {
        Bytes bytes;
        while (bytes.size() < count) {
            pollfd entry{pty_->masterFd(), POLLIN, 0};
            if (::poll(&entry, 1, 1000) != 1) break;
            std::uint8_t chunk[512];
            const ssize_t n = ::read(pty_->masterFd(), chunk, sizeof chunk);
            if (n <= 0) break;
            bytes.insert(bytes.end(), chunk, chunk + n);
        }
        return bytes;
    }

    // Reads until the device reports anything but a byte; waits for the first byte first.
    static Bytes readRun(SerialDevice& device, ReadOutcome& endedWith) {
        Bytes bytes;
        if (!device.waitForInput(2000)) {
            endedWith = ReadOutcome::NoByte;
            return bytes;
        }
        std::uint8_t byte = 0;
        while ((endedWith = device.readByte(byte)) == ReadOutcome::Byte) bytes.push_back(byte);
        return bytes;
    }

    testing::ScopedWorkDir workDir_;  // outlives the terminal and its link
    std::optional<PseudoTerminal> pty_{std::in_place};
    SystemSerialOpener opener_;
};

TEST_F(PtySerialTest, OpensThroughLinkExclusivelyUntilClosed) {
    auto first = opener_.open(kCom9);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(opener_.open(kCom9), nullptr) << "a second open must be refused";

    first.reset();
    EXPECT_NE(opener_.open(kCom9), nullptr) << "the port must be free again after the close";
}

TEST_F(PtySerialTest, ClosingDropsTheExclusiveFlagOfTheTerminal) {
    // The terminal stays open elsewhere (here, as with a simulator); a flag left set would refuse
    // every later open by an ordinary user.
    const int observer = ::open(pty_->slavePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(observer, 0);
    int exclusive = 0;
    {
        auto device = opener_.open(kCom9);
        ASSERT_NE(device, nullptr);
        ASSERT_EQ(::ioctl(observer, TIOCGEXCL, &exclusive), 0);
        EXPECT_EQ(exclusive, 1);
    }
    ASSERT_EQ(::ioctl(observer, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);
    ::close(observer);
}

TEST_F(PtySerialTest, ConfiguresRawEightNOneAtTheTableSpeeds) {
    // Start from a cooked terminal, so that everything raw below is the device's own doing.
    const int observer = ::open(pty_->slavePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(observer, 0);
    termios cooked{};
    ASSERT_EQ(::tcgetattr(observer, &cooked), 0);
    cooked.c_lflag |= ICANON | ECHO | ISIG;
    cooked.c_iflag |= ICRNL | IXON | IXOFF;
    cooked.c_oflag |= OPOST | ONLCR;
    cooked.c_cflag |= PARENB | CSTOPB | CRTSCTS;
    ASSERT_EQ(::tcsetattr(observer, TCSANOW, &cooked), 0);

    auto device = opener_.open(kCom9);
    ASSERT_NE(device, nullptr);
    const std::pair<std::uint32_t, speed_t> speeds[] = {
        {9600, B9600}, {19200, B19200}, {38400, B38400}, {57600, B57600}, {115200, B115200}};
    for (const auto& [baud, speed] : speeds) {
        ASSERT_TRUE(device->configureLine(baud)) << baud;
        termios applied{};
        ASSERT_EQ(::tcgetattr(observer, &applied), 0);
        EXPECT_EQ(::cfgetospeed(&applied), speed) << baud;
        EXPECT_EQ(applied.c_cflag & CSIZE, tcflag_t{CS8});
        EXPECT_EQ(applied.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
        EXPECT_EQ(applied.c_cflag & (CLOCAL | CREAD), tcflag_t{CLOCAL | CREAD});
        EXPECT_EQ(applied.c_iflag & (IXON | IXOFF | ICRNL), 0u);
        EXPECT_EQ(applied.c_lflag & (ICANON | ECHO | ISIG), 0u);
        EXPECT_EQ(applied.c_oflag & OPOST, 0u);
    }
    EXPECT_FALSE(device->configureLine(4800));
    EXPECT_FALSE(device->configureLine(0));
    ::close(observer);
}

TEST_F(PtySerialTest, EveryByteValueCrossesUnchangedBothWays) {
    auto device = openConfigured();
    ASSERT_NE(device, nullptr);
    const Bytes all = allByteValues();

    masterWrite(all);
    ReadOutcome end{};
    EXPECT_EQ(readRun(*device, end), all);
    EXPECT_EQ(end, ReadOutcome::NoByte) << "after the last byte the read times out";

    std::size_t written = 0;
    ASSERT_TRUE(device->write(all.data(), all.size(), written));
    EXPECT_EQ(written, all.size());
    EXPECT_EQ(masterRead(all.size()), all);
}

TEST_F(PtySerialTest, PauseInsideFrameShowsAsNoByteBetweenItsHalves) {
    auto device = openConfigured();
    ASSERT_NE(device, nullptr);
    const Bytes head = {0x02, 0x10, 0x20, 0x30};
    const Bytes tail = {0x40, 0x50, 0x03, 0x71};
    std::thread writer([&] {
        masterWrite(head);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        masterWrite(tail);
    });
    ReadOutcome firstEnd{};
    ReadOutcome secondEnd{};
    const Bytes first = readRun(*device, firstEnd);
    const Bytes second = readRun(*device, secondEnd);
    writer.join();
    EXPECT_EQ(first, head);
    EXPECT_EQ(firstEnd, ReadOutcome::NoByte);
    EXPECT_EQ(second, tail);
}

TEST_F(PtySerialTest, PurgeDropsUnreadInputOnly) {
    auto device = openConfigured();
    ASSERT_NE(device, nullptr);
    masterWrite({'a', 'b', 'c'});
    QueueCounts counts;
    for (int i = 0; i < 1000 && counts.input < 3; ++i) {
        ASSERT_TRUE(device->waitForInput(1000));
        ASSERT_TRUE(device->clearErrors(&counts));
        if (counts.input < 3) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_EQ(counts.input, 3u);

    ASSERT_TRUE(device->purge(PurgeRxClear));
    ASSERT_TRUE(device->clearErrors(&counts));
    EXPECT_EQ(counts.input, 0u);
    std::uint8_t byte = 0;
    EXPECT_EQ(device->readByte(byte), ReadOutcome::NoByte);

    masterWrite({'z'});
    ASSERT_TRUE(device->waitForInput(2000));
    ASSERT_EQ(device->readByte(byte), ReadOutcome::Byte);
    EXPECT_EQ(byte, 'z');
}

TEST_F(PtySerialTest, WaitForInputLeavesThePendingByte) {
    auto device = openConfigured();
    ASSERT_NE(device, nullptr);
    EXPECT_FALSE(device->waitForInput(20));

    masterWrite({0x55});
    EXPECT_TRUE(device->waitForInput(2000));
    EXPECT_TRUE(device->waitForInput(0)) << "the byte must still be pending";
    std::uint8_t byte = 0;
    ASSERT_EQ(device->readByte(byte), ReadOutcome::Byte);
    EXPECT_EQ(byte, 0x55);
    EXPECT_FALSE(device->waitForInput(0));
}

TEST_F(PtySerialTest, HungUpLineFailsAtOnceAndSaysSo) {
    auto device = openConfigured();
    ASSERT_NE(device, nullptr);
    EXPECT_FALSE(device->hungUp());
    pty_.reset();  // the simulator went away, as a pulled USB adapter does

    EXPECT_TRUE(device->hungUp());
    EXPECT_TRUE(device->waitForInput(60'000)) << "a wait must end at once";
    std::uint8_t byte = 0;
    EXPECT_EQ(device->readByte(byte), ReadOutcome::Failed);
    std::size_t written = 99;
    EXPECT_FALSE(device->write(&byte, 1, written));
    EXPECT_EQ(written, 0u);
}

// Every way a port fails to open: the device COMn stood for and the reason, as the report has
// them and as the inspector reads them below "Порт недоступен!".
TEST_F(PtySerialTest, OpenFailuresNameTheDeviceAndTheReason) {
    const std::string slave = pty_->slavePath();
    const auto held = opener_.open(kCom9);
    ASSERT_NE(held, nullptr);
    ASSERT_EQ(::symlink("/dev/null", "COM5"), 0);
    ASSERT_EQ(::symlink("/dev/ttyUSB31-gone", "COM7"), 0);
    struct Case {
        int port;
        PortOpenFailure failure;
        std::string device;
        std::string text;
    };
    const Case cases[] = {
        {kCom9, PortOpenFailure::Busy, "./COM9 -> " + slave,
         "COM9 — это ./COM9 -> " + slave + ".\nПорт занят другой программой."},
        {6, PortOpenFailure::NotThere, "./COM7 -> /dev/ttyUSB31-gone",
         "COM7 — это ./COM7 -> /dev/ttyUSB31-gone.\nУстройства нет: адаптер не подключён, или "
         "выбран не тот порт."},
        {4, PortOpenFailure::NotSerial, "./COM5 -> /dev/null",
         "COM5 — это ./COM5 -> /dev/null.\nЭто не последовательный порт."},
        {200, PortOpenFailure::NoDevice, "", "У порта COM201 нет устройства."},
    };
    for (const Case& c : cases) {
        PortOpenReport report;
        EXPECT_EQ(opener_.open(c.port, &report), nullptr) << c.text;
        EXPECT_EQ(report.failure, c.failure) << c.text;
        EXPECT_EQ(report.device, c.device);
        EXPECT_EQ(portOpenFailureText(c.port, report), c.text);
    }
    // The reasons no pseudo-terminal gives a root user, and the traces' words.
    EXPECT_EQ(portOpenFailureText(32, {"/dev/ttyUSB0", PortOpenFailure::NoPermission, "EACCES"}),
              "COM33 — это /dev/ttyUSB0.\nНет прав на доступ к порту. Добавьте пользователя в "
              "группу dialout:\n    sudo usermod -aG dialout $USER\nи войдите в систему заново.");
    EXPECT_EQ(portOpenFailureText(32, {"/dev/ttyUSB0", PortOpenFailure::Other, "Ошибка ввода"}),
              "COM33 — это /dev/ttyUSB0.\nСистема ответила: Ошибка ввода");
    const PortOpenReport busy{"/dev/ttyUSB0", PortOpenFailure::Busy, {}};
    EXPECT_EQ(portTraceName(32, busy) + ": " + portTraceReason(busy),
              "COM33 (/dev/ttyUSB0): busy (held by another program)");
}

}  // namespace
}  // namespace ptk::platform
