#include "status/report_window.h"

#include <QFont>
#include <QFrame>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>
#include <QStyle>
#include <QTextCursor>

namespace ptk::status_ui {
namespace {

QPushButton* makeCloseButton(QWidget& window, const ReportLook& look) {
    auto* button = new QPushButton(window.style()->standardIcon(QStyle::SP_DialogCloseButton),
                                   "&Закрыть", &window);
    button->setObjectName(look.closeName);
    button->setToolTip("Выйти из режима");
    button->setGeometry(look.close);
    QObject::connect(button, &QPushButton::clicked, &window, &QWidget::close);
    return button;
}

QFrame* makePanel(QWidget& window, const ReportLook& look) {
    auto* panel = new QFrame(&window);
    panel->setObjectName(look.panelName);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setGeometry(look.panel);
    return panel;
}

// A read-only text box of report lines in bold, in the look's colours.
QPlainTextEdit* makeBox(QFrame& panel, const ReportLook& look) {
    auto* box = new QPlainTextEdit(&panel);
    box->setObjectName(look.boxName);
    box->setReadOnly(true);
    // The register's lines are laid out for a narrow 8-point sans serif (11 pixels): runs of
    // spaces line values up and separators fill the box. A wider font would wrap them. Arial's
    // metrics come closest; Liberation Sans has the same metrics where Arial is missing.
    QFont font = box->font();
    font.setFamilies({"Arial", "Liberation Sans"});
    font.setBold(true);
    font.setPixelSize(11);
    box->setFont(font);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, look.background);
    palette.setColor(QPalette::Text, look.text);
    box->setPalette(palette);
    box->setGeometry(look.box);
    box->setAccessibleName(look.title);
    return box;
}

}  // namespace

ReportWindow::ReportWindow(Session& session, const ReportLook& look, QWidget* parent)
    : ChildWindow(parent, kFixedDialog, Centring::OnEveryShow), session_(session) {
    setObjectName(look.windowName);
    setWindowTitle(look.title);
    setFixedSize(look.clientSize);

    // The order of making is the Tab order.
    if (look.closeFirst) closeButton_ = makeCloseButton(*this, look);
    panel_ = makePanel(*this, look);
    box_ = makeBox(*panel_, look);
    if (!look.closeFirst) closeButton_ = makeCloseButton(*this, look);
}

void ReportWindow::showLines(const std::vector<std::string>& lines) {
    QStringList text;
    for (const auto& line : lines) text << QString::fromStdString(line);
    box_->setPlainText(text.join('\n'));
    // Reports are read from the top.
    box_->moveCursor(QTextCursor::Start);
}

}  // namespace ptk::status_ui
