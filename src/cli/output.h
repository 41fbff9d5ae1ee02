#pragma once

#include <cstdio>
#include <string_view>

#include "cli/command_outcome.h"

namespace ptk::cli {

// The result line and the window's lines, as the windows show them; a message without an answer
// has gone to standard error already.
void writeText(std::FILE* out, const CommandOutcome& outcome);

// One JSON object on one line: {"command": ..., "status": ..., "code": ..., "text": ...,
// "message": ..., "fields": {...}}; code is null when the register did not answer.
void writeJson(std::FILE* out, std::string_view command, const CommandOutcome& outcome);

}  // namespace ptk::cli
