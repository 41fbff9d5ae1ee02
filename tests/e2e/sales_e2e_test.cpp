// The real ptk-inspector on a virtual display against ptk-sim: a receipt, the report with
// clearing and the clock, chosen from the menu and pressed as the inspector does it, and seen on
// the simulator's paper tape. Needs Xvfb and xdotool; without them the tests say so and skip.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "desktop_end_to_end.h"

namespace ptk::e2e {
namespace {

using namespace std::chrono_literals;

class SalesEndToEnd : public DesktopEndToEnd {
protected:
    explicit SalesEndToEnd(const std::vector<std::string>& simArgs = {})
        : DesktopEndToEnd(simArgs) {}

    // The top-level items "Чек" and "Гашение", reached by walking the menu bar to the right.
    void chooseTopLevelItem(int stepsRight) { chooseFromMenu("Right", stepsRight); }

    // An item of "Конфигуратор" counted from its bottom, so that items enabled or not above it
    // do not matter.
    void chooseConfiguratorItemFromBottom(int stepsUp) { chooseFromMenu("Up", stepsUp); }

    void enterMode(const std::string& banner, const std::string& password) {
        ASSERT_FALSE(desktop_->window(banner).empty()) << log();
        desktop_->xdotool("type --delay 50 " + password);
        desktop_->xdotool("key Return");
    }

    bool waitForLog(const std::string& text, std::chrono::seconds limit = 30s) {
        return waitForText(workplace_.simLog(), text, workplace_.sim(), limit);
    }
    bool tapeShows(const std::string& line) {
        return log().find("tape   | " + line + "\n") != std::string::npos;
    }
    std::string log() { return readFile(workplace_.simLog()); }
};

TEST_F(SalesEndToEnd, ReceiptAndReportWithClearingArePrinted) {
    chooseTopLevelItem(1);  // "Чек"
    enterMode("ВХОД В РЕЖИМ РЕГИСТРАЦИЙ", "11111111");
    const std::string receipt = desktop_->window("^Чек$");
    ASSERT_FALSE(receipt.empty()) << log();
    // Esc prints: the print button is the receipt's cancel button.
    desktop_->xdotool("key Escape");
    ASSERT_TRUE(waitForLog("close receipt")) << log();
    EXPECT_TRUE(tapeShows("1.11 X 1.000 = 1.11")) << log();
    EXPECT_TRUE(tapeShows("ИТОГ =1.11")) << log();
    EXPECT_NE(log().find("0x48 register item: 73 01 48 00 00 00 00 01 11 00 00 00 10 00 02"),
              std::string::npos)
        << log();

    // The register has answered; the dialog takes its controls back once the exchange is over.
    std::this_thread::sleep_for(1s);
    desktop_->clickAt(receipt, 0.75, 0.81);  // "Закрыть"
    std::this_thread::sleep_for(500ms);
    chooseTopLevelItem(2);  // "Гашение"
    enterMode("ВХОД В РЕЖИМ ГАШЕНИЙ", "33333333");
    ASSERT_FALSE(desktop_->window("Отчет с гашением").empty()) << log();
    desktop_->xdotool("key Escape");
    ASSERT_TRUE(waitForLog("report with clearing", 60s)) << log();
    EXPECT_TRUE(tapeShows("СУТОЧНЫЙ ОТЧЕТ С ГАШЕНИЕМ")) << log();
    EXPECT_TRUE(tapeShows("ПРОДАЖ: 1  СУММА =1.11")) << log();
    EXPECT_TRUE(tapeShows("СМЕНА ЗАКРЫТА")) << log();
    EXPECT_EQ(log().find("[error"), std::string::npos) << log();
    EXPECT_TRUE(inspector_->running());
}

class ClockEndToEnd : public SalesEndToEnd {
protected:
    // A register whose clock is years behind: it wants the new date confirmed.
    ClockEndToEnd() : SalesEndToEnd({"--clock", "2013-05-07 09:05:00"}) {}
};

TEST_F(ClockEndToEnd, DateIsTakenOnTheSecondPressAndThenTheTime) {
    chooseConfiguratorItemFromBottom(3);  // "Установить дату"
    const std::string dateWindow = desktop_->window("Установка даты");
    ASSERT_FALSE(dateWindow.empty()) << log();

    desktop_->clickAt(dateWindow, 0.8, 0.71);  // "Применить"
    ASSERT_TRUE(waitForLog("[error 0x16]")) << log();
    ASSERT_FALSE(desktop_->window("Предупреждение").empty());
    desktop_->xdotool("key Return");
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(log().find("set time"), std::string::npos) << log();

    desktop_->clickAt(dateWindow, 0.8, 0.71);
    ASSERT_TRUE(waitForLog("set time")) << log();
    const std::string text = log();
    const std::size_t second = text.rfind("0x64 set date");
    EXPECT_NE(second, text.find("0x64 set date")) << text;
    EXPECT_EQ(text.find("[error", second), std::string::npos) << text;
    EXPECT_TRUE(inspector_->running());
}

}  // namespace
}  // namespace ptk::e2e
