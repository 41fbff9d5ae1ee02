// The commands behind the inspector's status reports and mode entry: reading the data registers
// with the registration data, the EKLZ state, and entering a mode with its access password.

#include "sim/answer.h"
#include "sim/command_table.h"
#include "sim/commands_eklz.h"
#include "sim/device_errors.h"

namespace ptk::sim {

namespace {

constexpr std::uint8_t kReadDataRegister = 0x91;
constexpr std::uint8_t kEklzState = 0xAE;
constexpr std::uint8_t kEnterMode = 0x56;

constexpr std::uint8_t kActivationRegister = 26;
constexpr std::uint8_t kRegistrationRegister = 27;
constexpr std::uint8_t kEklzNumberRegister = 28;

constexpr std::uint8_t kWrongFormat = 0x13;
constexpr std::uint8_t kWrongRegister = 0x6C;

// Data register 26: the current EKLZ activation and how many are left. 27: ИНН, РНМ, the first
// shift after (re-)registration and its date. 28: the number of the EKLZ. Any other number is
// refused; the data after the number (two bytes the program sends as zero) are not looked at.
CommandReply readDataRegister(RegisterState& state, const CommandRequest& request) {
    if (request.data.empty()) return plainAnswer(state, kReadDataRegister, kWrongFormat);
    AnswerBuilder answer(kReadDataRegister, device_error::None);
    switch (request.data[0]) {
        case kActivationRegister:
            answer.bcd(static_cast<std::uint64_t>(state.eklz.activationNumber), 1)
                .bcd(static_cast<std::uint64_t>(state.eklz.activationsLeft), 1);
            break;
        case kRegistrationRegister:
            answer.bcd(state.fiscal.inn, 6)
                .bcd(state.fiscal.rnm, 5)
                .bcd(state.fiscal.initialShift, 2)
                .date(state.fiscal.registeredOn);
            break;
        case kEklzNumberRegister:
            answer.bcd(state.eklz.number, 5);
            break;
        default:
            return plainAnswer(state, kReadDataRegister, kWrongRegister);
    }
    return answer.reply(kQuickCommandUs);
}

// Bits 0-1: the kind of the current document.
std::uint8_t eklzFlags(const RegisterState& state) {
    const auto& eklz = state.eklz;
    return static_cast<std::uint8_t>(eklzDocumentType(state.receipt.kind) |
                                     (eklz.archiveOpen ? 0x04 : 0) | (eklz.activated ? 0x08 : 0) |
                                     (eklz.reportInProgress ? 0x10 : 0) |
                                     (state.receipt.isOpen() ? 0x20 : 0) |
                                     (state.shift.open ? 0x40 : 0) | (eklz.fatalError ? 0x80 : 0));
}

// The EKLZ's own view: the current document's total, the time of the last operation, the last
// КПК, its number, its flags and the shift it is in (or the one it will open next).
CommandReply eklzState(RegisterState& state, const CommandRequest&) {
    const DateTime& last = state.eklz.lastOperation;
    return AnswerBuilder(kEklzState, device_error::None)
        .bcd(state.receipt.sum, 5)
        .dateYearFirst(last)
        .bcd(static_cast<std::uint64_t>(last.hour), 1)
        .bcd(static_cast<std::uint64_t>(last.minute), 1)
        .bcd(state.eklz.lastKpk, 5)
        .bcd(state.eklz.number, 5)
        .byte(eklzFlags(state))
        .bcd(state.shift.current(), 2)
        .reply(kQuickCommandUs);
}

// Data: the mode number and its 8-digit access password in packed BCD. Only the selection mode
// lets a mode be entered (the command table answers 0x66 in the others); a mode the register
// does not have is a format error and a password that does not match is 0x8C.
CommandReply enterMode(RegisterState& state, const CommandRequest& request) {
    if (request.data.size() < 5) return plainAnswer(state, kEnterMode, kWrongFormat);
    const std::uint8_t mode = request.data[0];
    if (mode < ModeRegistration || mode > ModeAdditional) {
        return plainAnswer(state, kEnterMode, kWrongFormat);
    }
    const std::int64_t password = readBcd(request.data, 1, 4);
    if (password < 0 || static_cast<std::uint32_t>(password) != state.passwords.access[mode]) {
        return plainAnswer(state, kEnterMode, device_error::WrongPassword);
    }
    state.mode.set(mode);
    return plainAnswer(state, kEnterMode, device_error::None, kModeChangeUs);
}

}  // namespace

void registerStatusCommands(CommandTable& table) {
    table.add({kReadDataRegister, "read data register", kAnyMode, readDataRegister});
    table.add({kEklzState, "EKLZ state", kAnyMode, eklzState});
    table.add({kEnterMode, "enter mode", inModes({ModeSelection}), enterMode});
}

}  // namespace ptk::sim
