#include "ui/waiting_panel.h"

#include <QFont>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPalette>

namespace ptk::ui {

WaitingPanel makeWaitingPanel(QWidget* parent, const WaitingLook& look) {
    auto* panel = new QFrame(parent);
    panel->setObjectName("pn_Sleep");
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    if (look.background) {
        panel->setAutoFillBackground(true);
        QPalette colours = panel->palette();
        colours.setColor(QPalette::Window, *look.background);
        colours.setColor(QPalette::WindowText, look.text);
        panel->setPalette(colours);
    }

    auto* label = new QLabel("Ждите !!!", panel);
    label->setObjectName("lb_Sleep");
    label->setAlignment(Qt::AlignCenter);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    if (!look.background) {
        QPalette colours = label->palette();
        colours.setColor(QPalette::WindowText, look.text);
        label->setPalette(colours);
    }
    (new QHBoxLayout(panel))->addWidget(label);

    QSizePolicy keepPlace = panel->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    panel->setSizePolicy(keepPlace);
    panel->hide();
    return {panel, label};
}

}  // namespace ptk::ui
