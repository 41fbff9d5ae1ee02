#include "app/inspector_command_line.h"

namespace ptk {
namespace {

constexpr std::string_view kUsage =
    "Usage: ptk-inspector [--trace FILE]\n"
    "       ptk-inspector --help | --version\n"
    "\n"
    "The tax inspector's program for servicing a fiscal cash register (\"ПТК\") over a serial\n"
    "port. It takes its connection settings from num_port.ini, baude_fr.ini and pass_fr.ini in\n"
    "the working directory.\n"
    "\n"
    "Options:\n"
    "  --trace FILE  append a trace of the exchange with the register to FILE: every byte in\n"
    "                both directions with its time, each frame decoded, and the result of each\n"
    "                command. Passwords are written as **. A new file is readable by its owner\n"
    "                only.\n"
    "  --help        show this text and exit\n"
    "  --version     show the program's version and exit\n";

InspectorCommandLine refuse(std::string problem) {
    InspectorCommandLine refused;
    refused.action = InspectorCommandLine::Action::Refuse;
    refused.problem = std::move(problem);
    return refused;
}

}  // namespace

std::string_view inspectorUsage() {
    return kUsage;
}

InspectorCommandLine readInspectorCommandLine(const std::vector<std::string>& args) {
    InspectorCommandLine line;
    bool help = false;
    bool version = false;
    bool traced = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help") {
            help = true;
        } else if (arg == "--version") {
            version = true;
        } else if (arg == "--trace" || arg.rfind("--trace=", 0) == 0) {
            if (traced) return refuse("--trace is given twice");
            traced = true;
            if (arg == "--trace") {
                if (i + 1 >= args.size()) return refuse("--trace needs a file name");
                line.tracePath = args[++i];
            } else {
                line.tracePath = arg.substr(8);
            }
            if (line.tracePath.empty()) return refuse("--trace needs a file name");
        } else if (!arg.empty() && arg[0] == '-') {
            return refuse("unknown option '" + arg + "'");
        } else {
            return refuse("unexpected argument '" + arg + "'");
        }
    }
    if (help)
        line.action = InspectorCommandLine::Action::Help;
    else if (version)
        line.action = InspectorCommandLine::Action::Version;
    return line;
}

std::optional<int> answerWithoutRunning(const InspectorCommandLine& line, std::FILE* out,
                                        std::FILE* err) {
    switch (line.action) {
        case InspectorCommandLine::Action::Help:
            std::fwrite(kUsage.data(), 1, kUsage.size(), out);
            return 0;
        case InspectorCommandLine::Action::Version:
            std::fprintf(out, "ptk-inspector %s\n", PTK_VERSION);
            return 0;
        case InspectorCommandLine::Action::Refuse:
            std::fprintf(err, "ptk-inspector: %s\n\n", line.problem.c_str());
            std::fwrite(kUsage.data(), 1, kUsage.size(), err);
            return 2;
        case InspectorCommandLine::Action::Run:
            break;
    }
    return std::nullopt;
}

}  // namespace ptk
