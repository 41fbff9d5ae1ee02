#include "fiscal_memory/registration_commands.h"

#include <algorithm>

#include "link/bcd.h"
#include "link/session.h"
#include "platform/codepage.h"
#include "shell/shell_commands.h"
#include "status/mode_entry.h"

namespace ptk::fiscal_memory {

namespace {

constexpr std::size_t kPlainAnswerLength = 6;
constexpr std::size_t kTableFieldAnswerLength = 80;
constexpr std::uint32_t kRegistrationAnswerStartMs = 20'000;
constexpr std::uint32_t kTableFieldPauseMs = 100;
// Answer bytes 2 to 5 of the table-field answer, after the STX in AnswerCopy.
constexpr std::size_t kPasswordPosition = 3;
constexpr std::size_t kPasswordBytes = 4;

constexpr std::string_view kDateAgainWarning = "Требуется повторный ввод даты";

// The field's digits, converted to the register's code page, packed into width / 2 bytes at out.
void packField(std::string_view text, std::size_t width, std::uint8_t* out) {
    std::string digits = platform::utf8ToCp866(zeroFilled(text, width));
    // A character that is no single byte in the register's code page became '?' or took more
    // room; only the first width bytes are packed, as the field holds.
    digits.resize(width, '0');
    DigitPacker packer;
    const std::uint8_t* packed = packer.PackDigits(digits.data(), static_cast<int>(width));
    std::copy_n(packed, width / 2, out);
}

int sendFormCommand(Session& session, const MessageBuilder& message, std::uint32_t answerStartMs) {
    CommandCall call = commandCall(message, kPlainAnswerLength, false);
    call.deadlines.tAnswerStart = answerStartMs;
    return session.exchange.SendFormCommand(call);
}

// Leaves the current mode and enters mode 5 again with the inspector's access password.
int backToFiscalMemoryMode(Session& session) {
    ExitCurrentMode(session);
    session.TargetMode = kFiscalMemoryMode;
    return EnterMode(session, kFiscalMemoryMode, session.AccessPassword);
}

// Leaves the current mode and enters mode 4 with the password the register keeps for it.
int intoProgrammingMode(Session& session) {
    ExitCurrentMode(session);
    session.TargetMode = kProgrammingMode;
    return EnterProgrammingMode(session, kProgrammingMode);
}

}  // namespace

std::string zeroFilled(std::string_view text, std::size_t width) {
    // Characters, not bytes: a typed character outside ASCII counts once, as the edit shows it.
    std::size_t characters = 0;
    std::size_t cut = text.size();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
        if (characters == width) {
            cut = i;
            break;
        }
        ++characters;
    }
    std::string filled(width - characters, '0');
    filled.append(text.substr(0, cut));
    return filled;
}

std::array<std::uint8_t, 4> serialNumberData(std::string_view serialNumber) {
    std::array<std::uint8_t, 4> data{};
    packField(serialNumber, kSerialNumberDigits, data.data());
    return data;
}

std::array<std::uint8_t, 15> registrationData(std::string_view registrationNumber,
                                              std::string_view taxpayerNumber,
                                              std::string_view newPassword) {
    std::array<std::uint8_t, 15> data{};
    packField(registrationNumber, kRegistrationNumberDigits, data.data());
    packField(taxpayerNumber, kTaxpayerNumberDigits, data.data() + kRegistrationNumberDigits / 2);
    packField(newPassword, kFiscalPasswordDigits,
              data.data() + (kRegistrationNumberDigits + kTaxpayerNumberDigits) / 2);
    return data;
}

int ProgramSerialNumber(Session& session, std::string_view serialNumber) {
    const auto data = serialNumberData(serialNumber);
    MessageBuilder message = session.message(kProgramSerialNumberCode);
    message.bytes(data.data(), data.size());
    return sendFormCommand(session, message, Deadlines{}.tAnswerStart);
}

int FiscalRegistration(Session& session, std::string_view registrationNumber,
                       std::string_view taxpayerNumber, std::string_view newPassword) {
    const auto data = registrationData(registrationNumber, taxpayerNumber, newPassword);
    MessageBuilder message = session.message(kFiscalRegistrationCode);
    message.bytes(data.data(), data.size());
    return sendFormCommand(session, message, kRegistrationAnswerStartMs);
}

int ReadTableField(Session& session, std::uint8_t table, std::uint16_t row, std::uint8_t field) {
    MessageBuilder message = session.message(kReadTableFieldCode);
    message.byte(table)
        .byte(static_cast<std::uint8_t>(row >> 8))
        .byte(static_cast<std::uint8_t>(row & 0xFF))
        .byte(field);
    CommandCall call = commandCall(message, kTableFieldAnswerLength, true);
    call.deadlines.pauseMs = kTableFieldPauseMs;
    return session.exchange.SendCommand(call);
}

std::string programmingPasswordFromAnswer(const LinkBuffer& answerCopy) {
    std::string password;
    for (std::size_t i = 0; i < kPasswordBytes; ++i) {
        const std::string pair = std::to_string(BcdToBinary(answerCopy[kPasswordPosition + i]));
        password += zeroFilled(pair, std::max<std::size_t>(pair.size(), 2));
    }
    return password;
}

int EnterProgrammingMode(Session& session, std::uint8_t mode) {
    if (ReadTableField(session, kPasswordTable, kProgrammingPasswordRow, kPasswordField) != 1) {
        return 0;
    }
    return EnterMode(session, mode, programmingPasswordFromAnswer(session.exchange.AnswerCopy));
}

int FiskPamStartUp(Session& session, HeaderLineTexts& lines) {
    // Only an entry the register confirmed counts: after a checksum failure (3) it may be in
    // either mode, and the form must not open on a register in a mode it cannot work in.
    if (intoProgrammingMode(session) != 1) return 0;
    if (const std::int32_t read = ReadHeaderLines(session, lines); read != packet_result::Done) {
        // The register stays in mode 4; the form is not shown.
        session.errors.ShowDriverResult(BoxOwner::FiskPam, read);
        return 0;
    }
    WarnOfUnwritableHeaderLines(session, lines);
    return backToFiscalMemoryMode(session) == 1 ? 1 : 0;
}

int StoreHeaderLines(Session& session, const HeaderLineTexts& lines) {
    // Whether mode 4 was entered shows in the write: the register refuses it in any other mode.
    intoProgrammingMode(session);
    const std::int32_t written = WriteHeaderLines(session, lines);
    if (written != packet_result::Done) session.errors.ShowDriverResult(BoxOwner::FiskPam, written);
    const int back = backToFiscalMemoryMode(session);
    return written == packet_result::Done && back == 1 ? 1 : 0;
}

int SetRegistrationClock(Session& session, const sales::DeviceDate& date,
                         const sales::DeviceTime& time) {
    const int dated = sales::SetDeviceDate(session, date);
    if (dated == 0) return 0;
    if (dated == sales::kDateNeedsConfirmation) {
        session.frontEnd.showMessage(MessageIcon::Warning, kWarningCaption, kDateAgainWarning,
                                     BoxOwner::Application);
        return sales::kDateNeedsConfirmation;
    }
    // A checksum failure of the date (3) goes on to the time: the register may well have it.
    return sales::SetDeviceTime(session, time);
}

}  // namespace ptk::fiscal_memory
