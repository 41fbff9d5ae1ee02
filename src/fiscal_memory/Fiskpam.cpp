#include "fiscal_memory/Fiskpam.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDateEdit>
#include <QFont>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTabWidget>
#include <QTimeEdit>
#include <QVBoxLayout>

#include <algorithm>

#include "fiscal_memory/picture_panel.h"
#include "fiscal_memory/registration_commands.h"
#include "fiscal_memory/report_commands.h"
#include "fiscal_memory/sleep_panel.h"
#include "fiscal_memory/up_down.h"
#include "link/session.h"
#include "ui/key_filter.h"
#include "ui/picker_formats.h"

using namespace ptk;
using namespace ptk::fiscal_memory;

namespace {

constexpr int kHeaderLineLength = 42;
// The tag bt_Registr carries while the register waits for the date to be entered again.
constexpr int kDateRepeatTag = 22;

constexpr const char* kSerialQuestion = "Запрограммировать данный номер ПТК ?";
constexpr const char* kRegistrationQuestion =
    "Провести регистрацию ПТК \nс данным набором реквизитов ?";
constexpr const char* kCheckAndRepeat =
    "ВНИМАНИЕ!!! Проверьте правильность ввода реквизитов и\r\nповторите ввод пароля";

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A label with its buddy, which a screen reader names after it.
QLabel* labelFor(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    buddy->setAccessibleName(text.trimmed());
    return label;
}

template <class Widget, class... Args>
Widget* named(const char* name, Args&&... args) {
    auto* widget = new Widget(std::forward<Args>(args)...);
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QPushButton* button(const char* name, const QString& caption, const QString& hint,
                    QWidget* parent) {
    auto* pushButton = named<QPushButton>(name, caption, parent);
    pushButton->setToolTip(hint);
    pushButton->setAutoDefault(false);
    return pushButton;
}

QDateEdit* datePicker(const char* name, QWidget* parent) {
    auto* picker = named<QDateEdit>(name, parent);
    picker->setCalendarPopup(true);
    picker->setDisplayFormat(ui::pickerDateFormat());
    return picker;
}

// One page of "Отчеты": the kind of report ("полная" checked, "сокращённая") and the first and
// last of its range, each with its label.
struct ReportPageParts {
    QWidget* page;
    const char* group;
    const char* full;
    const char* brief;
    const char* firstLabel;
    QWidget* first;
    const char* lastLabel;
    QWidget* last;
};

QGroupBox* reportPage(const ReportPageParts& parts, QRadioButton*& full, QRadioButton*& brief) {
    auto* group = named<QGroupBox>(parts.group, "вид информации", parts.page);
    full = named<QRadioButton>(parts.full, "полная", group);
    brief = named<QRadioButton>(parts.brief, "сокращённая", group);
    full->setChecked(true);
    auto* kind = new QVBoxLayout(group);
    kind->addWidget(full);
    kind->addWidget(brief);
    auto* layout = new QGridLayout(parts.page);
    layout->addWidget(group, 0, 0, 2, 1);
    layout->addWidget(labelFor(parts.firstLabel, parts.first, parts.page), 0, 1);
    layout->addWidget(parts.first, 0, 2);
    layout->addWidget(labelFor(parts.lastLabel, parts.last, parts.page), 1, 1);
    layout->addWidget(parts.last, 1, 2);
    return group;
}

QLineEdit* rangeEdit(const char* name, QWidget* parent) {
    auto* edit = named<QLineEdit>(name, parent);
    edit->setReadOnly(true);
    return edit;
}

}  // namespace

Tfm_FiskPam::Tfm_FiskPam(Session& session, QWidget* parent)
    : ModeForm(parent),
      session_(session),
      reportThread_(session),
      now_([] { return QDateTime::currentDateTime(); }),
      quitApplication_([] { QCoreApplication::exit(0); }) {
    setObjectName("fm_FiskPam");
    setWindowTitle("Режим работы с ФП");
    // Fixed size, no border icons: the form is left with its own close button.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::MSWindowsFixedSizeDialogHint);

    pg_FiskPam = named<QTabWidget>("pg_FiskPam", this);
    buildSerialNumberPage();
    buildRegistrationPage();
    buildReportPage();
    buildRangePage();

    bt_FiskPamClose = button("bt_FiskPamClose", "Закрыть", "Выйти из режима ФП", this);
    bt_StopReport = button("bt_StopReport", "Аварийный выход", "Прервать отчет", this);
    bt_StopReport->setEnabled(false);

    const ui::SleepPanel sleep = ui::makeSleepPanel(this);
    pn_Sleep = sleep.panel;
    lb_Sleep = sleep.label;
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
    connect(bt_StopReport, &QPushButton::clicked, this, &Tfm_FiskPam::bt_StopReportClick);
    connect(bt_ZavNumOk, &QPushButton::clicked, this, &Tfm_FiskPam::bt_ZavNumOkClick);
    connect(bt_Registr, &QPushButton::clicked, this, &Tfm_FiskPam::bt_RegistrClick);
    connect(bt_OtchOk, &QPushButton::clicked, this, &Tfm_FiskPam::fmemrpthookthread);
    connect(bt_ZaprosOk, &QPushButton::clicked, this, &Tfm_FiskPam::bt_ZaprosOkClick);
    connect(btnimgpaste, &QPushButton::clicked, this, &Tfm_FiskPam::btnimgpasteClick);
    for (QLineEdit* edit : {eimgidx, eimgstr, eimgoffset}) {
        connect(edit, &QLineEdit::textChanged, this, [this, edit] { udfix(edit); });
    }
    FormCreate();
}

void Tfm_FiskPam::buildSerialNumberPage() {
    tbch_ZavNum = named<QWidget>("tbch_ZavNum");
    Label1 = named<QLabel>("Label1", "ВВЕДИТЕ ЗАВОДСКОЙ НОМЕР ПТК:", tbch_ZavNum);
    ed_ZavNum = named<QLineEdit>("ed_ZavNum", tbch_ZavNum);
    // Seven digits at most, so the eight that travel always begin with a 0.
    acceptDigitsOnly(ed_ZavNum, 7);
    Label1->setBuddy(ed_ZavNum);
    ed_ZavNum->setAccessibleName(Label1->text());
    bt_ZavNumOk =
        button("bt_ZavNumOk", "Программирование", "Запрограммировать заводской номер", tbch_ZavNum);

    auto* layout = new QVBoxLayout(tbch_ZavNum);
    layout->addWidget(Label1);
    layout->addWidget(ed_ZavNum);
    layout->addWidget(bt_ZavNumOk, 0, Qt::AlignRight);
    layout->addStretch(1);
    pg_FiskPam->addTab(tbch_ZavNum, "Прогр. заводского номера");
}

void Tfm_FiskPam::buildRegistrationPage() {
    tbch_Registr = named<QWidget>("tbch_Registr");
    Label2 = named<QLabel>("Label2", "ВВЕДИТЕ РЕКВИЗИТЫ:", tbch_Registr);

    ed_RegNum = named<QLineEdit>("ed_RegNum", tbch_Registr);
    acceptDigitsOnly(ed_RegNum, 10);
    lb_RegNum = labelFor("Регистрационный номер ", ed_RegNum, tbch_Registr);
    ed_INN = named<QLineEdit>("ed_INN", tbch_Registr);
    acceptDigitsOnly(ed_INN, 12);
    lb_INN = labelFor("ИНН", ed_INN, tbch_Registr);
    ed_PassNew = named<QLineEdit>("ed_PassNew", tbch_Registr);
    acceptDigitsOnly(ed_PassNew, 8);
    ed_PassNew->setEchoMode(QLineEdit::Password);
    ed_PassNew->setStyleSheet("QLineEdit { lineedit-password-character: 42; }");  // '*'
    lb_PassNew = labelFor("Пароль", ed_PassNew, tbch_Registr);

    GroupBox1 = named<QGroupBox>("GroupBox1", "ВНИМАНИЕ !!!", tbch_Registr);
    Label9 = named<QLabel>("Label9", "Проверьте устанавливаемые дату/время:", GroupBox1);
    dt_Date = datePicker("dt_Date", GroupBox1);
    dt_Date->setAccessibleName("Дата");
    dt_Time = named<QTimeEdit>("dt_Time", GroupBox1);
    dt_Time->setDisplayFormat(ui::pickerTimeFormat());
    dt_Time->setAccessibleName("Время");
    auto* clock = new QGridLayout(GroupBox1);
    clock->addWidget(Label9, 0, 0, 1, 2);
    clock->addWidget(dt_Date, 1, 0);
    clock->addWidget(dt_Time, 1, 1);

    bt_Registr = button("bt_Registr", "Регистрация", "Провести регистрацию", tbch_Registr);

    auto* requisites = new QGridLayout;
    requisites->addWidget(Label2, 0, 0, 1, 2);
    requisites->addWidget(lb_RegNum, 1, 0);
    requisites->addWidget(ed_RegNum, 1, 1);
    requisites->addWidget(lb_INN, 2, 0);
    requisites->addWidget(ed_INN, 2, 1);
    requisites->addWidget(lb_PassNew, 3, 0);
    requisites->addWidget(ed_PassNew, 3, 1);
    requisites->addWidget(GroupBox1, 4, 0, 1, 2);
    requisites->addWidget(bt_Registr, 5, 1, Qt::AlignRight);
    requisites->setRowStretch(6, 1);

    auto* layout = new QHBoxLayout(tbch_Registr);
    layout->addLayout(requisites);
    layout->addWidget(buildHeaderLineGroup(), 1);
    pg_FiskPam->addTab(tbch_Registr, "Фискализация/перерегистрация");
}

QWidget* Tfm_FiskPam::buildHeaderLineGroup() {
    GroupBox2 = named<QGroupBox>("GroupBox2", "Наименование:", tbch_Registr);
    QFont lineFont("Lucida Console");
    lineFont.setStyleHint(QFont::Monospace);
    lineFont.setBold(true);
    auto* layout = new QVBoxLayout(GroupBox2);
    const char* names[] = {"ed_Name1", "ed_Name2", "ed_Name3", "ed_Name4"};
    QLineEdit** edits[] = {&ed_Name1, &ed_Name2, &ed_Name3, &ed_Name4};
    for (int i = 0; i < kHeaderLineCount; ++i) {
        // Any character may be typed: the markup decides what reaches the register.
        QLineEdit* edit = named<QLineEdit>(names[i], GroupBox2);
        edit->setMaxLength(kHeaderLineLength);
        edit->setFont(lineFont);
        edit->setAccessibleName(QString("Наименование: %1").arg(i + 1));
        edit->setMinimumWidth(
            edit->fontMetrics().horizontalAdvance(QString(kHeaderLineLength, 'W')));
        // A line read longer than the limit was let through whole (setHeaderLines); once edited
        // down to the limit, the limit holds again.
        connect(edit, &QLineEdit::textChanged, edit, [edit](const QString& text) {
            if (text.size() > kHeaderLineLength || edit->maxLength() == kHeaderLineLength) return;
            const int cursor = edit->cursorPosition();
            edit->setMaxLength(kHeaderLineLength);
            edit->setCursorPosition(cursor);
        });
        layout->addWidget(edit);
        *edits[i] = edit;
    }
    layout->addWidget(buildPicturePanel());
    layout->addStretch(1);
    return GroupBox2;
}

QWidget* Tfm_FiskPam::buildPicturePanel() {
    panimgpaste = named<QFrame>("panimgpaste", GroupBox2);
    panimgpaste->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto* layout = new QGridLayout(panimgpaste);
    struct Field {
        const char* edit;
        const char* upDown;
        const char* label;
        UpDownRange range;
        QLineEdit** editMember;
        ui::UpDown** upDownMember;
    };
    const Field fields[] = {
        {"eimgidx", "udimgidx", "Номер", kPictureNumberRange, &eimgidx, &udimgidx},
        {"eimgstr", "udimgstr", "Строка", kHeaderLineRange, &eimgstr, &udimgstr},
        {"eimgoffset", "udimgoffset", "Смещение", kPictureOffsetRange, &eimgoffset, &udimgoffset},
    };
    int column = 0;
    for (const Field& field : fields) {
        auto* edit = named<QLineEdit>(field.edit, panimgpaste);
        edit->setMaximumWidth(edit->fontMetrics().horizontalAdvance("00000"));
        auto* upDown = named<ui::UpDown>(field.upDown, field.range, panimgpaste);
        upDown->setBuddy(edit);
        layout->addWidget(labelFor(field.label, edit, panimgpaste), 0, column, 1, 2);
        layout->addWidget(edit, 1, column);
        layout->addWidget(upDown, 1, column + 1);
        *field.editMember = edit;
        *field.upDownMember = upDown;
        column += 2;
    }
    btnimgpaste = button("btnimgpaste", "Вставить", "", panimgpaste);
    auto* pictureLabel = new QLabel("Изображение", panimgpaste);
    btnimgpaste->setAccessibleDescription(pictureLabel->text());
    layout->addWidget(pictureLabel, 0, column);
    layout->addWidget(btnimgpaste, 1, column);
    return panimgpaste;
}

void Tfm_FiskPam::buildReportPage() {
    tbch_Otch = named<QWidget>("tbch_Otch");
    pg_Otch = named<QTabWidget>("pg_Otch", tbch_Otch);

    tbch_OtchDate = named<QWidget>("tbch_OtchDate");
    dtp_OtchDateFirst = datePicker("dtp_OtchDateFirst", tbch_OtchDate);
    dtp_OtchDateLast = datePicker("dtp_OtchDateLast", tbch_OtchDate);
    gb_OtchDateVid =
        reportPage({tbch_OtchDate, "gb_OtchDateVid", "rb_OtchDatePoln", "rb_OtchDateSokr",
                    "начальная дата", dtp_OtchDateFirst, "конечная дата", dtp_OtchDateLast},
                   rb_OtchDatePoln, rb_OtchDateSokr);
    pg_Otch->addTab(tbch_OtchDate, "По дате");

    tbch_OtchNumSm = named<QWidget>("tbch_OtchNumSm");
    ed_OtchNSmFirst = named<QLineEdit>("ed_OtchNSmFirst", tbch_OtchNumSm);
    acceptDigitsOnly(ed_OtchNSmFirst, 4);
    ed_OtchNSmLast = named<QLineEdit>("ed_OtchNSmLast", tbch_OtchNumSm);
    acceptDigitsOnly(ed_OtchNSmLast, 4);
    gb_OtchNSmVid =
        reportPage({tbch_OtchNumSm, "gb_OtchNSmVid", "rb_OtchNSmPoln", "rb_OtchNSmSokr",
                    "начальный № смены", ed_OtchNSmFirst, "конечный № смены", ed_OtchNSmLast},
                   rb_OtchNSmPoln, rb_OtchNSmSokr);
    pg_Otch->addTab(tbch_OtchNumSm, "По номеру смены");

    bt_OtchOk = button("bt_OtchOk", "Отчет", "Получить отчет", tbch_Otch);
    auto* layout = new QVBoxLayout(tbch_Otch);
    layout->addWidget(pg_Otch);
    layout->addWidget(bt_OtchOk, 0, Qt::AlignRight);
    layout->addStretch(1);
    pg_FiskPam->addTab(tbch_Otch, "Отчеты");
}

void Tfm_FiskPam::buildRangePage() {
    tbch_Diapazon = named<QWidget>("tbch_Diapazon");
    bt_ZaprosOk = button("bt_ZaprosOk", "Запрос", "Получить запрос диапазонов", tbch_Diapazon);
    ed_DDateFirst = rangeEdit("ed_DDateFirst", tbch_Diapazon);
    ed_DDateLast = rangeEdit("ed_DDateLast", tbch_Diapazon);
    ed_DNSmFirst = rangeEdit("ed_DNSmFirst", tbch_Diapazon);
    ed_DNSmLast = rangeEdit("ed_DNSmLast", tbch_Diapazon);

    auto* layout = new QGridLayout(tbch_Diapazon);
    layout->addWidget(bt_ZaprosOk, 0, 0, 1, 3, Qt::AlignLeft);
    const auto addRange = [&](int row, const QString& caption, QLineEdit* first, QLineEdit* last) {
        layout->addWidget(labelFor(caption, first, tbch_Diapazon), row, 0, 1, 3);
        last->setAccessibleName(caption);
        first->setAccessibleDescription("начало");
        last->setAccessibleDescription("конец");
        layout->addWidget(first, row + 1, 0);
        layout->addWidget(new QLabel("__", tbch_Diapazon), row + 1, 1);
        layout->addWidget(last, row + 1, 2);
    };
    addRange(1, "ДИАПАЗОНЫ ДАТ:", ed_DDateFirst, ed_DDateLast);
    addRange(3, "ДИАПАЗОНЫ СМЕН:", ed_DNSmFirst, ed_DNSmLast);
    layout->setRowStretch(5, 1);
    pg_FiskPam->addTab(tbch_Diapazon, "Диапазон");
}

void Tfm_FiskPam::FormCreate() {
    eimgidx->setText("1");
    eimgstr->setText("1");
    eimgoffset->setText("0");
}

void Tfm_FiskPam::acceptDigitsOnly(QLineEdit* edit, int maxLength) {
    edit->setMaxLength(maxLength);
    // Backspace too is refused with the beep, as in every number edit of this form.
    edit->installEventFilter(new ui::CharacterFilter(
        "0123456789", [this] { session_.frontEnd.beep(); }, edit));
    // A paste from the context menu or a drop is held to digits as well.
    edit->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QString("[0-9]{0,%1}").arg(maxLength)), edit));
}

