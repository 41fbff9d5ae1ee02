#pragma once

#include <QColor>
#include <QRect>
#include <QSize>

#include <string>
#include <vector>

#include "ui/child_window.h"

class QFrame;
class QPlainTextEdit;
class QPushButton;

namespace ptk {
class Session;
}

namespace ptk::status_ui {

// Where a report window's controls stand and how its text looks. The names are the object names
// of the window and of its controls.
struct ReportLook {
    const char* windowName;
    const char* title;
    QSize clientSize;
    const char* panelName;
    QRect panel;
    const char* boxName;
    QRect box;  // within the panel
    QColor text;
    QColor background;
    const char* closeName;
    QRect close;
    // The close button stands first in the window, and so first in the Tab order.
    bool closeFirst = false;
};

// A window that shows one of the register's reports as lines of text: a raised panel holding a
// read-only text box in bold, and a close button that hands control back to the main window.
// Fixed in size and centred each time it is shown. The report windows differ in their look and
// in the requests that fill the box.
class ReportWindow : public ui::ChildWindow {
    Q_OBJECT

protected:
    ReportWindow(Session& session, const ReportLook& look, QWidget* parent);

    Session& session() const { return session_; }
    QFrame* panel() const { return panel_; }
    QPlainTextEdit* box() const { return box_; }
    QPushButton* closeButton() const { return closeButton_; }

    // Shows the lines in the text box, replacing what it held.
    void showLines(const std::vector<std::string>& lines);

private:
    Session& session_;
    QFrame* panel_ = nullptr;
    QPlainTextEdit* box_ = nullptr;
    QPushButton* closeButton_ = nullptr;
};

}  // namespace ptk::status_ui
