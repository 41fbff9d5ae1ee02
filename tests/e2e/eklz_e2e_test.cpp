// The real ptk-inspector on a virtual display against ptk-sim: the EKLZ dialog opened from the
// menu through the mode entry, the EKLZ activated and a control tape printed on the simulator's
// paper tape, and the emergency exit ending the program in the middle of a long request. Needs
// Xvfb and xdotool; without them the tests say so and skip.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <string>
#include <thread>

#include "desktop_end_to_end.h"

namespace ptk::e2e {
namespace {

using namespace std::chrono_literals;

// Where the dialog's controls are, in fractions of its width and height.
struct Spot {
    double x;
    double y;
};
constexpr Spot kActivation{0.18, 0.08};
constexpr Spot kControlTapePage{0.58, 0.31};
constexpr Spot kNumberField{0.72, 0.44};
constexpr Spot kRequest{0.91, 0.81};
constexpr Spot kEmergencyExit{0.76, 0.93};

class EklzEndToEnd : public DesktopEndToEnd {
protected:
    explicit EklzEndToEnd(const std::vector<std::string>& simArgs) : DesktopEndToEnd(simArgs) {}

    // "ЭКЛЗ" is the third top-level item from the right end of the menu bar, whichever items
    // before it are enabled; the mode entry follows with the EKLZ access password.
    std::string openEklzDialog() {
        chooseFromMenu("Left", 3);
        EXPECT_FALSE(desktop_->window("ВХОД В РЕЖИМ ДОСТУПА К ЭКЛЗ").empty()) << log();
        desktop_->xdotool("type --delay 50 66666666");
        desktop_->xdotool("key Return");
        return desktop_->window("Режим работы с ЭКЛЗ");
    }
    void click(const std::string& window, Spot spot) {
        desktop_->clickAt(window, spot.x, spot.y);
        std::this_thread::sleep_for(300ms);
    }
    void requestForShift(const std::string& window, const std::string& shift) {
        click(window, kNumberField);
        desktop_->xdotool("type --delay 50 " + shift);
        click(window, kRequest);
    }

    bool waitForLog(const std::string& text, std::chrono::seconds limit = 30s) {
        return waitForText(workplace_.simLog(), text, workplace_.sim(), limit);
    }
    bool tapeShows(const std::string& line) {
        return log().find("tape   | " + line + "\n") != std::string::npos;
    }
    std::string log() { return readFile(workplace_.simLog()); }
};

class EklzActivationEndToEnd : public EklzEndToEnd {
protected:
    EklzActivationEndToEnd() : EklzEndToEnd({"--shift-open", "--eklz-time", "1"}) {}
};

TEST_F(EklzActivationEndToEnd, ActivatesTheEklzAndPrintsAControlTape) {
    const std::string dialog = openEklzDialog();
    ASSERT_FALSE(dialog.empty()) << log();
    EXPECT_NE(log().find("0x56 enter mode: 73 01 56 06 66 66 66 66"), std::string::npos) << log();

    click(dialog, kActivation);
    ASSERT_FALSE(desktop_->window("Вопрос").empty()) << log();
    desktop_->xdotool("key Return");  // "Да"
    ASSERT_TRUE(waitForLog("EKLZ activation")) << log();
    ASSERT_TRUE(waitForText(workplace_.simLog(), "tape   | АКТИВИЗАЦИЯ 1  ОСТАЛОСЬ 49",
                            workplace_.sim(), 30s))
        << log();
    // The dialog takes its buttons back once the register has answered.
    std::this_thread::sleep_for(2s);

    click(dialog, kControlTapePage);
    requestForShift(dialog, "1");
    ASSERT_TRUE(waitForLog("EKLZ control tape")) << log();
    std::this_thread::sleep_for(2s);
    const std::string text = log();
    EXPECT_NE(text.find("0xAA EKLZ control tape: 73 01 AA 00 01 -> AA 01"), std::string::npos)
        << text;
    EXPECT_TRUE(tapeShows("КОНТРОЛЬНАЯ ЛЕНТА СМЕНЫ 0001")) << text;
    // Code 0x01 is the normal outcome of a control tape, the only code besides 0x00 here, and
    // no box is shown for it.
    EXPECT_EQ(text.find("[error"), text.find("[error 0x01]")) << text;
    EXPECT_EQ(text.find("[error 0x01]"), text.rfind("[error")) << text;
    EXPECT_TRUE(desktop_->xdotool("search --onlyvisible --name '^Ошибка$'").empty());
    EXPECT_TRUE(inspector_->running());
}

class EklzEmergencyExitEndToEnd : public EklzEndToEnd {
protected:
    EklzEmergencyExitEndToEnd()
        : EklzEndToEnd({"--shift-open", "--eklz-activated", "--eklz-time", "100"}) {}
};

TEST_F(EklzEmergencyExitEndToEnd, EndsTheProgramInTheMiddleOfARequest) {
    const std::string dialog = openEklzDialog();
    ASSERT_FALSE(dialog.empty()) << log();
    requestForShift(dialog, "1");  // the shift totals page is the one showing
    ASSERT_TRUE(waitForLog("EKLZ shift totals")) << log();
    EXPECT_TRUE(inspector_->running());

    click(dialog, kEmergencyExit);
    bool ended = false;
    for (int i = 0; i < 100 && !ended; ++i) {
        ended = !inspector_->running();
        if (!ended) std::this_thread::sleep_for(100ms);
    }
    ASSERT_TRUE(ended) << allLogs();
    // It ended by itself, not by a signal, and without an error. In the sanitizer build the
    // desktop libraries leave a leak report at exit, which alone sets the exit code.
    const int status = inspector_->stop();
    ASSERT_TRUE(WIFEXITED(status)) << status << "\n" << allLogs();
    const std::string inspectorLog = readFile(workplace_.inspectorLog());
    EXPECT_EQ(inspectorLog.find("ERROR: AddressSanitizer"), std::string::npos) << inspectorLog;
    if (inspectorLog.find("LeakSanitizer") == std::string::npos) {
        EXPECT_EQ(WEXITSTATUS(status), 0) << allLogs();
    }
}

}  // namespace
}  // namespace ptk::e2e
