#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "sim/register_state.h"

namespace ptk::sim {

// A command as the register interprets it, after the frame, the link password and the code shift
// have been dealt with by the engine.
struct CommandRequest {
    std::uint8_t code = 0;               // as interpreted (a shifted code has 0x2E added back)
    std::span<const std::uint8_t> data;  // the bytes after the code
    std::uint64_t nowUs = 0;             // when the register starts to carry it out
};

// What the register answers and how long it works before it asks for the line to send it.
struct CommandReply {
    std::vector<std::uint8_t> answer;  // answer message: type byte, error code, data
    std::uint64_t durationUs = 0;
};

using CommandHandler = CommandReply (*)(RegisterState& state, const CommandRequest& request);

// Modes (bit n = mode n) in which a command is carried out; in the others it is answered 0x66.
using ModeMask = std::uint8_t;
inline constexpr ModeMask kAnyMode = 0xFF;
constexpr ModeMask inModes(std::initializer_list<int> modes) {
    ModeMask mask = 0;
    for (int mode : modes) mask = static_cast<ModeMask>(mask | (1u << mode));
    return mask;
}

struct CommandSpec {
    std::uint8_t code = 0;
    std::string_view name;  // for ptk-sim's log
    ModeMask modes = kAnyMode;
    CommandHandler handler = nullptr;
};

// The commands the register knows, by code.
class CommandTable {
public:
    // Adds a command or replaces the one with the same code.
    void add(const CommandSpec& command) { entries_[command.code] = command; }
    void remove(std::uint8_t code) { entries_[code].reset(); }
    const CommandSpec* find(std::uint8_t code) const {
        const auto& entry = entries_[code];
        return entry ? &*entry : nullptr;
    }

private:
    std::array<std::optional<CommandSpec>, 256> entries_{};
};

// Command groups. Adding a group: write src/sim/commands_<group>.cpp with a
// register<Group>Commands(CommandTable&) that adds its CommandSpecs, declare it here, call it
// from makeCommandTable() in command_table.cpp (one line) and list the file in
// src/sim/CMakeLists.txt. Answer helpers are in sim/answer.h.
void registerBasicCommands(CommandTable& table);         // 0xE0, 0x45, 0x3F, 0x52, 0x59
void registerStatusCommands(CommandTable& table);        // 0x91, 0xAE, 0x56
void registerSalesCommands(CommandTable& table);         // 0x92, 0x48, 0x4A, 0x5A, 0x64, 0x4B
void registerTableCommands(CommandTable& table);         // 0x46, 0x50
void registerFiscalMemoryCommands(CommandTable& table);  // 0x61, 0x62, 0x63, 0x65, 0x66
void registerEmergencyCommands(CommandTable& table);     // 0x60
void registerEklzCommands(CommandTable& table);          // 0xA6 to 0xAD

// Every group the register knows, assembled in one place.
CommandTable makeCommandTable();

}  // namespace ptk::sim
