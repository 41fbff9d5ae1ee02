#pragma once

#include <functional>

#include "ui/mode_form.h"
#include "ui/report_thread.h"

class QCloseEvent;
class QPushButton;

namespace ptk {
class Session;
}

namespace ptk::ui {

// A mode form whose operations may keep the register busy for minutes: each runs on the report
// thread while the form shows its running state, and "Аварийный выход" stops it. The stop ends
// the transaction through the link's stop request; the worker is joined and then the program is
// asked to end. Meanwhile the form refuses to close.
class StoppableReportForm : public ModeForm {
    Q_OBJECT

public:
    // How the emergency exit ends the program: the application's event loop is told to end
    // unless a test records it instead.
    void setQuitApplication(std::function<void()> quit) { quitApplication_ = std::move(quit); }
    bool reportRunning() const { return reportThread_.running(); }

    // "Аварийный выход": the running job is asked to stop.
    void bt_StopReportClick();

    QPushButton* bt_StopReport = nullptr;

protected:
    StoppableReportForm(Session& session, QWidget* parent);

    Session& session() const { return session_; }

    // "Аварийный выход", disabled to begin with; made where the form's layout wants it, so that
    // the Tab order follows the layout.
    QPushButton* makeStopButton(QWidget* parent);

    // Runs job on the report thread and returns once it has been joined; nothing while one runs.
    // The stop request is cleared first, then the running state is shown for as long as the job
    // runs and whenJoined does its part (telling the job's result). When the emergency exit was
    // pressed the program is asked to end before that, so that no box can hold the end up.
    void runReport(const std::function<void()>& job, const std::function<void()>& whenJoined = {});

    // The running state: the emergency exit and the waiting panel on, whatever could start
    // another operation or close the form off; and back.
    virtual void showReportRunning(bool running) = 0;

    // The form stays while the emergency exit is on or a job runs.
    void closeEvent(QCloseEvent* event) override;
    // Closing hands control back to the mode-entry dialog and the main window.
    void FormClose() override;

private:
    Session& session_;
    ReportThread reportThread_;
    std::function<void()> quitApplication_;
};

}  // namespace ptk::ui
