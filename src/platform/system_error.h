#pragma once

#include <string>

namespace ptk::platform {

// The operating system's own words, as UTF-8, for the error that the last failed system call of
// this thread left behind. Call it right after the failure, before anything else can replace it.
std::string lastSystemErrorText();

}  // namespace ptk::platform
