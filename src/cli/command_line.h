#pragma once

#include <QStringList>

#include <optional>
#include <string>
#include <string_view>

#include "cli/argument_values.h"
#include "cli/subcommands.h"

namespace ptk::cli {

// Settings given on the command line instead of the settings files.
struct ConnectionOverrides {
    std::optional<std::string> portName;      // "COM9"
    std::optional<std::string> baudName;      // "CBR_115200", from --baud 115200
    std::optional<std::string> linkPassword;  // up to four digits
};

// What ptk-cli was asked to do, every value checked.
struct CliRequest {
    enum class Action {
        Run,      // carry command out
        Help,     // print the usage of helpTopic (all commands when it is empty)
        Version,  // print the version
        Usage,    // refuse: problem says why
    };
    Action action = Action::Usage;
    std::string problem;
    std::string helpTopic;
    const Subcommand* command = nullptr;

    bool json = false;
    bool yes = false;
    std::string tracePath;
    ConnectionOverrides connection;

    std::string accessPassword;  // one to eight digits
    std::optional<Range<CalendarDate>> dates;
    std::optional<Range<int>> shifts;
    bool shortReport = false;
    std::optional<int> shift;
    std::string kpk;  // one to eight digits, as typed
    bool now = false;
    std::optional<CalendarDate> date;
    std::optional<TimeOfDay> time;
};

// Reads the arguments after the program's name. Options may stand before or after the command's
// words; a value follows its option or an '='.
CliRequest readCliCommandLine(const QStringList& arguments);

// The usage of the commands whose words begin with topic (all of them for an empty topic).
std::string cliUsage(std::string_view topic);

}  // namespace ptk::cli
