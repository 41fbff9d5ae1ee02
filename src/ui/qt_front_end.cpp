#include "ui/qt_front_end.h"

#include <QApplication>
#include <QLineEdit>
#include <QThread>
#include <QWidget>

#include <utility>

#include "ui/box_owner.h"
#include "ui/form_controls.h"

namespace ptk::ui {
QtFrontEnd::QtFrontEnd(QObject* parent) : QObject(parent) {
    // Once the message loop is ending, a waiting transaction must not keep the program alive.
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] { quitting_ = true; });
}

bool QtFrontEnd::onUiThread() const {
    return QThread::currentThread() == thread();
}

void QtFrontEnd::runOnUiThread(const std::function<void()>& work) {
    if (onUiThread()) {
        work();
        return;
    }
    const std::scoped_lock oneCallAtATime(callMutex_);
    std::unique_lock lock(handOverMutex_);
    handedOver_ = &work;
    handOverFinished_ = false;
    lock.unlock();
    QMetaObject::invokeMethod(this, "runHandedOverWork", Qt::QueuedConnection);
    lock.lock();
    handOverDone_.wait(lock, [this] { return handOverFinished_; });
}

void QtFrontEnd::runHandedOverWork() {
    std::unique_lock lock(handOverMutex_);
    const std::function<void()>* work = std::exchange(handedOver_, nullptr);
    lock.unlock();
    if (work != nullptr) (*work)();
    lock.lock();
    handOverFinished_ = true;
    handOverDone_.notify_all();
}

BoxRequest QtFrontEnd::request(MessageIcon icon, std::string_view caption, std::string_view text,
                               OwnerHandle owner) const {
    BoxRequest box;
    box.icon = icon;
    box.caption = fromUtf8(caption);
    box.text = fromUtf8(text);
    box.owner = owner;
    box.ownerWindow = windowOf(owner);
    // An application box, or one whose window does not exist, appears over the active window.
    if (box.ownerWindow == nullptr) box.ownerWindow = QApplication::activeWindow();
    return box;
}

void QtFrontEnd::setResultText(std::string_view text) {
    const QString value = fromUtf8(text);
    runOnUiThread([this, &value] {
        if (resultField_) resultField_->setText(value);
    });
}

void QtFrontEnd::showMessage(MessageIcon icon, std::string_view caption, std::string_view text,
                             OwnerHandle owner) {
    runOnUiThread([&] { alerts_->showBox(request(icon, caption, text, owner)); });
}

bool QtFrontEnd::askQuestion(std::string_view text, OwnerHandle owner) {
    bool yes = false;
    runOnUiThread([&] {
        yes = alerts_->askYesNo(request(MessageIcon::Question, kQuestionCaption, text, owner));
    });
    return yes;
}

void QtFrontEnd::beep() {
    runOnUiThread([this] { alerts_->beep(); });
}

bool QtFrontEnd::pumpMessages() {
    // A worker thread has no window messages of its own; it only needs to know whether to go on.
    if (onUiThread() && !quitting_) QCoreApplication::processEvents();
    return !quitting_;
}

}  // namespace ptk::ui
