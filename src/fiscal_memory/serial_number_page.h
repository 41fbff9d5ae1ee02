#pragma once

#include <QWidget>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace ptk::fiscal_memory {

// "Прогр. заводского номера": the register's serial number, programmed once.
class SerialNumberPage final : public QWidget {
    Q_OBJECT

public:
    explicit SerialNumberPage(const std::function<void()>& beep);

    QLabel* Label1 = nullptr;
    QLineEdit* ed_ZavNum = nullptr;
    QPushButton* bt_ZavNumOk = nullptr;
};

}  // namespace ptk::fiscal_memory
