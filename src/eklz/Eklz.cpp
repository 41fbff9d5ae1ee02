#include "eklz/Eklz.h"

#include <QCoreApplication>
#include <QDateEdit>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

#include "eklz/eklz_commands.h"
#include "link/session.h"
#include "ui/digit_edit.h"
#include "ui/picker_formats.h"
#include "ui/waiting_panel.h"

using namespace ptk;

namespace {

constexpr std::string_view kShiftRangeMissing = "Введите диапазон номеров смен ПТК.";
constexpr std::string_view kShiftNumberMissing = "Введите номер смены.";
constexpr std::string_view kKpkNumberMissing = "Введите номер КПК.";

// The dates the register keeps: the year travels as two digits of this century.
const QDate kFirstReportDate(2000, 1, 1);
const QDate kLastReportDate(2099, 12, 31);

// A picker's date as the report travels it: day, month and four-digit year, whatever the
// workstation's own date format is.
std::string reportDateText(const QDate& date) {
    return date.toString(QStringLiteral("dd.MM.yyyy")).toStdString();
}

std::string textOf(const QLineEdit* edit) {
    return edit->text().toStdString();
}

QFrame* panel(const char* name, QWidget* parent) {
    auto* frame = new QFrame(parent);
    frame->setObjectName(name);
    frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
    return frame;
}

QPushButton* button(const char* name, const QString& caption, const QString& hint,
                    QWidget* parent) {
    auto* pushButton = new QPushButton(caption, parent);
    pushButton->setObjectName(name);
    pushButton->setToolTip(hint);
    pushButton->setAutoDefault(false);
    return pushButton;
}

QLabel* heading(const char* name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignCenter);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

QWidget* page(const char* name, QTabWidget* pages, const QString& caption) {
    auto* widget = new QWidget(pages);
    widget->setObjectName(name);
    pages->addTab(widget, caption);
    return widget;
}

// The group "тип отчета" of a report page; its two radio buttons stack in it.
QGroupBox* reportKind(const char* name, QWidget* page) {
    auto* group = new QGroupBox("тип отчета", page);
    group->setObjectName(name);
    new QVBoxLayout(group);
    return group;
}

QRadioButton* radio(const char* name, const QString& caption, QGroupBox* group) {
    auto* radioButton = new QRadioButton(caption, group);
    radioButton->setObjectName(name);
    group->layout()->addWidget(radioButton);
    return radioButton;
}

QLabel* label(const char* name, const QString& text, QWidget* parent) {
    auto* caption = new QLabel(text, parent);
    caption->setObjectName(name);
    return caption;
}

// A labelled field of a page.
struct Bound {
    QLabel* label;
    QWidget* field;
};

// A report page: the kind of report above, the first and last bound below it.
void layOutReportPage(QWidget* page, QGroupBox* kind, Bound first, Bound last) {
    auto* grid = new QGridLayout(page);
    grid->addWidget(kind, 0, 0, 1, 2);
    grid->addWidget(first.label, 1, 0);
    grid->addWidget(first.field, 1, 1);
    grid->addWidget(last.label, 2, 0);
    grid->addWidget(last.field, 2, 1);
}

QDateEdit* datePicker(const char* name, QLabel* label, QWidget* parent) {
    auto* picker = new QDateEdit(parent);
    picker->setObjectName(name);
    picker->setCalendarPopup(true);
    picker->setDisplayFormat(ui::pickerDateFormat());
    picker->setDateRange(kFirstReportDate, kLastReportDate);
    picker->setAccessibleName(label->text());
    label->setBuddy(picker);
    return picker;
}

// A request page: the prompt above its number.
void layOutRequestPage(QWidget* page, Bound number) {
    auto* rows = new QVBoxLayout(page);
    rows->addWidget(number.label);
    rows->addWidget(number.field);
    rows->addStretch();
}

}  // namespace

