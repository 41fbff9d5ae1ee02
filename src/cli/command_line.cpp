#include "cli/command_line.h"

#include <QCommandLineParser>

#include <algorithm>
#include <array>
#include <string>
#include <variant>

#include "settings/settings_files.h"

namespace ptk::cli {
namespace {

struct OptionSpec {
    const char* name;
    const char* valueName;  // empty for a flag
    unsigned bit;           // its CommandOption, 0 for a global option
    const char* help;
};

constexpr std::array kOptions = {
    OptionSpec{"port", "COMn", 0, "the port COM1 to COM256, instead of num_port.ini"},
    OptionSpec{"baud", "RATE", 0,
               "9600, 19200, 38400, 57600 or 115200 baud, instead of baude_fr.ini"},
    OptionSpec{"password", "DIGITS", 0,
               "the link password, up to 4 digits, instead of pass_fr.ini"},
    OptionSpec{"json", "", 0, "print one JSON object per command instead of the texts"},
    OptionSpec{"trace", "FILE", 0,
               "append a trace of the exchange to FILE, as ptk-inspector --trace does"},
    OptionSpec{"access-password", "DIGITS", kAccessPasswordOption,
               "the access password (1 to 8 digits) of the mode the command works in; the mode "
               "is left afterwards, also after a failure"},
    OptionSpec{"yes", "", kYesOption,
               "carry out a command that changes the register; without it the command only says "
               "what it would do"},
    OptionSpec{"dates", "FROM..TO", kDatesOption, "the days of a report, DD.MM.YYYY..DD.MM.YYYY"},
    OptionSpec{"shifts", "FIRST..LAST", kShiftsOption, "the shifts of a report, 1 to 9999"},
    OptionSpec{"short", "", kShortOption, "a short report instead of a full one"},
    OptionSpec{"shift", "N", kShiftOption, "the shift of an EKLZ request, 1 to 9999"},
    OptionSpec{"kpk", "NUMBER", kKpkOption, "the КПК number of a document, up to 8 digits"},
    OptionSpec{"now", "", kNowOption, "this computer's date and time"},
    OptionSpec{"date", "DD.MM.YYYY", kDateOption, "the date to set"},
    OptionSpec{"time", "HH:MM:SS", kTimeOption, "the time to set"},
};

constexpr std::string_view kIntroduction =
    "Asks the fiscal cash register (\"ПТК\") on a serial port for its state and its reports, from\n"
    "a terminal or a script. It takes its connection settings from num_port.ini, baude_fr.ini\n"
    "and pass_fr.ini in the working directory, as ptk-inspector does.\n";

constexpr std::string_view kClosing =
    "\n"
    "Programming the serial number, fiscalisation, EKLZ activation and closing the EKLZ\n"
    "archive cannot be undone: they are not offered here but in ptk-inspector's windows, with\n"
    "their double checks.\n"
    "\n"
    "Output: the texts the windows show, or with --json one JSON object per command. Messages\n"
    "go to standard error. Ctrl+C stops a running report the way \"Аварийный выход\" does.\n"
    "\n"
    "Exit status: 0 success, 1 the register refused (a device error), 2 usage, 3 no link (no\n"
    "answer, port unavailable, checksum), 4 stopped by the user.\n";

// What the command takes beyond its own options: the access password of its mode, and --yes when
// it changes the register.
unsigned acceptedOptions(const Subcommand& command) {
    unsigned accepted = command.options;
    if (command.mode != 0) accepted |= kAccessPasswordOption;
    if (!command.wouldDo.empty()) accepted |= kYesOption;
    return accepted;
}

unsigned requiredOptions(const Subcommand& command) {
    return command.required | (command.mode != 0 ? kAccessPasswordOption : 0u);
}

std::string optionNames(unsigned bits) {
    std::string names;
    for (const OptionSpec& option : kOptions) {
        if ((option.bit & bits) == 0) continue;
        if (!names.empty()) names += " or ";
        names += std::string("--") + option.name;
    }
    return names;
}

std::string commandLine(const Subcommand& command) {
    std::string line(command.words);
    if (command.mode != 0) line += " --access-password DIGITS";
    if (!command.arguments.empty()) line.append(" ").append(command.arguments);
    if (!command.wouldDo.empty()) line += " --yes";
    return line;
}

// Where the help of an option begins in the usage, and how wide the usage is.
constexpr std::size_t kHelpColumn = 28;
constexpr std::size_t kUsageWidth = 100;

// The help of an option in its column, wrapped at word boundaries.
void appendWrapped(std::string& text, std::string_view help) {
    constexpr std::size_t kWidth = kUsageWidth - kHelpColumn;
    while (help.size() > kWidth) {
        std::size_t cut = help.rfind(' ', kWidth);
        if (cut == std::string_view::npos) cut = kWidth;
        text += std::string(help.substr(0, cut)) + "\n" + std::string(kHelpColumn, ' ');
        help.remove_prefix(std::min(help.size(), cut + 1));
    }
    text += std::string(help) + "\n";
}

// The global options (bits 0), or the command options among bits.
void appendOptions(std::string& text, unsigned bits) {
    for (const OptionSpec& option : kOptions) {
        const bool global = option.bit == 0;
        if (bits == 0 ? !global : (option.bit & bits) == 0) continue;
        std::string head = std::string("  --") + option.name;
        if (*option.valueName != '\0') head += std::string(" ") + option.valueName;
        head.resize(std::max(head.size() + 2, kHelpColumn), ' ');
        text += head;
        appendWrapped(text, option.help);
    }
}

CliRequest refuse(std::string problem) {
    CliRequest request;
    request.action = CliRequest::Action::Usage;
    request.problem = std::move(problem);
    return request;
}

// Whether a command's words begin with these whole words ("report eklz dates" with "report").
bool beginsWith(std::string_view commandWords, std::string_view words) {
    return commandWords.size() > words.size() && commandWords.substr(0, words.size()) == words &&
           commandWords[words.size()] == ' ';
}

std::string inQuotes(std::string_view words) {
    // Appended, not "'" + std::string(words): GCC 12 at -O3 warns falsely (-Wrestrict) about the
    // insert at the front that operator+ makes of that.
    return std::string("'").append(words).append("'");
}

// The reason the words name no command, or the command.
std::variant<const Subcommand*, std::string> commandOf(const std::string& words) {
    if (const Subcommand* command = findSubcommand(words)) return command;
    // Words after a whole command are arguments it does not take.
    for (const Subcommand& command : subcommands()) {
        if (beginsWith(words, command.words)) {
            return inQuotes(command.words) + " takes no argument " +
                   inQuotes(words.substr(command.words.size() + 1));
        }
    }
    // The first words of several commands: name the words that may follow.
    std::string next;
    for (const Subcommand& command : subcommands()) {
        if (!beginsWith(command.words, words)) continue;
        std::string_view rest = command.words.substr(words.size() + 1);
        rest = rest.substr(0, rest.find(' '));
        const std::string item = std::string(" ").append(rest).append(",");
        if (next.find(item) == std::string::npos) next += item;
    }
    if (!next.empty()) {
        next.pop_back();
        return inQuotes(words) + " needs one of" + next;
    }
    return "unknown command " + inQuotes(words);
}

}  // namespace

std::string cliUsage(std::string_view topic) {
    std::string text = "Usage: ptk-cli [OPTIONS] COMMAND [COMMAND OPTIONS]\n\n";
    unsigned topicOptions = 0;
    std::string commands;
    for (const Subcommand& command : subcommands()) {
        if (!topic.empty() && command.words != topic && !beginsWith(command.words, topic)) continue;
        topicOptions |= acceptedOptions(command);
        commands +=
            "  ptk-cli " + commandLine(command) + "\n      " + std::string(command.summary) + "\n";
    }
    if (commands.empty()) return cliUsage({});
    if (topic.empty()) text += std::string(kIntroduction) + "\n";
    text += "Commands:\n" + commands + "\nOptions:\n";
    appendOptions(text, 0);
    text += "  --help                    show this text (after a command: its own usage)\n";
    text += "  --version                 show the program's version\n";
    if (topicOptions != 0) {
        text += "\nCommand options:\n";
        appendOptions(text, topicOptions);
    }
    if (topic.empty()) text += kClosing;
    return text;
}

CliRequest readCliCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    for (const OptionSpec& option : kOptions) {
        parser.addOption(QCommandLineOption(QString::fromLatin1(option.name),
                                            QString::fromUtf8(option.help),
                                            QString::fromLatin1(option.valueName)));
    }
    parser.addOption(QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")}, {}));
    parser.addOption(QCommandLineOption(QStringLiteral("version"), {}));
    if (!parser.parse(QStringList(QStringLiteral("ptk-cli")) + arguments)) {
        return refuse(parser.errorText().toStdString());
    }

    const std::string words = parser.positionalArguments().join(QLatin1Char(' ')).toStdString();
    if (parser.isSet(QStringLiteral("help"))) {
        CliRequest request;
        request.action = CliRequest::Action::Help;
        request.helpTopic = words;
        return request;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        CliRequest request;
        request.action = CliRequest::Action::Version;
        return request;
    }
    if (words.empty()) return refuse("no command given");
    const auto found = commandOf(words);
    if (const auto* problem = std::get_if<std::string>(&found)) return refuse(*problem);

    CliRequest request;
    request.action = CliRequest::Action::Run;
    request.command = std::get<const Subcommand*>(found);
    const Subcommand& command = *request.command;
    const std::string name = inQuotes(command.words);

    unsigned given = 0;
    for (const OptionSpec& option : kOptions) {
        const QString optionName = QString::fromLatin1(option.name);
        if (!parser.isSet(optionName)) continue;
        if (*option.valueName != '\0' && parser.values(optionName).size() > 1) {
            return refuse(std::string("--") + option.name + " is given twice");
        }
        if (option.bit != 0 && (acceptedOptions(command) & option.bit) == 0) {
            return refuse(name + " takes no --" + option.name);
        }
        given |= option.bit;
    }
    const unsigned missing = requiredOptions(command) & ~given;
    if (missing != 0) return refuse(name + " needs " + optionNames(missing));
    for (const unsigned group : command.exactlyOneOf) {
        if (group == 0) continue;
        const unsigned chosen = given & group;
        if (chosen == 0) return refuse(name + " needs " + optionNames(group));
        if ((chosen & (chosen - 1)) != 0) {
            return refuse(name + " takes only one of " + optionNames(group));
        }
    }

    const auto value = [&parser](const char* option) {
        return parser.value(QString::fromLatin1(option)).toStdString();
    };
    const auto bad = [](const char* option, const std::string& text, const char* expected) {
        return refuse("--" + std::string(option) + " " + inQuotes(text) + ": " + expected);
    };

    if (parser.isSet(QStringLiteral("port"))) {
        const std::string port = value("port");
        if (!portIndexOf(port)) return bad("port", port, "expected COM1 to COM256");
        request.connection.portName = port;
    }
    if (parser.isSet(QStringLiteral("baud"))) {
        const std::string rate = value("baud");
        const std::string baudName = "CBR_" + rate;
        if (!baudIndexOf(baudName)) {
            return bad("baud", rate, "expected 9600, 19200, 38400, 57600 or 115200");
        }
        request.connection.baudName = baudName;
    }
    if (parser.isSet(QStringLiteral("password"))) {
        const std::string password = value("password");
        if (!isValidLinkPassword(password)) return bad("password", password, "up to 4 digits");
        request.connection.linkPassword = password;
    }
    request.json = parser.isSet(QStringLiteral("json"));
    if (parser.isSet(QStringLiteral("trace"))) {
        request.tracePath = value("trace");
        if (request.tracePath.empty()) return refuse("--trace needs a file name");
    }
    if (given & kAccessPasswordOption) {
        request.accessPassword = value("access-password");
        if (!isDigits(request.accessPassword, 1, 8)) {
            return bad("access-password", request.accessPassword, "1 to 8 digits");
        }
    }
    request.yes = (given & kYesOption) != 0;
    if (given & kDatesOption) {
        request.dates = parseRange(value("dates"), parseDate);
        if (!request.dates) {
            return bad("dates", value("dates"), "expected DD.MM.YYYY..DD.MM.YYYY, not backwards");
        }
    }
    if (given & kShiftsOption) {
        request.shifts = parseRange(value("shifts"), parseShiftNumber);
        if (!request.shifts) {
            return bad("shifts", value("shifts"), "expected FIRST..LAST, 1 to 9999, not backwards");
        }
    }
    request.shortReport = (given & kShortOption) != 0;
    if (given & kShiftOption) {
        request.shift = parseShiftNumber(value("shift"));
        if (!request.shift) return bad("shift", value("shift"), "expected 1 to 9999");
    }
    if (given & kKpkOption) {
        request.kpk = value("kpk");
        if (!isDigits(request.kpk, 1, 8)) return bad("kpk", request.kpk, "1 to 8 digits");
    }
    request.now = (given & kNowOption) != 0;
    if (given & kDateOption) {
        request.date = parseDate(value("date"));
        if (!request.date) return bad("date", value("date"), "expected a day DD.MM.YYYY");
    }
    if (given & kTimeOption) {
        request.time = parseTime(value("time"));
        if (!request.time) return bad("time", value("time"), "expected HH:MM:SS");
    }
    return request;
}

}  // namespace ptk::cli
