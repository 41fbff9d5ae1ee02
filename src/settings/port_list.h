#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/port_names.h"

namespace ptk {

// The size of the buffer the settings window lists the ports into.
inline constexpr std::size_t kPortListBufferSize = 4096;

// Puts the names of the system's serial ports into buffer as consecutive zero-terminated strings
// ended by an empty string. When the buffer is too small, the names gathered so far are kept,
// still ended by the empty string.
platform::PortListStatus EnumerateSerialPorts(char* buffer, std::size_t capacity);

// The names in a buffer filled by EnumerateSerialPorts, in order.
std::vector<std::string> portNamesIn(const char* buffer, std::size_t capacity);

}  // namespace ptk
