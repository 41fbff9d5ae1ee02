#include "status/eklz_state.h"

#include <array>
#include <string_view>

namespace ptk {

namespace {

constexpr std::string_view kSeparator = "______________________________________";

constexpr std::array<std::string_view, 4> kDocumentTypes = {"Продажа", "Покупка", "Возврат продажи",
                                                            "Возврат покупки"};

struct FlagText {
    std::uint8_t bit;
    std::string_view clear;
    std::string_view set;
};

constexpr std::array<FlagText, 6> kFlags{{
    {0x04, "Архив закрыт", "Архив открыт"},
    {0x08, "ЭКЛЗ не активизировано", "ЭКЛЗ активизировано"},
    {0x10, "Нет отчета", "Снимается отчет"},
    {0x20, "Документ закрыт", "Документ открыт"},
    {0x40, "Смена закрыта", "Смена открыта"},
    {0x80, "Нет неисправимой ошибки", "Есть ошибка"},
}};

std::string text(std::string_view label, const std::string& value) {
    std::string line(label);
    line += value;
    return line;
}

}  // namespace

std::vector<std::string> eklzStateLines(const AnswerBytes& answer) {
    std::vector<std::string> lines;
    lines.reserve(16);
    lines.push_back(
        text("Итог текущего документа: ", bcdDigits(answer, 2, 4) + "." + bcdTwoDigits(answer[6])));
    lines.push_back(text(
        "Дата последней операции: ",
        bcdTwoDigits(answer[9]) + "/" + bcdTwoDigits(answer[8]) + "/" + bcdTwoDigits(answer[7])));
    lines.push_back(text("Время последней операции: ",
                         bcdTwoDigits(answer[10]) + ":" + bcdTwoDigits(answer[11])));
    lines.push_back(text("Последний номер КПК: ", bcdDigits(answer, 12, 5)));
    lines.emplace_back(kSeparator);
    lines.push_back(text("Номер ЭКЛЗ: ", bcdDigits(answer, 17, 5)));
    lines.emplace_back(kSeparator);
    const std::uint8_t flags = answer[22];
    lines.emplace_back(kDocumentTypes[flags & 0x03]);
    for (const auto& flag : kFlags) lines.emplace_back((flags & flag.bit) ? flag.set : flag.clear);
    lines.emplace_back(kSeparator);
    lines.push_back(text("Номер текущей/новой смены: ", bcdDigits(answer, 23, 2)));
    return lines;
}

ExchangeResult RequestEklzState(Session& session, std::vector<std::string>& lines) {
    const auto message = session.message(kEklzStateCode);
    const ExchangeResult result =
        session.exchange.SendFormCommand(commandCall(message, 55, ShortAnswer::Taken));
    if (result.succeeded())
        lines = eklzStateLines(AnswerBytes::fromLinkBuffer(session.exchange.answer()));
    return result;
}

}  // namespace ptk
