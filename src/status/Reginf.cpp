#include "status/Reginf.h"

#include <QCloseEvent>
#include <QFrame>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>

#include "link/session.h"
#include "status/registration_info.h"
#include "status/window_look.h"

using namespace ptk;

namespace {
// The scroll-bar colour of the classic workstation look, under black text.
const QColor kScrollBarColour(0xD4, 0xD0, 0xC8);
}  // namespace

Tfm_RegInf::Tfm_RegInf(Session& session, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), session_(session) {
    setObjectName("fm_RegInf");
    setWindowTitle("Регистрационная информация ПТК");
    setFixedSize(kClientWidth, kClientHeight);

    pn_RegInf = new QFrame(this);
    pn_RegInf->setObjectName("pn_RegInf");
    pn_RegInf->setFrameStyle(QFrame::Panel | QFrame::Raised);
    pn_RegInf->setGeometry(17, 8, 401, 290);

    mem_RegInf = status_ui::makeReportBox(pn_RegInf, "mem_RegInf", Qt::black, kScrollBarColour);
    mem_RegInf->setGeometry(8, 8, 385, 273);
    mem_RegInf->setAccessibleName(windowTitle());

    bt_RegInfExit =
        new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton), "&Закрыть", this);
    bt_RegInfExit->setObjectName("bt_RegInfExit");
    bt_RegInfExit->setToolTip("Выйти из режима");
    bt_RegInfExit->setGeometry(149, 310, 137, 33);

    connect(bt_RegInfExit, &QPushButton::clicked, this, &QWidget::close);
}

int Tfm_RegInf::RunRequests() {
    const int result = ReadRegistrationInfo(session_, lines_);
    status_ui::showLines(*mem_RegInf, lines_);
    return result;
}

void Tfm_RegInf::showEvent(QShowEvent* event) {
    status_ui::centreOnScreen(*this);
    QWidget::showEvent(event);
}

void Tfm_RegInf::FormClose() {
    if (mainWindow_) mainWindow_->setEnabled(true);
}

void Tfm_RegInf::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}
