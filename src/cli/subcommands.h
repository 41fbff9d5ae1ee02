#pragma once

#include <span>
#include <string_view>

namespace ptk {
class Session;
}

namespace ptk::cli {

struct CliRequest;
struct CommandOutcome;

// The options a subcommand may take besides the global ones, as bits of Subcommand::options.
enum CommandOption : unsigned {
    kAccessPasswordOption = 1u << 0,
    kYesOption = 1u << 1,
    kDatesOption = 1u << 2,
    kShiftsOption = 1u << 3,
    kShortOption = 1u << 4,
    kShiftOption = 1u << 5,
    kKpkOption = 1u << 6,
    kNowOption = 1u << 7,
    kDateOption = 1u << 8,
    kTimeOption = 1u << 9,
};

// Carries a subcommand out on the open port and tells what the register answered: Stopped when the
// user's stop request (Ctrl+C, set in session.StopRequested, which the channel observes) cut it
// short. This is the one seam between the command line and the register's operations.
using RunCommand = CommandOutcome (*)(Session& session, const CliRequest& request);

// One thing ptk-cli can be asked to do. Irreversible operations (serial number, fiscalisation,
// EKLZ activation, archive closing) have no entry: they belong to the windows, with their
// double checks.
struct Subcommand {
    std::string_view words{};      // as typed: "report fm"
    std::string_view arguments{};  // what follows the words in the usage
    std::string_view summary{};
    unsigned options = 0;  // CommandOption bits it takes
    // Each mask names options of which exactly one must be given ("--now, or --date with
    // --time" is two of them).
    unsigned exactlyOneOf[2] = {0, 0};
    unsigned required = 0;  // options that must be given
    // The mode the command works in, entered with --access-password and left again afterwards,
    // also after a failure; 0 when it needs none.
    int mode = 0;
    // What a command that changes the register would do, said instead when --yes is missing;
    // empty for a command that changes nothing.
    std::string_view wouldDo{};
    bool isReport = false;  // the register prints for a while: the elapsed time is shown
    RunCommand run = nullptr;
};

std::span<const Subcommand> subcommands();
// The subcommand typed as these words, or null.
const Subcommand* findSubcommand(std::string_view words);

}  // namespace ptk::cli
