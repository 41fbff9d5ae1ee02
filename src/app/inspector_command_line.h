#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ptk {

// What ptk-inspector was asked to do on its command line.
struct InspectorCommandLine {
    enum class Action {
        Run,      // start the program (with a trace when tracePath is set)
        Help,     // print the usage on standard output
        Version,  // print the version on standard output
        Refuse,   // print problem and the usage on standard error
    };
    Action action = Action::Run;
    std::string tracePath;
    std::string problem;
};

// Reads the arguments after the program's name. Options: --trace FILE (or --trace=FILE),
// --help, --version; anything else is refused. Without arguments the program just runs.
InspectorCommandLine readInspectorCommandLine(const std::vector<std::string>& args);

// The --help text.
std::string_view inspectorUsage();

// For Help, Version and Refuse: prints what they ask for (the usage to out, the version to out,
// the problem and the usage to err) and gives the exit code, 0 or 2. Nothing for Run.
std::optional<int> answerWithoutRunning(const InspectorCommandLine& line, std::FILE* out,
                                        std::FILE* err);

}  // namespace ptk
