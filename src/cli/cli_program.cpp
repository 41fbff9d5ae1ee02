#include "cli/cli_program.h"

#include <memory>
#include <string>

#include "cli/command_line.h"
#include "cli/command_outcome.h"
#include "cli/command_results.h"
#include "cli/connection_settings.h"
#include "cli/elapsed_time_line.h"
#include "cli/message_stream.h"
#include "cli/output.h"
#include "cli/terminal_front_end.h"
#include "device/connection.h"
#include "link/session.h"
#include "platform/clock.h"
#include "platform/interrupt.h"
#include "platform/serial_device.h"
#include "settings/settings_files.h"
#include "trace/session_trace.h"
#include "trace/tracing_serial_device.h"

namespace ptk::cli {
namespace {

std::string twoDigits(int value) {
    return std::string(1, static_cast<char>('0' + value / 10 % 10)) +
           static_cast<char>('0' + value % 10);
}

// What a command that changes the register would do, said instead when --yes is missing.
std::string wouldDo(const CliRequest& request) {
    std::string text(request.command->wouldDo);
    if (request.date && request.time) {
        const CalendarDate& d = *request.date;
        const TimeOfDay& t = *request.time;
        text += " to " + twoDigits(d.day) + "." + twoDigits(d.month) + "." +
                std::to_string(d.year) + " " + twoDigits(t.hour) + ":" + twoDigits(t.minute) + ":" +
                twoDigits(t.second);
    } else if (request.now) {
        text += " to this computer's date and time";
    }
    return text;
}

void writeOutcome(std::FILE* out, const CliRequest& request, const CommandOutcome& outcome) {
    if (request.json) {
        writeJson(out, request.command->words, outcome);
    } else {
        writeText(out, outcome);
    }
}

}  // namespace

int runCli(const QStringList& arguments, std::FILE* out, std::FILE* err) {
    const CliRequest request = readCliCommandLine(arguments);
    switch (request.action) {
        case CliRequest::Action::Help: {
            const std::string usage = cliUsage(request.helpTopic);
            std::fwrite(usage.data(), 1, usage.size(), out);
            return 0;
        }
        case CliRequest::Action::Version:
            std::fprintf(out, "ptk-cli %s\n", PTK_VERSION);
            return 0;
        case CliRequest::Action::Usage:
            std::fprintf(err, "ptk-cli: %s\nTry 'ptk-cli --help'.\n", request.problem.c_str());
            return kUsageExitStatus;
        case CliRequest::Action::Run:
            break;
    }
    const Subcommand& command = *request.command;

    MessageStream messages(err);
    if (!command.wouldDo.empty() && !request.yes) {
        messages.line("ptk-cli: '" + std::string(command.words) + "' would " + wouldDo(request) +
                      ". Nothing was sent: give --yes to do it.");
        return kUsageExitStatus;
    }
    std::unique_ptr<trace::ExchangeTrace> exchangeTrace;
    if (!request.tracePath.empty()) {
        std::string error;
        exchangeTrace = trace::ExchangeTrace::open(request.tracePath, trace::Role::Computer,
                                                   "ptk-cli " PTK_VERSION, {}, error);
        if (!exchangeTrace) {
            messages.line("ptk-cli: " + error);
            return kUsageExitStatus;
        }
    }

    TerminalFrontEnd frontEnd(messages);
    platform::SystemClock clock;
    platform::SystemSerialOpener systemOpener;
    trace::TracingSerialOpener opener(systemOpener, exchangeTrace.get());
    Session session(frontEnd, clock, opener);
    if (exchangeTrace) trace::followSession(*exchangeTrace, session);
    // The settings files live in the working directory, as for ptk-inspector.
    takeConnectionSettings(session, request.connection, SettingsFiles{});

    // Ctrl+C from here on ends the waits of the exchange instead of the process, so the port is
    // released and the register is not left half-way through a command.
    const platform::InterruptWatch interrupts(session.StopRequested);
    session.channel.setStopSignal(&session.StopRequested);
    if (!OpenConfiguredPort(session)) {
        CommandOutcome outcome;
        outcome.status = CommandStatus::NoLink;
        outcome.message = frontEnd.lastMessage();
        writeOutcome(out, request, outcome);
        return exitStatusOf(outcome.status);
    }
    CommandOutcome outcome;
    {
        const ElapsedTimeLine elapsed(messages, std::string(command.words),
                                      command.isReport && platform::isTerminal(err));
        outcome = command.run(session, request);
    }
    if (outcome.status == CommandStatus::Stopped) messages.line("ptk-cli: " + outcome.message);
    writeOutcome(out, request, outcome);
    return exitStatusOf(outcome.status);
}

}  // namespace ptk::cli
