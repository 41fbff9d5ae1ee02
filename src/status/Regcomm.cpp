#include "status/Regcomm.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <string>

#include "device/mode_switch.h"
#include "link/session.h"
#include "ui/digit_edit.h"

using namespace ptk;

namespace {
const QColor kMaroon(0x80, 0x00, 0x00);
}  // namespace

Tfm_RegComm::Tfm_RegComm(Session& session, QWidget* parent)
    : ChildWindow(parent, kFixedDialog, Centring::OnEveryShow), session_(session) {
    setObjectName("fm_RegComm");
    setWindowTitle("Вход в режим");
    setFixedSize(kClientWidth, kClientHeight);

    Panel1 = new QFrame(this);
    Panel1->setObjectName("Panel1");
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setGeometry(8, 8, 394, 105);

    lb_Pass = new QLabel("Введите пароль доступа:", Panel1);
    lb_Pass->setObjectName("lb_Pass");
    QFont labelFont = lb_Pass->font();
    labelFont.setBold(true);
    lb_Pass->setFont(labelFont);
    QPalette labelPalette = lb_Pass->palette();
    labelPalette.setColor(QPalette::WindowText, kMaroon);
    lb_Pass->setPalette(labelPalette);
    lb_Pass->setGeometry(16, 12, 362, 24);

    ed_Pass = new QLineEdit(Panel1);
    ed_Pass->setObjectName("ed_Pass");
    ed_Pass->setEchoMode(QLineEdit::Password);
    ed_Pass->setStyleSheet("QLineEdit { lineedit-password-character: 42; }");  // '*'
    QFont passwordFont = ed_Pass->font();
    passwordFont.setBold(true);
    passwordFont.setPixelSize(16);
    ed_Pass->setFont(passwordFont);
    ed_Pass->setGeometry(16, 44, 362, 36);
    ed_Pass->setAccessibleName(lb_Pass->text());
    lb_Pass->setBuddy(ed_Pass);
    // Only digits mean anything in a password the register checks: anything else would travel
    // as the low half of its character code. Backspace still corrects a typo, and what does not
    // come from a key (a paste from the context menu or Shift+Insert, a drop) is held to digits.
    ui::acceptDigitsOnly(*ed_Pass,
                         {.digits = static_cast<int>(kAccessPasswordLength),
                          .backspace = ui::CharacterFilter::Backspace::Edits},
                         [this] { session_.frontEnd.beep(); });

    bt_RegCommOk = new QPushButton("Применить", this);
    bt_RegCommOk->setObjectName("bt_RegCommOk");
    bt_RegCommOk->setToolTip("Применить настройки");
    bt_RegCommOk->setDefault(true);
    bt_RegCommOk->setGeometry(88, 126, 113, 33);

    bt_RegCommNo = new QPushButton("Отменить", this);
    bt_RegCommNo->setObjectName("bt_RegCommNo");
    bt_RegCommNo->setToolTip("Отменить настройки");
    bt_RegCommNo->setGeometry(209, 126, 113, 33);

    // A focused button takes Enter itself; from anywhere else Enter applies.
    for (QPushButton* button : {bt_RegCommOk, bt_RegCommNo}) button->setAutoDefault(true);
    setCancelButton(bt_RegCommNo);
    setBusyControls({ed_Pass, bt_RegCommOk, bt_RegCommNo});

    connect(bt_RegCommOk, &QPushButton::clicked, this, &Tfm_RegComm::bt_RegCommOkClick);
    connect(bt_RegCommNo, &QPushButton::clicked, this, &Tfm_RegComm::bt_RegCommNoClick);
}

void Tfm_RegComm::setModeForm(int mode, ui::ModeForm* form) {
    if (mode < 0 || mode >= kModeCount) return;
    modeForms_[static_cast<std::size_t>(mode)] = form;
    if (form != nullptr) form->setHandBack(mainWindow(), this);
}

ui::ModeForm* Tfm_RegComm::modeForm(int mode) const {
    if (mode < 0 || mode >= kModeCount) return nullptr;
    return modeForms_[static_cast<std::size_t>(mode)].data();
}

bool Tfm_RegComm::hasModeForm(int mode) const {
    return modeForm(mode) != nullptr;
}

QString Tfm_RegComm::banner(int targetMode) {
    switch (targetMode) {
        case kRegistrationMode:
            return "ВХОД В РЕЖИМ РЕГИСТРАЦИЙ";
        case kZReportMode:
            return "ВХОД В РЕЖИМ ГАШЕНИЙ";
        case kFiscalMemoryMode:
            return "ВХОД В РЕЖИМ ДОСТУПА К ФП";
        case kEklzMode:
            return "ВХОД В РЕЖИМ ДОСТУПА К ЭКЛЗ";
        default:
            return {};
    }
}

void Tfm_RegComm::openFor(int mode) {
    if (!hasModeForm(mode)) return;
    targetMode_ = mode;
    setWindowTitle(banner(mode));
    ed_Pass->clear();
    ed_Pass->setFocus();
    show();
    raise();
    activateWindow();
}

void Tfm_RegComm::bt_RegCommOkClick() {
    if (isBusy()) return;
    // A mode whose form is missing is not entered at all: the register would be left in it with
    // nothing on the screen to work in it or to leave it. The menu never offers such a mode.
    if (!hasModeForm(targetMode_)) {
        close();
        return;
    }
    const QString typed = ed_Pass->text();
    if (typed.size() < static_cast<int>(kAccessPasswordLength)) {
        ed_Pass->setFocus();
        ed_Pass->selectAll();
        return;
    }
    const std::string password = typed.toStdString();

    session_.frontEnd.setResultText("");
    setBusy(true);
    // Any other mode than the selection mode must be left before another can be entered.
    const ExchangeResult result =
        SwitchToMode(session_, static_cast<std::uint8_t>(targetMode_),
                     ModePassword::typed(password), Leaving::WhenNotInSelection);
    setBusy(false);
    if (!result.succeeded()) return;

    session_.frontEnd.setResultText("");
    // Hidden, not closed: the main window stays disabled until the opened form closes.
    hide();
    // Looked up again: the form may have gone while the exchange turned the message loop.
    if (ui::ModeForm* form = modeForm(targetMode_)) {
        openForm(*form, ui::ModeEntry{password});
    } else {
        giveBackMainWindow();
    }
}

void Tfm_RegComm::openForm(ui::ModeForm& form, const ui::ModeEntry& entry) {
    // Again at each opening, so the order in which program start set the main window and
    // registered the form does not matter.
    form.setHandBack(mainWindow(), this);
    if (!form.prepareForEntry(entry)) {
        giveBackMainWindow();
        return;
    }
    form.show();
    form.raise();
    form.activateWindow();
}

void Tfm_RegComm::giveBackMainWindow() {
    QWidget* main = mainWindow();
    if (main == nullptr) return;
    main->setEnabled(true);
    main->raise();
    main->activateWindow();
}

void Tfm_RegComm::bt_RegCommNoClick() {
    if (isBusy()) return;
    close();
}

void Tfm_RegComm::keyPressEvent(QKeyEvent* event) {
    const bool plain =
        event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier;
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        bt_RegCommOk->click();
        return;
    }
    // Esc, the cancel button's key, is the base's.
    ChildWindow::keyPressEvent(event);
}
