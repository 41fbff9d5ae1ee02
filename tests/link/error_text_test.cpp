// The messages of device error codes and driver results: checked for what a fault in the tables
// would break (a text in the wrong slot, a code without a text, two codes sharing one), for the
// texts the windows and the register rely on, and for when a box is shown.
#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>

#include "link/error_text.h"
#include "link/packet_driver.h"
#include "sim/device_errors.h"
#include "support/recording_front_end.h"

namespace ptk::testing {
namespace {

constexpr std::string_view kUnknownCode = "Неизвестный код ошибки.";
// Stands for the window that owns a driver result's box.
const OwnerHandle kForm{&kUnknownCode};

// Whether text opens with the code as two hexadecimal digits and " - ", as every message of the
// register's does ("9C - ...", and "Be - ..." with its odd small letter).
bool opensWithItsCode(std::string_view text, int code) {
    static const char kDigits[] = "0123456789ABCDEF";
    return text.size() > 5 && std::toupper(text[0]) == kDigits[code >> 4] &&
           std::toupper(text[1]) == kDigits[code & 0x0F] && text.substr(2, 3) == " - ";
}

class ErrorTextTest : public ::testing::Test {
protected:
    RecordingFrontEnd frontEnd;
    ErrorReporter errors{frontEnd};
};

TEST(DeviceErrorTable, EveryTextSitsInTheSlotOfItsOwnCodeAndNoTwoCodesShareOne) {
    std::set<std::string_view> texts;
    int known = 0;
    for (int code = 0; code < 256; ++code) {
        const std::string_view text = deviceErrorMessage(static_cast<std::uint8_t>(code));
        if (text == kUnknownCode) continue;
        ++known;
        EXPECT_TRUE(opensWithItsCode(text, code)) << std::hex << code << ": " << text;
        EXPECT_TRUE(texts.insert(text).second) << "shared: " << text;
    }
    // A table out of order would hide entries from the lookup: every entry must be found.
    EXPECT_EQ(known, deviceErrorCount());
    EXPECT_EQ(known, 123);
}

TEST(DeviceErrorTable, EveryCodeTheRegisterAndTheProgramNameHasItsText) {
    namespace e = sim::device_error;
    const std::uint8_t named[] = {
        e::None, e::DateConfirmationNeeded, e::UnknownCommand, e::NotInThisMode, e::NoPaper,
        e::NoPrinterLink, e::PrinterFault, e::ModelCannot, e::AnnulmentReceiptOpen,
        e::ReturnReceiptOpen, e::ShiftOver24Hours, e::SaleReceiptOpen, e::WrongPassword,
        e::ReceiptClosed, e::ReceiptOpen,
        // The program's own: the control tape's success, the end of a data stream, and the
        // refusals the fiscal-memory and EKLZ windows meet.
        0x01, 0x18, 0x21, 0x9C, 0x9E, 0xA2, 0xAA, 0xAC, 0xCF, 0xD0, 0xDA};
    for (const std::uint8_t code : named) {
        EXPECT_NE(deviceErrorMessage(code), kUnknownCode) << std::hex << int{code};
    }
}

TEST(DeviceErrorTable, TextsKeepTheRegistersOwnWording) {
    // The texts the result field and the windows' tests rely on, and the register's typing slips,
    // which inspectors know and search for.
    EXPECT_EQ(deviceErrorMessage(0x00), "00 - Ошибок нет. Команда выполнена.");
    EXPECT_EQ(deviceErrorMessage(0x16), "16 - Требуется подтверждение ввода даты.");
    EXPECT_EQ(deviceErrorMessage(0x8C), "8C - Неверный пароль.");
    EXPECT_EQ(deviceErrorMessage(0x92), "92 - Неверны йномер ряда.");
    EXPECT_EQ(deviceErrorMessage(0x7E), "7E - Неверны вид оплаты.");
    EXPECT_EQ(deviceErrorMessage(0xBE), "Be - Необходимо провести профилактические работы.");
    EXPECT_EQ(deviceErrorMessage(0x02), kUnknownCode);
}

TEST(DriverResultTable, EveryResultOfTheDriverHasItsOwnText) {
    using namespace packet_result;
    const PacketResult results[] = {BadParameter,
                                    PortError,
                                    NoLink,
                                    NoAnswer,
                                    NotAcknowledged,
                                    MessageTooLong,
                                    AnswerTooLong,
                                    ChecksumMismatch,
                                    NoPaper,
                                    BufferTooSmall,
                                    NotFound,
                                    ConfirmationNeeded,
                                    ShiftTooLong,
                                    WrongPassword,
                                    NotInThisMode,
                                    Stopped,
                                    {DriverCode::BadDate},
                                    {DriverCode::OutOfMemory}};
    const std::string_view unknown = driverResultMessage(DriverCode::Unknown);
    std::set<std::string_view> texts;
    for (const PacketResult& result : results) {
        const std::string_view text = driverResultMessage(result.code);
        EXPECT_NE(text, unknown) << static_cast<int>(result.code);
        EXPECT_TRUE(texts.insert(text).second) << "shared: " << text;
    }
    // The table's end entry names success, and a code it lacks reads as the unknown error.
    EXPECT_EQ(std::end(DriverResultTable)[-1].code, DriverCode::Done);
    EXPECT_EQ(unknown, "Неизвестная ошибка");
    EXPECT_EQ(driverResultMessage(static_cast<DriverCode>(0x1234)), unknown);
    EXPECT_EQ(driverResultMessage(DriverCode::Stopped), "Операция прервана пользователем");
    EXPECT_EQ(driverResultMessage(DriverCode::NoAnswer), "Нет ответа");
}

TEST_F(ErrorTextTest, ErrorCodesAreWrittenAndShownAndSuccessAndTheDateRepeatOnlyWritten) {
    for (int code = 0; code < 256; ++code) {
        frontEnd.clear();
        const auto byte = static_cast<std::uint8_t>(code);
        errors.ErrorText(byte);
        const std::string text(deviceErrorMessage(byte));
        EXPECT_EQ(frontEnd.resultText, text);
        if (code == 0x00 || code == 0x01 || code == 0x16) {
            EXPECT_TRUE(frontEnd.boxes.empty()) << text;
            EXPECT_TRUE(isSuccessCode(byte) || code == 0x16);
        } else {
            EXPECT_FALSE(isSuccessCode(byte));
            EXPECT_EQ(frontEnd.boxes, (std::vector<RecordingFrontEnd::Box>{
                                          {MessageIcon::Error, "Ошибка", text, OwnerHandle{}}}));
        }
    }
}

TEST_F(ErrorTextTest, DriverResultsShowTheirTextInTheOwnersBoxAndDeviceErrorsAsErrorText) {
    errors.ShowDriverResult(kForm, packet_result::Done);
    EXPECT_TRUE(frontEnd.boxes.empty());
    errors.ShowDriverResult(kForm, packet_result::NotInThisMode);
    EXPECT_EQ(frontEnd.boxes,
              (std::vector<RecordingFrontEnd::Box>{
                  {MessageIcon::Error, "Ошибка", "Невозможно в данном режиме", kForm}}));
    frontEnd.clear();
    errors.ShowDriverResult(kForm, PacketResult::device(0x67));
    EXPECT_EQ(frontEnd.boxes,
              (std::vector<RecordingFrontEnd::Box>{
                  {MessageIcon::Error, "Ошибка", "67 - Нет бумаги.", OwnerHandle{}}}));
    EXPECT_EQ(frontEnd.resultText, "67 - Нет бумаги.");
}

}  // namespace
}  // namespace ptk::testing
