// The real ptk-inspector against ptk-sim on a pseudo-terminal: what reaches the register when the
// program starts, seen from the simulator's log.
#include <gtest/gtest.h>

#include <thread>

#include "e2e_support.h"

namespace ptk::e2e {
namespace {

using namespace std::chrono_literals;

// The part of a command line of ptk-sim's log that names the command: "0x45 short status: ...".
std::string commandOf(const std::string& line) {
    const std::size_t start = line.find("command| ") + 9;
    return line.substr(start, line.find(':', start) - start);
}

std::vector<std::string> commandsOf(const std::vector<std::string>& lines) {
    std::vector<std::string> commands;
    for (const std::string& line : lines) commands.push_back(commandOf(line));
    return commands;
}

TEST(InspectorEndToEnd, ConnectsAndTakesTheRegisterOutOfItsMode) {
    SimulatedWorkplace workplace({"--mode", "0x01"});
    ASSERT_TRUE(workplace.simReady()) << readFile(workplace.simLog());
    ChildProcess& inspector = workplace.startInspector();

    ASSERT_TRUE(waitForText(workplace.simLog(), "leave mode", workplace.sim(), 30s))
        << "ptk-sim:\n"
        << readFile(workplace.simLog()) << "\nptk-inspector:\n"
        << readFile(workplace.inspectorLog());
    // The program has nothing more to say once connected.
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(inspector.running()) << readFile(workplace.inspectorLog());

    const std::vector<std::string> lines = workplace.commandLines();
    EXPECT_EQ(commandsOf(lines),
              (std::vector<std::string>{"0xE0 probe", "0x45 short status", "0x52 leave mode"}))
        << readFile(workplace.simLog());
    // The link password of the settings file opens every message.
    for (const std::string& line : lines)
        EXPECT_NE(line.find(": 73 01 "), std::string::npos) << line;
    EXPECT_EQ(lines.front().find("error"), std::string::npos);
}

TEST(InspectorEndToEnd, RegisterInSelectionModeGetsNoFurtherCommand) {
    SimulatedWorkplace workplace({});
    ASSERT_TRUE(workplace.simReady()) << readFile(workplace.simLog());
    ChildProcess& inspector = workplace.startInspector();

    ASSERT_TRUE(waitForText(workplace.simLog(), "short status", workplace.sim(), 30s))
        << readFile(workplace.simLog()) << readFile(workplace.inspectorLog());
    std::this_thread::sleep_for(500ms);
    EXPECT_TRUE(inspector.running());
    EXPECT_EQ(commandsOf(workplace.commandLines()),
              (std::vector<std::string>{"0xE0 probe", "0x45 short status"}));
}

}  // namespace
}  // namespace ptk::e2e
