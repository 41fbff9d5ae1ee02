#pragma once

#include <QPointer>
#include <QWidget>

#include <string>
#include <vector>

class QFrame;
class QPlainTextEdit;
class QPushButton;

namespace ptk {
class Session;
}

// The registration information window: EKLZ activations, ИНН, РНМ, the first shift, the date of
// fiscalisation and the number of the EKLZ, read from three of the register's data registers.
class Tfm_RegInf : public QWidget {
    Q_OBJECT

public:
    static constexpr int kClientWidth = 435;
    static constexpr int kClientHeight = 353;

    explicit Tfm_RegInf(ptk::Session& session, QWidget* parent = nullptr);

    // The window that is enabled again when this one closes.
    void setMainWindow(QWidget* mainWindow) { mainWindow_ = mainWindow; }

    // The reads of data registers 26, 27 and 28 in turn, each only after the one before
    // succeeded, their lines shown in the text box; the result of the last read made, which
    // decides whether the main menu opens the window.
    int RunRequests();

    QFrame* pn_RegInf = nullptr;
    QPlainTextEdit* mem_RegInf = nullptr;
    QPushButton* bt_RegInfExit = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormClose();

    ptk::Session& session_;
    // What the reads have written so far; only the answer of data register 26 starts it afresh.
    std::vector<std::string> lines_;
    QPointer<QWidget> mainWindow_;
};
