#pragma once

#include <cstdint>
#include <string_view>

#include "link/front_end.h"

namespace ptk {

// The register's message for a device error code, or "Неизвестный код ошибки." for a code the
// register does not define.
std::string_view deviceErrorMessage(std::uint8_t code);
// How many codes have a message of their own.
int deviceErrorCount();

struct DriverResult {
    std::int32_t code;
    std::string_view message;
};
// Result codes of the packet driver with their messages, ended by the entry with code 0.
extern const DriverResult DriverResultTable[31];

// Turns device error codes and driver results into the messages the inspector sees.
class ErrorReporter {
public:
    explicit ErrorReporter(FrontEnd& frontEnd) : frontEnd_(frontEnd) {}

    // Writes the code's message into the result field and, when show is set, shows it in an error
    // box, except for the success codes 0x00 and 0x01 and for 0x16, which wants the date entered
    // again rather than an alarm. True for the success codes.
    bool ErrorText(std::uint8_t code, bool show);
    void ShowDriverResult(BoxOwner ownerWindow, std::int32_t result);

    bool SuppressErrorBox = false;

private:
    FrontEnd& frontEnd_;
};

}  // namespace ptk
