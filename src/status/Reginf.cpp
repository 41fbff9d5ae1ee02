#include "status/Reginf.h"

#include <QFrame>
#include <QPlainTextEdit>
#include <QPushButton>

#include "link/session.h"
#include "status/registration_info.h"
#include "status/window_look.h"

using namespace ptk;

namespace {
// The scroll-bar colour of the classic workstation look, under black text.
const QColor kScrollBarColour(0xD4, 0xD0, 0xC8);
}  // namespace

Tfm_RegInf::Tfm_RegInf(Session& session, QWidget* parent)
    : ChildWindow(parent, kFixedDialog, Centring::OnEveryShow), session_(session) {
    setObjectName("fm_RegInf");
    setWindowTitle("Регистрационная информация ПТК");
    setFixedSize(kClientWidth, kClientHeight);

    pn_RegInf = status_ui::makeReportPanel(this, "pn_RegInf", {17, 8, 401, 290});

    mem_RegInf = status_ui::makeReportBox(pn_RegInf, "mem_RegInf", Qt::black, kScrollBarColour);
    mem_RegInf->setGeometry(8, 8, 385, 273);
    mem_RegInf->setAccessibleName(windowTitle());

    bt_RegInfExit = status_ui::makeCloseButton(this, "bt_RegInfExit", {149, 310, 137, 33});
}

int Tfm_RegInf::RunRequests() {
    const int result = ReadRegistrationInfo(session_, lines_);
    status_ui::showLines(*mem_RegInf, lines_);
    return result;
}
