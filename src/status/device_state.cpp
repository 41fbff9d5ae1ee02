#include "status/device_state.h"

#include <array>

namespace ptk {

namespace {

constexpr std::string_view kSeparator = "------------------------------------------";

struct ModeEntry {
    std::uint8_t byte;
    std::string_view mode;
    std::string_view submode;
};

constexpr std::string_view kSelection = "Режим: выбор";
constexpr std::string_view kRegistration = "Режим: регистрация";
constexpr std::string_view kXReports = "Режим: Х-отчеты";
constexpr std::string_view kZReports = "Режим: Z-отчеты";
constexpr std::string_view kProgramming = "Режим: программирование";
constexpr std::string_view kFiscalMemory = "Режим: доступ к ФП";
constexpr std::string_view kEklz = "Режим: доступ к ЭКЛЗ";
constexpr std::string_view kAdditional = "Режим: дополнительный";

constexpr std::array<ModeEntry, 40> kModes{{
    {0x00, kSelection, "Подрежим: выбор"},
    {0x01, kRegistration, "Подрежим: ожидание команды"},
    {0x11, kRegistration, "Подрежим: ввод пароля"},
    {0x21, kRegistration, "Подрежим: ожид. ввода секции"},
    {0x31, kRegistration, "Подрежим: ожид. сторно по штрих-коду"},
    {0x41, kRegistration, "Подрежим: приём платежей"},
    {0x02, kXReports, "Подрежим: ожидание команды"},
    {0x12, kXReports, "Подрежим: ввод пароля"},
    {0x22, kXReports, "Подрежим: печать отчета"},
    {0x03, kZReports, "Подрежим: ожидание команды"},
    {0x13, kZReports, "Подрежим: ввод пароля"},
    {0x23, kZReports, "Подрежим: печать отчета"},
    {0x33, kZReports, "Подрежим: подтв. гашения"},
    {0x43, kZReports, "Подрежим: ввод даты с клавиатуры"},
    {0x53, kZReports, "Подрежим: ожид. подтв. общ. гашения"},
    {0x63, kZReports, "Подрежим: общее гашение"},
    {0x73, kZReports, "Подрежим: процесс ввода полож. точки"},
    {0x04, kProgramming, "Подрежим: ожид. команды"},
    {0x14, kProgramming, "Подрежим: ввод пароля"},
    {0x05, kFiscalMemory, "Подрежим: ожид. команды"},
    {0x15, kFiscalMemory, "Подрежим: ввод пароля"},
    {0x25, kFiscalMemory, "Подрежим: печать отчета"},
    {0x35, kFiscalMemory, "Подрежим: ввод данных"},
    {0x45, kFiscalMemory, "Подрежим: подтв. входа в режим"},
    {0x06, kEklz, "Подрежим: ожидание команды"},
    {0x16, kEklz, "Подрежим: печать отчета"},
    {0x17, kAdditional, "Подрежим: обнул. таблиц и регистров"},
    {0x27, kAdditional, "Подрежим: тестовый прогон"},
    {0x37, kAdditional, "Подрежим: обнул. таблиц и регистров"},
    {0x47, kAdditional, "Подрежим: тесты"},
    {0x57, kAdditional, "Подрежим: ввод даты после замены ядра"},
    {0x67, kAdditional, "Подрежим: ввод времени после замены ядра"},
    {0x77, kAdditional, "Подрежим: нач. инициализация ПТК"},
    {0x87, kAdditional, "Подрежим: ожид. подтв. обнул. таблиц"},
    {0x97, kAdditional, "Подрежим: разные накопители памяти"},
    {0xA7, kAdditional, "Подрежим: ПТК не инициал."},
    {0xB7, kAdditional, "Подрежим: ПТК заблокирована"},
    {0xC7, kAdditional, "Подрежим: подтв. ввода даты"},
    {0xD7, kAdditional, "Подрежим: оповещ. о переводе часов"},
    {0xE7, kAdditional, "Подрежим: блокир. при ошибке ЭКЛЗ"},
}};

constexpr std::array<std::string_view, 7> kReceiptStates = {
    "Чек закрыт",
    "Продажа",
    "Возврат",
    "Аннулирование",
    "Покупка",
    "Возврат покупки",
    "Аннулирование покупки",
};

struct FlagText {
    std::uint8_t bit;
    std::string_view set;
    std::string_view clear;
};

// Bits 3, 4 and 6 of the register flags carry nothing the inspector needs.
constexpr std::array<FlagText, 5> kRegisterFlags{{
    {0x01, "ПТК фискализирован", "ПТК не фискализирован"},
    {0x02, "Смена открыта", "Смена закрыта"},
    {0x04, "Денежный ящик открыт", "Денежный ящик закрыт"},
    {0x20, "Крышка ПУ открыта", "Крышка ПУ закрыта"},
    {0x80, "Напряжение на батарее ниже нормы", "Батарея в норме"},
}};

constexpr std::array<FlagText, 4> kPrinterFlags{{
    {0x01, "Бумаги в принтере нет", "Бумага в принтере есть"},
    {0x02, "Связи с принтером нет", "Связь с принтером есть"},
    {0x04, "Крышка принтера открыта", "Крышка принтера закрата"},
    {0x08, "Нет рулона бумаги", "Рулон бумаги есть"},
}};

template <std::size_t N>
void appendFlagLines(const std::array<FlagText, N>& table, std::uint8_t flags,
                     std::vector<std::string>& lines) {
    for (const auto& flag : table) lines.emplace_back((flags & flag.bit) ? flag.set : flag.clear);
}

std::string text(std::string_view label, const std::string& value) {
    std::string line(label);
    line += value;
    return line;
}

// Eight ruble digits and two kopeck digits: rubles without leading zeros, a comma, kopecks.
std::string receiptSum(const AnswerBytes& answer) {
    return withoutLeadingZeros(bcdDigits(answer, 23, 4)) + "," + bcdTwoDigits(answer[27]);
}

CommandCall stateCall(const MessageBuilder& message, ErrorCodeRule rule) {
    CommandCall call = commandCall(message, 55, ShortAnswer::Taken);
    call.errorCode = rule;
    return call;
}

}  // namespace

std::pair<std::string_view, std::string_view> modeLines(std::uint8_t modeByte) {
    for (const auto& entry : kModes) {
        if (entry.byte == modeByte) return {entry.mode, entry.submode};
    }
    return {" ", " "};
}

std::string receiptStateText(std::uint8_t state) {
    if (state < kReceiptStates.size()) return std::string(kReceiptStates[state]);
    return "Состояние чека неизвестно: " + std::to_string(state);
}

std::vector<std::string> deviceStateLines(const AnswerBytes& answer) {
    std::vector<std::string> lines;
    lines.reserve(29);
    lines.push_back(text("Кассир: ", bcdNumber(answer[1])));
    lines.push_back(text("Номер ПТК в зале: ", bcdNumber(answer[2])));
    lines.emplace_back(kSeparator);
    lines.push_back(text(
        "Текущая  дата: ",
        bcdTwoDigits(answer[5]) + "/" + bcdTwoDigits(answer[4]) + "/" + bcdTwoDigits(answer[3])));
    lines.push_back(text(
        "Текущее время: ",
        bcdTwoDigits(answer[6]) + ":" + bcdTwoDigits(answer[7]) + ":" + bcdTwoDigits(answer[8])));
    lines.emplace_back(kSeparator);
    appendFlagLines(kRegisterFlags, answer[9], lines);
    lines.emplace_back(kSeparator);
    lines.push_back(text("Завод. номер ПТК: ", bcdDigits(answer, 10, 4)));
    const unsigned version = answer[15] | (unsigned{answer[16]} << 8);
    lines.push_back(text("Версия ПТК: ", std::to_string(version)));
    lines.emplace_back(kSeparator);
    const auto [mode, submode] = modeLines(answer[17]);
    lines.emplace_back(mode);
    lines.emplace_back(submode);
    lines.emplace_back(kSeparator);
    lines.push_back(text("Номер чека: ", bcdDigits(answer, 18, 2)));
    lines.push_back(text("Номер закр. смены: ", bcdDigits(answer, 20, 2)));
    lines.push_back(receiptStateText(answer[22]));
    lines.push_back(text("Сумма чека: ", receiptSum(answer)));
    lines.push_back(text("Полож. десятич. точки: ", std::to_string(answer[28])));
    lines.emplace_back(kSeparator);
    lines.push_back(text("Номер порта ПТК: ", std::to_string(answer[29])));
    return lines;
}

std::vector<std::string> printerStateLines(std::uint8_t printerFlags) {
    std::vector<std::string> lines;
    appendFlagLines(kPrinterFlags, printerFlags, lines);
    return lines;
}

ExchangeResult RequestDeviceState(Session& session, std::vector<std::string>& lines) {
    const auto message = session.message(kStateCode);
    const ExchangeResult result =
        session.exchange.SendFormCommand(stateCall(message, ErrorCodeRule::StateAnswer));
    if (result.succeeded())
        lines = deviceStateLines(AnswerBytes::fromLinkBuffer(session.exchange.answer()));
    return result;
}

ExchangeResult RequestPrinterState(Session& session, std::vector<std::string>& lines) {
    const auto message = session.message(kPrinterStateCode);
    auto call = stateCall(message, ErrorCodeRule::None);
    call.resultField = ResultFieldText::NoErrorsOnAnswer;
    const ExchangeResult result = session.exchange.SendFormCommand(call);
    // Without a closing byte the window stays shut and its text is rebuilt before it is next
    // shown, so the lines are only worth adding for a complete exchange.
    if (result.succeeded()) {
        const auto answer = AnswerBytes::fromLinkBuffer(session.exchange.answer());
        for (auto& line : printerStateLines(answer[2])) lines.push_back(std::move(line));
    }
    return result;
}

}  // namespace ptk
