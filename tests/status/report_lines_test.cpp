// The texts of the three report windows, decoded from answer bytes.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "realistic_state_lines.h"
#include "status/device_state.h"
#include "status/eklz_state.h"
#include "status/registration_info.h"

namespace ptk {
namespace {

// An answer of 55 bytes, all zero but the ones given (answer byte number, value).
struct AnswerImage {
    std::vector<std::uint8_t> bytes = std::vector<std::uint8_t>(55, 0);
    AnswerImage(std::initializer_list<std::pair<std::size_t, std::uint8_t>> values) {
        for (const auto& [k, value] : values) bytes.at(k) = value;
    }
    AnswerBytes view() const { return AnswerBytes(bytes.data(), bytes.size()); }
};

struct LineCase {
    const char* name;
    AnswerImage answer;
    std::size_t firstLine;              // index of the first line checked
    std::vector<std::string> expected;  // the lines from there on
};

std::string caseName(const ::testing::TestParamInfo<LineCase>& info) {
    return info.param.name;
}

void expectLinesFrom(const std::vector<std::string>& lines, const LineCase& c) {
    ASSERT_GE(lines.size(), c.firstLine + c.expected.size());
    for (std::size_t i = 0; i < c.expected.size(); ++i) {
        EXPECT_EQ(lines[c.firstLine + i], c.expected[i]) << "line " << c.firstLine + i;
    }
}

// --- Device state window ------------------------------------------------------------------------

class DeviceStateLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(DeviceStateLine, Decodes) {
    expectLinesFrom(deviceStateLines(GetParam().answer.view()), GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Fields, DeviceStateLine,
    ::testing::Values(
        LineCase{"CashierWithoutLeadingZero", {{1, 0x05}}, 0, {"Кассир: 5"}},
        LineCase{"HallNumberTwoDigits", {{2, 0x12}}, 1, {"Номер ПТК в зале: 12"}},
        LineCase{
            "DateDayMonthYear", {{3, 0x13}, {4, 0x05}, {5, 0x07}}, 3, {"Текущая  дата: 07/05/13"}},
        LineCase{"TimeWithZeroSeconds",
                 {{6, 0x09}, {7, 0x05}, {8, 0x00}},
                 4,
                 {"Текущее время: 09:05:00"}},
        LineCase{"FlagsAllClear",
                 {{9, 0x00}},
                 6,
                 {"ПТК не фискализирован", "Смена закрыта", "Денежный ящик закрыт",
                  "Крышка ПУ закрыта", "Батарея в норме"}},
        LineCase{"FlagsShownAllSet",
                 {{9, 0xA7}},
                 6,
                 {"ПТК фискализирован", "Смена открыта", "Денежный ящик открыт",
                  "Крышка ПУ открыта", "Напряжение на батарее ниже нормы"}},
        // Bits 3, 4 and 6 have no text: they change nothing.
        LineCase{"FlagsUnshownBitsIgnored",
                 {{9, 0x58}},
                 6,
                 {"ПТК не фискализирован", "Смена закрыта", "Денежный ящик закрыт",
                  "Крышка ПУ закрыта", "Батарея в норме"}},
        LineCase{"SerialKeepsLeadingZeros",
                 {{10, 0x00}, {11, 0x12}, {12, 0x34}, {13, 0x56}},
                 12,
                 {"Завод. номер ПТК: 00123456"}},
        LineCase{"VersionLowByteFirst", {{15, 0x02}, {16, 0x01}}, 13, {"Версия ПТК: 258"}},
        LineCase{"VersionIsNotBcd", {{15, 0xFF}, {16, 0xFF}}, 13, {"Версия ПТК: 65535"}},
        LineCase{"ModeSelection", {{17, 0x00}}, 15, {"Режим: выбор", "Подрежим: выбор"}},
        LineCase{"ModeWithoutSubmodeEntry", {{17, 0x07}}, 15, {" ", " "}},
        LineCase{"ModeEklzLocked",
                 {{17, 0xE7}},
                 15,
                 {"Режим: дополнительный", "Подрежим: блокир. при ошибке ЭКЛЗ"}},
        LineCase{"ModeFiscalMemoryConfirm",
                 {{17, 0x45}},
                 15,
                 {"Режим: доступ к ФП", "Подрежим: подтв. входа в режим"}},
        LineCase{"ReceiptAndShiftNumbers",
                 {{18, 0x01}, {19, 0x05}, {20, 0x00}, {21, 0x12}},
                 18,
                 {"Номер чека: 0105", "Номер закр. смены: 0012"}},
        LineCase{"ReceiptClosed", {{22, 0}}, 20, {"Чек закрыт"}},
        LineCase{"ReceiptLastKnownState", {{22, 6}}, 20, {"Аннулирование покупки"}},
        LineCase{"ReceiptUnknownStateNamed",
                 {{20, 0x00}, {21, 0x12}, {22, 7}},
                 19,
                 {"Номер закр. смены: 0012", "Состояние чека неизвестно: 7"}},
        LineCase{"SumRublesWithoutLeadingZeros",
                 {{23, 0x00}, {24, 0x00}, {25, 0x01}, {26, 0x23}, {27, 0x45}},
                 21,
                 {"Сумма чека: 123,45"}},
        LineCase{"SumZero", {}, 21, {"Сумма чека: 0,00"}},
        LineCase{"SumKopecksOnly", {{27, 0x07}}, 21, {"Сумма чека: 0,07"}},
        LineCase{"SumLargest",
                 {{23, 0x99}, {24, 0x99}, {25, 0x99}, {26, 0x99}, {27, 0x99}},
                 21,
                 {"Сумма чека: 99999999,99"}},
        LineCase{"DecimalPointAndPortArePlain",
                 {{28, 0x12}, {29, 0x10}},
                 22,
                 {"Полож. десятич. точки: 18", std::string(42, '-'), "Номер порта ПТК: 16"}}),
    caseName);

TEST(DeviceStateText, RealisticRegisterLineByLine) {
    const AnswerImage answer{{0, 0x44},  {1, 0x01},  {2, 0x03},  {3, 0x24},  {4, 0x11},  {5, 0x28},
                             {6, 0x14},  {7, 0x37},  {8, 0x59},  {9, 0x03},  {10, 0x00}, {11, 0x00},
                             {12, 0x45}, {13, 0x67}, {15, 0x2C}, {16, 0x01}, {17, 0x01}, {18, 0x00},
                             {19, 0x42}, {20, 0x00}, {21, 0x17}, {22, 0x01}, {25, 0x01}, {26, 0x50},
                             {27, 0x00}, {28, 0x02}, {29, 0x01}};
    EXPECT_EQ(deviceStateLines(answer.view()), ptk::testing::realisticStateLines());

    const std::vector<std::string> printer = {"Бумага в принтере есть", "Связь с принтером есть",
                                              "Крышка принтера закрата", "Рулон бумаги есть"};
    EXPECT_EQ(printerStateLines(0x00), printer);
}

TEST(DeviceStateText, PrinterFlagsAllSet) {
    const std::vector<std::string> expected = {"Бумаги в принтере нет", "Связи с принтером нет",
                                               "Крышка принтера открыта", "Нет рулона бумаги"};
    EXPECT_EQ(printerStateLines(0x0F), expected);
    EXPECT_EQ(printerStateLines(0xFF), expected);
    EXPECT_EQ(printerStateLines(0x05)[1], "Связь с принтером есть");
}

TEST(DeviceStateText, ShortAnswerReadsMissingBytesAsZero) {
    const std::uint8_t answer[] = {0x44, 0x07};
    const auto lines = deviceStateLines(AnswerBytes(answer, sizeof answer));
    ASSERT_EQ(lines.size(), 25u);
    EXPECT_EQ(lines[0], "Кассир: 7");
    EXPECT_EQ(lines[3], "Текущая  дата: 00/00/00");
    EXPECT_EQ(lines[24], "Номер порта ПТК: 0");
}

// --- EKLZ state window --------------------------------------------------------------------------

class EklzStateLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(EklzStateLine, Decodes) {
    expectLinesFrom(eklzStateLines(GetParam().answer.view()), GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Fields, EklzStateLine,
    ::testing::Values(
        LineCase{"TotalKeepsLeadingZeros",
                 {{2, 0x00}, {3, 0x12}, {4, 0x02}, {5, 0x34}, {6, 0x56}},
                 0,
                 {"Итог текущего документа: 00120234.56"}},
        LineCase{"DateDayMonthYear",
                 {{7, 0x13}, {8, 0x05}, {9, 0x07}},
                 1,
                 {"Дата последней операции: 07/05/13"}},
        LineCase{
            "TimeHoursMinutes", {{10, 0x09}, {11, 0x05}}, 2, {"Время последней операции: 09:05"}},
        LineCase{"KpkTenDigits",
                 {{12, 0x00}, {13, 0x00}, {14, 0x01}, {15, 0x02}, {16, 0x03}},
                 3,
                 {"Последний номер КПК: 0000010203"}},
        LineCase{"EklzNumberTenDigits",
                 {{17, 0x12}, {18, 0x34}, {19, 0x56}, {20, 0x78}, {21, 0x90}},
                 5,
                 {"Номер ЭКЛЗ: 1234567890"}},
        LineCase{"FlagsClear",
                 {{22, 0x00}},
                 7,
                 {"Продажа", "Архив закрыт", "ЭКЛЗ не активизировано", "Нет отчета",
                  "Документ закрыт", "Смена закрыта", "Нет неисправимой ошибки"}},
        LineCase{"FlagsReturnOfSaleInOpenShift",
                 {{22, 0x4A}},
                 7,
                 {"Возврат продажи", "Архив закрыт", "ЭКЛЗ активизировано", "Нет отчета",
                  "Документ закрыт", "Смена открыта", "Нет неисправимой ошибки"}},
        LineCase{"FlagsReturnOfPurchase", {{22, 0x03}}, 7, {"Возврат покупки", "Архив закрыт"}},
        LineCase{"FlagsPurchaseAllSet",
                 {{22, 0xFD}},
                 7,
                 {"Покупка", "Архив открыт", "ЭКЛЗ активизировано", "Снимается отчет",
                  "Документ открыт", "Смена открыта", "Есть ошибка"}},
        LineCase{"ShiftFourDigits",
                 {{23, 0x00}, {24, 0x07}},
                 14,
                 {std::string(38, '_'), "Номер текущей/новой смены: 0007"}}),
    caseName);

TEST(EklzStateText, RealisticEklzLineByLine) {
    const AnswerImage answer{{0, 0x44},  {1, 0x00},  {2, 0x00},  {3, 0x00},  {4, 0x00},
                             {5, 0x15},  {6, 0x00},  {7, 0x24},  {8, 0x11},  {9, 0x28},
                             {10, 0x14}, {11, 0x37}, {12, 0x00}, {13, 0x00}, {14, 0x00},
                             {15, 0x01}, {16, 0x23}, {17, 0x00}, {18, 0x01}, {19, 0x23},
                             {20, 0x45}, {21, 0x67}, {22, 0x48}, {23, 0x00}, {24, 0x18}};
    const std::string separator(38, '_');
    const std::vector<std::string> expected = {
        "Итог текущего документа: 00000015.00",
        "Дата последней операции: 28/11/24",
        "Время последней операции: 14:37",
        "Последний номер КПК: 0000000123",
        separator,
        "Номер ЭКЛЗ: 0001234567",
        separator,
        "Продажа",
        "Архив закрыт",
        "ЭКЛЗ активизировано",
        "Нет отчета",
        "Документ закрыт",
        "Смена открыта",
        "Нет неисправимой ошибки",
        separator,
        "Номер текущей/новой смены: 0018",
    };
    EXPECT_EQ(eklzStateLines(answer.view()), expected);
}

// --- Registration window ------------------------------------------------------------------------

struct RegisterCase {
    const char* name;
    std::uint8_t number;
    AnswerImage answer;
    std::size_t firstLine;
    std::vector<std::string> expected;
};

class DataRegisterLine : public ::testing::TestWithParam<RegisterCase> {};

TEST_P(DataRegisterLine, Decodes) {
    const auto& c = GetParam();
    expectLinesFrom(dataRegisterLines(c.number, c.answer.view()),
                    LineCase{c.name, {}, c.firstLine, c.expected});
}

std::string label(const char* text, std::size_t spaces, const char* value) {
    return std::string(text) + std::string(spaces, ' ') + value;
}

INSTANTIATE_TEST_SUITE_P(
    Fields, DataRegisterLine,
    ::testing::Values(
        RegisterCase{"ActivationsWithoutLeadingZeros",
                     26,
                     {{2, 0x03}, {3, 0x04}},
                     1,
                     {label(" НОМЕР ТЕКУЩЕЙ АКТИВИЗАЦИИ ЭКЛЗ:", 10, "3"), std::string(54, '_'), " ",
                      label(" КОЛ-ВО ОСТАВШИХСЯ АКТИВИЗАЦИЙ ЭКЛЗ:", 3, "4")}},
        RegisterCase{"ActivationsTwoDigits",
                     26,
                     {{2, 0x21}, {3, 0x29}},
                     1,
                     {label(" НОМЕР ТЕКУЩЕЙ АКТИВИЗАЦИИ ЭКЛЗ:", 10, "21")}},
        RegisterCase{"InnTwelveDigitsWithZeroHalves",
                     27,
                     {{2, 0x05}, {3, 0x00}, {4, 0x12}, {5, 0x34}, {6, 0x50}, {7, 0x05}},
                     0,
                     {label(" ИНН:", 64, "050012345005")}},
        RegisterCase{"RnmTenDigits",
                     27,
                     {{8, 0x00}, {9, 0x01}, {10, 0x02}, {11, 0x03}, {12, 0x04}},
                     3,
                     {label(" РНМ:", 64, "0001020304")}},
        RegisterCase{"FirstShiftFourDigits",
                     27,
                     {{13, 0x00}, {14, 0x01}},
                     6,
                     {label(" НАЧАЛЬНАЯ СМЕНА:", 40, "0001")}},
        RegisterCase{"DateInReceivedOrder",
                     27,
                     {{15, 0x07}, {16, 0x05}, {17, 0x13}},
                     9,
                     {label(" ДАТА ФИСКАЛИЗ./ПЕРЕРЕГИСТР.:", 19, "07/05/13")}},
        RegisterCase{"EklzNumber",
                     28,
                     {{2, 0x00}, {3, 0x00}, {4, 0x98}, {5, 0x76}, {6, 0x54}},
                     0,
                     {label(" НОМЕР ЭКЛЗ:", 51, "0000987654"), " "}}),
    [](const ::testing::TestParamInfo<RegisterCase>& info) { return info.param.name; });

TEST(RegistrationText, RealisticRegisterLineByLine) {
    const AnswerImage activations{{2, 0x02}, {3, 0x03}};
    const AnswerImage registration{{2, 0x77},  {3, 0x01},  {4, 0x23},  {5, 0x45},
                                   {6, 0x67},  {7, 0x89},  {8, 0x00},  {9, 0x00},
                                   {10, 0x12}, {11, 0x34}, {12, 0x56}, {13, 0x00},
                                   {14, 0x01}, {15, 0x15}, {16, 0x03}, {17, 0x24}};
    const AnswerImage eklz{{2, 0x00}, {3, 0x01}, {4, 0x23}, {5, 0x45}, {6, 0x67}};
    std::vector<std::string> lines;
    for (const auto& [number, answer] :
         {std::pair{26, &activations}, std::pair{27, &registration}, std::pair{28, &eklz}}) {
        for (auto& line : dataRegisterLines(static_cast<std::uint8_t>(number), answer->view())) {
            lines.push_back(line);
        }
    }
    const std::string separator(54, '_');
    const std::vector<std::string> expected = {
        " ",
        " НОМЕР ТЕКУЩЕЙ АКТИВИЗАЦИИ ЭКЛЗ:          2",
        separator,
        " ",
        " КОЛ-ВО ОСТАВШИХСЯ АКТИВИЗАЦИЙ ЭКЛЗ:   3",
        separator,
        " ",
        " ИНН:                                                                770123456789",
        separator,
        " ",
        " РНМ:                                                                0000123456",
        separator,
        " ",
        " НАЧАЛЬНАЯ СМЕНА:                                        0001",
        separator,
        " ",
        " ДАТА ФИСКАЛИЗ./ПЕРЕРЕГИСТР.:                   15/03/24",
        separator,
        " ",
        " НОМЕР ЭКЛЗ:                                                   0001234567",
        " ",
    };
    EXPECT_EQ(lines, expected);
    EXPECT_TRUE(dataRegisterLines(29, registration.view()).empty());
}

}  // namespace
}  // namespace ptk
