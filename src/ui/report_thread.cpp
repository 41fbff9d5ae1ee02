#include "ui/report_thread.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEventLoop>

#include <atomic>
#include <system_error>
#include <thread>

#include "link/session.h"

namespace ptk::ui {
namespace {

// Lets the channel observe the stop flag for as long as the job runs, and no longer: an exchange
// of the user-interface thread (the emergency report's watch) must run to its end even when the
// flag is set.
class StopObservation {
public:
    explicit StopObservation(Session& session) : channel_(session.channel) {
        channel_.setStopSignal(&session.StopRequested);
    }
    ~StopObservation() { channel_.setStopSignal(nullptr); }
    StopObservation(const StopObservation&) = delete;
    StopObservation& operator=(const StopObservation&) = delete;

private:
    SerialChannel& channel_;
};

}  // namespace

bool ReportThread::run(const std::function<void()>& job) {
    if (running_) return false;
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    std::atomic<bool> finished{false};

    StopObservation observation(session_);
    std::thread worker;
    try {
        worker = std::thread([&] {
            job();
            finished.store(true, std::memory_order_release);
            // Wakes the loop below if it sleeps; a wake-up that comes before the loop sleeps is
            // kept by the dispatcher, so none is lost.
            if (dispatcher != nullptr) dispatcher->wakeUp();
        });
    } catch (const std::system_error&) {
        return false;
    }

    running_ = true;
    // Sleeps until something happens: a user event, a call the worker carries over to this
    // thread, or the worker's end. Nothing spins.
    while (!finished.load(std::memory_order_acquire)) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    worker.join();
    running_ = false;
    return true;
}

}  // namespace ptk::ui
