// The real ptk-inspector on a virtual display against ptk-sim: the emergency fiscal-memory report
// chosen from the menu, printed to its end, and broken off with "Прервать" while the register
// prints. Needs Xvfb and xdotool; without them the tests say so and skip.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "desktop_end_to_end.h"

namespace ptk::e2e {
namespace {

using namespace std::chrono_literals;

class EmergencyEndToEnd : public DesktopEndToEnd {
protected:
    explicit EmergencyEndToEnd(const std::string& printSeconds)
        : DesktopEndToEnd({"--fiscalised", "--emergency-report-time", printSeconds}) {}

    // "Аварийный отчет по ФП", the fifth item of "Конфигуратор" (the keyboard skips separators).
    std::string openReport() {
        chooseFromMenu("Down", 5);
        return desktop_->window("Аварийный отчет по ФП");
    }
    bool waitForLog(const std::string& text, std::chrono::seconds limit = 30s) {
        return waitForText(workplace_.simLog(), text, workplace_.sim(), limit);
    }
    std::string log() { return readFile(workplace_.simLog()); }
    std::size_t occurrences(const std::string& text) {
        const std::string all = log();
        std::size_t count = 0;
        for (std::size_t at = all.find(text); at != std::string::npos; at = all.find(text, at + 1))
            ++count;
        return count;
    }
};

class ShortEmergencyReport : public EmergencyEndToEnd {
protected:
    ShortEmergencyReport() : EmergencyEndToEnd("2") {}
};

TEST_F(ShortEmergencyReport, PrintsToItsEndWhileTheProgramWatches) {
    const std::string report = openReport();
    ASSERT_FALSE(report.empty()) << allLogs();
    // Esc starts the report: its button is the dialog's cancel button.
    desktop_->xdotool("key Escape");
    ASSERT_TRUE(waitForLog("tape   | КОНЕЦ ОТЧЕТА")) << allLogs();
    EXPECT_NE(log().find("0x60 emergency report: 73 01 60 -> 60 00 25"), std::string::npos)
        << log();
    // Two seconds of printing, watched every 100 ms plus the exchange.
    EXPECT_GE(occurrences("0x45 short status: 73 01 45 -> 45 25"), 3u) << log();
    EXPECT_EQ(occurrences("0x52 leave mode"), 0u) << log();
    EXPECT_EQ(log().find("[error"), std::string::npos) << log();
    EXPECT_TRUE(inspector_->running());
}

class LongEmergencyReport : public EmergencyEndToEnd {
protected:
    LongEmergencyReport() : EmergencyEndToEnd("600") {}
};

TEST_F(LongEmergencyReport, StopButtonBreaksTheReportOff) {
    const std::string report = openReport();
    ASSERT_FALSE(report.empty()) << allLogs();
    desktop_->xdotool("key Escape");
    ASSERT_TRUE(waitForLog("0x60 emergency report")) << allLogs();
    std::this_thread::sleep_for(1s);
    desktop_->clickAt(report, 0.5, 0.8);  // "Прервать"
    ASSERT_TRUE(waitForLog("tape   | ОТЧЕТ ПРЕРВАН")) << allLogs();
    EXPECT_EQ(occurrences("0x52 leave mode"), 1u) << log();
    EXPECT_FALSE(desktop_->window("Информация").empty()) << allLogs();
    EXPECT_EQ(log().find("tape   | КОНЕЦ ОТЧЕТА"), std::string::npos) << log();
    EXPECT_TRUE(inspector_->running());
}

}  // namespace
}  // namespace ptk::e2e
