#include "desktop_end_to_end.h"

#include <chrono>
#include <thread>

namespace ptk::e2e {

using namespace std::chrono_literals;

DesktopEndToEnd::DesktopEndToEnd(const std::vector<std::string>& simArgs) : workplace_(simArgs) {}

void DesktopEndToEnd::SetUp() {
    if (!installed("Xvfb") || !installed("xdotool")) {
        GTEST_SKIP() << "Xvfb and xdotool are needed to drive the windows";
    }
    desktop_ = std::make_unique<VirtualDesktop>(workplace_.directory().path());
    ASSERT_FALSE(desktop_->display().empty()) << "the virtual display did not start";
    ASSERT_TRUE(workplace_.simReady()) << readFile(workplace_.simLog());
    inspector_ = std::make_unique<ChildProcess>(
        inspectorProgram(), inspectorArgs_, workplace_.directory().path(),
        workplace_.inspectorLog(),
        std::vector<std::string>{"QT_QPA_PLATFORM=xcb", "DISPLAY=" + desktop_->display()});
    // Connected once the short status has gone out and nothing else follows.
    ASSERT_TRUE(waitForText(workplace_.simLog(), "short status", workplace_.sim(), 30s))
        << allLogs();
    mainWindow_ = desktop_->window("Программа налогового инспектора");
    ASSERT_FALSE(mainWindow_.empty());
    std::this_thread::sleep_for(500ms);
}

void DesktopEndToEnd::chooseFromMenu(const std::string& key, int times) {
    desktop_->xdotool("mousemove --window " + mainWindow_ + " 30 8 click 1");
    std::this_thread::sleep_for(300ms);
    std::string keys;
    for (int i = 0; i < times; ++i) keys += " " + key;
    desktop_->xdotool("key --delay 100" + keys + " Return");
}

std::string DesktopEndToEnd::allLogs() const {
    return "ptk-sim:\n" + readFile(workplace_.simLog()) + "\nptk-inspector:\n" +
           readFile(workplace_.inspectorLog()) + "\nXvfb:\n" +
           readFile(workplace_.directory().path() / "xvfb.log");
}

}  // namespace ptk::e2e
