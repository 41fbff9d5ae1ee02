#include "fiscal_memory/range_page.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ui/form_controls.h"

namespace ptk::fiscal_memory {
namespace {

QLineEdit* rangeEdit(const char* name, QWidget* parent) {
    auto* edit = ui::named<QLineEdit>(name, parent);
    edit->setReadOnly(true);
    return edit;
}

}  // namespace

RangePage::RangePage() {
    setObjectName("tbch_Diapazon");
    bt_ZaprosOk = ui::button("bt_ZaprosOk", "Запрос", "Получить запрос диапазонов", this);
    ed_DDateFirst = rangeEdit("ed_DDateFirst", this);
    ed_DDateLast = rangeEdit("ed_DDateLast", this);
    ed_DNSmFirst = rangeEdit("ed_DNSmFirst", this);
    ed_DNSmLast = rangeEdit("ed_DNSmLast", this);

    auto* layout = new QGridLayout(this);
    layout->addWidget(bt_ZaprosOk, 0, 0, 1, 3, Qt::AlignLeft);
    const auto addRange = [&](int row, const QString& caption, QLineEdit* first, QLineEdit* last) {
        layout->addWidget(ui::labelFor(caption, first, this), row, 0, 1, 3);
        last->setAccessibleName(caption);
        first->setAccessibleDescription("начало");
        last->setAccessibleDescription("конец");
        layout->addWidget(first, row + 1, 0);
        layout->addWidget(new QLabel("__", this), row + 1, 1);
        layout->addWidget(last, row + 1, 2);
    };
    addRange(1, "ДИАПАЗОНЫ ДАТ:", ed_DDateFirst, ed_DDateLast);
    addRange(3, "ДИАПАЗОНЫ СМЕН:", ed_DNSmFirst, ed_DNSmLast);
    layout->setRowStretch(5, 1);
}

void RangePage::showRanges(const FiscalMemoryRanges& ranges) {
    ed_DDateFirst->setText(ui::fromUtf8(ranges.firstDate));
    ed_DDateLast->setText(ui::fromUtf8(ranges.lastDate));
    ed_DNSmFirst->setText(ui::fromUtf8(ranges.firstShift));
    ed_DNSmLast->setText(ui::fromUtf8(ranges.lastShift));
}

void RangePage::clear() {
    for (QLineEdit* edit : {ed_DDateFirst, ed_DDateLast, ed_DNSmFirst, ed_DNSmLast}) edit->clear();
}

}  // namespace ptk::fiscal_memory
