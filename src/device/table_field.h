#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "link/session.h"

namespace ptk {

inline constexpr std::uint8_t kReadTableFieldCode = 0x46;

// A field of one of the register's tables.
struct TableField {
    std::uint8_t table = 0;
    std::uint16_t row = 0;
    std::uint8_t field = 0;
};

// Where the programming mode's password lies: table 3, row 30, field 1.
inline constexpr TableField kProgrammingPasswordField{3, 30, 1};

// The bytes of a field as the answer brings them, after its type byte and error code; places the
// answer did not fill read 0.
inline constexpr std::size_t kTableFieldValueBytes = 75;
using TableFieldValue = std::array<std::uint8_t, kTableFieldValueBytes>;

struct TableFieldReply {
    ExchangeResult result;
    TableFieldValue value{};  // meaningful when result succeeded
};

// Reads a field of a register table (0x46) under the general rules; a short answer is taken.
TableFieldReply ReadTableField(Session& session, TableField field);

// A password as a table field holds it: each of its first four bytes as two decimal digits.
std::string passwordFromTableField(const TableFieldValue& value);

}  // namespace ptk
