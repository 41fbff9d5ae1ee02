#include "link/frame.h"

#include <algorithm>

namespace ptk {

using namespace control;

namespace {

bool needsEscape(std::uint8_t byte) {
    return byte == DLE || byte == ETX;
}

}  // namespace

std::size_t stuffedLength(const std::uint8_t* message, std::size_t length) {
    std::size_t stuffed = length;
    for (std::size_t i = 0; i < length; ++i) stuffed += needsEscape(message[i]) ? 1 : 0;
    return stuffed;
}

std::size_t buildFrame(const std::uint8_t* message, std::size_t length, std::uint8_t* frame,
                       std::size_t capacity) {
    if (stuffedLength(message, length) + 3 > capacity) return 0;
    std::size_t position = 0;
    frame[position++] = STX;
    for (std::size_t i = 0; i < length; ++i) {
        if (needsEscape(message[i])) frame[position++] = DLE;
        frame[position++] = message[i];
    }
    frame[position++] = ETX;
    frame[position] = xorChecksum(frame + 1, position - 1);
    return position + 1;
}

std::uint8_t xorChecksum(const std::uint8_t* bytes, std::size_t count) {
    std::uint8_t checksum = 0;
    for (std::size_t i = 0; i < count; ++i) checksum ^= bytes[i];
    return checksum;
}

int findClosingEtx(const std::uint8_t* frame, std::size_t size) {
    bool escaped = false;
    for (std::size_t i = 1; i < size; ++i) {
        if (escaped) {
            escaped = false;
        } else if (frame[i] == DLE) {
            escaped = true;
        } else if (frame[i] == ETX) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool checksumMatches(const std::uint8_t* frame, std::size_t size) {
    const int etx = findClosingEtx(frame, size);
    if (etx < 0 || static_cast<std::size_t>(etx) + 1 >= size) return false;
    return xorChecksum(frame + 1, static_cast<std::size_t>(etx)) == frame[etx + 1];
}

std::size_t unstuffMessage(const std::uint8_t* stuffed, std::size_t count, std::uint8_t* out) {
    std::size_t length = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (stuffed[i] == DLE && i + 1 < count) ++i;
        out[length++] = stuffed[i];
    }
    return length;
}

bool unstuffFrame(std::uint8_t* frame, std::size_t size) {
    const int etx = findClosingEtx(frame, size);
    if (etx < 0) return false;
    const std::uint8_t checksum =
        static_cast<std::size_t>(etx) + 1 < size ? frame[etx + 1] : std::uint8_t{0};
    std::size_t out = 1 + unstuffMessage(frame + 1, static_cast<std::size_t>(etx) - 1, frame + 1);
    frame[out++] = ETX;
    if (out < size) frame[out++] = checksum;
    std::fill(frame + out, frame + size, std::uint8_t{0});
    return true;
}

}  // namespace ptk