void Tfm_FiskPam::showError(const char* text) {
    session_.frontEnd.showMessage(MessageIcon::Error, kErrorCaption, text, boxOwner());
}

void Tfm_FiskPam::busyWith(std::initializer_list<QWidget*> controls) {
    setBusyControls(controls);
    setBusy(true);
}

void Tfm_FiskPam::notBusy() {
    setBusy(false);
}

ui::UpDown* Tfm_FiskPam::upDownOf(const QLineEdit* edit) const {
    if (edit == eimgidx) return udimgidx;
    if (edit == eimgstr) return udimgstr;
    if (edit == eimgoffset) return udimgoffset;
    return nullptr;
}

HeaderLineTexts Tfm_FiskPam::headerLines() const {
    return {ed_Name1->text().toStdString(), ed_Name2->text().toStdString(),
            ed_Name3->text().toStdString(), ed_Name4->text().toStdString()};
}

void Tfm_FiskPam::setHeaderLines(const HeaderLineTexts& lines) {
    QLineEdit* edits[] = {ed_Name1, ed_Name2, ed_Name3, ed_Name4};
    for (int i = 0; i < kHeaderLineCount; ++i) {
        const QString text = fromUtf8(lines[static_cast<std::size_t>(i)]);
        // The limit is for typing. A line the register holds may be longer once its markup is
        // written out (up to 90 characters); cut, it would go back to the register cut at the
        // next registration. Typing never makes it longer than it came.
        edits[i]->setMaxLength(std::max<int>(kHeaderLineLength, static_cast<int>(text.size())));
        edits[i]->setText(text);
    }
}

