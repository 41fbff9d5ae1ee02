#include "fiscal_memory/registration_commands.h"

#include <algorithm>

#include "device/mode_switch.h"
#include "link/bcd.h"
#include "link/session.h"
#include "platform/codepage.h"

namespace ptk::fiscal_memory {

namespace {

constexpr std::size_t kPlainAnswerLength = 6;
constexpr std::uint32_t kRegistrationAnswerStartMs = 20'000;

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

ExchangeResult sendFormCommand(Session& session, const MessageBuilder& message,
                               std::uint32_t answerStartMs) {
    CommandCall call = commandCall(message, kPlainAnswerLength, ShortAnswer::Refused);
    call.deadlines.tAnswerStart = answerStartMs;
    return session.exchange.SendFormCommand(call);
}

// Leaves the current mode and enters mode 5 again with the inspector's access password.
ExchangeResult backToFiscalMemoryMode(Session& session, std::string_view accessPassword) {
    return SwitchToMode(session, kFiscalMemoryMode,
                        ModePassword::typed(std::string(accessPassword)), Leaving::Always);
}

// Leaves the current mode and enters mode 4 with the password the register keeps for it.
ExchangeResult intoProgrammingMode(Session& session) {
    return SwitchToMode(session, kProgrammingMode, ModePassword::keptIn(kProgrammingPasswordField),
                        Leaving::Always);
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

ExchangeResult ProgramSerialNumber(Session& session, std::string_view serialNumber) {
    const auto data = serialNumberData(serialNumber);
    MessageBuilder message = session.message(kProgramSerialNumberCode);
    message.bytes(data.data(), data.size());
    return sendFormCommand(session, message, Deadlines{}.tAnswerStart);
}

ExchangeResult FiscalRegistration(Session& session, std::string_view registrationNumber,
                                  std::string_view taxpayerNumber, std::string_view newPassword) {
    const auto data = registrationData(registrationNumber, taxpayerNumber, newPassword);
    MessageBuilder message = session.message(kFiscalRegistrationCode);
    message.bytes(data.data(), data.size());
    return sendFormCommand(session, message, kRegistrationAnswerStartMs);
}

bool FiskPamStartUp(Session& session, HeaderLineTexts& lines, std::string_view accessPassword,
                    OwnerHandle owner) {
    // Only an entry the register confirmed counts: after a checksum failure it may be in either
    // mode, and the form must not open on a register in a mode it cannot work in.
    if (!intoProgrammingMode(session).succeeded()) return false;
    if (const PacketResult read = ReadHeaderLines(session, lines); !read.succeeded()) {
        // The register stays in mode 4; the form is not shown.
        session.errors.ShowDriverResult(owner, read);
        return false;
    }
    WarnOfUnwritableHeaderLines(session, lines, owner);
    return backToFiscalMemoryMode(session, accessPassword).succeeded();
}

bool StoreHeaderLines(Session& session, const HeaderLineTexts& lines,
                      std::string_view accessPassword, OwnerHandle owner) {
    // The lines go out even after an entry into mode 4 whose answer stayed corrupt: the register
    // refuses them in any other mode. Only a confirmed entry counts for the registration, though.
    const ExchangeResult into = intoProgrammingMode(session);
    const PacketResult written = WriteHeaderLines(session, lines);
    if (!written.succeeded()) session.errors.ShowDriverResult(owner, written);
    const ExchangeResult back = backToFiscalMemoryMode(session, accessPassword);
    return into.succeeded() && written.succeeded() && back.succeeded();
}

}  // namespace ptk::fiscal_memory
