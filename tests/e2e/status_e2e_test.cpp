// The real ptk-inspector on a virtual display against ptk-sim: the state report and the
// registration report opened from the menu as the inspector opens them, with the mouse and the
// keyboard. Needs Xvfb and xdotool; without them the tests say so and skip.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "e2e_support.h"

namespace ptk::e2e {
namespace {

using namespace std::chrono_literals;

bool installed(const char* program) {
    return std::system((std::string("command -v ") + program + " >/dev/null 2>&1").c_str()) == 0;
}

// An X server of our own, on the display number it picks itself.
class VirtualDisplay {
public:
    explicit VirtualDisplay(const std::filesystem::path& directory) : log_(directory / "xvfb.log") {
        server_ = std::make_unique<ChildProcess>(
            "/usr/bin/Xvfb",
            std::vector<std::string>{"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten",
                                     "tcp"},
            directory, log_);
        for (int i = 0; i < 100 && name_.empty() && server_->running(); ++i) {
            const std::string text = readFile(log_);
            const std::size_t end = text.find('\n');
            if (end != std::string::npos) name_ = ":" + text.substr(0, end);
            std::this_thread::sleep_for(50ms);
        }
    }
    const std::string& name() const { return name_; }

private:
    std::filesystem::path log_;
    std::unique_ptr<ChildProcess> server_;
    std::string name_;
};

class StatusEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        if (!installed("Xvfb") || !installed("xdotool")) {
            GTEST_SKIP() << "Xvfb and xdotool are needed to drive the windows";
        }
        display_ = std::make_unique<VirtualDisplay>(workplace_.directory().path());
        ASSERT_FALSE(display_->name().empty()) << "the virtual display did not start";
        ASSERT_TRUE(workplace_.simReady()) << readFile(workplace_.simLog());
        inspector_ = std::make_unique<ChildProcess>(
            PTK_INSPECTOR_PATH, std::vector<std::string>{}, workplace_.directory().path(),
            workplace_.directory().path() / "ptk-inspector.log",
            std::vector<std::string>{"QT_QPA_PLATFORM=xcb", "DISPLAY=" + display_->name()});
        // Connected once the short status has gone out and nothing else follows.
        ASSERT_TRUE(waitForText(workplace_.simLog(), "short status", workplace_.sim(), 30s))
            << "ptk-sim:\n"
            << readFile(workplace_.simLog()) << "\nptk-inspector:\n"
            << readFile(workplace_.directory().path() / "ptk-inspector.log") << "\nXvfb:\n"
            << readFile(workplace_.directory().path() / "xvfb.log");
        mainWindow_ =
            xdotool("search --sync --onlyvisible --name 'Программа налогового инспектора'");
        ASSERT_FALSE(mainWindow_.empty());
        std::this_thread::sleep_for(500ms);
    }

    // Runs xdotool on our display; its first line of output.
    std::string xdotool(const std::string& arguments) {
        const std::string command =
            "DISPLAY=" + display_->name() + " timeout 20 xdotool " + arguments + " 2>/dev/null";
        std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
        if (!pipe) return {};
        char line[256] = {};
        if (std::fgets(line, sizeof line, pipe.get()) == nullptr) return {};
        std::string text(line);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        return text;
    }

    // Opens "Конфигуратор" with the mouse and chooses its item number `item` (separators are
    // skipped by the keyboard) with the arrow keys and Enter.
    void chooseConfiguratorItem(int item) {
        xdotool("mousemove --window " + mainWindow_ + " 30 8 click 1");
        std::this_thread::sleep_for(300ms);
        std::string keys;
        for (int i = 0; i < item; ++i) keys += " Down";
        xdotool("key --delay 100" + keys + " Return");
    }

    std::string visibleWindow(const std::string& caption) {
        return xdotool("search --sync --onlyvisible --name '" + caption + "'");
    }

    std::string commandsLogged() {
        std::string all;
        for (const std::string& line : workplace_.commandLines()) all += line + "\n";
        return all;
    }

    SimulatedWorkplace workplace_{{"--fiscalised", "--shift-open", "--serial", "4567", "--inn",
                                   "770123456789", "--rnm", "123456", "--eklz-activation", "2",
                                   "--eklz-activations-left", "3"}};
    std::unique_ptr<VirtualDisplay> display_;
    std::unique_ptr<ChildProcess> inspector_;
    std::string mainWindow_;
};

TEST_F(StatusEndToEnd, StateReportOpensFromTheMenu) {
    chooseConfiguratorItem(3);  // "Запрос состояния ПТК"
    ASSERT_FALSE(visibleWindow("Состояние ПТК").empty()) << commandsLogged();
    const std::string log = commandsLogged();
    EXPECT_NE(log.find("0x3F state: 73 01 3F -> 44 01 01"), std::string::npos) << log;
    EXPECT_NE(log.find("0x45 short status"), log.rfind("0x45 short status")) << log;
    EXPECT_TRUE(inspector_->running());
}

TEST_F(StatusEndToEnd, RegistrationReportOpensFromTheMenu) {
    chooseConfiguratorItem(2);  // "Запрос регистрационной информации ПТК"
    ASSERT_FALSE(visibleWindow("Регистрационная информация ПТК").empty()) << commandsLogged();
    const std::string log = commandsLogged();
    for (const char* request : {"73 01 91 1A 00 00 -> 91 00 02 03", "73 01 91 1B 00 00 -> 91 00 77",
                                "73 01 91 1C 00 00 -> 91 00 12 34 56 78 90"}) {
        EXPECT_NE(log.find(request), std::string::npos) << request << "\n" << log;
    }
    EXPECT_TRUE(inspector_->running());
}

}  // namespace
}  // namespace ptk::e2e
