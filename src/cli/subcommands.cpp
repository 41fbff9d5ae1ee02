#include "cli/subcommands.h"

#include <algorithm>

namespace ptk::cli {
namespace {

// The register's modes the commands work in.
constexpr int kZReportMode = 3;
constexpr int kProgrammingMode = 4;
constexpr int kFiscalMemoryMode = 5;
constexpr int kEklzMode = 6;

// The run functions are still null: every command is parsed, checked and gated, the settings are
// read and the port is opened, but what the command sends is wired to the register's operations
// once they give typed results.
const Subcommand kSubcommands[] = {
    {.words = "status", .summary = "short status: the mode, its sub-mode and the printer flags"},
    {.words = "state", .summary = "the register's state report"},
    {.words = "registration", .summary = "the registration information"},
    {.words = "eklz-state", .summary = "the state of the EKLZ"},
    {.words = "fm-ranges",
     .summary = "the dates and shifts the fiscal memory holds",
     .mode = kFiscalMemoryMode},
    {.words = "header-lines", .summary = "the four header lines", .mode = kProgrammingMode},
    {.words = "report z",
     .summary = "the Z report, which closes the shift",
     .mode = kZReportMode,
     .wouldDo = "print the Z report, which closes the shift",
     .isReport = true},
    {.words = "report fm",
     .arguments = "(--dates FROM..TO | --shifts FIRST..LAST) [--short]",
     .summary = "fiscal-memory report by dates or by shifts, full or short",
     .options = kDatesOption | kShiftsOption | kShortOption,
     .exactlyOneOf = {kDatesOption | kShiftsOption},
     .mode = kFiscalMemoryMode,
     .isReport = true},
    {.words = "report eklz activation-totals",
     .summary = "EKLZ report of the activation totals",
     .mode = kEklzMode,
     .isReport = true},
    {.words = "report eklz dates",
     .arguments = "--dates FROM..TO [--short]",
     .summary = "EKLZ report by dates, full or short",
     .options = kDatesOption | kShortOption,
     .required = kDatesOption,
     .mode = kEklzMode,
     .isReport = true},
    {.words = "report eklz shifts",
     .arguments = "--shifts FIRST..LAST [--short]",
     .summary = "EKLZ report by shifts, full or short",
     .options = kShiftsOption | kShortOption,
     .required = kShiftsOption,
     .mode = kEklzMode,
     .isReport = true},
    {.words = "report eklz shift-totals",
     .arguments = "--shift N",
     .summary = "EKLZ request of a shift's totals",
     .options = kShiftOption,
     .required = kShiftOption,
     .mode = kEklzMode,
     .isReport = true},
    {.words = "report eklz control-tape",
     .arguments = "--shift N",
     .summary = "EKLZ request of a shift's control tape",
     .options = kShiftOption,
     .required = kShiftOption,
     .mode = kEklzMode,
     .isReport = true},
    {.words = "report eklz document",
     .arguments = "--kpk NUMBER",
     .summary = "EKLZ request of a document by its КПК number",
     .options = kKpkOption,
     .required = kKpkOption,
     .mode = kEklzMode,
     .isReport = true},
    {.words = "report emergency",
     .summary = "the emergency fiscal-memory report",
     .isReport = true},
    {.words = "clock set",
     .arguments = "(--now | --date DD.MM.YYYY --time HH:MM:SS)",
     .summary = "set the register's date and time",
     .options = kNowOption | kDateOption | kTimeOption,
     .exactlyOneOf = {kNowOption | kDateOption, kNowOption | kTimeOption},
     .wouldDo = "set the register's clock"},
};

}  // namespace

std::span<const Subcommand> subcommands() {
    return kSubcommands;
}

const Subcommand* findSubcommand(std::string_view words) {
    const auto found = std::find_if(std::begin(kSubcommands), std::end(kSubcommands),
                                    [words](const Subcommand& c) { return c.words == words; });
    return found == std::end(kSubcommands) ? nullptr : &*found;
}

}  // namespace ptk::cli
