#include "ui/up_down.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace ptk::ui {

UpDown::UpDown(int minimum, int maximum, ValueOf valueOf, QWidget* parent)
    : QWidget(parent), minimum_(minimum), maximum_(maximum), valueOf_(std::move(valueOf)) {
    upButton = new QToolButton(this);
    upButton->setArrowType(Qt::UpArrow);
    upButton->setAutoRepeat(true);
    downButton = new QToolButton(this);
    downButton->setArrowType(Qt::DownArrow);
    downButton->setAutoRepeat(true);
    for (QToolButton* arrow : {upButton, downButton}) {
        arrow->setFocusPolicy(Qt::NoFocus);
        arrow->setFixedSize(16, 11);
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(upButton);
    layout->addWidget(downButton);
    connect(upButton, &QToolButton::clicked, this, [this] { stepBy(1); });
    connect(downButton, &QToolButton::clicked, this, [this] { stepBy(-1); });
}

void UpDown::setBuddy(QLineEdit* edit) {
    if (buddy_) buddy_->removeEventFilter(this);
    buddy_ = edit;
    if (buddy_) buddy_->installEventFilter(this);
}

void UpDown::stepBy(int steps) {
    if (!buddy_) return;
    const int moved = std::clamp(valueOf_(buddy_->text()) + steps, minimum_, maximum_);
    buddy_->setText(QString::number(moved));
}

bool UpDown::eventFilter(QObject* watched, QEvent* event) {
    // The type first: the buddy is told of its own destruction too, when it is no longer a
    // QLineEdit that the guarded pointer could name.
    if (event->type() == QEvent::KeyPress && watched == buddy_) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier) {
            if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) {
                stepBy(key->key() == Qt::Key_Up ? 1 : -1);
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace ptk::ui
