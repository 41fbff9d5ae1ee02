#include "settings/port_list.h"

#include <cstring>

#include "platform/port_names.h"

namespace ptk {

platform::PortListStatus EnumerateSerialPorts(char* buffer, std::size_t capacity) {
    if (capacity == 0) return platform::PortListStatus::BufferTooSmall;
    const platform::PortList list = platform::listSerialPorts(capacity);
    platform::PortListStatus status = list.status;
    std::size_t used = 0;
    for (const std::string& name : list.names) {
        // The name, its terminator and the list's closing empty string must all fit.
        if (used + name.size() + 2 > capacity) {
            status = platform::PortListStatus::BufferTooSmall;
            break;
        }
        std::memcpy(buffer + used, name.c_str(), name.size() + 1);
        used += name.size() + 1;
    }
    buffer[used] = '\0';
    return status;
}

std::vector<std::string> portNamesIn(const char* buffer, std::size_t capacity) {
    std::vector<std::string> names;
    std::size_t position = 0;
    while (position < capacity && buffer[position] != '\0') {
        const std::size_t length = strnlen(buffer + position, capacity - position);
        names.emplace_back(buffer + position, length);
        position += length + 1;
    }
    return names;
}

}  // namespace ptk
