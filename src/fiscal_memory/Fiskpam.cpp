#include "fiscal_memory/Fiskpam.h"

#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "fiscal_memory/range_page.h"
#include "fiscal_memory/registration_commands.h"
#include "fiscal_memory/registration_page.h"
#include "fiscal_memory/report_page.h"
#include "fiscal_memory/serial_number_page.h"
#include "link/session.h"
#include "ui/form_controls.h"
#include "ui/waiting_panel.h"

using namespace ptk;
using namespace ptk::fiscal_memory;

namespace {
constexpr const char* kSerialQuestion = "Запрограммировать данный номер ПТК ?";
}  // namespace

Tfm_FiskPam::Tfm_FiskPam(Session& session, QWidget* parent)
    : StoppableReportForm(session, parent),
      session_(session),
      registration_(session, boxOwner()),
      now_([] { return QDateTime::currentDateTime(); }) {
    setObjectName("fm_FiskPam");
    setWindowTitle("Режим работы с ФП");

    const auto beep = [this] { session_.frontEnd.beep(); };
    pg_FiskPam = ui::named<QTabWidget>("pg_FiskPam", this);
    tbch_ZavNum = new SerialNumberPage(beep);
    pg_FiskPam->addTab(tbch_ZavNum, "Прогр. заводского номера");
    tbch_Registr = new RegistrationPage(beep);
    pg_FiskPam->addTab(tbch_Registr, "Фискализация/перерегистрация");
    tbch_Otch = new ReportPage(beep);
    pg_FiskPam->addTab(tbch_Otch, "Отчеты");
    tbch_Diapazon = new RangePage;
    pg_FiskPam->addTab(tbch_Diapazon, "Диапазон");

    bt_FiskPamClose = ui::button("bt_FiskPamClose", "Закрыть", "Выйти из режима ФП", this);
    makeStopButton(this);
    const ui::WaitingPanel waiting = ui::makeWaitingPanel(this, ui::kGreyWaitingLook);
    pn_Sleep = waiting.panel;
    lb_Sleep = waiting.label;
    // Hiding the pages must not change the form's size either.
    QSizePolicy keepPlace = pg_FiskPam->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    pg_FiskPam->setSizePolicy(keepPlace);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(bt_StopReport);
    bottom->addWidget(pn_Sleep, 1);
    bottom->addWidget(bt_FiskPamClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pg_FiskPam);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(pg_FiskPam, &QTabWidget::currentChanged, this, &Tfm_FiskPam::pg_FiskPamChange);
    connect(bt_FiskPamClose, &QPushButton::clicked, this, &QWidget::close);
    connect(tbch_ZavNum->bt_ZavNumOk, &QPushButton::clicked, this, &Tfm_FiskPam::bt_ZavNumOkClick);
    connect(tbch_Registr->bt_Registr, &QPushButton::clicked, this, &Tfm_FiskPam::bt_RegistrClick);
    connect(tbch_Otch->bt_OtchOk, &QPushButton::clicked, this, &Tfm_FiskPam::fmemrpthookthread);
    connect(tbch_Diapazon->bt_ZaprosOk, &QPushButton::clicked, this,
            &Tfm_FiskPam::bt_ZaprosOkClick);
    FormCreate();
}

void Tfm_FiskPam::FormCreate() {
    tbch_Registr->eimgidx->setText("1");
    tbch_Registr->eimgstr->setText("1");
    tbch_Registr->eimgoffset->setText("0");
}

void Tfm_FiskPam::showError(const char* text) {
    session_.frontEnd.showMessage(MessageIcon::Error, kErrorCaption, text, boxOwner());
}

void Tfm_FiskPam::busyWith(std::initializer_list<QWidget*> controls) {
    setBusyControls(controls);
    setBusy(true);
}

