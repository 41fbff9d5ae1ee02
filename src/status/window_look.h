#pragma once

#include <QColor>
#include <QFrame>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>
#include <QStyle>
#include <QTextCursor>
#include <QWidget>

#include <string>
#include <vector>

// Small pieces of look shared by the status windows.
namespace ptk::status_ui {

// The raised panel a report's text box stands on.
inline QFrame* makeReportPanel(QWidget* window, const char* name, const QRect& geometry) {
    auto* panel = new QFrame(window);
    panel->setObjectName(name);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setGeometry(geometry);
    return panel;
}

// The button that closes a report window and so hands control back to the main window.
inline QPushButton* makeCloseButton(QWidget* window, const char* name, const QRect& geometry) {
    auto* button = new QPushButton(window->style()->standardIcon(QStyle::SP_DialogCloseButton),
                                   "&Закрыть", window);
    button->setObjectName(name);
    button->setToolTip("Выйти из режима");
    button->setGeometry(geometry);
    QObject::connect(button, &QPushButton::clicked, window, &QWidget::close);
    return button;
}

// A read-only text box of report lines in bold, with the given colours.
inline QPlainTextEdit* makeReportBox(QWidget* parent, const char* name, QColor text,
                                     QColor background) {
    auto* box = new QPlainTextEdit(parent);
    box->setObjectName(name);
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
    palette.setColor(QPalette::Base, background);
    palette.setColor(QPalette::Text, text);
    box->setPalette(palette);
    return box;
}

// Shows the lines in the text box, replacing what it held.
inline void showLines(QPlainTextEdit& box, const std::vector<std::string>& lines) {
    QStringList text;
    for (const auto& line : lines) text << QString::fromStdString(line);
    box.setPlainText(text.join('\n'));
    // Reports are read from the top.
    box.moveCursor(QTextCursor::Start);
}

}  // namespace ptk::status_ui