Tfm_EKLZ::Tfm_EKLZ(Session& session, QWidget* parent)
    : StoppableReportForm(session, parent),
      session_(session),
      today_([] { return QDate::currentDate(); }) {
    setObjectName("fm_EKLZ");
    setWindowTitle("Режим работы с ЭКЛЗ");

    buildCommandPanel();
    buildReportPanel();
    buildRequestPanel();

    const ui::WaitingPanel waiting = ui::makeWaitingPanel(this, ui::kRedWaitingLook);
    pn_Sleep = waiting.panel;
    lb_Sleep = waiting.label;

    makeStopButton(this)->setIcon(style()->standardIcon(QStyle::SP_BrowserStop));
    bt_EKLZClose = button("bt_EKLZClose", "&Закрыть", "Выйти из режима ЭКЛЗ", this);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(pn_Sleep, 1);
    bottom->addWidget(bt_StopReport);
    bottom->addWidget(bt_EKLZClose);

    auto* reports = new QVBoxLayout;
    reports->addWidget(pn_EKLZ4);
    reports->addWidget(pn_EKLZ2, 1);
    auto* requests = new QVBoxLayout;
    requests->addWidget(pn_EKLZ5);
    requests->addWidget(pn_EKLZ3, 1);
    auto* middle = new QHBoxLayout;
    middle->addLayout(reports);
    middle->addLayout(requests);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pn_EKLZ1);
    layout->addLayout(middle);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(bt_Aktiv, &QPushButton::clicked, this, &Tfm_EKLZ::bt_AktivClick);
    connect(bt_ItogAktiv, &QPushButton::clicked, this, &Tfm_EKLZ::bt_ItogAktivClick);
    connect(bt_CloseArhiv, &QPushButton::clicked, this, &Tfm_EKLZ::bt_CloseArhivClick);
    connect(bt_OtchOk, &QPushButton::clicked, this, &Tfm_EKLZ::bt_OtchOkClick);
    connect(bt_ZaprosOk, &QPushButton::clicked, this, &Tfm_EKLZ::bt_ZaprosOkClick);
    connect(bt_EKLZClose, &QPushButton::clicked, this, &QWidget::close);
}

void Tfm_EKLZ::buildCommandPanel() {
    pn_EKLZ1 = panel("pn_EKLZ1", this);
    bt_Aktiv = button("bt_Aktiv", "АКТИВИЗАЦИЯ ", "Активизация ЭКЛЗ", pn_EKLZ1);
    bt_ItogAktiv =
        button("bt_ItogAktiv", "ИТОГИ  АКТИВИЗАЦИИ", "Печать итогов активизации ЭКЛЗ", pn_EKLZ1);
    bt_CloseArhiv = button("bt_CloseArhiv", "ЗАКРЫТИЕ  АРХИВА", "Закрытие архива ЭКЛЗ", pn_EKLZ1);
    auto* row = new QHBoxLayout(pn_EKLZ1);
    row->addWidget(bt_Aktiv);
    row->addWidget(bt_ItogAktiv);
    row->addWidget(bt_CloseArhiv);
}

QLineEdit* Tfm_EKLZ::numberEdit(const char* name, const QString& designText, int digits,
                                QLabel* label, QWidget* parent) {
    auto* edit = new QLineEdit(designText, parent);
    edit->setObjectName(name);
    edit->setAccessibleName(label->text());
    label->setBuddy(edit);
    ui::acceptDigitsOnly(*edit,
                         {.digits = digits, .otherwise = ui::DigitRules::Otherwise::KeptWhole},
                         [this] { session_.frontEnd.beep(); });
    return edit;
}

