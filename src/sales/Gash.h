#pragma once

#include <QPointer>
#include <QWidget>

class QFrame;
class QPushButton;

namespace ptk {
class Session;
}

// The report with clearing, which closes the shift. Shown by the mode-entry dialog once the
// register is in the clearing mode.
class Tfm_Gash : public QWidget {
    Q_OBJECT

public:
    explicit Tfm_Gash(ptk::Session& session, QWidget* parent = nullptr);

    // The windows this one hands control back to when it closes (see Tfm_Chek::setHandBack).
    void setHandBack(QWidget* mainWindow, QWidget* modeEntryDialog);

    void bt_OtchClick();

    QFrame* pn_Gash = nullptr;
    QPushButton* bt_Otch = nullptr;
    QPushButton* bt_GashClose = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormClose();
    void setBusy(bool busy);

    ptk::Session& session_;
    QPointer<QWidget> mainWindow_;
    QPointer<QWidget> modeEntryDialog_;
    bool busy_ = false;
    bool centred_ = false;
};
