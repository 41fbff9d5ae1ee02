#include "fiscal_memory/report_page.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "ui/digit_edit.h"
#include "ui/form_controls.h"

namespace ptk::fiscal_memory {
namespace {

// One page of "Отчеты": the kind of report ("полная" checked, "сокращённая") and the first and
// last of its range, each with its label.
struct KindAndRange {
    QWidget* page;
    const char* group;
    const char* full;
    const char* brief;
    const char* firstLabel;
    QWidget* first;
    const char* lastLabel;
    QWidget* last;
};

QGroupBox* layOut(const KindAndRange& parts, QRadioButton*& full, QRadioButton*& brief) {
    using ui::named;
    auto* group = named<QGroupBox>(parts.group, "вид информации", parts.page);
    full = named<QRadioButton>(parts.full, "полная", group);
    brief = named<QRadioButton>(parts.brief, "сокращённая", group);
    full->setChecked(true);
    auto* kind = new QVBoxLayout(group);
    kind->addWidget(full);
    kind->addWidget(brief);
    auto* layout = new QGridLayout(parts.page);
    layout->addWidget(group, 0, 0, 2, 1);
    layout->addWidget(ui::labelFor(parts.firstLabel, parts.first, parts.page), 0, 1);
    layout->addWidget(parts.first, 0, 2);
    layout->addWidget(ui::labelFor(parts.lastLabel, parts.last, parts.page), 1, 1);
    layout->addWidget(parts.last, 1, 2);
    return group;
}

}  // namespace

ReportPage::ReportPage(const std::function<void()>& beep) {
    using ui::named;
    setObjectName("tbch_Otch");
    pg_Otch = named<QTabWidget>("pg_Otch", this);

    tbch_OtchDate = named<QWidget>("tbch_OtchDate");
    dtp_OtchDateFirst = ui::datePicker("dtp_OtchDateFirst", tbch_OtchDate);
    dtp_OtchDateLast = ui::datePicker("dtp_OtchDateLast", tbch_OtchDate);
    gb_OtchDateVid =
        layOut({tbch_OtchDate, "gb_OtchDateVid", "rb_OtchDatePoln", "rb_OtchDateSokr",
                "начальная дата", dtp_OtchDateFirst, "конечная дата", dtp_OtchDateLast},
               rb_OtchDatePoln, rb_OtchDateSokr);
    pg_Otch->addTab(tbch_OtchDate, "По дате");

    tbch_OtchNumSm = named<QWidget>("tbch_OtchNumSm");
    ed_OtchNSmFirst = named<QLineEdit>("ed_OtchNSmFirst", tbch_OtchNumSm);
    ui::acceptDigitsOnly(*ed_OtchNSmFirst, {.digits = 4}, beep);
    ed_OtchNSmLast = named<QLineEdit>("ed_OtchNSmLast", tbch_OtchNumSm);
    ui::acceptDigitsOnly(*ed_OtchNSmLast, {.digits = 4}, beep);
    gb_OtchNSmVid =
        layOut({tbch_OtchNumSm, "gb_OtchNSmVid", "rb_OtchNSmPoln", "rb_OtchNSmSokr",
                "начальный № смены", ed_OtchNSmFirst, "конечный № смены", ed_OtchNSmLast},
               rb_OtchNSmPoln, rb_OtchNSmSokr);
    pg_Otch->addTab(tbch_OtchNumSm, "По номеру смены");

    bt_OtchOk = ui::button("bt_OtchOk", "Отчет", "Получить отчет", this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pg_Otch);
    layout->addWidget(bt_OtchOk, 0, Qt::AlignRight);
    layout->addStretch(1);
}

void ReportPage::reset(const QDate& today) {
    pg_Otch->setCurrentWidget(tbch_OtchDate);
    rb_OtchDatePoln->setChecked(true);
    rb_OtchNSmPoln->setChecked(true);
    dtp_OtchDateFirst->setDate(today);
    dtp_OtchDateLast->setDate(today);
    ed_OtchNSmFirst->clear();
    ed_OtchNSmLast->clear();
}

std::optional<FMEMRPTTHREADARG> ReportPage::report() const {
    FMEMRPTTHREADARG arg;
    if (pg_Otch->currentWidget() != tbch_OtchNumSm) {
        arg.kind = FMEMRPTTHREADARG::kByDates;
        arg.full = rb_OtchDatePoln->isChecked() ? 1 : 0;
        const QDate first = dtp_OtchDateFirst->date();
        const QDate last = dtp_OtchDateLast->date();
        arg.first = reportDayTime(first.year(), first.month(), first.day());
        arg.last = reportDayTime(last.year(), last.month(), last.day());
        return arg;
    }
    arg.kind = FMEMRPTTHREADARG::kByShifts;
    arg.full = rb_OtchNSmPoln->isChecked() ? 1 : 0;
    const QString first = ed_OtchNSmFirst->text().trimmed();
    const QString last = ed_OtchNSmLast->text().trimmed();
    if (first.isEmpty() || last.isEmpty()) return std::nullopt;
    arg.first = first.toInt();
    arg.last = last.toInt();
    return arg;
}

void ReportPage::setRunning(bool running) {
    for (QWidget* control : std::initializer_list<QWidget*>{
             bt_OtchOk, rb_OtchNSmPoln, rb_OtchNSmSokr, ed_OtchNSmFirst, ed_OtchNSmLast,
             dtp_OtchDateFirst, dtp_OtchDateLast, pg_Otch}) {
        control->setEnabled(!running);
    }
}

}  // namespace ptk::fiscal_memory
