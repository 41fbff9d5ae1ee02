#pragma once

#include <cstdint>

namespace ptk::sim::device_error {

// The error codes the simulated register answers with (the program's error table has their texts).
inline constexpr std::uint8_t None = 0x00;
inline constexpr std::uint8_t DateConfirmationNeeded = 0x16;
inline constexpr std::uint8_t UnknownCommand = 0x46;
inline constexpr std::uint8_t NotInThisMode = 0x66;
inline constexpr std::uint8_t NoPaper = 0x67;
inline constexpr std::uint8_t NoPrinterLink = 0x68;
inline constexpr std::uint8_t PrinterFault = 0x69;
inline constexpr std::uint8_t ModelCannot = 0x7A;
inline constexpr std::uint8_t AnnulmentReceiptOpen = 0x82;
inline constexpr std::uint8_t ReturnReceiptOpen = 0x87;
inline constexpr std::uint8_t ShiftOver24Hours = 0x88;
inline constexpr std::uint8_t SaleReceiptOpen = 0x89;
inline constexpr std::uint8_t WrongPassword = 0x8C;
inline constexpr std::uint8_t ReceiptClosed = 0x9A;
inline constexpr std::uint8_t ReceiptOpen = 0x9B;

}  // namespace ptk::sim::device_error