void Tfm_EKLZ::buildReportPanel() {
    pn_EKLZ4 = panel("pn_EKLZ4", this);
    Label1 = heading("Label1", "ОТЧЕТЫ", pn_EKLZ4);
    (new QHBoxLayout(pn_EKLZ4))->addWidget(Label1);

    pn_EKLZ2 = panel("pn_EKLZ2", this);
    pg_Otch = new QTabWidget(pn_EKLZ2);
    pg_Otch->setObjectName("pg_Otch");

    tbch_OtchDate = page("tbch_OtchDate", pg_Otch, "По датам");
    gb_OtchDateVid = reportKind("gb_OtchDateVid", tbch_OtchDate);
    rb_OtchDatePoln = radio("rb_OtchDatePoln", "полный", gb_OtchDateVid);
    rb_OtchDateSokr = radio("rb_OtchDateSokr", "сокращённый", gb_OtchDateVid);
    Label60 = label("Label60", "начальная дата", tbch_OtchDate);
    dtp_OtchDateFirst = datePicker("dtp_OtchDateFirst", Label60, tbch_OtchDate);
    Label61 = label("Label61", "конечная дата", tbch_OtchDate);
    dtp_OtchDateLast = datePicker("dtp_OtchDateLast", Label61, tbch_OtchDate);
    layOutReportPage(tbch_OtchDate, gb_OtchDateVid, {Label60, dtp_OtchDateFirst},
                     {Label61, dtp_OtchDateLast});

    tbch_OtchNumSm = page("tbch_OtchNumSm", pg_Otch, "По номерам смен");
    gb_OtchNSmVid = reportKind("gb_OtchNSmVid", tbch_OtchNumSm);
    rb_OtchNSmPoln = radio("rb_OtchNSmPoln", "полный", gb_OtchNSmVid);
    rb_OtchNSmSokr = radio("rb_OtchNSmSokr", "сокращённый", gb_OtchNSmVid);
    Label6 = label("Label6", "начальный № смены", tbch_OtchNumSm);
    ed_OtchNSmFirst =
        numberEdit("ed_OtchNSmFirst", "1234", eklz::kShiftDigits, Label6, tbch_OtchNumSm);
    Label7 = label("Label7", "конечный № смены", tbch_OtchNumSm);
    ed_OtchNSmLast =
        numberEdit("ed_OtchNSmLast", "1234", eklz::kShiftDigits, Label7, tbch_OtchNumSm);
    layOutReportPage(tbch_OtchNumSm, gb_OtchNSmVid, {Label6, ed_OtchNSmFirst},
                     {Label7, ed_OtchNSmLast});

    rb_OtchDatePoln->setChecked(true);
    rb_OtchNSmPoln->setChecked(true);

    bt_OtchOk = button("bt_OtchOk", "Отчет", "Получить отчет", pn_EKLZ2);
    bt_OtchOk->setIcon(style()->standardIcon(QStyle::SP_DialogApplyButton));
    auto* column = new QVBoxLayout(pn_EKLZ2);
    column->addWidget(pg_Otch);
    column->addWidget(bt_OtchOk, 0, Qt::AlignRight);
}

void Tfm_EKLZ::buildRequestPanel() {
    pn_EKLZ5 = panel("pn_EKLZ5", this);
    Label8 = heading("Label8", "ЗАПРОСЫ", pn_EKLZ5);
    (new QHBoxLayout(pn_EKLZ5))->addWidget(Label8);

    pn_EKLZ3 = panel("pn_EKLZ3", this);
    pg_Zapros = new QTabWidget(pn_EKLZ3);
    pg_Zapros->setObjectName("pg_Zapros");
    // Every tab in sight at once, never behind scroll arrows.
    pg_Zapros->setUsesScrollButtons(false);

    tbch_KL = page("tbch_KL", pg_Zapros, "Контрольная лента");
    Label4 = label("Label4", "ВВЕДИТЕ НОМЕР СМЕНЫ:", tbch_KL);
    ed_NumSmenKL = numberEdit("ed_NumSmenKL", "1234", eklz::kShiftDigits, Label4, tbch_KL);
    layOutRequestPage(tbch_KL, {Label4, ed_NumSmenKL});

    tbch_Docum = page("tbch_Docum", pg_Zapros, "Документ");
    Label3 = label("Label3", "ВВЕДИТЕ НОМЕР КПК:", tbch_Docum);
    ed_KPK = numberEdit("ed_KPK", "12345678", eklz::kKpkDigits, Label3, tbch_Docum);
    layOutRequestPage(tbch_Docum, {Label3, ed_KPK});

    tbch_ItogSmen = page("tbch_ItogSmen", pg_Zapros, "Итоги смены");
    Label2 = label("Label2", "ВВЕДИТЕ НОМЕР СМЕНЫ:", tbch_ItogSmen);
    ed_NumSm = numberEdit("ed_NumSm", "1234", eklz::kShiftDigits, Label2, tbch_ItogSmen);
    layOutRequestPage(tbch_ItogSmen, {Label2, ed_NumSm});

    bt_ZaprosOk = button("bt_ZaprosOk", "Запрос", "Получить запрос", pn_EKLZ3);
    bt_ZaprosOk->setIcon(style()->standardIcon(QStyle::SP_DialogApplyButton));
    auto* column = new QVBoxLayout(pn_EKLZ3);
    column->addWidget(pg_Zapros);
    column->addWidget(bt_ZaprosOk, 0, Qt::AlignRight);
}

