#include "sales/receipt_commands.h"

#include "link/bcd.h"
#include "link/session.h"
#include "sales/decimal_text.h"

namespace ptk::sales {

namespace {

constexpr int kAmountDigits = 10;  // five packed bytes
constexpr int kPriceDecimals = 2;
constexpr int kQuantityDecimals = 3;

// A field of up to two digits packed into one byte; an empty text is zero.
std::optional<std::uint8_t> twoDigitField(std::string_view text) {
    if (text.size() > 2) return std::nullopt;
    std::uint8_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = static_cast<std::uint8_t>(value * 10 + (c - '0'));
    }
    std::uint8_t packed = 0;
    packDecimal(value, &packed, 1);
    return packed;
}

ExchangeResult send(Session& session, const MessageBuilder& message, std::size_t answerLength,
                    ShortAnswer shortAnswer, std::uint32_t answerStartMs) {
    CommandCall call = commandCall(message, answerLength, shortAnswer);
    call.deadlines.tAnswerStart = answerStartMs;
    return session.exchange.SendFormCommand(call);
}

}  // namespace

std::optional<SaleData> buildSaleData(std::string_view priceText, std::string_view quantityText,
                                      std::string_view sectionText) {
    const auto kopecks = parseScaledDecimal(priceText, kPriceDecimals, kAmountDigits);
    const auto thousandths = parseScaledDecimal(quantityText, kQuantityDecimals, kAmountDigits);
    const auto section = twoDigitField(sectionText);
    if (!kopecks || !thousandths || !section) return std::nullopt;

    SaleData data{};
    data[0] = 0x00;  // flags
    packDecimal(*kopecks, &data[1], 5);
    packDecimal(*thousandths, &data[6], 5);
    data[11] = *section;
    return data;
}

std::optional<CloseData> buildCloseData(std::string_view paymentTypeText,
                                        std::string_view sumText) {
    const auto paymentType = twoDigitField(paymentTypeText);
    const auto sum = parseDigitsIgnoringSeparators(sumText, kAmountDigits);
    if (!paymentType || !sum) return std::nullopt;

    CloseData data{};
    data[0] = 0x00;  // flags
    data[1] = *paymentType;
    packDecimal(*sum, &data[2], 5);
    return data;
}

ExchangeResult OpenReceipt(Session& session, std::uint8_t receiptType) {
    auto message = session.message(kOpenReceiptCode);
    message.byte(0x00).byte(receiptType);
    return send(session, message, 6, ShortAnswer::Refused, 10000);
}

std::optional<ExchangeResult> RegisterSale(Session& session, std::string_view priceText,
                                           std::string_view quantityText,
                                           std::string_view sectionText) {
    const auto data = buildSaleData(priceText, quantityText, sectionText);
    if (!data) return std::nullopt;
    auto message = session.message(kRegisterSaleCode);
    message.bytes(data->data(), data->size());
    return send(session, message, 20, ShortAnswer::Taken, 10000);
}

std::optional<ExchangeResult> CloseReceipt(Session& session, std::string_view paymentTypeText,
                                           std::string_view sumText) {
    const auto data = buildCloseData(paymentTypeText, sumText);
    if (!data) return std::nullopt;
    auto message = session.message(kCloseReceiptCode);
    message.bytes(data->data(), data->size());
    return send(session, message, 6, ShortAnswer::Refused, 20000);
}

}  // namespace ptk::sales
