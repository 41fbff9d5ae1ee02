#pragma once

#include <QString>
#include <QThread>
#include <QWidget>

#include <deque>
#include <functional>
#include <vector>

#include "ui/user_alerts.h"

namespace ptk::testing {

// Stands in for the message boxes in window tests: records every box and question in order,
// with the window that owns it and the thread it was shown on, and answers questions from a
// script (No when the script has run out). No modal box ever waits for a hand.
class RecordingAlerts final : public ui::UserAlerts {
public:
    struct Box {
        MessageIcon icon;
        QString caption;
        QString text;
        OwnerHandle owner;
        QWidget* ownerWindow;
        bool question;
        QThread* thread;
    };

    void showBox(const ui::BoxRequest& request) override { record(request, false); }
    bool askYesNo(const ui::BoxRequest& request) override {
        record(request, true);
        if (answers.empty()) return false;
        const bool yes = answers.front();
        answers.pop_front();
        return yes;
    }
    void beep() override { ++beeps; }

    QStringList texts() const {
        QStringList all;
        for (const Box& box : boxes) all << box.text;
        return all;
    }

    std::vector<Box> boxes;
    std::deque<bool> answers;
    int beeps = 0;
    // Called while a box is up, to look at the windows as the user sees them then.
    std::function<void(const Box&)> whileShown;

private:
    void record(const ui::BoxRequest& request, bool question) {
        boxes.push_back({request.icon, request.caption, request.text, request.owner,
                         request.ownerWindow, question, QThread::currentThread()});
        if (whileShown) whileShown(boxes.back());
    }
};

}  // namespace ptk::testing