bool Tfm_FiskPam::prepareForEntry(const ui::ModeEntry& entry) {
    accessPassword_ = entry.accessPassword;
    pn_Sleep->hide();
    pg_FiskPam->show();
    bt_StopReport->setEnabled(false);
    tbch_ZavNum->ed_ZavNum->clear();
    tbch_Registr->clearRequisites();
    const QDateTime now = now_();
    tbch_Registr->setClock(now);
    tbch_Otch->reset(now.date());
    tbch_Diapazon->clear();
    pg_FiskPam->setCurrentWidget(tbch_ZavNum);
    tbch_ZavNum->ed_ZavNum->setFocus();
    // Every registration of this opening starts with the checks.
    registration_.restart(accessPassword_);

    HeaderLineTexts lines = tbch_Registr->headerLines();
    const bool ready = FiskPamStartUp(session_, lines, accessPassword_, boxOwner());
    tbch_Registr->setHeaderLines(lines);
    return ready;
}

void Tfm_FiskPam::pg_FiskPamChange(int index) {
    if (index == pg_FiskPam->indexOf(tbch_ZavNum)) tbch_ZavNum->ed_ZavNum->setFocus();
    if (index == pg_FiskPam->indexOf(tbch_Registr)) tbch_Registr->ed_RegNum->setFocus();
    bt_StopReport->setEnabled(false);
}

void Tfm_FiskPam::bt_ZavNumOkClick() {
    if (isBusy()) return;
    if (!session_.frontEnd.askQuestion(kSerialQuestion, boxOwner())) return;
    QLineEdit* serialNumber = tbch_ZavNum->ed_ZavNum;
    if (serialNumber->text().trimmed().isEmpty()) {
        showError("Введите заводской номер ПТК.");
        return;
    }
    session_.frontEnd.setResultText("");
    busyWith({pg_FiskPam, serialNumber, tbch_ZavNum->bt_ZavNumOk, bt_FiskPamClose});
    // Success shows in the result field; a failure has shown its box.
    ProgramSerialNumber(session_, serialNumber->text().toStdString());
    setBusy(false);
}

void Tfm_FiskPam::bt_RegistrClick() {
    if (isBusy()) return;
    Requisites requisites = tbch_Registr->requisites();
    const RegistrationCheck check = registration_.check(
        requisites, [this](const Requisites& checked) { tbch_Registr->showRequisites(checked); });
    if (check == RegistrationCheck::NameMissing) tbch_Registr->ed_Name1->setFocus();
    if (check != RegistrationCheck::Ready || !registration_.linesWritable(requisites)) return;

    pn_Sleep->show();
    busyWith({bt_FiskPamClose, tbch_Registr->bt_Registr});
    const RegistrationSent sent =
        registration_.send(requisites, tbch_Registr->date(), tbch_Registr->time());
    // The register wants the date once more: today is put back for the inspector to check.
    if (sent == RegistrationSent::DateToConfirm) tbch_Registr->dt_Date->setDate(now_().date());
    pn_Sleep->hide();
    setBusy(false);
}

void Tfm_FiskPam::showReportRunning(bool running) {
    bt_StopReport->setEnabled(running);
    pn_Sleep->setVisible(running);
    tbch_Otch->setRunning(running);
    for (QWidget* control :
         {static_cast<QWidget*>(bt_FiskPamClose), static_cast<QWidget*>(pg_FiskPam)}) {
        control->setEnabled(!running);
    }
}

void Tfm_FiskPam::fmemrpthookthread() {
    if (isBusy() || reportRunning()) return;
    const std::optional<FMEMRPTTHREADARG> arg = tbch_Otch->report();
    if (!arg) {
        showError("Введите диапазон номеров смен ПТК.");
        return;
    }
    // What the inspector is told when no worker could be started.
    PacketResult result{DriverCode::OutOfMemory};
    runReport([this, &result, report = *arg] { result = RunFiscalMemoryReport(session_, report); },
              [this, &result] { session_.errors.ShowDriverResult(boxOwner(), result); });
}

void Tfm_FiskPam::bt_ZaprosOkClick() {
    if (isBusy()) return;
    session_.frontEnd.setResultText("");
    busyWith({bt_FiskPamClose});
    pg_FiskPam->hide();
    pn_Sleep->show();
    FiscalMemoryRanges ranges;
    if (QueryRanges(session_, ranges).succeeded()) tbch_Diapazon->showRanges(ranges);
    setBusy(false);
    pg_FiskPam->show();
    pn_Sleep->hide();
}
