#include "ui/user_alerts.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QWindow>

namespace ptk::ui {
namespace {

QMessageBox::Icon boxIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Error:
            return QMessageBox::Critical;
        case MessageIcon::Question:
            return QMessageBox::Question;
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Warning:
            return QMessageBox::Warning;
    }
    return QMessageBox::NoIcon;
}

// Keeps the box above its owner the way a child window would stay, but as a window of its own:
// a child is disabled with its owner, and the main window goes busy (disabled) around commands,
// possibly while a box of a worker thread's report is up.
void attachToOwner(QMessageBox& box, QWidget* ownerWindow) {
    if (ownerWindow == nullptr) return;
    box.winId();
    QWindow* ownerHandle = ownerWindow->window()->windowHandle();
    if (box.windowHandle() != nullptr && ownerHandle != nullptr) {
        box.windowHandle()->setTransientParent(ownerHandle);
    }
}

}  // namespace

std::unique_ptr<QMessageBox> buildMessageBox(const BoxRequest& request, bool question) {
    auto box = std::make_unique<QMessageBox>();
    box->setWindowTitle(request.caption);
    box->setIcon(boxIcon(request.icon));
    box->setText(request.text);
    box->setTextFormat(Qt::PlainText);
    box->setWindowModality(Qt::ApplicationModal);
    if (question) {
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box->button(QMessageBox::Yes)->setText(QStringLiteral("Да"));
        box->button(QMessageBox::No)->setText(QStringLiteral("Нет"));
        box->setDefaultButton(QMessageBox::Yes);
        box->setEscapeButton(QMessageBox::No);
    } else {
        box->setStandardButtons(QMessageBox::Ok);
        box->button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
    }
    attachToOwner(*box, request.ownerWindow);
    return box;
}

void MessageBoxAlerts::showBox(const BoxRequest& request) {
    buildMessageBox(request, false)->exec();
}

bool MessageBoxAlerts::askYesNo(const BoxRequest& request) {
    return buildMessageBox(request, true)->exec() == QMessageBox::Yes;
}

void MessageBoxAlerts::beep() {
    QApplication::beep();
}

}  // namespace ptk::ui