bool Tfm_FiskPam::prepareForEntry(const ui::ModeEntry& entry) {
    accessPassword_ = entry.accessPassword;
    pn_Sleep->hide();
    pg_FiskPam->show();
    bt_StopReport->setEnabled(false);
    for (QLineEdit* edit : {ed_ZavNum, ed_RegNum, ed_INN, ed_PassNew}) edit->clear();
    const QDateTime now = now_();
    const QTime time = now.time();
    dt_Date->setDate(now.date());
    dt_Time->setTime(QTime(time.hour(), time.minute(), time.second()));
    pg_Otch->setCurrentWidget(tbch_OtchDate);
    rb_OtchDatePoln->setChecked(true);
    rb_OtchNSmPoln->setChecked(true);
    dtp_OtchDateFirst->setDate(now.date());
    dtp_OtchDateLast->setDate(now.date());
    for (QLineEdit* edit : {ed_OtchNSmFirst, ed_OtchNSmLast, ed_DDateFirst, ed_DDateLast,
                            ed_DNSmFirst, ed_DNSmLast}) {
        edit->clear();
    }
    pg_FiskPam->setCurrentWidget(tbch_ZavNum);
    ed_ZavNum->setFocus();
    // The requisites were just cleared: a date repeat left over from an earlier opening must not
    // send them unchecked, so every registration of this opening starts with the checks.
    dateRepeatTag_ = 0;
    registrationStage_ = 1;

    HeaderLineTexts lines = headerLines();
    const bool ready = FiskPamStartUp(session_, lines, accessPassword_, boxOwner());
    setHeaderLines(lines);
    return ready;
}

