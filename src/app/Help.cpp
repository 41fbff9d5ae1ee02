#include "app/Help.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#ifndef PTK_VERSION
#error "PTK_VERSION comes from the build"
#endif

namespace ptk::ui {

Tfm_Help::Tfm_Help(QWidget* mainWindow)
    : ChildWindow(nullptr, kFixedWindow, Centring::OnFirstShow) {
    setMainWindow(mainWindow);
    setObjectName(QStringLiteral("fm_Help"));
    setWindowTitle(QStringLiteral("О программе"));

    lb_Title = new QLabel(QStringLiteral("Программа налогового инспектора"), this);
    lb_Title->setObjectName(QStringLiteral("lb_Title"));
    QFont titleFont = lb_Title->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
    lb_Title->setFont(titleFont);
    lb_Version = new QLabel(versionLine(), this);
    lb_Version->setObjectName(QStringLiteral("lb_Version"));
    lb_Family = new QLabel(QStringLiteral("для ПТК семейства ОРВЕЛЬ"), this);
    lb_Family->setObjectName(QStringLiteral("lb_Family"));
    bt_HelpOk = new QPushButton(QStringLiteral("OK"), this);
    bt_HelpOk->setObjectName(QStringLiteral("bt_HelpOk"));
    bt_HelpOk->setDefault(true);
    connect(bt_HelpOk, &QPushButton::clicked, this, &QWidget::close);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 16);
    layout->setSpacing(10);
    for (QLabel* label : {lb_Title, lb_Version, lb_Family}) {
        label->setAlignment(Qt::AlignCenter);
        layout->addWidget(label);
    }
    layout->addSpacing(8);
    layout->addWidget(bt_HelpOk, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString Tfm_Help::versionLine() {
    return QStringLiteral("Версия %1").arg(QStringLiteral(PTK_VERSION));
}

void Tfm_Help::FormClose() {
    bringBackMainWindow();
}

void Tfm_Help::keyPressEvent(QKeyEvent* event) {
    // A static box: Esc closes it as well as OK does.
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace ptk::ui
