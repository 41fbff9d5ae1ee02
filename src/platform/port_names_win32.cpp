// Port names on Windows: COMn is the device \\.\COMn, and the system's ports are the values of
// the SERIALCOMM key that the serial drivers fill in.
#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstring>
#include <string>

#include "platform/port_names.h"

namespace ptk::platform {
namespace {

// Closes a registry key once.
class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey() {
        if (key_ != nullptr) RegCloseKey(key_);
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    bool openForQuery(HKEY root, const char* path) {
        return RegOpenKeyExA(root, path, 0, KEY_QUERY_VALUE, &key_) == ERROR_SUCCESS;
    }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

constexpr DWORD kRegistryBufferBytes = 260;
constexpr int kHighestPortNumber = 256;

}  // namespace

std::string portName(int portIndex) {
    return "COM" + std::to_string(portIndex + 1);
}

std::string portDevicePath(int portIndex) {
    // The \\.\ form is needed for COM10 and above and works for every port number.
    if (portIndex < 0 || portIndex >= kHighestPortNumber) return {};
    return "\\\\.\\" + portName(portIndex);
}

PortList listSerialPorts(std::size_t capacityBytes) {
    PortList list;
    RegistryKey key;
    if (!key.openForQuery(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM")) {
        list.status = PortListStatus::NoSource;
        return list;
    }
    // bytesUsed counts every name with its terminator, as if the names were laid one after the
    // other in a buffer of capacityBytes that ends with one more, empty, name.
    std::size_t bytesUsed = 0;
    for (DWORD index = 0;; ++index) {
        char valueName[kRegistryBufferBytes];
        DWORD valueNameLength = sizeof(valueName);
        BYTE data[kRegistryBufferBytes];
        DWORD dataLength = sizeof(data);
        DWORD type = 0;
        const LONG result = RegEnumValueA(key.get(), index, valueName, &valueNameLength, nullptr,
                                          &type, data, &dataLength);
        if (result == ERROR_NO_MORE_ITEMS) {
            list.status = PortListStatus::Complete;
            return list;
        }
        if (result != ERROR_SUCCESS) {
            list.status = PortListStatus::Stopped;
            return list;
        }
        if (capacityBytes == 0 || bytesUsed + dataLength >= capacityBytes - 1) {
            list.status = PortListStatus::BufferTooSmall;
            return list;
        }
        // A value's data need not end with a zero: the name is what precedes the first zero, and
        // a value that is not text cannot be a port name, so it takes no place in the list.
        if (type != REG_SZ || dataLength == 0) continue;
        const char* text = reinterpret_cast<const char*>(data);
        const std::size_t textLength = strnlen(text, dataLength);
        if (textLength == 0) continue;
        list.names.emplace_back(text, textLength);
        bytesUsed += textLength + 1;
    }
}

}  // namespace ptk::platform
