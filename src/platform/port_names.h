#pragma once

#include <string>
#include <vector>

namespace ptk::platform {

// Ports are called COMn on every platform so that settings files read the same everywhere.
// Index 0 is COM1.
std::string portName(int portIndex);

// The path of the device behind a port index. On Windows "\\.\COMn"; on Linux "./COMn" when it
// exists in the working directory (a link to any device or to a simulator's pseudo-terminal),
// otherwise COM1-32 = /dev/ttyS0-31, COM33-64 = /dev/ttyUSB0-31, COM65-96 = /dev/ttyACM0-31,
// and an empty string for a port with no device name.
std::string portDevicePath(int portIndex);

// Outcome of listing the serial ports, with the statuses a caller may need to tell apart.
enum class PortListStatus {
    Complete = 0,
    Stopped = 1,         // the enumeration stopped on an error
    BufferTooSmall = 2,  // the names gathered so far are kept
    NoSource = 3,        // the list could not be opened at all
};

struct PortList {
    PortListStatus status = PortListStatus::Complete;
    std::vector<std::string> names;
};

// The serial ports of this workstation, as COMn names in the system's order. On Linux the names
// whose device exists; on Windows the SERIALCOMM registry key. capacityBytes bounds the names and
// their terminators together, as in the registry walk.
PortList listSerialPorts(std::size_t capacityBytes = 4096);

}  // namespace ptk::platform
