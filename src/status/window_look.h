#pragma once

#include <QColor>
#include <QGuiApplication>
#include <QPalette>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStringList>
#include <QTextCursor>
#include <QWidget>

#include <string>
#include <vector>

// Small pieces of look shared by the status windows.
namespace ptk::status_ui {

// Puts a top-level window in the middle of the screen it is on.
inline void centreOnScreen(QWidget& window) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    QRect frame = window.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window.move(frame.topLeft());
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
