#pragma once

#include <QPointer>
#include <QWidget>

class QFrame;
class QPlainTextEdit;
class QPushButton;

namespace ptk {
class Session;
}

// The EKLZ state window: the state of the register's protected control tape as lines of text.
class Tfm_SostEKLZ : public QWidget {
    Q_OBJECT

public:
    static constexpr int kClientWidth = 451;
    static constexpr int kClientHeight = 258;

    explicit Tfm_SostEKLZ(ptk::Session& session, QWidget* parent = nullptr);

    // The window that is enabled again when this one closes.
    void setMainWindow(QWidget* mainWindow) { mainWindow_ = mainWindow; }

    // The EKLZ state request; on success the text box shows its lines. The main menu opens the
    // window only for a result of 1.
    int RequestEklzState();

    QPushButton* bt_SostEKLZExit = nullptr;
    QFrame* pn_SostEKLZ = nullptr;
    QPlainTextEdit* mem_SostEKLZ = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormClose();

    ptk::Session& session_;
    QPointer<QWidget> mainWindow_;
};
