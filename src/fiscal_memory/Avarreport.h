#pragma once

#include <cstdint>
#include <functional>

#include "ui/child_window.h"

class QFrame;
class QLabel;
class QPushButton;

namespace ptk {
class Session;
}

// Prints the register's emergency fiscal-memory report and watches the register while it prints,
// offering to break the report off. Opened from the main menu; no mode entry is needed.
class Tfm_AvarReport : public ptk::ui::ChildWindow {
    Q_OBJECT

public:
    // Lets the given milliseconds pass between two status requests; false once the program is
    // quitting.
    using Pause = std::function<bool(std::uint32_t ms)>;

    explicit Tfm_AvarReport(ptk::Session& session, QWidget* parent = nullptr);

    // How the watch waits between status requests: in a nested event loop unless a test lets
    // virtual time pass instead.
    void setPause(Pause pause) { pause_ = std::move(pause); }

    void bt_OtchClick();
    void bt_StopReportClick();

    QPushButton* bt_Otch = nullptr;
    QPushButton* bt_Close = nullptr;
    QPushButton* bt_StopReport = nullptr;
    QFrame* pn_Sleep = nullptr;
    QLabel* lb_Sleep = nullptr;

    // True while a report runs (from the click until the controls are restored).
    bool reportRunning() const { return running_; }

protected:
    void FormClose() override;
    void closeEvent(QCloseEvent* event) override;

private:
    class Watcher;

    ptk::Session& session_;
    Pause pause_;
    bool running_ = false;
};
