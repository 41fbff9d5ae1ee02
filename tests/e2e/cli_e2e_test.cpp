// ptk-cli against ptk-sim on a pseudo-terminal: each subcommand's exit status and JSON fields, the
// gate that sends nothing, and a report stopped by SIGINT.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <QJsonDocument>
#include <QJsonObject>

#include <cstdlib>
#include <map>

#include "e2e_support.h"

namespace ptk::e2e {
namespace {

using namespace std::chrono_literals;

std::filesystem::path cliProgram() {
    const char* installed = std::getenv("PTK_E2E_CLI");
    return installed && *installed ? std::filesystem::path(installed)
                                   : std::filesystem::path(PTK_CLI_PATH);
}

// A fiscalised register with a fiscal memory of 25 shifts, whose reports take the given times.
std::vector<std::string> registerArgs(const std::string& reportSeconds,
                                      const std::string& emergencySeconds) {
    return {"--fiscalised",
            "--rnm",
            "77",
            "--inn",
            "770123456789",
            "--fiscal-memory",
            "25:2012-03-05:2012-03-07",
            "--report-seconds",
            reportSeconds,
            "--emergency-report-time",
            emergencySeconds};
}

struct CliRun {
    int exitStatus = -1;
    QJsonObject json;
    std::string err;
};

// ptk-cli --json in the workplace, whose settings files point it at the register.
CliRun runCli(SimulatedWorkplace& workplace, const std::vector<std::string>& args,
              const std::function<void(ChildProcess&)>& meanwhile = {}) {
    const std::filesystem::path out = workplace.directory().path() / "cli.out";
    const std::filesystem::path err = workplace.directory().path() / "cli.err";
    std::vector<std::string> all = {"--json"};
    all.insert(all.end(), args.begin(), args.end());
    int status = -1;
    {
        ChildProcess cli(cliProgram(), all, workplace.directory().path(), err, {}, out);
        if (meanwhile) meanwhile(cli);
        status = cli.waitForExit(120s);
        if (status == -1) cli.kill();
    }
    CliRun run;
    run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.json = QJsonDocument::fromJson(QByteArray::fromStdString(readFile(out))).object();
    run.err = readFile(err);
    return run;
}

struct Case {
    std::vector<std::string> args;
    int exitStatus;
    std::map<std::string, std::string> fields;  // "code" is the result code, as a number
};

const Case kCases[] = {
    {{"status"}, 0, {{"mode", "0"}}},
    {{"state"}, 0, {{"serialNumber", "00123456"}, {"lastClosedShift", "0025"}}},
    {{"registration"}, 0, {{"inn", "770123456789"}, {"rnm", "0000000077"}}},
    {{"eklz-state"}, 0, {{"eklzNumber", "1234567890"}}},
    {{"fm-ranges", "--access-password", "55555555"},
     0,
     {{"firstDate", "05/03/12"}, {"lastDate", "07/03/12"}, {"lastShift", "0025"}}},
    {{"fm-ranges", "--access-password", "1"}, 1, {{"code", "140"}}},
    {{"header-lines", "--access-password", "44444444"}, 0, {{"line1", "МАГАЗИН"}}},
    {{"report", "fm", "--shifts", "1..3", "--short", "--access-password", "55555555"}, 0, {}},
    {{"report", "fm", "--dates", "05.03.2012..06.03.2012", "--access-password", "55555555"}, 0, {}},
    // A register whose EKLZ was never activated refuses its reports.
    {{"report", "eklz", "activation-totals", "--access-password", "66666666"},
     1,
     {{"code", "212"}}},
    {{"report", "eklz", "document", "--kpk", "12", "--access-password", "66666666"}, 1, {}},
    // The shift is closed already.
    {{"report", "z", "--yes", "--access-password", "33333333"}, 1, {{"code", "143"}}},
    {{"report", "z", "--access-password", "33333333"}, 2, {}},
    {{"clock", "set", "--date", "01.02.2026", "--time", "10:11:12"}, 2, {}},
    // A date far from the register's is taken the second time.
    {{"clock", "set", "--yes", "--date", "01.02.2026", "--time", "10:11:12"}, 0, {{"code", "0"}}},
    {{"report", "emergency"}, 0, {}},
    {{"--port", "COM8", "status"}, 3, {}},
    // Every mode entered above was left again.
    {{"status"}, 0, {{"mode", "0"}}},
};

std::string valueOf(const QJsonObject& json, const std::string& name) {
    if (name == "code") return std::to_string(json.value("code").toInt(-1));
    return json.value("fields")
        .toObject()
        .value(QString::fromStdString(name))
        .toString()
        .toStdString();
}

TEST(CliEndToEnd, EachSubcommandAgainstTheRegister) {
    SimulatedWorkplace workplace(registerArgs("1", "0.5"));
    ASSERT_TRUE(workplace.simReady()) << readFile(workplace.simLog());
    for (const Case& c : kCases) {
        const std::string command = ::testing::PrintToString(c.args);
        const std::size_t sentBefore = workplace.commandLines().size();
        const CliRun run = runCli(workplace, c.args);
        EXPECT_EQ(run.exitStatus, c.exitStatus) << command << "\n" << run.err;
        for (const auto& [name, value] : c.fields) {
            EXPECT_EQ(valueOf(run.json, name), value) << command << " " << name;
        }
        // A refused command line sends nothing and prints nothing on standard output.
        if (c.exitStatus == 2) {
            EXPECT_EQ(workplace.commandLines().size(), sentBefore) << command;
            EXPECT_TRUE(run.json.isEmpty()) << command;
        } else if (c.exitStatus != 3) {
            EXPECT_FALSE(run.json.value("command").toString().isEmpty()) << command;
        }
    }
}

// A report stopped with Ctrl+C: status 4, and the next ptk-cli finds the port and the register.
TEST(CliEndToEnd, ReportStoppedBySigintEndsWithStatusFourAndFreesThePort) {
    const struct {
        std::vector<std::string> args;
        std::string startedOnTheLine;
    } stops[] = {
        {{"report", "fm", "--shifts", "1..25", "--access-password", "55555555"}, "enter mode"},
        {{"report", "emergency"}, "emergency report"},
    };
    // The report by shifts ends by itself soon after the stop, so the register answers again.
    SimulatedWorkplace workplace(registerArgs("2", "30"));
    ASSERT_TRUE(workplace.simReady()) << readFile(workplace.simLog());
    for (const auto& stop : stops) {
        const CliRun stopped = runCli(workplace, stop.args, [&](ChildProcess& cli) {
            ASSERT_TRUE(
                waitForText(workplace.simLog(), stop.startedOnTheLine, workplace.sim(), 20s));
            ::kill(cli.pid(), SIGINT);
        });
        EXPECT_EQ(stopped.exitStatus, 4) << stopped.err;
        EXPECT_EQ(stopped.json.value("status").toString(), "stopped");
        EXPECT_EQ(runCli(workplace, {"status"}).exitStatus, 0) << readFile(workplace.simLog());
    }
}

}  // namespace
}  // namespace ptk::e2e
