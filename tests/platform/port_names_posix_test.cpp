// COMn names, their devices and the port list on Linux, in a working directory of our own.

#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/port_names.h"
#include "platform/pseudo_terminal.h"
#include "support/scoped_work_dir.h"

namespace ptk::platform {
namespace {

int portNumberOf(const std::string& name) {
    return std::stoi(name.substr(3));
}

std::size_t bytesOf(const std::vector<std::string>& names) {
    std::size_t bytes = 0;
    for (const auto& name : names) bytes += name.size() + 1;
    return bytes;
}

TEST(PortNames, NamesCountFromOne) {
    EXPECT_EQ(portName(0), "COM1");
    EXPECT_EQ(portName(7), "COM8");
    EXPECT_EQ(portName(255), "COM256");
}

TEST(PortNames, FixedDeviceFamiliesWithoutLocalLinks) {
    testing::ScopedWorkDir workDir;
    const std::pair<int, const char*> cases[] = {
        {-1, ""},
        {0, "/dev/ttyS0"},
        {7, "/dev/ttyS7"},
        {31, "/dev/ttyS31"},
        {32, "/dev/ttyUSB0"},
        {63, "/dev/ttyUSB31"},
        {64, "/dev/ttyACM0"},
        {95, "/dev/ttyACM31"},
        {96, ""},
        {255, ""},
    };
    for (const auto& [index, path] : cases) EXPECT_EQ(portDevicePath(index), path) << index;
}

TEST(PortNames, LocalLinkWinsEvenWhenDangling) {
    testing::ScopedWorkDir workDir;
    ASSERT_EQ(::symlink("/dev/null", "COM8"), 0);
    EXPECT_EQ(portDevicePath(7), "./COM8");
    // A link whose target is gone still names the port: falling back to /dev/ttyS9 would talk
    // to some other device than the one the user set up.
    ASSERT_EQ(::symlink("/nonexistent/device", "COM10"), 0);
    EXPECT_EQ(portDevicePath(9), "./COM10");
    ASSERT_EQ(::symlink("/dev/null", "COM200"), 0);
    EXPECT_EQ(portDevicePath(199), "./COM200");
}

class PortListTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty_.isOpen()) << pty_.error();
        ASSERT_TRUE(pty_.linkAs("COM150")) << pty_.error();
        ASSERT_EQ(::symlink(pty_.slavePath().c_str(), "COM200"), 0);
        ASSERT_EQ(::symlink("/nonexistent/device", "COM180"), 0);
    }

    testing::ScopedWorkDir workDir_;
    PseudoTerminal pty_;
};

TEST_F(PortListTest, ShowsLinkedPortsInAscendingOrder) {
    const PortList list = listSerialPorts();
    EXPECT_EQ(list.status, PortListStatus::Complete);
    const auto& names = list.names;
    EXPECT_NE(std::find(names.begin(), names.end(), "COM150"), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), "COM200"), names.end());
    EXPECT_EQ(std::find(names.begin(), names.end(), "COM180"), names.end()) << "dangling link";
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end(), [](const auto& a, const auto& b) {
        return portNumberOf(a) < portNumberOf(b);
    }));
}

TEST_F(PortListTest, CapacityKeepsWhatFitsBeforeTheClosingTerminator) {
    const std::vector<std::string> all = listSerialPorts().names;
    ASSERT_GE(all.size(), 2u);
    // Every name with its terminator, plus the closing empty string, plus the byte the rule
    // keeps free: exactly enough.
    const std::size_t enough = bytesOf(all) + 2;
    const PortList full = listSerialPorts(enough);
    EXPECT_EQ(full.status, PortListStatus::Complete);
    EXPECT_EQ(full.names, all);

    const PortList cut = listSerialPorts(enough - 1);
    EXPECT_EQ(cut.status, PortListStatus::BufferTooSmall);
    EXPECT_EQ(cut.names, std::vector<std::string>(all.begin(), all.end() - 1));

    for (const std::size_t tiny : {std::size_t{0}, std::size_t{1}, all.front().size() + 2}) {
        const PortList none = listSerialPorts(tiny);
        EXPECT_EQ(none.status, PortListStatus::BufferTooSmall) << tiny;
        EXPECT_TRUE(none.names.empty()) << tiny;
    }
}

}  // namespace
}  // namespace ptk::platform
