#pragma once

#include <QStringList>

#include <cstdio>

namespace ptk::cli {

// ptk-cli from its arguments (those after the program's name) to its exit status: the command
// line, the settings, the gate of the commands that change the register, the trace, the port,
// the command, its output on out and every message on err.
int runCli(const QStringList& arguments, std::FILE* out, std::FILE* err);

}  // namespace ptk::cli
