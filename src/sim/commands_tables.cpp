// The register's tables as far as the inspector's program reaches them: reading a field (0x46)
// and writing one (0x50). Table 6, rows 1 to 4, field 1 are the header lines, read and written in
// mode 4 (programming); table 3, row 30, field 1 is the access password of mode 4, four packed
// BCD bytes, which can also be read in the selection mode (the fiscal-memory window reads it
// there before it enters mode 4).

#include "sim/answer.h"
#include "sim/command_table.h"
#include "sim/device_errors.h"

namespace ptk::sim {

namespace {

constexpr std::uint8_t kReadTableField = 0x46;
constexpr std::uint8_t kWriteTableField = 0x50;

constexpr std::uint8_t kWrongFormat = 0x13;
constexpr std::uint8_t kWrongLength = 0x14;
constexpr std::uint8_t kWrongTable = 0x91;
constexpr std::uint8_t kWrongRow = 0x92;
constexpr std::uint8_t kWrongField = 0x93;

constexpr std::uint8_t kPasswordTable = 3;
constexpr std::uint16_t kProgrammingPasswordRow = 30;
constexpr std::uint8_t kHeaderTable = 6;
constexpr std::size_t kHeaderRows = 4;
constexpr std::size_t kHeaderLineBytes = 90;
constexpr std::size_t kAddressBytes = 4;  // table, row (two bytes, high first), field

// Where a field lies: the header line it is, or the programming password.
enum class Field { HeaderLine, ProgrammingPassword };

struct Address {
    Field field = Field::HeaderLine;
    std::size_t headerRow = 0;  // 0-3
};

// Reads the address at the head of the data; an error code when the register has no such field.
std::uint8_t findField(std::span<const std::uint8_t> data, Address& address) {
    if (data.size() < kAddressBytes) return kWrongLength;
    const std::uint8_t table = data[0];
    const auto row = static_cast<std::uint16_t>((data[1] << 8) | data[2]);
    const std::uint8_t field = data[3];
    if (table == kHeaderTable) {
        if (row < 1 || row > kHeaderRows) return kWrongRow;
        address = {Field::HeaderLine, static_cast<std::size_t>(row - 1)};
    } else if (table == kPasswordTable) {
        if (row != kProgrammingPasswordRow) return kWrongRow;
        address = {Field::ProgrammingPassword, 0};
    } else {
        return kWrongTable;
    }
    return field == 1 ? device_error::None : kWrongField;
}

CommandReply readTableField(RegisterState& state, const CommandRequest& request) {
    Address address;
    if (const std::uint8_t error = findField(request.data, address)) {
        return plainAnswer(state, kReadTableField, error);
    }
    AnswerBuilder answer(kReadTableField, device_error::None);
    if (address.field == Field::ProgrammingPassword) {
        answer.bcd(state.passwords.access[ModeProgramming], 4);
    } else {
        // The header lines belong to programming; the selection mode shows only the password.
        if (state.mode.mode != ModeProgramming) {
            return plainAnswer(state, kReadTableField, device_error::NotInThisMode);
        }
        for (char byte : state.tables.headerLines[address.headerRow]) {
            answer.byte(static_cast<std::uint8_t>(byte));
        }
    }
    return answer.reply(kQuickCommandUs);
}

CommandReply writeTableField(RegisterState& state, const CommandRequest& request) {
    Address address;
    if (const std::uint8_t error = findField(request.data, address)) {
        return plainAnswer(state, kWriteTableField, error);
    }
    const std::span<const std::uint8_t> value = request.data.subspan(kAddressBytes);
    if (address.field == Field::ProgrammingPassword) {
        if (value.size() != 4) return plainAnswer(state, kWriteTableField, kWrongLength);
        const std::int64_t password = readBcd(value, 0, 4);
        if (password < 0) return plainAnswer(state, kWriteTableField, kWrongFormat);
        state.passwords.access[ModeProgramming] = static_cast<std::uint32_t>(password);
    } else {
        if (value.empty() || value.size() > kHeaderLineBytes) {
            return plainAnswer(state, kWriteTableField, kWrongLength);
        }
        // An empty line travels as the one byte 0x00.
        const bool empty = value.size() == 1 && value[0] == 0x00;
        state.tables.headerLines[address.headerRow] =
            empty ? std::string() : std::string(value.begin(), value.end());
    }
    return plainAnswer(state, kWriteTableField, device_error::None, kModeChangeUs);
}

}  // namespace

void registerTableCommands(CommandTable& table) {
    table.add({kReadTableField, "read table field", inModes({ModeSelection, ModeProgramming}),
               readTableField});
    table.add({kWriteTableField, "write table field", inModes({ModeProgramming}), writeTableField});
}

}  // namespace ptk::sim
