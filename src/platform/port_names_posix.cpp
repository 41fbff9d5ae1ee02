// COMn names on Linux: a link ./COMn in the working directory wins, otherwise the number picks a
// device from three fixed families of serial devices.

#include <fcntl.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <string>

#include "platform/port_names.h"

namespace ptk::platform {
namespace {

constexpr int kHighestPortNumber = 256;

struct DeviceFamily {
    int firstPortNumber;
    const char* prefix;
};

// Each family covers 32 port numbers.
constexpr DeviceFamily kFamilies[] = {
    {1, "/dev/ttyS"},
    {33, "/dev/ttyUSB"},
    {65, "/dev/ttyACM"},
};
constexpr int kFamilySize = 32;

std::string localLinkPath(int portNumber) {
    return "./COM" + std::to_string(portNumber);
}

bool pathPresent(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

bool isCharacterDevice(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISCHR(info.st_mode);
}

std::string familyDevicePath(int portNumber) {
    for (const auto& family : kFamilies) {
        const int offset = portNumber - family.firstPortNumber;
        if (offset >= 0 && offset < kFamilySize) return family.prefix + std::to_string(offset);
    }
    return {};
}

// Asks the driver itself; opening a real port raises its modem lines, so this is only the
// fallback for a system without sysfs.
bool driverKnowsUart(const std::string& devicePath) {
    const int fd = ::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return errno == EBUSY;  // held exclusively by another program: a real port
    serial_struct info{};
    const bool known = ::ioctl(fd, TIOCGSERIAL, &info) == 0 && info.type != PORT_UNKNOWN;
    ::close(fd);
    return known;
}

// The kernel makes a ttyS node for every slot its 8250 driver reserves, usually 4 or 32 of them,
// whether or not a UART sits behind it; the UART type tells the real ones (0 is "unknown").
bool isRealUart(const std::string& devicePath) {
    const std::string name = devicePath.substr(devicePath.rfind('/') + 1);
    std::ifstream typeFile("/sys/class/tty/" + name + "/type");
    int type = 0;
    if (typeFile >> type) return type != PORT_UNKNOWN;
    return driverKnowsUart(devicePath);
}

bool portExists(int portNumber) {
    const std::string link = localLinkPath(portNumber);
    // A dangling link names a port that cannot be opened; it is left out of the list, and the
    // port does not fall back to the fixed device either (see portDevicePath).
    if (pathPresent(link)) return isCharacterDevice(link);
    const std::string device = familyDevicePath(portNumber);
    if (device.empty() || !isCharacterDevice(device)) return false;
    if (device.rfind("/dev/ttyS", 0) == 0) return isRealUart(device);
    return true;
}

}  // namespace

std::string portName(int portIndex) {
    return "COM" + std::to_string(portIndex + 1);
}

std::string portDevicePath(int portIndex) {
    const int portNumber = portIndex + 1;
    if (portNumber < 1) return {};
    const std::string link = localLinkPath(portNumber);
    if (pathPresent(link)) return link;
    return familyDevicePath(portNumber);
}

PortList listSerialPorts(std::size_t capacityBytes) {
    PortList list;
    std::size_t usedBytes = 0;
    for (int portNumber = 1; portNumber <= kHighestPortNumber; ++portNumber) {
        if (!portExists(portNumber)) continue;
        std::string name = "COM" + std::to_string(portNumber);
        // The name with its terminator must leave room for the list's closing empty string:
        // used + (length + 1) reaching capacity - 1 ends the list.
        if (usedBytes + name.size() + 1 + 1 >= capacityBytes) {
            list.status = PortListStatus::BufferTooSmall;
            return list;
        }
        usedBytes += name.size() + 1;
        list.names.push_back(std::move(name));
    }
    list.status = PortListStatus::Complete;
    return list;
}

}  // namespace ptk::platform