void Tfm_FiskPam::pg_FiskPamChange(int index) {
    if (index == pg_FiskPam->indexOf(tbch_ZavNum)) ed_ZavNum->setFocus();
    if (index == pg_FiskPam->indexOf(tbch_Registr)) ed_RegNum->setFocus();
    bt_StopReport->setEnabled(false);
}

void Tfm_FiskPam::bt_ZavNumOkClick() {
    if (isBusy()) return;
    if (!session_.frontEnd.askQuestion(kSerialQuestion, boxOwner())) return;
    if (ed_ZavNum->text().trimmed().isEmpty()) {
        showError("Введите заводской номер ПТК.");
        return;
    }
    session_.frontEnd.setResultText("");
    busyWith({pg_FiskPam, ed_ZavNum, bt_ZavNumOk, bt_FiskPamClose});
    // Success shows in the result field; a failure has shown its box.
    ProgramSerialNumber(session_, ed_ZavNum->text().toStdString());
    notBusy();
}

bool Tfm_FiskPam::requireFilled(QLineEdit* edit, const char* missingText) {
    if (!edit->text().trimmed().isEmpty()) return true;
    showError(missingText);
    return false;
}

bool Tfm_FiskPam::checkRequisites() {
    if (!requireFilled(ed_RegNum, "Введите регистрационный номер ПТК.")) return false;
    ed_RegNum->setText(
        fromUtf8(zeroFilled(ed_RegNum->text().trimmed().toStdString(), kRegistrationNumberDigits)));
    if (!requireFilled(ed_INN, "Введите ИНН.")) return false;
    ed_INN->setText(
        fromUtf8(zeroFilled(ed_INN->text().trimmed().toStdString(), kTaxpayerNumberDigits)));
    if (!requireFilled(ed_PassNew, "Введите новый пароль доступа к ФП.")) return false;
    if (ed_PassNew->text().trimmed().size() != static_cast<qsizetype>(kFiscalPasswordDigits)) {
        showError("Пароль доступа к ФП должен быть 8 знаков.");
        return false;
    }
    if (!requireFilled(ed_Name1, "Введите наименование.")) {
        ed_Name1->setFocus();
        return false;
    }
    if (registrationStage_ == 1) {
        session_.frontEnd.showMessage(MessageIcon::Warning, "Сообщение", kCheckAndRepeat,
                                      boxOwner());
        registrationStage_ = 2;
        FirstPasswordEntry = ed_PassNew->text();
        ed_PassNew->clear();
        return false;
    }
    if (ed_PassNew->text() != FirstPasswordEntry) {
        showError("Неверный повтор пароля!");
        ed_PassNew->clear();
        registrationStage_ = 1;
        return false;
    }
    registrationStage_ = 3;
    return true;
}

