#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace ptk::cli {

// How a command ended, as scripts see it in the exit status.
enum class CommandStatus {
    Success,      // 0
    DeviceError,  // 1: the register refused
    NoLink,       // 3: no answer, the port unavailable, the checksum stayed wrong
    Stopped,      // 4: stopped by the user (Ctrl+C)
};

// The exit status of a command line that cannot be carried out as it stands.
inline constexpr int kUsageExitStatus = 2;

constexpr int exitStatusOf(CommandStatus status) {
    switch (status) {
        case CommandStatus::Success:
            return 0;
        case CommandStatus::DeviceError:
            return 1;
        case CommandStatus::NoLink:
            return 3;
        case CommandStatus::Stopped:
            return 4;
    }
    return 1;
}

// What a command found out: what its output is made of.
struct CommandOutcome {
    CommandStatus status = CommandStatus::Success;
    // The register's result code and its message ("00 - Ошибок нет. Команда выполнена."); no code
    // when no answer came.
    std::optional<int> resultCode;
    std::string resultText;
    // What went wrong, as told on standard error (a link failure's or a printer fault's message,
    // the device error's text, or that the user stopped it); empty after a success.
    std::string message;
    // The answer's fields by their English names, with the values as the register gave them.
    std::vector<std::pair<std::string, std::string>> fields;
    // The lines the window shows for it, below the result line.
    std::vector<std::string> lines;
};

}  // namespace ptk::cli
