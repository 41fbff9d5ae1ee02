#pragma once

#include <QLineEdit>
#include <QObject>
#include <QPointer>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>

#include "link/front_end.h"
#include "ui/user_alerts.h"

class QWidget;

namespace ptk::ui {

// The screen side of the core: the result field, message boxes, questions, the beep and the
// message pump. It lives on the user-interface thread; a call made on a worker thread is carried
// out there while the worker waits for its answer.
class QtFrontEnd final : public QObject, public FrontEnd {
    Q_OBJECT

public:
    // Must be made on the user-interface thread, after the application object.
    explicit QtFrontEnd(QObject* parent = nullptr);

    // The main window's ed_rezult.
    void setResultField(QLineEdit* field) { resultField_ = field; }
    // Boxes, questions and beeps go to alerts instead of real message boxes (tests); nullptr goes
    // back to the message boxes. The alerts must outlive their use.
    void useAlerts(UserAlerts* alerts) { alerts_ = alerts != nullptr ? alerts : &messageBoxes_; }

    // From now on pumpMessages answers false, so that a transaction in progress gives up.
    void markQuitting() { quitting_ = true; }
    bool quitting() const { return quitting_; }

    void setResultText(std::string_view text) override;
    void showMessage(MessageIcon icon, std::string_view caption, std::string_view text,
                     OwnerHandle owner = {}) override;
    bool askQuestion(std::string_view text, OwnerHandle owner = {}) override;
    void beep() override;
    bool pumpMessages() override;

private:
    bool onUiThread() const;
    // Runs work on the user-interface thread and waits for it.
    void runOnUiThread(const std::function<void()>& work);
    // Runs the work a worker handed over (on the user-interface thread).
    Q_INVOKABLE void runHandedOverWork();
    BoxRequest request(MessageIcon icon, std::string_view caption, std::string_view text,
                       OwnerHandle owner) const;

    QPointer<QLineEdit> resultField_;
    MessageBoxAlerts messageBoxes_;
    UserAlerts* alerts_ = &messageBoxes_;
    std::atomic<bool> quitting_{false};

    // The hand-over of a worker's call: the work and its completion travel under a standard
    // mutex, so that the order of the two threads' accesses is plain to see (a thread checker
    // included); Qt's queue only wakes the user-interface thread. One worker call at a time.
    std::mutex callMutex_;
    std::mutex handOverMutex_;
    std::condition_variable handOverDone_;
    const std::function<void()>* handedOver_ = nullptr;
    bool handOverFinished_ = false;
};

}  // namespace ptk::ui
