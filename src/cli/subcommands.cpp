#include "cli/subcommands.h"

#include <algorithm>

#include "cli/register_commands.h"
#include "device/mode_switch.h"

namespace ptk::cli {
namespace {

const Subcommand kSubcommands[] = {
    {.words = "status",
     .summary = "short status: the mode, its sub-mode and the printer flags",
     .run = run::status},
    {.words = "state", .summary = "the register's state report", .run = run::state},
    {.words = "registration", .summary = "the registration information", .run = run::registration},
    {.words = "eklz-state", .summary = "the state of the EKLZ", .run = run::eklzState},
    {.words = "fm-ranges",
     .summary = "the dates and shifts the fiscal memory holds",
     .mode = kFiscalMemoryMode,
     .run = run::fiscalMemoryRanges},
    {.words = "header-lines",
     .summary = "the four header lines",
     .mode = kProgrammingMode,
     .run = run::headerLines},
    {.words = "report z",
     .summary = "the Z report, which closes the shift",
     .mode = kZReportMode,
     .wouldDo = "print the Z report, which closes the shift",
     .isReport = true,
     .run = run::shiftClosingReport},
    {.words = "report fm",
     .arguments = "(--dates FROM..TO | --shifts FIRST..LAST) [--short]",
     .summary = "fiscal-memory report by dates or by shifts, full or short",
     .options = kDatesOption | kShiftsOption | kShortOption,
     .exactlyOneOf = {kDatesOption | kShiftsOption},
     .mode = kFiscalMemoryMode,
     .isReport = true,
     .run = run::fiscalMemoryReport},
    {.words = "report eklz activation-totals",
     .summary = "EKLZ report of the activation totals",
     .mode = kEklzMode,
     .isReport = true,
     .run = run::eklzReport},
    {.words = "report eklz dates",
     .arguments = "--dates FROM..TO [--short]",
     .summary = "EKLZ report by dates, full or short",
     .options = kDatesOption | kShortOption,
     .required = kDatesOption,
     .mode = kEklzMode,
     .isReport = true,
     .run = run::eklzReport},
    {.words = "report eklz shifts",
     .arguments = "--shifts FIRST..LAST [--short]",
     .summary = "EKLZ report by shifts, full or short",
     .options = kShiftsOption | kShortOption,
     .required = kShiftsOption,
     .mode = kEklzMode,
     .isReport = true,
     .run = run::eklzReport},
    {.words = "report eklz shift-totals",
     .arguments = "--shift N",
     .summary = "EKLZ request of a shift's totals",
     .options = kShiftOption,
     .required = kShiftOption,
     .mode = kEklzMode,
     .isReport = true,
     .run = run::eklzReport},
    {.words = "report eklz control-tape",
     .arguments = "--shift N",
     .summary = "EKLZ request of a shift's control tape",
     .options = kShiftOption,
     .required = kShiftOption,
     .mode = kEklzMode,
     .isReport = true,
     .run = run::eklzReport},
    {.words = "report eklz document",
     .arguments = "--kpk NUMBER",
     .summary = "EKLZ request of a document by its КПК number",
     .options = kKpkOption,
     .required = kKpkOption,
     .mode = kEklzMode,
     .isReport = true,
     .run = run::eklzReport},
    {.words = "report emergency",
     .summary = "the emergency fiscal-memory report",
     .isReport = true,
     .run = run::emergencyReport},
    {.words = "clock set",
     .arguments = "(--now | --date DD.MM.YYYY --time HH:MM:SS)",
     .summary = "set the register's date and time",
     .options = kNowOption | kDateOption | kTimeOption,
     .exactlyOneOf = {kNowOption | kDateOption, kNowOption | kTimeOption},
     .wouldDo = "set the register's clock",
     .run = run::clockSet},
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