Tfm_FiskPam::Requisites Tfm_FiskPam::currentRequisites() const {
    return {ed_RegNum->text(), ed_INN->text(), ed_PassNew->text(), headerLines()};
}

void Tfm_FiskPam::bt_RegistrClick() {
    if (isBusy()) return;
    // A click that only repeats the date sends what the checks passed, or nothing: requisites
    // changed since then are checked again from the start.
    if (dateRepeatTag_ != 0 && currentRequisites() != validated_) {
        dateRepeatTag_ = 0;
        registrationStage_ = 1;
    }
    if (dateRepeatTag_ == 0) {
        if (registrationStage_ <= 2 && !checkRequisites()) return;
        if (!session_.frontEnd.askQuestion(kRegistrationQuestion, boxOwner())) {
            registrationStage_ = 1;
            return;
        }
        validated_ = currentRequisites();
    }
    sendRegistration();
    registrationStage_ = 1;
}

void Tfm_FiskPam::sendRegistration() {
    // Nothing goes out, the clock included, unless all four header lines can be written.
    if (!CheckHeaderLinesWritable(session_, headerLines(), boxOwner())) return;
    session_.frontEnd.setResultText("");
    pn_Sleep->show();
    // The whole form waits: no page may start another exchange meanwhile.
    busyWith({bt_FiskPamClose, bt_Registr});

    const QDate date = dt_Date->date();
    const QTime time = dt_Time->time();
    const ClockSetting clock =
        SetRegistrationClock(session_, {date.day(), date.month(), date.year()},
                             {time.hour(), time.minute(), time.second()});
    if (clock.date.dateToConfirm()) {
        dateRepeatTag_ = kDateRepeatTag;
        dt_Date->setDate(now_().date());
    } else {
        dateRepeatTag_ = 0;
        if (clock.set() && StoreHeaderLines(session_, headerLines(), accessPassword_, boxOwner())) {
            FiscalRegistration(session_, ed_RegNum->text().toStdString(),
                               ed_INN->text().toStdString(), ed_PassNew->text().toStdString());
        }
    }

    pn_Sleep->hide();
    notBusy();
}

