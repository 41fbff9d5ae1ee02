#include "status/Sosteklz.h"

#include <QCloseEvent>
#include <QFrame>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>

#include <string>
#include <vector>

#include "link/session.h"
#include "status/eklz_state.h"
#include "status/window_look.h"

using namespace ptk;

namespace {
const QColor kTeal(0x00, 0x80, 0x80);
}  // namespace

Tfm_SostEKLZ::Tfm_SostEKLZ(Session& session, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), session_(session) {
    setObjectName("fm_SostEKLZ");
    setWindowTitle("Состояние ЭКЛЗ");
    setFixedSize(kClientWidth, kClientHeight);

    bt_SostEKLZExit =
        new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton), "&Закрыть", this);
    bt_SostEKLZExit->setObjectName("bt_SostEKLZExit");
    bt_SostEKLZExit->setToolTip("Выйти из режима");
    bt_SostEKLZExit->setGeometry(312, 8, 131, 33);

    pn_SostEKLZ = new QFrame(this);
    pn_SostEKLZ->setObjectName("pn_SostEKLZ");
    pn_SostEKLZ->setFrameStyle(QFrame::Panel | QFrame::Raised);
    pn_SostEKLZ->setGeometry(8, 8, 289, 241);

    mem_SostEKLZ = status_ui::makeReportBox(pn_SostEKLZ, "mem_SostEKLZ", kTeal, Qt::white);
    mem_SostEKLZ->setGeometry(8, 8, 273, 225);
    mem_SostEKLZ->setAccessibleName(windowTitle());

    // The close button stands first in the window, so it comes first in the Tab order too.
    setTabOrder(bt_SostEKLZExit, mem_SostEKLZ);
    connect(bt_SostEKLZExit, &QPushButton::clicked, this, &QWidget::close);
}

int Tfm_SostEKLZ::RequestEklzState() {
    std::vector<std::string> lines;
    const int result = ptk::RequestEklzState(session_, lines);
    if (result == 1) status_ui::showLines(*mem_SostEKLZ, lines);
    return result;
}

void Tfm_SostEKLZ::showEvent(QShowEvent* event) {
    status_ui::centreOnScreen(*this);
    QWidget::showEvent(event);
}

void Tfm_SostEKLZ::FormClose() {
    if (mainWindow_) mainWindow_->setEnabled(true);
}

void Tfm_SostEKLZ::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}
