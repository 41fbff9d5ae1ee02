#include "status/registration_info.h"

#include <string_view>

namespace ptk {

namespace {

constexpr std::string_view kSeparator = "______________________________________________________";
constexpr std::string_view kBlank = " ";

// A label with the run of spaces that lines its value up with the others in the window's font.
std::string labelled(std::string_view label, std::size_t spaces, const std::string& value) {
    std::string line(label);
    line.append(spaces, ' ');
    line += value;
    return line;
}

void activationLines(const AnswerBytes& answer, std::vector<std::string>& lines) {
    lines.emplace_back(kBlank);
    lines.push_back(labelled(" НОМЕР ТЕКУЩЕЙ АКТИВИЗАЦИИ ЭКЛЗ:", 10, bcdNumber(answer[2])));
    lines.emplace_back(kSeparator);
    lines.emplace_back(kBlank);
    lines.push_back(labelled(" КОЛ-ВО ОСТАВШИХСЯ АКТИВИЗАЦИЙ ЭКЛЗ:", 3, bcdNumber(answer[3])));
    lines.emplace_back(kSeparator);
    lines.emplace_back(kBlank);
}

void registrationLines(const AnswerBytes& answer, std::vector<std::string>& lines) {
    lines.push_back(labelled(" ИНН:", 64, bcdDigits(answer, 2, 6)));
    lines.emplace_back(kSeparator);
    lines.emplace_back(kBlank);
    lines.push_back(labelled(" РНМ:", 64, bcdDigits(answer, 8, 5)));
    lines.emplace_back(kSeparator);
    lines.emplace_back(kBlank);
    lines.push_back(labelled(" НАЧАЛЬНАЯ СМЕНА:", 40, bcdDigits(answer, 13, 2)));
    lines.emplace_back(kSeparator);
    lines.emplace_back(kBlank);
    // The date bytes are shown in the order they arrive.
    const std::string date =
        bcdTwoDigits(answer[15]) + "/" + bcdTwoDigits(answer[16]) + "/" + bcdTwoDigits(answer[17]);
    lines.push_back(labelled(" ДАТА ФИСКАЛИЗ./ПЕРЕРЕГИСТР.:", 19, date));
    lines.emplace_back(kSeparator);
    lines.emplace_back(kBlank);
}

void eklzNumberLines(const AnswerBytes& answer, std::vector<std::string>& lines) {
    lines.push_back(labelled(" НОМЕР ЭКЛЗ:", 51, bcdDigits(answer, 2, 5)));
    lines.emplace_back(kBlank);
}

}  // namespace

std::vector<std::string> dataRegisterLines(std::uint8_t number, const AnswerBytes& answer) {
    std::vector<std::string> lines;
    switch (number) {
        case kActivationRegister:
            activationLines(answer, lines);
            break;
        case kRegistrationRegister:
            registrationLines(answer, lines);
            break;
        case kEklzNumberRegister:
            eklzNumberLines(answer, lines);
            break;
        default:
            break;
    }
    return lines;
}

ExchangeResult ReadDataRegister(Session& session, std::uint8_t number,
                                std::vector<std::string>& lines) {
    auto message = session.message(kReadDataRegisterCode);
    message.byte(number).byte(0x00).byte(0x00);
    CommandCall call = commandCall(message, 55, ShortAnswer::Taken);
    call.deadlines.tAnswerStart = kDataRegisterAnswerStartMs;
    const ExchangeResult result = session.exchange.SendFormCommand(call);
    if (!result.succeeded()) return result;
    if (number == kActivationRegister) lines.clear();
    for (auto& line :
         dataRegisterLines(number, AnswerBytes::fromLinkBuffer(session.exchange.answer()))) {
        lines.push_back(std::move(line));
    }
    return result;
}

ExchangeResult ReadRegistrationInfo(Session& session, std::vector<std::string>& lines) {
    ExchangeResult result = ReadDataRegister(session, kActivationRegister, lines);
    if (result.succeeded()) result = ReadDataRegister(session, kRegistrationRegister, lines);
    if (result.succeeded()) result = ReadDataRegister(session, kEklzNumberRegister, lines);
    return result;
}

}  // namespace ptk
