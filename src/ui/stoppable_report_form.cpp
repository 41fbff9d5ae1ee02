#include "ui/stoppable_report_form.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QPushButton>

#include "link/session.h"

namespace ptk::ui {

StoppableReportForm::StoppableReportForm(Session& session, QWidget* parent)
    : ModeForm(parent),
      session_(session),
      reportThread_(session),
      quitApplication_([] { QCoreApplication::exit(0); }) {
    setWindowFlags(kReportDialog);
}

QPushButton* StoppableReportForm::makeStopButton(QWidget* parent) {
    bt_StopReport = new QPushButton("Аварийный выход", parent);
    bt_StopReport->setObjectName("bt_StopReport");
    bt_StopReport->setToolTip("Прервать отчет");
    bt_StopReport->setAutoDefault(false);
    bt_StopReport->setEnabled(false);
    connect(bt_StopReport, &QPushButton::clicked, this, &StoppableReportForm::bt_StopReportClick);
    return bt_StopReport;
}

void StoppableReportForm::bt_StopReportClick() {
    session_.StopRequested = true;
}

void StoppableReportForm::runReport(const std::function<void()>& job,
                                    const std::function<void()>& whenJoined) {
    if (reportThread_.running()) return;
    // Cleared before "Аварийный выход" is on, so that a press taken while the running state is
    // painted still stops the job.
    session_.StopRequested = false;
    showReportRunning(true);
    // The user-interface thread sleeps in its event loop meanwhile; the job's boxes and result
    // text come over from the worker. A thread that cannot be started runs nothing.
    reportThread_.run(job);
    if (session_.StopRequested) quitApplication_();
    if (whenJoined) whenJoined();
    showReportRunning(false);
}

void StoppableReportForm::closeEvent(QCloseEvent* event) {
    if (bt_StopReport->isEnabledTo(this) || reportThread_.running()) {
        event->ignore();
        return;
    }
    ModeForm::closeEvent(event);
}

void StoppableReportForm::FormClose() {
    setEnabled(false);
    session_.frontEnd.setResultText("");
    handBack();
    setEnabled(true);
}

}  // namespace ptk::ui
