#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "link/exchange_result.h"

namespace ptk {
class Session;
}

namespace ptk::sales {

inline constexpr std::uint8_t kOpenReceiptCode = 0x92;
inline constexpr std::uint8_t kRegisterSaleCode = 0x48;
inline constexpr std::uint8_t kCloseReceiptCode = 0x4A;

// What the window says when a number the user typed does not convert.
inline constexpr std::string_view kBadFormatText = "Неверный формат!";

// Flags, price (5 bytes, kopecks), quantity (5 bytes, thousandths), section (1 byte).
using SaleData = std::array<std::uint8_t, 12>;
// Flags, payment type (1 byte), sum (5 bytes).
using CloseData = std::array<std::uint8_t, 7>;

// The data of an item, all packed BCD. The price may be typed with ',' or '.', up to two
// decimals and ten digits of kopecks; the quantity up to three decimals and ten digits of
// thousandths; the section is up to two digits, an empty one being section 0. Nothing when any of
// them does not convert.
std::optional<SaleData> buildSaleData(std::string_view priceText, std::string_view quantityText,
                                      std::string_view sectionText);

// The data that closes a receipt: the payment type as up to two digits, the sum as typed with its
// separators dropped (it is not scaled: "0,00" is zero), up to ten digits.
std::optional<CloseData> buildCloseData(std::string_view paymentTypeText, std::string_view sumText);

// Opens a receipt of the given type. A failure has shown its message.
ExchangeResult OpenReceipt(Session& session, std::uint8_t receiptType);

// Registers one item in the open receipt. The register answers an item with a longer frame that
// it may cut short, so a short answer is taken. Nothing, with nothing sent or shown, when a
// number does not convert.
std::optional<ExchangeResult> RegisterSale(Session& session, std::string_view priceText,
                                           std::string_view quantityText,
                                           std::string_view sectionText);

// Closes the open receipt with a payment. Results as RegisterSale.
std::optional<ExchangeResult> CloseReceipt(Session& session, std::string_view paymentTypeText,
                                           std::string_view sumText);

}  // namespace ptk::sales
