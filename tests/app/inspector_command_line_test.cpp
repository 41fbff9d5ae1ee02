// ptk-inspector's command line: what each set of arguments asks for, and what is printed where.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/inspector_command_line.h"

namespace ptk {
namespace {

using Action = InspectorCommandLine::Action;

struct ArgumentsCase {
    std::vector<std::string> args;
    Action action;
    std::string tracePath;
    std::string problem;
};

const ArgumentsCase kCases[] = {
    {{}, Action::Run, "", ""},
    {{"--trace", "x.log"}, Action::Run, "x.log", ""},
    {{"--trace=/tmp/a b.log"}, Action::Run, "/tmp/a b.log", ""},
    {{"--trace", "--help"}, Action::Run, "--help", ""},  // a value, as getopt would take it
    {{"--help"}, Action::Help, "", ""},
    {{"--version"}, Action::Version, "", ""},
    {{"--version", "--help"}, Action::Help, "", ""},
    {{"--trace", "t.log", "--help"}, Action::Help, "t.log", ""},
    {{"--trace"}, Action::Refuse, "", "--trace needs a file name"},
    {{"--trace="}, Action::Refuse, "", "--trace needs a file name"},
    {{"--trace", ""}, Action::Refuse, "", "--trace needs a file name"},
    {{"--trace", "a", "--trace", "b"}, Action::Refuse, "", "--trace is given twice"},
    {{"-platform", "offscreen"}, Action::Refuse, "", "unknown option '-platform'"},
    {{"--help", "--verbose"}, Action::Refuse, "", "unknown option '--verbose'"},
    {{"COM1"}, Action::Refuse, "", "unexpected argument 'COM1'"},
    {{"-"}, Action::Refuse, "", "unknown option '-'"},
};

TEST(InspectorCommandLine, EachSetOfArguments) {
    for (const ArgumentsCase& c : kCases) {
        std::string joined;
        for (const std::string& arg : c.args) joined += "[" + arg + "]";
        const InspectorCommandLine line = readInspectorCommandLine(c.args);
        EXPECT_EQ(line.action, c.action) << joined;
        if (c.action != Action::Refuse) {
            EXPECT_EQ(line.tracePath, c.tracePath) << joined;
        }
        EXPECT_EQ(line.problem, c.problem) << joined;
    }
}

std::string contentOf(std::FILE* file) {
    std::rewind(file);
    std::string text;
    for (int c; (c = std::fgetc(file)) != EOF;) text += static_cast<char>(c);
    return text;
}

struct Printed {
    std::optional<int> exitCode;
    std::string out, err;
};

Printed answer(const std::vector<std::string>& args) {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    Printed printed;
    printed.exitCode = answerWithoutRunning(readInspectorCommandLine(args), out, err);
    printed.out = contentOf(out);
    printed.err = contentOf(err);
    std::fclose(out);
    std::fclose(err);
    return printed;
}

TEST(InspectorCommandLine, HelpAndVersionGoToStandardOutputWithSuccess) {
    const Printed help = answer({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out, inspectorUsage());
    EXPECT_EQ(help.err, "");
    EXPECT_NE(help.out.find("--trace FILE"), std::string::npos);

    const Printed version = answer({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, std::string("ptk-inspector ") + PTK_VERSION + "\n");
    EXPECT_EQ(version.err, "");
}

TEST(InspectorCommandLine, ARefusalGoesToStandardErrorWithTheUsage) {
    const Printed refused = answer({"--frobnicate"});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err,
              "ptk-inspector: unknown option '--frobnicate'\n\n" + std::string(inspectorUsage()));
}

TEST(InspectorCommandLine, RunningPrintsNothing) {
    const Printed run = answer({"--trace", "t.log"});
    EXPECT_FALSE(run.exitCode.has_value());
    EXPECT_EQ(run.out + run.err, "");
}

}  // namespace
}  // namespace ptk