void Tfm_FiskPam::showReportRunning(bool running) {
    bt_StopReport->setEnabled(running);
    pn_Sleep->setVisible(running);
    for (QWidget* control : std::initializer_list<QWidget*>{
             bt_OtchOk, bt_FiskPamClose, pg_FiskPam, rb_OtchNSmPoln, rb_OtchNSmSokr,
             ed_OtchNSmFirst, ed_OtchNSmLast, dtp_OtchDateFirst, dtp_OtchDateLast, pg_Otch}) {
        control->setEnabled(!running);
    }
}

void Tfm_FiskPam::fmemrpthookthread() {
    if (isBusy() || reportThread_.running()) return;
    FMEMRPTTHREADARG arg;
    if (pg_Otch->currentWidget() != tbch_OtchNumSm) {
        arg.kind = FMEMRPTTHREADARG::kByDates;
        arg.full = rb_OtchDatePoln->isChecked() ? 1 : 0;
        const QDate first = dtp_OtchDateFirst->date();
        const QDate last = dtp_OtchDateLast->date();
        arg.first = reportDayTime(first.year(), first.month(), first.day());
        arg.last = reportDayTime(last.year(), last.month(), last.day());
    } else {
        arg.kind = FMEMRPTTHREADARG::kByShifts;
        arg.full = rb_OtchNSmPoln->isChecked() ? 1 : 0;
        const QString first = ed_OtchNSmFirst->text().trimmed();
        const QString last = ed_OtchNSmLast->text().trimmed();
        if (first.isEmpty() || last.isEmpty()) {
            showError("Введите диапазон номеров смен ПТК.");
            return;
        }
        arg.first = first.toInt();
        arg.last = last.toInt();
    }

    showReportRunning(true);
    session_.StopRequested = false;
    Session& session = session_;
    // What the inspector is told when no worker could be started.
    PacketResult result{DriverCode::OutOfMemory};
    reportThread_.run([&session, &result, arg] { result = RunFiscalMemoryReport(session, arg); });
    // The emergency exit ends the program. The quit is asked for before the result is shown, so
    // that the box cannot hold the program up: it is told at once that the program is ending.
    if (session_.StopRequested) quitApplication_();
    session_.errors.ShowDriverResult(boxOwner(), result);
    showReportRunning(false);
}

