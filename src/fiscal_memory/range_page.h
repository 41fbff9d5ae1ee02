#pragma once

#include <QWidget>

#include "fiscal_memory/report_commands.h"

class QLineEdit;
class QPushButton;

namespace ptk::fiscal_memory {

// "Диапазон": the dates and the shifts the fiscal memory holds, as the register tells them.
class RangePage final : public QWidget {
    Q_OBJECT

public:
    RangePage();

    void showRanges(const FiscalMemoryRanges& ranges);
    void clear();

    QPushButton* bt_ZaprosOk = nullptr;
    QLineEdit* ed_DDateFirst = nullptr;
    QLineEdit* ed_DDateLast = nullptr;
    QLineEdit* ed_DNSmFirst = nullptr;
    QLineEdit* ed_DNSmLast = nullptr;
};

}  // namespace ptk::fiscal_memory
