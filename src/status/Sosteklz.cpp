#include "status/Sosteklz.h"

#include <QFrame>
#include <QPlainTextEdit>
#include <QPushButton>

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
    : ChildWindow(parent, kFixedDialog, Centring::OnEveryShow), session_(session) {
    setObjectName("fm_SostEKLZ");
    setWindowTitle("Состояние ЭКЛЗ");
    setFixedSize(kClientWidth, kClientHeight);

    bt_SostEKLZExit = status_ui::makeCloseButton(this, "bt_SostEKLZExit", {312, 8, 131, 33});
    pn_SostEKLZ = status_ui::makeReportPanel(this, "pn_SostEKLZ", {8, 8, 289, 241});

    mem_SostEKLZ = status_ui::makeReportBox(pn_SostEKLZ, "mem_SostEKLZ", kTeal, Qt::white);
    mem_SostEKLZ->setGeometry(8, 8, 273, 225);
    mem_SostEKLZ->setAccessibleName(windowTitle());

    // The close button stands first in the window, so it comes first in the Tab order too.
    setTabOrder(bt_SostEKLZExit, mem_SostEKLZ);
}

int Tfm_SostEKLZ::RequestEklzState() {
    std::vector<std::string> lines;
    const int result = ptk::RequestEklzState(session_, lines);
    if (result == 1) status_ui::showLines(*mem_SostEKLZ, lines);
    return result;
}
