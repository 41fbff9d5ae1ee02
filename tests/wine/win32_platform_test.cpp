// The Win32 port names and the registry port list. The list cases write into the SERIALCOMM key,
// so they run only under Wine, in the throw-away prefix of the cross-build tests, never on a
// real workstation.
#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "platform/port_names.h"
#include "platform/serial_device.h"

namespace ptk::platform {
namespace {

constexpr const char* kSerialCommKey = "HARDWARE\\DEVICEMAP\\SERIALCOMM";

bool runningUnderWine() {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

TEST(Win32PortNames, DevicePathUsesTheDeviceNamespaceForEveryPort) {
    EXPECT_EQ(portName(0), "COM1");
    EXPECT_EQ(portDevicePath(0), "\\\\.\\COM1");
    EXPECT_EQ(portDevicePath(7), "\\\\.\\COM8");
    EXPECT_EQ(portDevicePath(9), "\\\\.\\COM10");
    EXPECT_EQ(portDevicePath(255), "\\\\.\\COM256");
}

TEST(Win32PortNames, IndexesOutsideThePortTableHaveNoDevice) {
    EXPECT_EQ(portDevicePath(-1), "");
    EXPECT_EQ(portDevicePath(256), "");
    SystemSerialOpener opener;
    EXPECT_EQ(opener.open(-1), nullptr);
    EXPECT_EQ(opener.open(256), nullptr);
}

TEST(Win32SerialDevice, PortWithoutDeviceDoesNotOpen) {
    // No prefix of these tests links a device to COM200.
    SystemSerialOpener opener;
    EXPECT_EQ(opener.open(199), nullptr);
}

// Values written into SERIALCOMM for one test and removed again afterwards; the list under test
// sees them together with whatever ports the prefix already has.
class SerialCommValues {
public:
    SerialCommValues() {
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSerialCommKey, 0, nullptr, REG_OPTION_VOLATILE,
                            KEY_SET_VALUE | KEY_QUERY_VALUE, nullptr, &key_,
                            nullptr) != ERROR_SUCCESS) {
            key_ = nullptr;
        }
    }
    ~SerialCommValues() {
        if (key_ == nullptr) return;
        for (const std::string& name : names_) RegDeleteValueA(key_, name.c_str());
        RegCloseKey(key_);
    }
    SerialCommValues(const SerialCommValues&) = delete;
    SerialCommValues& operator=(const SerialCommValues&) = delete;

    bool usable() const { return key_ != nullptr; }

    bool addText(const std::string& name, const std::string& port) {
        return add(name, REG_SZ, port.c_str(), static_cast<DWORD>(port.size() + 1));
    }
    bool add(const std::string& name, DWORD type, const void* data, DWORD size) {
        if (RegSetValueExA(key_, name.c_str(), 0, type, static_cast<const BYTE*>(data), size) !=
            ERROR_SUCCESS) {
            return false;
        }
        names_.push_back(name);
        return true;
    }

private:
    HKEY key_ = nullptr;
    std::vector<std::string> names_;
};

class Win32PortList : public ::testing::Test {
protected:
    void SetUp() override {
        if (!runningUnderWine()) GTEST_SKIP() << "writes the system's port list; Wine only";
        if (!values.usable()) GTEST_SKIP() << "SERIALCOMM cannot be written here";
        before = listSerialPorts();
        ASSERT_EQ(before.status, PortListStatus::Complete);
    }

    std::size_t bytesOf(const std::vector<std::string>& names) {
        std::size_t bytes = 0;
        for (const std::string& name : names) bytes += name.size() + 1;
        return bytes;
    }

