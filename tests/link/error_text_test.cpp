// Every message the inspector can be shown for a device error code or a driver result.
#include <gtest/gtest.h>

#include <set>

#include "link/error_text.h"
#include "support/recording_front_end.h"

namespace ptk::testing {
namespace {

struct Expected {
    int code;
    const char* message;
};

// The register's messages as its documentation lists them.
const Expected kDeviceMessages[] = {
    {0x00, "00 - Ошибок нет. Команда выполнена."},
    {0x01, "01 - Контрольная лента обработана без ошибок."},
    {0x08, "08 - Неверная цена (сумма)."},
    {0x0A, "0A - Неверное количество."},
    {0x0B, "0B - Переполнение счетчика."},
    {0x0C, "0C - Невозможно сторно последней операции."},
    {0x0D, "0D - Сторно по коду невозможно."},
    {0x0E, "0E - Невозможен повтор последней операции."},
    {0x0F, "0F - Повторная скидка на операцию невозможна."},
    {0x10, "10 - Скидка/надбавка на предыдущую операцию невозможна."},
    {0x11, "11 - Неверный код товара."},
    {0x12, "12 - Неверный штрих-код товара."},
    {0x13, "13 - Неверный формат."},
    {0x14, "14 - Неверная длина."},
    {0x15, "15 - ПТК заблокирована в режиме ввода даты."},
    {0x16, "16 - Требуется подтверждение ввода даты."},
    {0x18, "18 - Нет больше данных для передачи ПО ПТК."},
    {0x19, "19 - Нет подтверждения или отмены продажи."},
    {0x1A, "1A - Отчет с гашением прерван. Вход в режим невозможен."},
    {0x1B, "1B - Отключение контроля наличности невозможно."},
    {0x1E, "1E - Вход в режим заблокирован."},
    {0x1F, "1F - Проверьте дату и время."},
    {0x20, "20 - Дата и время в ПТК меньше чем в ЭКЛЗ."},
    {0x21, "21 - Невозможно закрыть архив."},
    {0x3D, "3D - Товар не найден."},
    {0x3E, "3E - Весовой штрих-код с количеством <> 1.000."},
    {0x3F, "3F - Переполнение буфера чека."},
    {0x40, "40 - Недостаточное количество товара."},
    {0x41, "41 - Сторнируемое количество больше проданного."},
    {0x42, "42 - Заблокированный товар не найден в буфере чека."},
    {0x43, "43 - Данный товар не продавался в чек, сторно невозможно."},
    {0x44, "44 - Lerma Plus заблокировано с ПК."},
    {0x45, "45 - Ошибка контрольной суммы таблицы настроек Lerma Plus."},
    {0x46, "46 - Неверная команда от ПТК."},
    {0x66, "66 - Команда не реализуется в данном режиме."},
    {0x67, "67 - Нет бумаги."},
    {0x68, "68 - Нет связи с принтером."},
    {0x69, "69 - Механическая ошибка печатающего устройства."},
    {0x6A, "6A - Неверный тип чека."},
    {0x6B, "6B - Нет больше строк картинки."},
    {0x6C, "6C - Неверный номер регистра."},
    {0x6D, "6D - Недопустимое целевое устройство."},
    {0x6E, "6E - Нет места в массиве картинок."},
    {0x6F, "6F - Неверный номер картинки / картинка отсутствует."},
    {0x70, "70 - Сумма сторно больше, чем было получено данным типом оплаты."},
    {0x71, "71 - Сумма неналичных платежей превышает сумму чека."},
    {0x72, "72 - Сумма платежей меньше суммы чека."},
    {0x73, "73 - Накопление меньше суммы возврата или аннулирования."},
    {0x75, "75 - Переполнение суммы платежей."},
    {0x76, "76 - (зарезервировано)."},
    {0x7A, "7A - Данная модель ПТК не может выполнить команду."},
    {0x7B, "7B - Неверная величина скидки/надбавки."},
    {0x7C, "7C - Операция после скидки/надбавки невозможна."},
    {0x7D, "7D - Неверная секция."},
    {0x7E, "7E - Неверны вид оплаты."},
    {0x7F, "7F - Переполнение при умножении."},
    {0x80, "80 - Операция запрещена в таблице настроек."},
    {0x81, "81 - Переполнение итога чека."},
    {0x82, "82 - Открыт чек аннулирования - операция невозможна."},
    {0x84, "84 - Переполнение буфера контрольной ленты."},
    {0x86, "86 - Вносимая клиентом сумма меньше суммы чека."},
    {0x87, "87 - Открыт чек возврата - операция невозможна."},
    {0x88, "88 - Смена превысила 24 часа."},
    {0x89, "89 - Открыт чек продажи - операция невозможна."},
    {0x8A, "8A - Переполнение ФП."},
    {0x8C, "8C - Неверный пароль."},
    {0x8D, "8D - Буфер контрольной ленты не переполнен."},
    {0x8E, "8E - Идет обработка контрольной ленты."},
    {0x8F, "8F - Обнуленная касса (повторное гашение невозможно)."},
    {0x91, "91 - Неверный номер таблицы."},
    {0x92, "92 - Неверны йномер ряда."},
    {0x93, "93 - Неверны йномер поля."},
    {0x94, "94 - Неверная дата."},
    {0x95, "95 - Неверное время."},
    {0x96, "96 - Сумма чека по секции меньше суммы сторно."},
    {0x97, "97 - Подсчет суммы сдачи невозможен."},
    {0x98, "98 - В ПТК нет денег для выплаты."},
    {0x9A, "9A - Чек закрыт - операция невозможна."},
    {0x9B, "9B - Чек открыт - операция невозможна."},
    {0x9C, "9C - Необходимо провести гашение."},
    {0x9D, "9D - ПТК заблокирована, ждет ввода пароля доступа к ФП."},
    {0x9E, "9E - Заводской номер уже задан."},
    {0x9F, "9F - Количество перерегистраций не может быть более 4."},
    {0xA0, "A0 - Ошибка ФП."},
    {0xA2, "A2 - Неверная смена."},
    {0xA3, "A3 - Неверный тип отчета."},
    {0xA4, "A4 - Недопустимый пароль."},
    {0xA5, "A5 - Недопустимый заводской номер ПТК."},
    {0xA6, "A6 - Недопустимый РНМ."},
    {0xA7, "A7 - Недопустимый ИНН."},
    {0xA8, "A8 - ПТК не фискализирована."},
    {0xA9, "A9 - Не задан заводской номер."},
    {0xAA, "AA - Нет отчетов."},
    {0xAB, "AB - Режим не активизирован."},
    {0xAC, "AC - Нет указанного чека в КЛ."},
    {0xAD, "AD - Нет больше записей КЛ."},
    {0xAE, "AE - Некорректный код или номер кода защиты ПТК."},
    {0xB0, "B0 - Требуется выполнение общего гашения."},
    {0xB1, "B1 - Команда не разрешена введенными кодами защиты ПТК."},
    {0xB2, "B2 - Невозможна отмена скидки/надбавки."},
    {0xB3, "B3 - Невозможно закрыть чек данным типом оплаты."},
    {0xBA, "BA - Ошибка обмена с фискальным модулем."},
    {0xBE, "Be - Необходимо провести профилактические работы."},
    {0xC8, "C8 - Нет устройства, обрабатывающего данную команду."},
    {0xC9, "C9 - Нет связи с внешним устройством."},
    {0xCA, "CA - Ошибочное состояние ТРК."},
    {0xCB, "CB - Больше одной регистрации в чеке."},
    {0xCC, "CC - Ошибочный номер ТРК."},
    {0xCD, "CD - Неверный делитель."},
    {0xCF, "CF - В ПТК произведено 50 активизаций."},
    {0xD0, "D0 - Активизация данной ЭКЛЗ в составе данной ПТК невозможна."},
    {0xD1, "D1 - Перегрев головки принтера."},
    {0xD2, "D2 - Ошибка обмена ЭКЛЗ на уровне интерфейса."},
    {0xD3, "D3 - Ошибка формата передачи ЭКЛЗ."},
    {0xD4, "D4 - Неверное состояние ЭКЛЗ."},
    {0xD5, "D5 - Неисправимая ошибка ЭКЛЗ."},
    {0xD6, "D6 - Авария крипто-процессора ЭКЛЗ."},
    {0xD7, "D7 - Исчерпан временной ресурс ЭКЛЗ."},
    {0xD8, "D8 - ЭКЛЗ переполнена."},
    {0xD9, "D9 - В ЭКЛЗ неверная дата или время."},
    {0xDA, "DA - В ЭКЛЗ нет запрошенных данных."},
    {0xDB, "DB - Переполнение ЭКЛЗ (итог чека)."},
    {0xE8, "E8 - Требуется проведение инкассации."},
};

const Expected kDriverMessages[] = {
    {0x0E, "Недостаточно памяти для выполнения операции"},
    {0x11, "Невозможно открыть файл"},
    {0x12, "Ошибка записи в файл"},
    {0x13, "Ошибка чтения из файла"},
    {0x21, "Указанная в конфигурации библиотека управления не найдена"},
    {0x24, "Функция не реализована в устройстве"},
    {0x28, "Ошибка при инициализации графического интерфейса пользователя"},
    {0xA0, "Недопустимый параметр"},
    {0xA1, "Недопустимая дата"},
    {0xC1, "Порт недоступен"},
    {0xC2, "Ошибка локального порта"},
    {0xC4, "Нет связи"},
    {0xC5, "Нет ответа"},
    {0xC6, "Ошибка при передаче данных"},
    {0xCA, "Размер передаваемых данных больше допустимого"},
    {0xCB, "Приняты избыточные данные"},
    {0xCC, "Контрольная сумма данных не соответствует принятой"},
    {0xD1, "Ошибка принтера устройства"},
    {0xD2, "Нет бумаги"},
    {0xDA, "Ошибка фискальной памяти"},
    {0xDB, "Ошибка ЭКЛЗ"},
    {0xDF, "Нет данных для передачи"},
    {0x101, "Размер данных превышает размер буфера"},
    {0x194, "Не найдено"},
    {0xFFFF, "Неизвестная ошибка"},
    {0x1001, "Требуется подтверждение"},
    {0x1002, "Превышена продолжительность смены"},
    {0x1003, "Неверный пароль"},
    {0x1004, "Невозможно в данном режиме"},
    {0x1005, "Операция прервана пользователем"},
};

class ErrorTextTest : public ::testing::Test {
protected:
    RecordingFrontEnd frontEnd;
    ErrorReporter errors{frontEnd};
};

TEST_F(ErrorTextTest, EveryDeviceCodeHasItsOwnMessageAndEveryOtherCodeTheUnknownOne) {
    ASSERT_EQ(std::size(kDeviceMessages), 123u);
    EXPECT_EQ(deviceErrorCount(), 123);
    std::set<int> known;
    for (const Expected& entry : kDeviceMessages) {
        known.insert(entry.code);
        EXPECT_EQ(deviceErrorMessage(static_cast<std::uint8_t>(entry.code)), entry.message)
            << std::hex << entry.code;
    }
    for (int code = 0; code < 256; ++code) {
        if (known.count(code)) continue;
        EXPECT_EQ(deviceErrorMessage(static_cast<std::uint8_t>(code)), "Неизвестный код ошибки.")
            << std::hex << code;
    }
}

TEST_F(ErrorTextTest, ErrorCodesAreWrittenAndShownAndSuccessCodesOnlyWritten) {
    for (const Expected& entry : kDeviceMessages) {
        frontEnd.clear();
        const auto code = static_cast<std::uint8_t>(entry.code);
        const bool success = code == 0x00 || code == 0x01;
        EXPECT_EQ(errors.ErrorText(code, true), success);
        EXPECT_EQ(frontEnd.resultText, entry.message);
        if (success || code == 0x16) {
            EXPECT_TRUE(frontEnd.boxes.empty()) << entry.message;
        } else {
            ASSERT_EQ(frontEnd.boxes.size(), 1u);
            EXPECT_EQ(frontEnd.boxes[0],
                      (RecordingFrontEnd::Box{MessageIcon::Error, "Ошибка", entry.message,
                                              BoxOwner::Application}));
        }
        // Without show, never a box.
        frontEnd.clear();
        errors.ErrorText(code, false);
        EXPECT_TRUE(frontEnd.boxes.empty());
    }
}

TEST_F(ErrorTextTest, DateConfirmationIsAnErrorWithoutABox) {
    EXPECT_FALSE(errors.ErrorText(0x16, true));
    EXPECT_TRUE(errors.SuppressErrorBox);
    EXPECT_EQ(frontEnd.resultText, "16 - Требуется подтверждение ввода даты.");
    EXPECT_TRUE(frontEnd.boxes.empty());
    // The next code clears the flag again.
    EXPECT_TRUE(errors.ErrorText(0x00, true));
    EXPECT_FALSE(errors.SuppressErrorBox);
}

TEST_F(ErrorTextTest, UnknownCodeAndTheOddSpellingAreShownAsTheyAre) {
    EXPECT_FALSE(errors.ErrorText(0x02, true));
    EXPECT_EQ(frontEnd.boxTexts(), std::vector<std::string>{"Неизвестный код ошибки."});
    frontEnd.clear();
    errors.ErrorText(0xBE, true);
    EXPECT_EQ(frontEnd.boxTexts(),
              std::vector<std::string>{"Be - Необходимо провести профилактические работы."});
}

TEST_F(ErrorTextTest, DriverResultsShowTheirTableMessageInTheOwnersBox) {
    for (const Expected& entry : kDriverMessages) {
        frontEnd.clear();
        errors.ShowDriverResult(BoxOwner::FiskPam, entry.code);
        ASSERT_EQ(frontEnd.boxes.size(), 1u) << entry.message;
        EXPECT_EQ(frontEnd.boxes[0], (RecordingFrontEnd::Box{MessageIcon::Error, "Ошибка",
                                                             entry.message, BoxOwner::FiskPam}));
    }
    frontEnd.clear();
    errors.ShowDriverResult(BoxOwner::FiskPam, 0);
    EXPECT_TRUE(frontEnd.boxes.empty());
    errors.ShowDriverResult(BoxOwner::FiskPam, 0x1234);
    EXPECT_EQ(frontEnd.boxTexts(), std::vector<std::string>{"Неизвестная ошибка"});
    // A negative result carries a device code in its low byte.
    frontEnd.clear();
    errors.ShowDriverResult(BoxOwner::FiskPam, static_cast<std::int32_t>(0xFFFFFF67u));
    EXPECT_EQ(frontEnd.boxTexts(), std::vector<std::string>{"67 - Нет бумаги."});
    EXPECT_EQ(frontEnd.resultText, "67 - Нет бумаги.");
}

}  // namespace
}  // namespace ptk::testing
