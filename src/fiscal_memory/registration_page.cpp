#include "fiscal_memory/registration_page.h"

#include <QDateEdit>
#include <QDateTime>
#include <QFont>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>
#include <QVBoxLayout>

#include <algorithm>

#include "fiscal_memory/picture_panel.h"
#include "ui/digit_edit.h"
#include "ui/form_controls.h"
#include "ui/picker_formats.h"
#include "ui/up_down.h"

namespace ptk::fiscal_memory {
namespace {

constexpr int kHeaderLineLength = 42;

}  // namespace

RegistrationPage::RegistrationPage(const std::function<void()>& beep) {
    using ui::named;
    setObjectName("tbch_Registr");
    Label2 = named<QLabel>("Label2", "ВВЕДИТЕ РЕКВИЗИТЫ:", this);

    ed_RegNum = named<QLineEdit>("ed_RegNum", this);
    ui::acceptDigitsOnly(*ed_RegNum, {.digits = 10}, beep);
    lb_RegNum = ui::labelFor("Регистрационный номер ", ed_RegNum, this);
    ed_INN = named<QLineEdit>("ed_INN", this);
    ui::acceptDigitsOnly(*ed_INN, {.digits = 12}, beep);
    lb_INN = ui::labelFor("ИНН", ed_INN, this);
    ed_PassNew = named<QLineEdit>("ed_PassNew", this);
    ui::acceptDigitsOnly(*ed_PassNew, {.digits = 8}, beep);
    ed_PassNew->setEchoMode(QLineEdit::Password);
    ed_PassNew->setStyleSheet("QLineEdit { lineedit-password-character: 42; }");  // '*'
    lb_PassNew = ui::labelFor("Пароль", ed_PassNew, this);

    GroupBox1 = named<QGroupBox>("GroupBox1", "ВНИМАНИЕ !!!", this);
    Label9 = named<QLabel>("Label9", "Проверьте устанавливаемые дату/время:", GroupBox1);
    dt_Date = ui::datePicker("dt_Date", GroupBox1);
    dt_Date->setAccessibleName("Дата");
    dt_Time = named<QTimeEdit>("dt_Time", GroupBox1);
    dt_Time->setDisplayFormat(ui::pickerTimeFormat());
    dt_Time->setAccessibleName("Время");
    auto* clock = new QGridLayout(GroupBox1);
    clock->addWidget(Label9, 0, 0, 1, 2);
    clock->addWidget(dt_Date, 1, 0);
    clock->addWidget(dt_Time, 1, 1);

    bt_Registr = ui::button("bt_Registr", "Регистрация", "Провести регистрацию", this);

    auto* fields = new QGridLayout;
    fields->addWidget(Label2, 0, 0, 1, 2);
    fields->addWidget(lb_RegNum, 1, 0);
    fields->addWidget(ed_RegNum, 1, 1);
    fields->addWidget(lb_INN, 2, 0);
    fields->addWidget(ed_INN, 2, 1);
    fields->addWidget(lb_PassNew, 3, 0);
    fields->addWidget(ed_PassNew, 3, 1);
    fields->addWidget(GroupBox1, 4, 0, 1, 2);
    fields->addWidget(bt_Registr, 5, 1, Qt::AlignRight);
    fields->setRowStretch(6, 1);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(buildHeaderLineGroup(), 1);

    connect(btnimgpaste, &QPushButton::clicked, this, &RegistrationPage::btnimgpasteClick);
    for (QLineEdit* edit : {eimgidx, eimgstr, eimgoffset}) {
        connect(edit, &QLineEdit::textChanged, this, [this, edit] { udfix(edit); });
    }
}

QWidget* RegistrationPage::buildHeaderLineGroup() {
    GroupBox2 = ui::named<QGroupBox>("GroupBox2", "Наименование:", this);
    QFont lineFont("Lucida Console");
    lineFont.setStyleHint(QFont::Monospace);
    lineFont.setBold(true);
    auto* layout = new QVBoxLayout(GroupBox2);
    const char* names[] = {"ed_Name1", "ed_Name2", "ed_Name3", "ed_Name4"};
    QLineEdit** edits[] = {&ed_Name1, &ed_Name2, &ed_Name3, &ed_Name4};
    for (int i = 0; i < kHeaderLineCount; ++i) {
        // Any character may be typed: the markup decides what reaches the register.
        QLineEdit* edit = ui::named<QLineEdit>(names[i], GroupBox2);
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

QWidget* RegistrationPage::buildPicturePanel() {
    panimgpaste = ui::named<QFrame>("panimgpaste", GroupBox2);
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
        auto* edit = ui::named<QLineEdit>(field.edit, panimgpaste);
        edit->setMaximumWidth(edit->fontMetrics().horizontalAdvance("00000"));
        const UpDownRange range = field.range;
        const auto valueOf = [range](const QString& text) {
            return upDownValue(text.toStdString(), range);
        };
        auto* upDown =
            ui::named<ui::UpDown>(field.upDown, range.min, range.max, valueOf, panimgpaste);
        upDown->setBuddy(edit);
        layout->addWidget(ui::labelFor(field.label, edit, panimgpaste), 0, column, 1, 2);
        layout->addWidget(edit, 1, column);
        layout->addWidget(upDown, 1, column + 1);
        *field.editMember = edit;
        *field.upDownMember = upDown;
        column += 2;
    }
    btnimgpaste = ui::button("btnimgpaste", "Вставить", "", panimgpaste);
    auto* pictureLabel = new QLabel("Изображение", panimgpaste);
    btnimgpaste->setAccessibleDescription(pictureLabel->text());
    layout->addWidget(pictureLabel, 0, column);
    layout->addWidget(btnimgpaste, 1, column);
    return panimgpaste;
}

Requisites RegistrationPage::requisites() const {
    return {ed_RegNum->text().toStdString(), ed_INN->text().toStdString(),
            ed_PassNew->text().toStdString(), headerLines()};
}

void RegistrationPage::showRequisites(const Requisites& requisites) {
    const auto show = [](QLineEdit* edit, const std::string& text) {
        const QString shown = ui::fromUtf8(text);
        if (edit->text() != shown) edit->setText(shown);
    };
    show(ed_RegNum, requisites.registrationNumber);
    show(ed_INN, requisites.taxpayerNumber);
    show(ed_PassNew, requisites.newPassword);
}

void RegistrationPage::clearRequisites() {
    for (QLineEdit* edit : {ed_RegNum, ed_INN, ed_PassNew}) edit->clear();
}

HeaderLineTexts RegistrationPage::headerLines() const {
    return {ed_Name1->text().toStdString(), ed_Name2->text().toStdString(),
            ed_Name3->text().toStdString(), ed_Name4->text().toStdString()};
}

void RegistrationPage::setHeaderLines(const HeaderLineTexts& lines) {
    QLineEdit* edits[] = {ed_Name1, ed_Name2, ed_Name3, ed_Name4};
    for (int i = 0; i < kHeaderLineCount; ++i) {
        const QString text = ui::fromUtf8(lines[static_cast<std::size_t>(i)]);
        // The limit is for typing. A line the register holds may be longer once its markup is
        // written out (up to 90 characters); cut, it would go back to the register cut at the
        // next registration. Typing never makes it longer than it came.
        edits[i]->setMaxLength(std::max<int>(kHeaderLineLength, static_cast<int>(text.size())));
        edits[i]->setText(text);
    }
}

DeviceDate RegistrationPage::date() const {
    const QDate date = dt_Date->date();
    return {date.day(), date.month(), date.year()};
}

DeviceTime RegistrationPage::time() const {
    const QTime time = dt_Time->time();
    return {time.hour(), time.minute(), time.second()};
}

void RegistrationPage::setClock(const QDateTime& now) {
    const QTime time = now.time();
    dt_Date->setDate(now.date());
    dt_Time->setTime(QTime(time.hour(), time.minute(), time.second()));
}

void RegistrationPage::btnimgpasteClick() {
    const auto paste = pictureTagPaste(eimgstr->text().toStdString(), eimgidx->text().toStdString(),
                                       eimgoffset->text().toStdString());
    if (!paste) return;
    QLineEdit* edits[] = {ed_Name1, ed_Name2, ed_Name3, ed_Name4};
    edits[paste->line]->setText(ui::fromUtf8(paste->tag));
}

void RegistrationPage::udfix(QLineEdit* sender) {
    const ui::UpDown* upDown = upDownOf(sender);
    if (upDown == nullptr) return;
    const QString fixed = QString::number(upDown->valueOf(sender->text()));
    // Written back only when it differs, so the change this makes finds nothing to do.
    if (sender->text() != fixed) sender->setText(fixed);
}

ui::UpDown* RegistrationPage::upDownOf(const QLineEdit* edit) const {
    if (edit == eimgidx) return udimgidx;
    if (edit == eimgstr) return udimgstr;
    if (edit == eimgoffset) return udimgoffset;
    return nullptr;
}

}  // namespace ptk::fiscal_memory
