#include "eklz/eklz_commands.h"

#include "link/bcd.h"
#include "link/session.h"

namespace ptk::eklz {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

// The value of one to maxDigits digits with blanks around them; nothing otherwise.
std::optional<std::uint64_t> digitField(std::string_view text, std::size_t maxDigits) {
    text = trimmed(text);
    if (text.empty() || text.size() > maxDigits) return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : text) {
        if (!isDigit(c)) return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return value;
}

template <std::size_t Bytes>
std::optional<std::array<std::uint8_t, Bytes>> packField(std::string_view text) {
    const auto value = digitField(text, Bytes * 2);
    if (!value) return std::nullopt;
    std::array<std::uint8_t, Bytes> packed{};
    packDecimal(*value, packed.data(), Bytes);
    return packed;
}

// The number of the two digits at position at of text.
int twoDigits(std::string_view text, std::size_t at) {
    return (text[at] - '0') * 10 + (text[at + 1] - '0');
}

std::uint8_t fullFlag(int full) {
    return full != 0 ? 0x01 : 0x00;
}

ExchangeResult send(Session& session, const MessageBuilder& message, std::uint32_t answerStartMs) {
    CommandCall call = commandCall(message, 6, ShortAnswer::Refused);
    call.deadlines.tAnswerStart = answerStartMs;
    return session.exchange.SendFormCommand(call);
}

template <std::size_t Size>
ExchangeResult sendReport(Session& session, std::uint8_t code,
                          const std::array<std::uint8_t, Size>& data) {
    auto message = session.message(code);
    message.bytes(data.data(), data.size());
    return send(session, message, kReportAnswerStartMs);
}

}  // namespace

std::optional<std::array<std::uint8_t, 2>> packShiftNumber(std::string_view text) {
    return packField<kShiftDigits / 2>(text);
}

std::optional<std::array<std::uint8_t, 4>> packKpkNumber(std::string_view text) {
    return packField<kKpkDigits / 2>(text);
}

std::optional<std::array<std::uint8_t, 3>> packReportDate(std::string_view text) {
    // dd.mm.yyyy or dd.mm.yy: the day at 0, the month at 3, the year from 6.
    if (text.size() != 10 && text.size() != 8) return std::nullopt;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool separator = i == 2 || i == 5;
        if (isDigit(text[i]) == separator) return std::nullopt;
    }
    const int day = twoDigits(text, 0);
    const int month = twoDigits(text, 3);
    const int year = twoDigits(text, text.size() - 2);
    if (day < 1 || day > 31 || month < 1 || month > 12) return std::nullopt;
    std::array<std::uint8_t, 3> packed{};
    packDecimal(static_cast<std::uint64_t>(day), &packed[0], 1);
    packDecimal(static_cast<std::uint64_t>(month), &packed[1], 1);
    packDecimal(static_cast<std::uint64_t>(year), &packed[2], 1);
    return packed;
}

std::optional<std::array<std::uint8_t, 7>> buildReportByDatesData(int full,
                                                                  std::string_view firstDate,
                                                                  std::string_view lastDate) {
    const auto first = packReportDate(firstDate);
    const auto last = packReportDate(lastDate);
    if (!first || !last) return std::nullopt;
    return std::array<std::uint8_t, 7>{fullFlag(full), (*first)[0], (*first)[1], (*first)[2],
                                       (*last)[0],     (*last)[1],  (*last)[2]};
}

std::optional<std::array<std::uint8_t, 5>> buildReportByShiftsData(int full,
                                                                   std::string_view firstShift,
                                                                   std::string_view lastShift) {
    const auto first = packShiftNumber(firstShift);
    const auto last = packShiftNumber(lastShift);
    if (!first || !last) return std::nullopt;
    return std::array<std::uint8_t, 5>{fullFlag(full), (*first)[0], (*first)[1], (*last)[0],
                                       (*last)[1]};
}

std::optional<ExchangeResult> EklzCommand(Session& session, int operationCode) {
    std::uint8_t code = 0;
    switch (operationCode) {
        case kActivation:
            code = kActivationCode;
            break;
        case kActivationTotals:
            code = kActivationTotalsCode;
            break;
        case kArchiveClosing:
            code = kArchiveClosingCode;
            break;
        default:
            return std::nullopt;
    }
    return send(session, session.message(code), kCommandAnswerStartMs);
}

std::optional<ExchangeResult> EklzReportByDates(Session& session, int full,
                                                std::string_view firstDate,
                                                std::string_view lastDate) {
    const auto data = buildReportByDatesData(full, firstDate, lastDate);
    if (!data) return std::nullopt;
    return sendReport(session, kReportByDatesCode, *data);
}

std::optional<ExchangeResult> EklzReportByShifts(Session& session, int full,
                                                 std::string_view firstShift,
                                                 std::string_view lastShift) {
    const auto data = buildReportByShiftsData(full, firstShift, lastShift);
    if (!data) return std::nullopt;
    return sendReport(session, kReportByShiftsCode, *data);
}

std::optional<ExchangeResult> EklzRequest(Session& session, int kind, std::string_view number) {
    switch (kind) {
        case kShiftTotals:
        case kControlTape: {
            const auto shift = packShiftNumber(number);
            if (!shift) return std::nullopt;
            return sendReport(session, kind == kShiftTotals ? kShiftTotalsCode : kControlTapeCode,
                              *shift);
        }
        case kDocument: {
            const auto kpk = packKpkNumber(number);
            if (!kpk) return std::nullopt;
            return sendReport(session, kDocumentCode, *kpk);
        }
        default:
            return std::nullopt;
    }
}

}  // namespace ptk::eklz
