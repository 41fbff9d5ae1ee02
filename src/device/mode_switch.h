#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "device/table_field.h"
#include "link/session.h"

namespace ptk {

inline constexpr std::uint8_t kEnterModeCode = 0x56;
inline constexpr std::uint8_t kExitModeCode = 0x52;
inline constexpr std::size_t kAccessPasswordLength = 8;

// The register's modes that the program enters.
enum RegisterMode : std::uint8_t {
    kSelectionMode = 0,
    kRegistrationMode = 1,
    kZReportMode = 3,
    kProgrammingMode = 4,
    kFiscalMemoryMode = 5,
    kEklzMode = 6,
};

// The access password as it travels: the text filled on the left with "0" to eight characters,
// in the register's code page, its first eight characters packed two to a byte (the low half of
// each character code, so only digits mean what they say).
std::array<std::uint8_t, 4> packAccessPassword(std::string_view password);

// Enters a mode with its access password (0x56). Done: the register is in the mode; a failure has
// shown its message.
ExchangeResult EnterMode(Session& session, std::uint8_t mode, std::string_view password);

// Takes the register back to the selection mode (0x52). Done when the register confirmed; a
// failure has shown its message.
ExchangeResult ExitCurrentMode(Session& session);

// The password a mode is entered with: one the inspector typed, or the one the register keeps in
// a table field (the programming mode's), read right before the entry.
class ModePassword {
public:
    static ModePassword typed(std::string password) { return ModePassword(std::move(password)); }
    static ModePassword keptIn(TableField field) { return ModePassword(field); }

    // The typed password, or nothing when the register keeps it.
    const std::string* typedText() const { return std::get_if<std::string>(&source_); }
    const TableField* field() const { return std::get_if<TableField>(&source_); }

private:
    explicit ModePassword(std::variant<std::string, TableField> source)
        : source_(std::move(source)) {}

    std::variant<std::string, TableField> source_;
};

// How a switch leaves the mode the register is in.
enum class Leaving {
    // The short status first; the mode is left only when it is not the selection mode, and the
    // switch stops at a failure of either.
    WhenNotInSelection,
    // Straight away, whatever the answer: whether the mode was left shows in the entry.
    Always,
};

// Takes the register from whatever mode it is in to mode: leaves the current one as leaving
// says, then enters mode with the password (the selection mode needs no entry). The result of the
// last step made; every failure has shown its message.
ExchangeResult SwitchToMode(Session& session, std::uint8_t mode, const ModePassword& password,
                            Leaving leaving);

}  // namespace ptk