bool Tfm_EKLZ::prepareForEntry(const ui::ModeEntry&) {
    pn_Sleep->hide();
    for (QFrame* shown : {pn_EKLZ1, pn_EKLZ2, pn_EKLZ3, pn_EKLZ4, pn_EKLZ5}) shown->show();
    bt_StopReport->setEnabled(false);
    pg_Otch->setCurrentWidget(tbch_OtchDate);
    rb_OtchDatePoln->setChecked(true);
    const QDate today = today_();
    dtp_OtchDateFirst->setDate(today);
    dtp_OtchDateLast->setDate(today);
    rb_OtchNSmPoln->setChecked(true);
    ed_OtchNSmFirst->clear();
    ed_OtchNSmLast->clear();
    pg_Zapros->setCurrentWidget(tbch_ItogSmen);
    ed_NumSm->clear();
    ed_NumSmenKL->clear();
    ed_KPK->clear();
    return true;
}

void Tfm_EKLZ::bt_AktivClick() {
    runSingleCommand("Провести активизацию ЭКЛЗ?", eklz::kActivation);
}

void Tfm_EKLZ::bt_ItogAktivClick() {
    runSingleCommand("Печатать итоги активизации ЭКЛЗ?", eklz::kActivationTotals);
}

void Tfm_EKLZ::bt_CloseArhivClick() {
    runSingleCommand("Закрыть архив ЭКЛЗ?", eklz::kArchiveClosing);
}

void Tfm_EKLZ::runSingleCommand(std::string_view question, int operationCode) {
    if (reportRunning()) return;
    if (!session_.frontEnd.askQuestion(question, boxOwner())) return;
    // The result field keeps what it showed: the transaction writes its own outcome there.
    hookthread(eklz::EKLZCMDTHREADARG{operationCode});
}

void Tfm_EKLZ::showFieldError(std::string_view text) {
    session_.frontEnd.showMessage(MessageIcon::Error, kErrorCaption, text, boxOwner());
}

void Tfm_EKLZ::bt_OtchOkClick() {
    if (reportRunning()) return;
    eklz::OTCHTHREADARG record;
    if (pg_Otch->currentWidget() == tbch_OtchNumSm) {
        record.routine = eklz::OTCHTHREADARG::Routine::EklzReportByShifts;
        record.full = rb_OtchNSmPoln->isChecked() ? 1 : 0;
        record.first = textOf(ed_OtchNSmFirst);
        record.last = textOf(ed_OtchNSmLast);
        // An empty number, or one that is not a number of the field's digits, sends nothing.
        if (!eklz::packShiftNumber(record.first) || !eklz::packShiftNumber(record.last)) {
            showFieldError(kShiftRangeMissing);
            return;
        }
    } else {
        record.routine = eklz::OTCHTHREADARG::Routine::EklzReportByDates;
        record.full = rb_OtchDatePoln->isChecked() ? 1 : 0;
        record.first = reportDateText(dtp_OtchDateFirst->date());
        record.last = reportDateText(dtp_OtchDateLast->date());
    }
    session_.frontEnd.setResultText("");
    hookthread(record);
}

void Tfm_EKLZ::bt_ZaprosOkClick() {
    if (reportRunning()) return;
    eklz::EKLZPRNTHREADARG record;
    bool valid = false;
    std::string_view missing;
    QWidget* current = pg_Zapros->currentWidget();
    if (current == tbch_KL) {
        record = {eklz::kControlTape, textOf(ed_NumSmenKL)};
        valid = eklz::packShiftNumber(record.number).has_value();
        missing = kShiftNumberMissing;
    } else if (current == tbch_Docum) {
        record = {eklz::kDocument, textOf(ed_KPK)};
        valid = eklz::packKpkNumber(record.number).has_value();
        missing = kKpkNumberMissing;
    } else {
        record = {eklz::kShiftTotals, textOf(ed_NumSm)};
        valid = eklz::packShiftNumber(record.number).has_value();
        missing = kShiftNumberMissing;
    }
    if (!valid) {
        showFieldError(missing);
        return;
    }
    session_.frontEnd.setResultText("");
    hookthread(record);
}

void Tfm_EKLZ::showReportRunning(bool running) {
    bt_StopReport->setEnabled(running);
    pn_Sleep->setVisible(running);
    for (QPushButton* starter :
         {bt_EKLZClose, bt_Aktiv, bt_ItogAktiv, bt_CloseArhiv, bt_OtchOk, bt_ZaprosOk}) {
        starter->setEnabled(!running);
    }
    // The running state is painted before the register starts to print.
    if (running) QCoreApplication::processEvents();
}

void Tfm_EKLZ::hookthread(const eklz::EklzThreadArg& record) {
    runReport([this, &record] { eklz::ReportThreadProc(session_, record); });
}
