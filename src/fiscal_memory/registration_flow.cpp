#include "fiscal_memory/registration_flow.h"

#include <array>
#include <utility>

#include "fiscal_memory/registration_commands.h"
#include "link/session.h"

namespace ptk::fiscal_memory {
namespace {

// The tag "Регистрация" carries while the register waits for the date to be entered again.
constexpr int kDateRepeatTag = 22;

constexpr const char* kRegistrationQuestion =
    "Провести регистрацию ПТК \nс данным набором реквизитов ?";
constexpr const char* kCheckAndRepeat =
    "ВНИМАНИЕ!!! Проверьте правильность ввода реквизитов и\r\nповторите ввод пароля";

// The blanks an edit's text is trimmed of: the control blanks and every Unicode space and line
// or paragraph separator.
constexpr std::array<char32_t, 24> kBlanks = {
    0x09,   0x0A,   0x0B,   0x0C,   0x0D,   0x20,   0x85,   0xA0,   0x1680, 0x2000, 0x2001, 0x2002,
    0x2003, 0x2004, 0x2005, 0x2006, 0x2007, 0x2008, 0x2009, 0x200A, 0x2028, 0x2029, 0x202F, 0x205F};

bool isBlank(char32_t c) {
    if (c == 0x3000) return true;
    for (const char32_t blank : kBlanks) {
        if (c == blank) return true;
    }
    return false;
}

// The character that starts at text[at] and how many bytes it takes (a byte that starts no
// character counts alone).
std::pair<char32_t, std::size_t> characterAt(std::string_view text, std::size_t at) {
    const auto byte = static_cast<unsigned char>(text[at]);
    const std::size_t length = byte < 0x80 ? 1 : byte < 0xE0 ? 2 : byte < 0xF0 ? 3 : 4;
    if (byte < 0x80 || byte < 0xC0 || at + length > text.size()) return {byte, 1};
    char32_t c = byte & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        c = (c << 6) | (static_cast<unsigned char>(text[at + i]) & 0x3F);
    }
    return {c, length};
}

// The text without the blanks around it.
std::string_view trimmed(std::string_view text) {
    while (!text.empty()) {
        const auto [c, length] = characterAt(text, 0);
        if (!isBlank(c)) break;
        text.remove_prefix(length);
    }
    std::size_t end = text.size();
    for (std::size_t at = 0; at < text.size();) {
        const auto [c, length] = characterAt(text, at);
        at += length;
        if (!isBlank(c)) end = at;
    }
    return text.substr(0, end);
}

std::size_t characterCount(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t at = 0; at < text.size(); ++count) at += characterAt(text, at).second;
    return count;
}

}  // namespace

void RegistrationFlow::restart(std::string accessPassword) {
    accessPassword_ = std::move(accessPassword);
    stage_ = 1;
    // The form's requisites were just cleared: a date repeat left over from an earlier opening
    // must not send them unchecked.
    dateRepeatTag_ = 0;
}

RegistrationCheck RegistrationFlow::check(Requisites& requisites, const RequisitesShown& shown) {
    // A click that only repeats the date sends what the checks passed, or nothing: requisites
    // changed since then are checked again from the start.
    if (dateRepeatTag_ != 0 && requisites != validated_) {
        dateRepeatTag_ = 0;
        stage_ = 1;
    }
    if (dateRepeatTag_ != 0) return RegistrationCheck::Ready;
    if (stage_ <= 2) {
        const RegistrationCheck checked = checkRequisites(requisites, shown);
        if (checked != RegistrationCheck::Ready) return checked;
    }
    if (!session_.frontEnd.askQuestion(kRegistrationQuestion, owner_)) {
        stage_ = 1;
        return RegistrationCheck::Declined;
    }
    validated_ = requisites;
    return RegistrationCheck::Ready;
}

bool RegistrationFlow::refuse(const char* text) {
    session_.frontEnd.showMessage(MessageIcon::Error, kErrorCaption, text, owner_);
    return false;
}

RegistrationCheck RegistrationFlow::checkRequisites(Requisites& requisites,
                                                    const RequisitesShown& shown) {
    constexpr RegistrationCheck kRefused = RegistrationCheck::Refused;
    if (trimmed(requisites.registrationNumber).empty()) {
        refuse("Введите регистрационный номер ПТК.");
        return kRefused;
    }
    requisites.registrationNumber =
        zeroFilled(trimmed(requisites.registrationNumber), kRegistrationNumberDigits);
    shown(requisites);
    if (trimmed(requisites.taxpayerNumber).empty()) {
        refuse("Введите ИНН.");
        return kRefused;
    }
    requisites.taxpayerNumber =
        zeroFilled(trimmed(requisites.taxpayerNumber), kTaxpayerNumberDigits);
    shown(requisites);
    const std::string_view password = trimmed(requisites.newPassword);
    if (password.empty()) {
        refuse("Введите новый пароль доступа к ФП.");
        return kRefused;
    }
    if (characterCount(password) != kFiscalPasswordDigits) {
        refuse("Пароль доступа к ФП должен быть 8 знаков.");
        return kRefused;
    }
    if (trimmed(requisites.headerLines[0]).empty()) {
        refuse("Введите наименование.");
        return RegistrationCheck::NameMissing;
    }
    if (stage_ == 1) {
        session_.frontEnd.showMessage(MessageIcon::Warning, "Сообщение", kCheckAndRepeat, owner_);
        stage_ = 2;
        firstPasswordEntry_ = requisites.newPassword;
        requisites.newPassword.clear();
        shown(requisites);
        return RegistrationCheck::RepeatPassword;
    }
    if (requisites.newPassword != firstPasswordEntry_) {
        refuse("Неверный повтор пароля!");
        requisites.newPassword.clear();
        shown(requisites);
        stage_ = 1;
        return kRefused;
    }
    stage_ = 3;
    return RegistrationCheck::Ready;
}

bool RegistrationFlow::linesWritable(const Requisites& requisites) {
    if (CheckHeaderLinesWritable(session_, requisites.headerLines, owner_)) return true;
    stage_ = 1;
    return false;
}

RegistrationSent RegistrationFlow::send(const Requisites& requisites, const DeviceDate& date,
                                        const DeviceTime& time) {
    session_.frontEnd.setResultText("");
    const ClockSetting clock = SetDeviceClock(session_, date, time);
    RegistrationSent sent = RegistrationSent::Stopped;
    if (clock.date.dateToConfirm()) {
        tellDateAgain(session_.frontEnd);
        dateRepeatTag_ = kDateRepeatTag;
        sent = RegistrationSent::DateToConfirm;
    } else {
        dateRepeatTag_ = 0;
        if (clock.set() &&
            StoreHeaderLines(session_, requisites.headerLines, accessPassword_, owner_)) {
            // Whatever the register answers is told by the exchange.
            FiscalRegistration(session_, requisites.registrationNumber, requisites.taxpayerNumber,
                               requisites.newPassword);
            sent = RegistrationSent::Sent;
        }
    }
    stage_ = 1;
    return sent;
}

}  // namespace ptk::fiscal_memory
