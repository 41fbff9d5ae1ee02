#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "e2e_support.h"
#include "virtual_desktop.h"

namespace ptk::e2e {

// The real ptk-inspector on a virtual display of its own against ptk-sim, connected, with its main
// window found, to be driven with the mouse and the keyboard as the inspector drives it. Without
// Xvfb and xdotool the test says so and skips.
class DesktopEndToEnd : public ::testing::Test {
protected:
    // simArgs follow "--link COMn" on ptk-sim's command line.
    explicit DesktopEndToEnd(const std::vector<std::string>& simArgs = {});

    void SetUp() override;

    // Opens the first menu of the menu bar with the mouse, presses the key that many times and
    // then Enter: the keyboard walks the menus where items have no letters to press.
    void chooseFromMenu(const std::string& key, int times);

    // ptk-sim's, ptk-inspector's and the X server's logs, for a failure to show.
    std::string allLogs() const;

    SimulatedWorkplace workplace_;
    std::vector<std::string> inspectorArgs_;  // set by a test's constructor, used by SetUp
    std::unique_ptr<VirtualDesktop> desktop_;
    std::unique_ptr<ChildProcess> inspector_;
    std::string mainWindow_;
};

}  // namespace ptk::e2e
