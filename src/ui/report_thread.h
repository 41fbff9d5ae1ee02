#pragma once

#include <functional>

namespace ptk {
class Session;
}

namespace ptk::ui {

// Runs one long device job (a report that keeps the register busy for minutes) on a worker
// thread while the user-interface thread keeps turning its event loop: the windows repaint, the
// stop button is taken, and the processor stays idle, because the loop sleeps until an event
// arrives or the worker wakes it at its end.
//
// The job is Qt-free and never touches a widget: what it shows (boxes, the result text) goes
// through the session's FrontEnd, which carries it over to the user-interface thread and lets the
// worker wait for the answer.
//
// Stopping is cooperative. While a job runs, the session's serial channel observes the session's
// StopRequested flag: once a stop button sets it, every wait of the link ends within its stop
// slice, the transaction gives up without a message, the job returns, and the thread is joined.
// No thread is ever killed.
class ReportThread {
public:
    explicit ReportThread(Session& session) : session_(session) {}
    ReportThread(const ReportThread&) = delete;
    ReportThread& operator=(const ReportThread&) = delete;

    // Must be called on the user-interface thread, one job at a time. Starts job on a worker
    // thread, waits for it in the event loop and joins it. False when no worker thread could be
    // started (or a job already runs): the job has not run. The job must not throw; it keeps its
    // result itself.
    bool run(const std::function<void()>& job);

    // True from the start of a job until its thread has been joined.
    bool running() const { return running_; }

private:
    Session& session_;
    bool running_ = false;
};

}  // namespace ptk::ui
