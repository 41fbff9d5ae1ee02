// ptk-cli: the register's queries and reports from a terminal or a script. See --help.

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

#include "cli/cli_program.h"
#include "platform/interrupt.h"

int main(int argc, char* argv[]) {
    ptk::platform::useUtf8Console();
    // The arguments are ours alone: Qt is given none of them to interpret. The application object
    // only decodes the arguments in the system's way.
    QCoreApplication application(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    return ptk::cli::runCli(arguments, stdout, stderr);
}
