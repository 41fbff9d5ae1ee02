#include "cli/command_line.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace ptk::cli {
namespace {

using Action = CliRequest::Action;

QStringList argumentsOf(const std::vector<std::string>& words) {
    QStringList list;
    for (const std::string& word : words) list << QString::fromStdString(word);
    return list;
}

struct Case {
    std::vector<std::string> arguments;
    Action action;
    // Run: the command's words; Help: the topic; Usage: a part of the problem told.
    std::string expected;
    std::function<void(const CliRequest&)> check = {};
};

const Case kCases[] = {
    // Commands, with options before and after their words.
    {{"--json", "state"}, Action::Run, "state", [](const CliRequest& r) { EXPECT_TRUE(r.json); }},
    {{"state", "--json", "--port", "COM9"},
     Action::Run,
     "state",
     [](const CliRequest& r) {
         EXPECT_TRUE(r.json);
         EXPECT_EQ(r.connection.portName, "COM9");
         EXPECT_FALSE(r.connection.baudName);
     }},
    {{"--baud=9600", "--password", "0", "status", "--trace", "t.log"},
     Action::Run,
     "status",
     [](const CliRequest& r) {
         EXPECT_EQ(r.connection.baudName, "CBR_9600");
         EXPECT_EQ(r.connection.linkPassword, "0");
         EXPECT_EQ(r.tracePath, "t.log");
     }},
    {{"report", "fm", "--access-password", "30", "--dates", "28.02.2012..01.03.2012", "--short"},
     Action::Run,
     "report fm",
     [](const CliRequest& r) {
         EXPECT_EQ(r.accessPassword, "30");
         EXPECT_EQ(r.dates, (Range<CalendarDate>{{2012, 2, 28}, {2012, 3, 1}}));
         EXPECT_TRUE(r.shortReport);
     }},
    {{"report", "fm", "--access-password", "30", "--shifts", "7..7"},
     Action::Run,
     "report fm",
     [](const CliRequest& r) {
         EXPECT_EQ(r.shifts, (Range<int>{7, 7}));
     }},
    {{"report", "eklz", "document", "--access-password", "12345678", "--kpk", "00001234"},
     Action::Run,
     "report eklz document",
     [](const CliRequest& r) { EXPECT_EQ(r.kpk, "00001234"); }},
    {{"clock", "set", "--date", "29.02.2024", "--time", "23:59:59", "--yes"},
     Action::Run,
     "clock set",
     [](const CliRequest& r) {
         EXPECT_EQ(r.date, (CalendarDate{2024, 2, 29}));
         EXPECT_EQ(r.time, (TimeOfDay{23, 59, 59}));
         EXPECT_TRUE(r.yes);
     }},
    // The gate is the program's business: without --yes the command still reads.
    {{"report", "z", "--access-password", "30"},
     Action::Run,
     "report z",
     [](const CliRequest& r) { EXPECT_FALSE(r.yes); }},

    {{"--help"}, Action::Help, ""},
    {{"report", "fm", "-h"}, Action::Help, "report fm"},
    {{"--version", "state"}, Action::Version, ""},

    // Usage errors.
    {{}, Action::Usage, "no command"},
    {{"--json"}, Action::Usage, "no command"},
    {{"fiscalise"}, Action::Usage, "unknown command 'fiscalise'"},
    {{"report"}, Action::Usage, "'report' needs one of z, fm, eklz, emergency"},
    {{"report", "eklz"}, Action::Usage, "needs one of activation-totals, dates, shifts"},
    {{"state", "now"}, Action::Usage, "'state' takes no argument 'now'"},
    {{"state", "--frobnicate"}, Action::Usage, "frobnicate"},
    {{"state", "--port"}, Action::Usage, "port"},
    {{"state", "--yes"}, Action::Usage, "'state' takes no --yes"},
    {{"status", "--access-password", "1"}, Action::Usage, "takes no --access-password"},
    {{"state", "--port", "COM9", "--port", "COM8"}, Action::Usage, "--port is given twice"},
    {{"state", "--port", "COM0"}, Action::Usage, "--port 'COM0'"},
    {{"state", "--port", "COM257"}, Action::Usage, "--port 'COM257'"},
    {{"state", "--baud", "12345"}, Action::Usage, "--baud '12345'"},
    {{"state", "--password", "12345"}, Action::Usage, "--password '12345'"},
    {{"state", "--password", "12a"}, Action::Usage, "--password '12a'"},
    {{"state", "--trace="}, Action::Usage, "--trace needs a file name"},
    {{"fm-ranges"}, Action::Usage, "'fm-ranges' needs --access-password"},
    {{"header-lines", "--access-password", "123456789"}, Action::Usage, "1 to 8 digits"},
    {{"header-lines", "--access-password", ""}, Action::Usage, "1 to 8 digits"},
    {{"report", "fm", "--access-password", "30"}, Action::Usage, "needs --dates or --shifts"},
    {{"report", "fm", "--access-password", "30", "--dates", "01.03.2012..02.03.2012", "--shifts",
      "1..2"},
     Action::Usage,
     "only one of --dates or --shifts"},
    {{"report", "fm", "--access-password", "30", "--dates", "02.03.2012..01.03.2012"},
     Action::Usage,
     "not backwards"},
    {{"report", "fm", "--access-password", "30", "--dates", "29.02.2013..01.03.2013"},
     Action::Usage,
     "--dates"},
    {{"report", "fm", "--access-password", "30", "--dates", "1.3.2013..2.3.2013"},
     Action::Usage,
     "--dates"},
    {{"report", "fm", "--access-password", "30", "--dates", "01.03.2013"},
     Action::Usage,
     "--dates"},
    {{"report", "fm", "--access-password", "30", "--shifts", "5..2"},
     Action::Usage,
     "not backwards"},
    {{"report", "fm", "--access-password", "30", "--shifts", "0..2"}, Action::Usage, "--shifts"},
    {{"report", "fm", "--access-password", "30", "--shifts", "1..10000"},
     Action::Usage,
     "--shifts"},
    {{"report", "eklz", "dates", "--access-password", "1", "--shifts", "1..2"},
     Action::Usage,
     "takes no --shifts"},
    {{"report", "eklz", "shift-totals", "--access-password", "1", "--shift", "-1"},
     Action::Usage,
     "--shift"},
    {{"report", "eklz", "document", "--access-password", "1", "--kpk", "123456789"},
     Action::Usage,
     "--kpk '123456789'"},
    {{"report", "emergency", "--short"}, Action::Usage, "takes no --short"},
    {{"clock", "set", "--yes"}, Action::Usage, "needs --now or --date"},
    {{"clock", "set", "--now", "--date", "01.01.2020", "--yes"},
     Action::Usage,
     "only one of --now or --date"},
    {{"clock", "set", "--date", "01.01.2020", "--yes"}, Action::Usage, "needs --now or --time"},
    {{"clock", "set", "--date", "01.01.2020", "--time", "24:00:00"}, Action::Usage, "--time"},
    {{"clock", "set", "--date", "01.01.2020", "--time", "9:05:07"}, Action::Usage, "--time"},
};

TEST(CliCommandLine, ReadsEveryCaseOfTheTable) {
    for (const Case& c : kCases) {
        std::string line;
        for (const std::string& word : c.arguments) line += " " + word;
        SCOPED_TRACE("ptk-cli" + line);
        const CliRequest request = readCliCommandLine(argumentsOf(c.arguments));
        ASSERT_EQ(request.action, c.action) << request.problem;
        switch (c.action) {
            case Action::Run:
                ASSERT_NE(request.command, nullptr);
                EXPECT_EQ(request.command->words, c.expected);
                break;
            case Action::Help:
                EXPECT_EQ(request.helpTopic, c.expected);
                break;
            case Action::Usage:
                EXPECT_NE(request.problem.find(c.expected), std::string::npos) << request.problem;
                break;
            case Action::Version:
                break;
        }
        if (c.check) c.check(request);
    }
}

// Every command of the table reads with the options it says it needs, and its usage shows it:
// a command whose table entry contradicts itself cannot be typed at all.
TEST(CliCommandLine, EveryCommandReadsWithWhatItNeedsAndHasItsUsage) {
    const std::pair<unsigned, std::vector<std::string>> kSamples[] = {
        {kDatesOption, {"--dates", "01.03.2013..05.03.2013"}},
        {kShiftsOption, {"--shifts", "1..7"}},
        {kShiftOption, {"--shift", "3"}},
        {kKpkOption, {"--kpk", "1234"}},
        {kNowOption, {"--now"}},
        {kDateOption, {"--date", "05.03.2013"}},
        {kTimeOption, {"--time", "12:00:00"}},
    };
    for (const Subcommand& command : subcommands()) {
        SCOPED_TRACE(std::string(command.words));
        std::vector<std::string> arguments;
        for (std::size_t at = 0, space = 0; space != std::string_view::npos; at = space + 1) {
            space = command.words.find(' ', at);
            arguments.emplace_back(command.words.substr(at, space - at));
        }
        unsigned needed = command.required;
        for (const unsigned group : command.exactlyOneOf) {
            if ((needed & group) == 0 && group != 0) needed |= group & (~group + 1);
        }
        for (const auto& [bit, words] : kSamples) {
            if (needed & bit) arguments.insert(arguments.end(), words.begin(), words.end());
        }
        if (command.mode != 0) arguments.insert(arguments.end(), {"--access-password", "1"});
        if (!command.wouldDo.empty()) arguments.push_back("--yes");

        const CliRequest request = readCliCommandLine(argumentsOf(arguments));
        ASSERT_EQ(request.action, Action::Run) << request.problem;
        EXPECT_EQ(request.command, &command);
        EXPECT_NE(cliUsage({}).find("ptk-cli " + std::string(command.words)), std::string::npos);
        EXPECT_NE(cliUsage(command.words).find(std::string(command.summary)), std::string::npos);
    }
}

}  // namespace
}  // namespace ptk::cli
