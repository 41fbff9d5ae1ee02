#include "fiscal_memory/sleep_panel.h"

#include <QColor>
#include <QFont>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPalette>

namespace ptk::ui {

SleepPanel makeSleepPanel(QWidget* parent) {
    auto* panel = new QFrame(parent);
    panel->setObjectName("pn_Sleep");
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setAutoFillBackground(true);
    QPalette colours = panel->palette();
    colours.setColor(QPalette::Window, QColor(0x80, 0x80, 0x80));
    colours.setColor(QPalette::WindowText, Qt::white);
    panel->setPalette(colours);

    auto* label = new QLabel("Ждите !!!", panel);
    label->setObjectName("lb_Sleep");
    label->setAlignment(Qt::AlignCenter);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    (new QHBoxLayout(panel))->addWidget(label);

    QSizePolicy keepPlace = panel->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    panel->setSizePolicy(keepPlace);
    panel->hide();
    return {panel, label};
}

}  // namespace ptk::ui
