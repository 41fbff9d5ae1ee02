#pragma once

#include <cstdint>
#include <string_view>

#include "link/exchange_result.h"
#include "link/front_end.h"
#include "link/packet_result.h"

namespace ptk {

// The register's message for a device error code, or "Неизвестный код ошибки." for a code the
// register does not define.
std::string_view deviceErrorMessage(std::uint8_t code);
// How many codes have a message of their own.
int deviceErrorCount();

struct DriverResult {
    DriverCode code;
    std::string_view message;
};
// Result codes of the packet driver with their messages, ended by the entry of DriverCode::Done.
extern const DriverResult DriverResultTable[31];
// The message of a driver code: its entry in DriverResultTable, "Неизвестная ошибка" for a code the
// table lacks.
std::string_view driverResultMessage(DriverCode code);

// The success codes of the register's answers: 0x00, and 0x01 (a control tape processed without
// errors).
bool isSuccessCode(std::uint8_t code);

// Turns device error codes and driver results into the messages the inspector sees.
class ErrorReporter {
public:
    explicit ErrorReporter(FrontEnd& frontEnd) : frontEnd_(frontEnd) {}

    // Writes the code's message into the result field and shows it in an error box, except for
    // the success codes and for 0x16, which wants the date entered again rather than an alarm:
    // the caller, which sees it in its result, asks for the date itself.
    void ErrorText(std::uint8_t code);
    // A packet result: nothing for success, a device error through ErrorText, any other code in
    // an error box of the owner's with its table message.
    void ShowDriverResult(OwnerHandle owner, PacketResult result);

private:
    FrontEnd& frontEnd_;
};

}  // namespace ptk
