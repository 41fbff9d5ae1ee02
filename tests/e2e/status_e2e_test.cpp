// The real ptk-inspector on a virtual display against ptk-sim: the state report and the
// registration report opened from the menu as the inspector opens them, with the mouse and the
// keyboard. Needs Xvfb and xdotool; without them the tests say so and skip.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>

#include "e2e_support.h"
#include "virtual_desktop.h"

namespace ptk::e2e {
namespace {

using namespace std::chrono_literals;

class StatusEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        if (!installed("Xvfb") || !installed("xdotool")) {
            GTEST_SKIP() << "Xvfb and xdotool are needed to drive the windows";
        }
        desktop_ = std::make_unique<VirtualDesktop>(workplace_.directory().path());
        ASSERT_FALSE(desktop_->display().empty()) << "the virtual display did not start";
        ASSERT_TRUE(workplace_.simReady()) << readFile(workplace_.simLog());
        inspector_ = std::make_unique<ChildProcess>(
            PTK_INSPECTOR_PATH, std::vector<std::string>{}, workplace_.directory().path(),
            workplace_.directory().path() / "ptk-inspector.log",
            std::vector<std::string>{"QT_QPA_PLATFORM=xcb", "DISPLAY=" + desktop_->display()});
        // Connected once the short status has gone out and nothing else follows.
        ASSERT_TRUE(waitForText(workplace_.simLog(), "short status", workplace_.sim(), 30s))
            << "ptk-sim:\n"
            << readFile(workplace_.simLog()) << "\nptk-inspector:\n"
            << readFile(workplace_.directory().path() / "ptk-inspector.log") << "\nXvfb:\n"
            << readFile(workplace_.directory().path() / "xvfb.log");
        mainWindow_ = desktop_->window("Программа налогового инспектора");
        ASSERT_FALSE(mainWindow_.empty());
        std::this_thread::sleep_for(500ms);
    }

    // Opens "Конфигуратор" with the mouse and chooses its item number `item` (separators are
    // skipped by the keyboard) with the arrow keys and Enter.
    void chooseConfiguratorItem(int item) {
        desktop_->xdotool("mousemove --window " + mainWindow_ + " 30 8 click 1");
        std::this_thread::sleep_for(300ms);
        std::string keys;
        for (int i = 0; i < item; ++i) keys += " Down";
        desktop_->xdotool("key --delay 100" + keys + " Return");
    }

    std::string commandsLogged() {
        std::string all;
        for (const std::string& line : workplace_.commandLines()) all += line + "\n";
        return all;
    }

    SimulatedWorkplace workplace_{{"--fiscalised", "--shift-open", "--serial", "4567", "--inn",
                                   "770123456789", "--rnm", "123456", "--eklz-activation", "2",
                                   "--eklz-activations-left", "3"}};
    std::unique_ptr<VirtualDesktop> desktop_;
    std::unique_ptr<ChildProcess> inspector_;
    std::string mainWindow_;
};

TEST_F(StatusEndToEnd, StateReportOpensFromTheMenu) {
    chooseConfiguratorItem(3);  // "Запрос состояния ПТК"
    ASSERT_FALSE(desktop_->window("Состояние ПТК").empty()) << commandsLogged();
    const std::string log = commandsLogged();
    EXPECT_NE(log.find("0x3F state: 73 01 3F -> 44 01 01"), std::string::npos) << log;
    EXPECT_NE(log.find("0x45 short status"), log.rfind("0x45 short status")) << log;
    EXPECT_TRUE(inspector_->running());
}

TEST_F(StatusEndToEnd, RegistrationReportOpensFromTheMenu) {
    chooseConfiguratorItem(2);  // "Запрос регистрационной информации ПТК"
    ASSERT_FALSE(desktop_->window("Регистрационная информация ПТК").empty()) << commandsLogged();
    const std::string log = commandsLogged();
    for (const char* request : {"73 01 91 1A 00 00 -> 91 00 02 03", "73 01 91 1B 00 00 -> 91 00 77",
                                "73 01 91 1C 00 00 -> 91 00 12 34 56 78 90"}) {
        EXPECT_NE(log.find(request), std::string::npos) << request << "\n" << log;
    }
    EXPECT_TRUE(inspector_->running());
}

}  // namespace
}  // namespace ptk::e2e
