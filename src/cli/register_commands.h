#pragma once

#include "cli/subcommands.h"

namespace ptk::cli {

// The run functions of the subcommands, each on the core's own operations: the same transactions
// and texts as the windows that do the same job.
namespace run {
CommandOutcome status(Session& session, const CliRequest& request);
CommandOutcome state(Session& session, const CliRequest& request);
CommandOutcome registration(Session& session, const CliRequest& request);
CommandOutcome eklzState(Session& session, const CliRequest& request);
CommandOutcome fiscalMemoryRanges(Session& session, const CliRequest& request);
CommandOutcome headerLines(Session& session, const CliRequest& request);
CommandOutcome shiftClosingReport(Session& session, const CliRequest& request);
CommandOutcome fiscalMemoryReport(Session& session, const CliRequest& request);
CommandOutcome eklzReport(Session& session, const CliRequest& request);
CommandOutcome emergencyReport(Session& session, const CliRequest& request);
CommandOutcome clockSet(Session& session, const CliRequest& request);
}  // namespace run

}  // namespace ptk::cli
