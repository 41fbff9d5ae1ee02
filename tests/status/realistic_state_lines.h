#pragma once

#include <string>
#include <vector>

namespace ptk::testing {

// The state window's lines for one realistic register: cashier 1 in hall 3, 28.11.24 14:37:59,
// fiscalised with the shift open, serial 00004567, version 300, registration mode, receipt 42 of
// shift 17 being a sale of 150,00, two decimals, port 1. The decoder tests build these answer
// bytes by hand; the window tests get them from the simulated register.
inline std::vector<std::string> realisticStateLines() {
    const std::string separator(42, '-');
    return {
        "Кассир: 1",
        "Номер ПТК в зале: 3",
        separator,
        "Текущая  дата: 28/11/24",
        "Текущее время: 14:37:59",
        separator,
        "ПТК фискализирован",
        "Смена открыта",
        "Денежный ящик закрыт",
        "Крышка ПУ закрыта",
        "Батарея в норме",
        separator,
        "Завод. номер ПТК: 00004567",
        "Версия ПТК: 300",
        separator,
        "Режим: регистрация",
        "Подрежим: ожидание команды",
        separator,
        "Номер чека: 0042",
        "Номер закр. смены: 0017",
        "Продажа",
        "Сумма чека: 150,00",
        "Полож. десятич. точки: 2",
        separator,
        "Номер порта ПТК: 1",
    };
}

}  // namespace ptk::testing
