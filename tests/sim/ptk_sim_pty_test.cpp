// ptk-sim as a program: started in a scratch directory, reached through ./COM9 by the link code
// with the POSIX serial backend and the real clock.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "link/session.h"
#include "platform/clock.h"
#include "platform/serial_device.h"
#include "support/recording_front_end.h"

namespace ptk::testing {
namespace {

namespace fs = std::filesystem;

// A scratch directory that is the working directory while the object lives.
class ScratchDirectory {
public:
    ScratchDirectory() : previous_(fs::current_path()) {
        std::string pattern = (fs::temp_directory_path() / "ptk-sim-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
        fs::current_path(path_);
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        fs::current_path(previous_, ignored);
        fs::remove_all(path_, ignored);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;
    const fs::path& path() const { return path_; }

private:
    fs::path previous_;
    fs::path path_;
};

// ptk-sim running as a child process with its standard output in a file; stopped with SIGTERM
// (and reaped) when the object goes.
class SimProcess {
public:
    SimProcess(const std::vector<std::string>& args, const fs::path& logPath) {
        pid_ = ::fork();
        if (pid_ == 0) {
            std::FILE* log = std::freopen(logPath.c_str(), "w", stdout);
            if (!log || ::dup2(::fileno(stdout), STDERR_FILENO) < 0) ::_exit(127);
            std::vector<char*> argv;
            std::string program = PTK_SIM_PATH;
            argv.push_back(program.data());
            std::vector<std::string> copies(args);
            for (std::string& arg : copies) argv.push_back(arg.data());
            argv.push_back(nullptr);
            ::execv(program.c_str(), argv.data());
            ::_exit(127);
        }
    }
    ~SimProcess() { stop(); }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    bool started() const { return pid_ > 0 || exited_; }
    bool running() {
        if (pid_ <= 0) return false;
        if (::waitpid(pid_, &status_, WNOHANG) == 0) return true;
        pid_ = -1;
        exited_ = true;
        return false;
    }
    // Returns the wait status.
    int stop() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, &status_, 0);
            pid_ = -1;
            exited_ = true;
        }
        return status_;
    }

private:
    pid_t pid_ = -1;
    bool exited_ = false;
    int status_ = -1;
};

bool waitForPath(const fs::path& path, SimProcess& process) {
    for (int i = 0; i < 500 && process.running(); ++i) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) == 0) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

CommandCall formCall(const MessageBuilder& message, std::size_t answerLength, bool acceptShort,
                     ErrorCodeRule rule) {
    CommandCall call;
    call.message = message.data();
    call.messageLength = message.size();
    call.answerLength = answerLength;
    call.acceptShortAnswer = acceptShort;
    call.errorCode = rule;
    return call;
}

TEST(PtkSimPtyTest, ServesTheLinkThroughCom9) {
    ScratchDirectory scratch;
    const fs::path logPath = scratch.path() / "ptk-sim.log";
    SimProcess sim(
        {"--link", "COM9", "--mode", "0x04", "--serial", "00123456", "--nak", "1", "--cover-open"},
        logPath);
    ASSERT_TRUE(sim.started());
    ASSERT_TRUE(waitForPath("COM9", sim)) << readFile(logPath);

    RecordingFrontEnd frontEnd;
    platform::SystemClock clock;
    platform::SystemSerialOpener opener;
    Session session(frontEnd, clock, opener);
    session.LinkPassword = "7301";
    ASSERT_TRUE(session.channel.OpenPort(8));
    ASSERT_TRUE(session.channel.ConfigurePort(8, 4));
    const auto answerByte = [&](int k) { return session.exchange.AnswerCopy[k + 1]; };

    // The probe, with the frame refused once on request and sent again.
    MessageBuilder probe = session.message(0xE0);
    probe.byte(0).byte(0);
    CommandCall probeCall = formCall(probe, 7, true, ErrorCodeRule::AnswerByte1);
    probeCall.unknownProbeGives22 = true;
    EXPECT_EQ(session.exchange.SendFormCommand(probeCall), 1);
    EXPECT_EQ(answerByte(0), 0xE0);
    EXPECT_EQ(answerByte(2), 0x01);

    const MessageBuilder status = session.message(0x45);
    EXPECT_EQ(session.exchange.SendFormCommand(formCall(status, 55, true, ErrorCodeRule::None)), 1);
    EXPECT_EQ(answerByte(1), 0x04);  // mode byte
    EXPECT_EQ(answerByte(2), 0x04);  // printer flags: cover open

    const MessageBuilder state = session.message(0x3F);
    EXPECT_EQ(
        session.exchange.SendFormCommand(formCall(state, 55, true, ErrorCodeRule::StateAnswer)), 1);
    EXPECT_EQ(answerByte(0), 0x44);
    EXPECT_EQ(answerByte(10), 0x00);
    EXPECT_EQ(answerByte(11), 0x12);
    EXPECT_EQ(answerByte(12), 0x34);
    EXPECT_EQ(answerByte(13), 0x56);

    const MessageBuilder leave = session.message(0x52);
    EXPECT_EQ(
        session.exchange.SendFormCommand(formCall(leave, 6, false, ErrorCodeRule::AnswerByte1)), 1);
    EXPECT_EQ(session.exchange.SendFormCommand(formCall(status, 55, true, ErrorCodeRule::None)), 1);
    EXPECT_EQ(answerByte(1), 0x00);
    EXPECT_TRUE(frontEnd.boxes.empty()) << frontEnd.boxTexts().front();

    session.channel.ClosePort(8);
    const int exitStatus = sim.stop();
    EXPECT_TRUE(WIFEXITED(exitStatus) && WEXITSTATUS(exitStatus) == 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status("COM9"))) << "the link outlived ptk-sim";
    const std::string log = readFile(logPath);
    EXPECT_NE(log.find("| 0xE0 probe: 73 01 E0 00 00 -> E0 00 01 01"), std::string::npos) << log;
    EXPECT_NE(log.find("| 0x52 leave mode: 73 01 52 -> 52 00 00"), std::string::npos) << log;
    EXPECT_NE(log.find("stopped after 5 command(s)"), std::string::npos) << log;
}

TEST(PtkSimPtyTest, RefusesABadOptionWithAMessage) {
    ScratchDirectory scratch;
    const fs::path logPath = scratch.path() / "ptk-sim.log";
    SimProcess sim({"--link", "COM9", "--nak", "many"}, logPath);
    ASSERT_TRUE(sim.started());
    for (int i = 0; i < 500 && sim.running(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_FALSE(sim.running());
    const int status = sim.stop();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2);
    EXPECT_EQ(readFile(logPath), "ptk-sim: bad value for --nak: 'many' (expected N)\n");
    EXPECT_FALSE(fs::exists(fs::symlink_status("COM9")));
}

}  // namespace
}  // namespace ptk::testing
