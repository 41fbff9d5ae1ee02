// The real programs' command lines and exchange traces: --help and --version without a display,
// refusals, a trace file that cannot be opened, both ends tracing the connect sequence, and a
// trace that survives its program being killed in the middle of a transaction.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <random>
#include <regex>
#include <sstream>
#include <thread>

#include "e2e_support.h"

namespace ptk::e2e {
namespace {

using namespace std::chrono_literals;

int exitCode(int status) {
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1000 - status;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The lines of a trace without their times.
std::vector<std::string> untimed(const std::string& text) {
    std::vector<std::string> lines;
    for (const std::string& line : linesOf(text)) {
        const std::size_t time = line.find_first_not_of(' ');
        lines.push_back(line.substr(line.find(' ', time) + 1));
    }
    return lines;
}

::testing::AssertionResult appearInOrder(const std::vector<std::string>& lines,
                                         const std::vector<std::string>& wanted) {
    std::size_t next = 0;
    for (const std::string& line : lines) {
        if (next < wanted.size() && line == wanted[next]) ++next;
    }
    if (next == wanted.size()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "missing, in order: '" << wanted[next] << "'";
}

// Every line whole: a time with three decimals, a blank, something; the text ends with a
// newline.
::testing::AssertionResult everyLineWhole(const std::string& text) {
    static const std::regex kLine(R"( *[0-9]+\.[0-9]{3} \S.*)");
    if (text.empty() || text.back() != '\n') {
        return ::testing::AssertionFailure() << "does not end with a newline:\n" << text;
    }
    for (const std::string& line : linesOf(text)) {
        if (!std::regex_match(line, kLine)) {
            return ::testing::AssertionFailure() << "not a whole line: '" << line << "'";
        }
    }
    return ::testing::AssertionSuccess();
}

unsigned permissions(const std::filesystem::path& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 0777;
}

// No display at all: a program that needed one would fail to start.
const std::vector<std::string> kNoDisplay = {"QT_QPA_PLATFORM=xcb", "DISPLAY=", "WAYLAND_DISPLAY="};

TEST(InspectorCommandLine, HelpAndVersionWithoutADisplay) {
    const Finished help = runToEnd(inspectorProgram(), {"--help"}, kNoDisplay);
    EXPECT_EQ(exitCode(help.status), 0) << help.err;
    EXPECT_EQ(help.out.rfind("Usage: ptk-inspector [--trace FILE]\n", 0), 0u) << help.out;
    EXPECT_EQ(help.err, "");

    const Finished version = runToEnd(inspectorProgram(), {"--version"}, kNoDisplay);
    EXPECT_EQ(exitCode(version.status), 0) << version.err;
    EXPECT_EQ(version.out, std::string("ptk-inspector ") + PTK_VERSION + "\n");
    EXPECT_EQ(version.err, "");
}

TEST(InspectorCommandLine, AnyOtherArgumentIsRefusedWithTheUsage) {
    const std::vector<std::vector<std::string>> refused = {
        {"--frobnicate"}, {"COM9"}, {"--trace"}, {"-platform", "offscreen"}, {"--help", "-v"}};
    for (const auto& args : refused) {
        const Finished run = runToEnd(inspectorProgram(), args, kNoDisplay);
        EXPECT_EQ(exitCode(run.status), 2) << args[0];
        EXPECT_EQ(run.out, "") << args[0];
        EXPECT_NE(run.err.find("Usage: ptk-inspector"), std::string::npos) << run.err;
    }
}

TEST(Trace, AFileThatCannotBeOpenedIsRefusedAtStart) {
    ScratchDirectory directory;
    const std::string missingFolder = (directory.path() / "no" / "trace.log").string();
    const std::string folder = directory.path().string();
    for (const std::string& path : {missingFolder, folder}) {
        const Finished inspector = runToEnd(inspectorProgram(), {"--trace", path}, kNoDisplay);
        EXPECT_EQ(exitCode(inspector.status), 1);
        EXPECT_EQ(
            inspector.err.rfind("ptk-inspector: cannot open the trace file '" + path + "': ", 0),
            0u)
            << inspector.err;

        const Finished sim = runToEnd(simProgram(), {"--link", "COM5", "--trace", path});
        EXPECT_EQ(exitCode(sim.status), 1);
        EXPECT_EQ(sim.err.rfind("ptk-sim: cannot open the trace file '" + path + "': ", 0), 0u)
            << sim.err;
        EXPECT_EQ(sim.out, "") << "refused before serving anything";
    }
    EXPECT_FALSE(std::filesystem::exists(directory.path() / "no"));
}

TEST(Trace, BothEndsTraceTheConnectSequence) {
    SimulatedWorkplace workplace({"--mode", "0x01", "--trace", "sim.trace"});
    ASSERT_TRUE(workplace.simReady()) << readFile(workplace.simLog());
    ChildProcess& inspector = workplace.startInspector({"--trace", "pc.trace"});
    const auto pcTrace = workplace.directory().path() / "pc.trace";
    const auto simTrace = workplace.directory().path() / "sim.trace";
    ASSERT_TRUE(waitForText(pcTrace, "end of 0x52 leave mode", inspector, 30s))
        << readFile(pcTrace) << readFile(workplace.inspectorLog());
    ASSERT_TRUE(waitForText(simTrace, "pc>reg 06 (ACK)\n", workplace.sim(), 5s));
    std::this_thread::sleep_for(300ms);  // the sim's last lines

    const std::string ok = "error 00 - Ошибок нет. Команда выполнена.";
    const std::vector<std::string> frames = {
        "pc>reg command 0xE0 probe, link password 73 01, data 00 00",
        "reg>pc answer to 0xE0 probe: E0 00 01 01, " + ok,
        "pc>reg command 0x45 short status, link password 73 01, no data",
        "reg>pc answer to 0x45 short status: 45 01 00 00, mode byte 0x01",
        "pc>reg command 0x52 leave mode, link password 73 01, no data",
        "reg>pc answer to 0x52 leave mode: 52 00 00, " + ok,
    };
    const auto pcLines = untimed(readFile(pcTrace));
    const auto simLines = untimed(readFile(simTrace));
    EXPECT_TRUE(appearInOrder(pcLines, frames)) << readFile(pcTrace);
    EXPECT_TRUE(appearInOrder(simLines, frames)) << readFile(simTrace);
    // The port named as ptk-sim names it: the link and the pseudo-terminal behind it.
    EXPECT_NE(readFile(pcTrace).find("port COM9 opened (./COM9 -> /dev/pts/"), std::string::npos);
    EXPECT_TRUE(appearInOrder(
        pcLines, {"end of 0xE0 probe: result 1 (done)", "end of 0x45 short status: result 1 (done)",
                  "end of 0x52 leave mode: result 1 (done)"}));
    EXPECT_EQ(pcLines.front().rfind("ptk-inspector " PTK_VERSION " trace started ", 0), 0u);
    EXPECT_EQ(simLines.front().rfind("ptk-sim " PTK_VERSION " trace started ", 0), 0u);
    EXPECT_EQ(permissions(pcTrace), 0600u);
    EXPECT_EQ(permissions(simTrace), 0600u);
    EXPECT_TRUE(everyLineWhole(readFile(pcTrace)));
}

TEST(Trace, SurvivesBothProgramsBeingKilledInTheMiddleOfATransaction) {
    // The register works 30 s on the probe: both are killed while the transaction is open.
    SimulatedWorkplace workplace({"--delay-answer", "30", "--trace", "sim.trace"});
    ASSERT_TRUE(workplace.simReady()) << readFile(workplace.simLog());
    ChildProcess& inspector = workplace.startInspector({"--trace", "pc.trace"});
    const auto pcTrace = workplace.directory().path() / "pc.trace";
    const auto simTrace = workplace.directory().path() / "sim.trace";
    ASSERT_TRUE(waitForText(pcTrace, "pc>reg 04 (EOT)\n", inspector, 30s)) << readFile(pcTrace);
    ASSERT_TRUE(waitForText(simTrace, "pc>reg 04 (EOT)\n", workplace.sim(), 5s));
    inspector.kill();
    workplace.sim().kill();

    for (const auto& path : {pcTrace, simTrace}) {
        const std::string text = readFile(path);
        EXPECT_TRUE(everyLineWhole(text)) << path;
        const auto lines = untimed(text);
        EXPECT_EQ(lines.back(), "pc>reg 04 (EOT)") << text;
        EXPECT_TRUE(appearInOrder(lines, {"pc>reg command 0xE0 probe, link password 73 01, "
                                          "data 00 00"}))
            << text;
    }
}

TEST(Trace, KilledAtRandomMomentsLeavesOnlyWholeLines) {
    std::mt19937 random(1505);
    for (int round = 0; round < 3; ++round) {
        SimulatedWorkplace workplace({"--mode", "0x01"});
        ASSERT_TRUE(workplace.simReady()) << readFile(workplace.simLog());
        ChildProcess& inspector = workplace.startInspector({"--trace", "pc.trace"});
        const auto pcTrace = workplace.directory().path() / "pc.trace";
        ASSERT_TRUE(waitForText(pcTrace, "port COM9 opened", inspector, 30s));
        std::this_thread::sleep_for(std::chrono::milliseconds(random() % 700));
        inspector.kill();
        EXPECT_TRUE(everyLineWhole(readFile(pcTrace))) << "round " << round;
    }
}

}  // namespace
}  // namespace ptk::e2e
