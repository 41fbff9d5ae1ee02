#include "sim/tape_text.h"

#include <cstdio>

namespace ptk::sim {

std::string formatSum(std::uint64_t kopecks) {
    char text[32];
    std::snprintf(text, sizeof text, "%llu.%02llu", static_cast<unsigned long long>(kopecks / 100),
                  static_cast<unsigned long long>(kopecks % 100));
    return text;
}

std::string formatDate(const DateTime& value) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d.%02d.%02d", value.day % 100, value.month % 100,
                  value.year % 100);
    return text;
}

std::string formatTime(const DateTime& value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", value.hour % 100, value.minute % 100);
    return text;
}

std::string formatNumber(std::uint64_t value, int digits) {
    char text[32];
    std::snprintf(text, sizeof text, "%0*llu", digits, static_cast<unsigned long long>(value));
    return text;
}

}  // namespace ptk::sim
