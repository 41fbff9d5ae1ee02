#include <cerrno>
#include <cstring>

#include "platform/system_error.h"

namespace ptk::platform {

std::string lastSystemErrorText() {
    const int error = errno;
    char text[256] = {};
    // The GNU strerror_r may hand back a static text of its own instead of filling ours.
#if defined(__GLIBC__) && defined(_GNU_SOURCE)
    return ::strerror_r(error, text, sizeof text);
#else
    if (::strerror_r(error, text, sizeof text) != 0) return "error " + std::to_string(error);
    return text;
#endif
}

}  // namespace ptk::platform
