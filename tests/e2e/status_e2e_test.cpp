// The real ptk-inspector on a virtual display against ptk-sim: the state report and the
// registration report opened from the menu as the inspector opens them, with the mouse and the
// keyboard. Needs Xvfb and xdotool; without them the tests say so and skip.
#include <gtest/gtest.h>

#include <string>

#include "desktop_end_to_end.h"

namespace ptk::e2e {
namespace {

class StatusEndToEnd : public DesktopEndToEnd {
protected:
    StatusEndToEnd()
        : DesktopEndToEnd({"--fiscalised", "--shift-open", "--serial", "4567", "--inn",
                           "770123456789", "--rnm", "123456", "--eklz-activation", "2",
                           "--eklz-activations-left", "3"}) {}

    // Item number `item` of "Конфигуратор" (the keyboard skips separators).
    void chooseConfiguratorItem(int item) { chooseFromMenu("Down", item); }

    std::string commandsLogged() {
        std::string all;
        for (const std::string& line : workplace_.commandLines()) all += line + "\n";
        return all;
    }
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