void Tfm_FiskPam::bt_StopReportClick() {
    session_.StopRequested = true;
}

void Tfm_FiskPam::bt_ZaprosOkClick() {
    if (isBusy()) return;
    session_.frontEnd.setResultText("");
    busyWith({bt_FiskPamClose});
    pg_FiskPam->hide();
    pn_Sleep->show();
    FiscalMemoryRanges ranges;
    if (QueryRanges(session_, ranges).succeeded()) {
        ed_DDateFirst->setText(fromUtf8(ranges.firstDate));
        ed_DDateLast->setText(fromUtf8(ranges.lastDate));
        ed_DNSmFirst->setText(fromUtf8(ranges.firstShift));
        ed_DNSmLast->setText(fromUtf8(ranges.lastShift));
    }
    notBusy();
    pg_FiskPam->show();
    pn_Sleep->hide();
}

void Tfm_FiskPam::btnimgpasteClick() {
    const auto paste = pictureTagPaste(eimgstr->text().toStdString(), eimgidx->text().toStdString(),
                                       eimgoffset->text().toStdString());
    if (!paste) return;
    QLineEdit* edits[] = {ed_Name1, ed_Name2, ed_Name3, ed_Name4};
    edits[paste->line]->setText(fromUtf8(paste->tag));
}

void Tfm_FiskPam::udfix(QLineEdit* sender) {
    const ui::UpDown* upDown = upDownOf(sender);
    if (upDown == nullptr) return;
    const QString fixed =
        QString::number(upDownValue(sender->text().toStdString(), upDown->range()));
    // Written back only when it differs, so the change this makes finds nothing to do.
    if (sender->text() != fixed) sender->setText(fixed);
}

void Tfm_FiskPam::closeEvent(QCloseEvent* event) {
    // While a report runs its stop button is enabled, and the form must stay until it ends.
    if (bt_StopReport->isEnabledTo(this) || reportThread_.running()) {
        event->ignore();
        return;
    }
    ModeForm::closeEvent(event);
}

void Tfm_FiskPam::FormClose() {
    setEnabled(false);
    session_.frontEnd.setResultText("");
    handBack();
    setEnabled(true);
}