    SerialCommValues values;
    PortList before;
};

TEST_F(Win32PortList, ListsTheDriversPortsInRegistryOrder) {
    ASSERT_TRUE(values.addText("\\Device\\TestSerial7", "COM97"));
    ASSERT_TRUE(values.addText("\\Device\\TestSerial8", "COM98"));

    const PortList list = listSerialPorts();
    EXPECT_EQ(list.status, PortListStatus::Complete);
    std::vector<std::string> expected = before.names;
    expected.push_back("COM97");
    expected.push_back("COM98");
    EXPECT_EQ(list.names, expected);
}

TEST_F(Win32PortList, ValuesThatAreNoPortNamesTakeNoPlace) {
    const DWORD number = 5;
    ASSERT_TRUE(values.add("\\Device\\TestNumber", REG_DWORD, &number, sizeof(number)));
    ASSERT_TRUE(values.add("\\Device\\TestEmpty", REG_SZ, "", 1));
    // No terminating zero: the name is the text as stored.
    ASSERT_TRUE(values.add("\\Device\\TestUnterminated", REG_SZ, "COM96", 5));

    const PortList list = listSerialPorts();
    EXPECT_EQ(list.status, PortListStatus::Complete);
    std::vector<std::string> expected = before.names;
    expected.push_back("COM96");
    EXPECT_EQ(list.names, expected);
}

TEST_F(Win32PortList, FullBufferKeepsTheNamesGatheredSoFar) {
    ASSERT_TRUE(values.addText("\\Device\\TestSerial7", "COM97"));
    ASSERT_TRUE(values.addText("\\Device\\TestSerial8", "COM98"));
    const std::size_t used = bytesOf(before.names);

    // "COM97" and its zero take 6 bytes; the list ends with one more zero, so it fits only when
    // 6 more bytes stay below the last byte of the buffer.
    const struct {
        std::size_t capacity;
        PortListStatus status;
        std::vector<std::string> added;
    } cases[] = {
        {used + 6, PortListStatus::BufferTooSmall, {}},
        {used + 7, PortListStatus::BufferTooSmall, {}},
        {used + 8, PortListStatus::BufferTooSmall, {"COM97"}},
        {used + 13, PortListStatus::BufferTooSmall, {"COM97"}},
        {used + 14, PortListStatus::Complete, {"COM97", "COM98"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.capacity - used);
        const PortList list = listSerialPorts(c.capacity);
        EXPECT_EQ(list.status, c.status);
        std::vector<std::string> expected = before.names;
        expected.insert(expected.end(), c.added.begin(), c.added.end());
        EXPECT_EQ(list.names, expected);
    }
    EXPECT_EQ(listSerialPorts(0).status, PortListStatus::BufferTooSmall);
    EXPECT_TRUE(listSerialPorts(0).names.empty());
}

TEST_F(Win32PortList, OverlongValueStopsTheWalk) {
    ASSERT_TRUE(values.addText("\\Device\\TestSerial7", "COM97"));
    const std::string overlong(300, 'X');
    ASSERT_TRUE(values.addText("\\Device\\TestSerialLong", overlong));

    const PortList list = listSerialPorts();
    EXPECT_EQ(list.status, PortListStatus::Stopped);
    std::vector<std::string> expected = before.names;
    expected.push_back("COM97");
    EXPECT_EQ(list.names, expected);
}

// A workstation without serial drivers has no SERIALCOMM key at all. The key is taken away for
// the test and put back with the values it had.
TEST(Win32PortListSource, MissingKeyGivesNoSource) {
    if (!runningUnderWine()) GTEST_SKIP() << "removes the system's port list; Wine only";
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSerialCommKey, 0, KEY_QUERY_VALUE, &key),
              ERROR_SUCCESS);
    std::vector<std::pair<std::string, std::string>> saved;
    for (DWORD index = 0;; ++index) {
        char name[260];
        DWORD nameLength = sizeof(name);
        char data[260];
        DWORD dataLength = sizeof(data);
        if (RegEnumValueA(key, index, name, &nameLength, nullptr, nullptr,
                          reinterpret_cast<BYTE*>(data), &dataLength) != ERROR_SUCCESS) {
            break;
        }
        saved.emplace_back(name, std::string(data, strnlen(data, dataLength)));
    }
    RegCloseKey(key);
    ASSERT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, kSerialCommKey), ERROR_SUCCESS);

    const PortList list = listSerialPorts();

    // The key goes back, volatile as the system makes it, before anything is checked.
    HKEY recreated = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSerialCommKey, 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_SET_VALUE, nullptr, &recreated, nullptr),
              ERROR_SUCCESS);
    for (const auto& [name, port] : saved) {
        RegSetValueExA(recreated, name.c_str(), 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(port.c_str()),
                       static_cast<DWORD>(port.size() + 1));
    }
    RegCloseKey(recreated);
    EXPECT_EQ(list.status, PortListStatus::NoSource);
    EXPECT_TRUE(list.names.empty());
}

}  // namespace
}  // namespace ptk::platform
