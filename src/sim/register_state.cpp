#include "sim/register_state.h"

#include "sim/device_errors.h"

namespace ptk::sim {

bool packLinkPassword(std::string_view digits, std::array<std::uint8_t, 2>& out) {
    if (digits.size() > 4) return false;
    std::array<std::uint8_t, 4> halves{};
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (digits[i] < '0' || digits[i] > '9') return false;
        halves[i] = static_cast<std::uint8_t>(digits[i] - '0');
    }
    out[0] = static_cast<std::uint8_t>(halves[0] << 4 | halves[1]);
    out[1] = static_cast<std::uint8_t>(halves[2] << 4 | halves[3]);
    return true;
}

std::uint8_t Printer::failure() const {
    if (linkLost) return device_error::NoPrinterLink;
    if (paperOut || noRoll) return device_error::NoPaper;
    if (coverOpen) return device_error::PrinterFault;
    return device_error::None;
}

std::uint8_t RegisterState::flagsByte() const {
    return static_cast<std::uint8_t>((fiscal.fiscalised ? 0x01 : 0) | (shift.open ? 0x02 : 0) |
                                     (hardware.cashDrawerOpen ? 0x04 : 0) |
                                     (printer.coverOpen ? 0x20 : 0) |
                                     (hardware.batteryLow ? 0x80 : 0));
}

void RegisterState::settle(std::uint64_t nowUs) {
    if (background.active && nowUs >= background.busyUntilUs) {
        background.active = false;
        mode.submode = background.submodeAfter;
    }
}

}  // namespace ptk::sim
