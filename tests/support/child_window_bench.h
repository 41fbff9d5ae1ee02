#pragma once

#include <QWidget>

#include "support/recording_sim_rig.h"

namespace ptk::testing {

// What a window opened from the main menu is tested against: the simulated register, and a
// stand-in for the main window, disabled as the menu leaves it while one of its child windows is
// up, for the window to enable again when it closes.
template <class Rig = RecordingSimRig>
struct ChildWindowBench {
    ChildWindowBench() { mainWindow.setEnabled(false); }

    Rig rig;
    QWidget mainWindow;
};

}  // namespace ptk::testing
