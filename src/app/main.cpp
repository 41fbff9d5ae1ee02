// Program start: the command line, the trace when asked for, the application, the shared state,
// all windows, the message loop.

#include <QApplication>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/Main.h"
#include "app/inspector_command_line.h"
#include "app/windows.h"
#include "link/session.h"
#include "platform/clock.h"
#include "platform/console.h"
#include "platform/serial_device.h"
#include "settings/settings_files.h"
#include "trace/session_trace.h"
#include "trace/tracing_serial_device.h"
#include "ui/qt_front_end.h"

int main(int argc, char* argv[]) {
    // Read before the application exists, so that --help and a refusal need no display.
    const ptk::InspectorCommandLine commandLine =
        ptk::readInspectorCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (commandLine.action != ptk::InspectorCommandLine::Action::Run) {
        ptk::platform::reachStartingConsole();
    }
    if (const auto exitCode = ptk::answerWithoutRunning(commandLine, stdout, stderr)) {
        return *exitCode;
    }
    std::unique_ptr<ptk::trace::ExchangeTrace> trace;
    if (!commandLine.tracePath.empty()) {
        std::string error;
        trace = ptk::trace::ExchangeTrace::open(commandLine.tracePath, ptk::trace::Role::Computer,
                                                "ptk-inspector " PTK_VERSION, {}, error);
        if (!trace) {
            ptk::platform::reachStartingConsole();
            std::fprintf(stderr, "ptk-inspector: %s\n", error.c_str());
            return 1;
        }
    }

    // The arguments are ours alone: Qt is given none of them to interpret.
    int applicationArgc = 1;
    QApplication application(applicationArgc, argv);
    QApplication::setApplicationName(QStringLiteral("ptk-inspector"));
    QApplication::setApplicationVersion(QStringLiteral(PTK_VERSION));

    ptk::platform::SystemClock clock;
    ptk::platform::SystemSerialOpener systemOpener;
    ptk::trace::TracingSerialOpener opener(systemOpener, trace.get());
    ptk::ui::QtFrontEnd frontEnd;
    ptk::Session session(frontEnd, clock, opener);
    if (trace) ptk::trace::followSession(*trace, session);
    // The settings files live in the working directory.
    ptk::ui::Windows windows(session, frontEnd, ptk::SettingsFiles{});

    windows.fm_MainFr->show();
    return QApplication::exec();
}
