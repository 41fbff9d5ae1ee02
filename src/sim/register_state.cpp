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
    if (!background.active) return;
    // The lines that are due by now, each at its share of the printing time.
    auto& print = background;
    const std::uint64_t span =
        print.busyUntilUs > print.startedUs ? print.busyUntilUs - print.startedUs : 0;
    const std::size_t count = print.lines.size();
    while (print.linesPrinted < count) {
        const std::uint64_t dueUs = print.startedUs + span * (print.linesPrinted + 1) / count;
        if (nowUs < dueUs) break;
        tape.print(print.lines[print.linesPrinted++]);
    }
    if (nowUs < print.busyUntilUs) return;
    print.active = false;
    if (print.modeAfter) mode.mode = *print.modeAfter;
    mode.submode = print.submodeAfter;
    const std::uint8_t faults = print.printerFlagsAfter;
    printer.paperOut = printer.paperOut || (faults & 0x01) != 0;
    printer.linkLost = printer.linkLost || (faults & 0x02) != 0;
    printer.coverOpen = printer.coverOpen || (faults & 0x04) != 0;
    printer.noRoll = printer.noRoll || (faults & 0x08) != 0;
}

}  // namespace ptk::sim
