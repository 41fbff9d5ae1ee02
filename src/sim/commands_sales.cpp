// The sales and shift commands: open a receipt, register an item, close the receipt with a
// payment, the report with clearing that closes the shift, and setting the clock.

#include "sim/commands_sales.h"

#include <array>

#include "sim/answer.h"
#include "sim/command_table.h"
#include "sim/commands_eklz.h"
#include "sim/device_errors.h"
#include "sim/header_print.h"
#include "sim/tape_text.h"

namespace ptk::sim {

namespace {

constexpr std::uint8_t kOpenReceipt = 0x92;
constexpr std::uint8_t kRegisterItem = 0x48;
constexpr std::uint8_t kCloseReceipt = 0x4A;
constexpr std::uint8_t kShiftClosingReport = 0x5A;
constexpr std::uint8_t kSetDate = 0x64;
constexpr std::uint8_t kSetTime = 0x4B;

// Error codes met only here.
constexpr std::uint8_t kWrongFormat = 0x13;
constexpr std::uint8_t kWrongLength = 0x14;
constexpr std::uint8_t kWrongQuantity = 0x0A;
constexpr std::uint8_t kNonCashOverSum = 0x71;
constexpr std::uint8_t kPaymentsBelowSum = 0x72;
constexpr std::uint8_t kWrongSection = 0x7D;
constexpr std::uint8_t kWrongPaymentType = 0x7E;
constexpr std::uint8_t kReceiptTotalOverflow = 0x81;
constexpr std::uint8_t kAlreadyCleared = 0x8F;
constexpr std::uint8_t kWrongDate = 0x94;
constexpr std::uint8_t kWrongTime = 0x95;
constexpr std::uint8_t kWrongReceiptType = 0x6A;

constexpr std::uint64_t kTenDigits = 10'000'000'000ULL;
constexpr int kSectionCount = 16;
constexpr int kPaymentTypeCount = 4;
constexpr std::int64_t kSecondsPerDay = 86'400;
constexpr std::int64_t kShiftLimitSeconds = 24 * 3600;

const char* const kPaymentNames[kPaymentTypeCount] = {"НАЛИЧНЫМИ", "КРЕДИТОМ", "ТАРОЙ",
                                                      "ПЛАТ. КАРТОЙ"};

std::uint16_t nextNumber(std::uint16_t number) {
    return static_cast<std::uint16_t>(number >= 9999 ? 1 : number + 1);
}

// Price times quantity in thousandths, to the nearest kopeck, without leaving 64 bits.
std::uint64_t itemSum(std::uint64_t kopecks, std::uint64_t thousandths) {
    return kopecks * (thousandths / 1000) + (kopecks * (thousandths % 1000) + 500) / 1000;
}

std::string quantityText(std::uint64_t thousandths) {
    return std::to_string(thousandths / 1000) + "." + formatNumber(thousandths % 1000, 3);
}

bool shiftOverLimit(const RegisterState& state, const DateTime& now) {
    return state.shift.open &&
           toSeconds(now) - toSeconds(state.shift.openedAt) > kShiftLimitSeconds;
}

// Data: flags, receipt type (1 sale, 2 return, 3 annulment, 4 purchase, 5 purchase return,
// 6 purchase annulment). Opens the shift when it is closed.
CommandReply openReceipt(RegisterState& state, const CommandRequest& request) {
    if (request.data.size() < 2) return plainAnswer(state, kOpenReceipt, kWrongLength);
    const std::uint8_t type = request.data[1];
    if (type < 1 || type > 6) return plainAnswer(state, kOpenReceipt, kWrongReceiptType);
    if (state.receipt.isOpen()) return plainAnswer(state, kOpenReceipt, device_error::ReceiptOpen);
    const DateTime now = state.clock.now(request.nowUs);
    if (shiftOverLimit(state, now)) {
        return plainAnswer(state, kOpenReceipt, device_error::ShiftOver24Hours);
    }
    if (const std::uint8_t failure = state.printer.failure()) {
        return plainAnswer(state, kOpenReceipt, failure);
    }
    if (!state.shift.open) {
        state.shift.open = true;
        state.shift.openedAt = now;
    }
    state.receipt.kind = static_cast<ReceiptKind>(type);
    state.receipt.sum = 0;
    state.receipt.items = 0;
    state.receipt.sectionSums.fill(0);

    const std::size_t before = state.tape.lines().size();
    printHeaderLines(state);
    state.tape.print("ЧЕК " + formatNumber(state.receipt.number, 4) + "  СМЕНА " +
                     formatNumber(state.shift.current(), 4));
    const auto printed = state.tape.lines().size() - before;
    return plainAnswer(state, kOpenReceipt, device_error::None,
                       kModeChangeUs + printed * kPrintLineUs);
}

// Data: flags, price (5 bytes, kopecks), quantity (5 bytes, thousandths), section (1 byte).
// Answer: type, error, mode byte, the item's sum and the receipt's sum so far (5 bytes each).
CommandReply registerItem(RegisterState& state, const CommandRequest& request) {
    if (request.data.size() < 12) return plainAnswer(state, kRegisterItem, kWrongLength);
    const std::int64_t price = readBcd(request.data, 1, 5);
    const std::int64_t quantity = readBcd(request.data, 6, 5);
    const std::int64_t section = readBcd(request.data, 11, 1);
    if (price < 0 || quantity < 0 || section < 0) {
        return plainAnswer(state, kRegisterItem, kWrongFormat);
    }
    if (!state.receipt.isOpen())
        return plainAnswer(state, kRegisterItem, device_error::ReceiptClosed);
    if (section < 1 || section > kSectionCount)
        return plainAnswer(state, kRegisterItem, kWrongSection);
    if (quantity == 0) return plainAnswer(state, kRegisterItem, kWrongQuantity);
    const std::uint64_t sum =
        itemSum(static_cast<std::uint64_t>(price), static_cast<std::uint64_t>(quantity));
    if (sum >= kTenDigits || state.receipt.sum + sum >= kTenDigits) {
        return plainAnswer(state, kRegisterItem, kReceiptTotalOverflow);
    }
    if (const std::uint8_t failure = state.printer.failure()) {
        return plainAnswer(state, kRegisterItem, failure);
    }
    state.receipt.sum += sum;
    state.receipt.sectionSums[static_cast<std::size_t>(section - 1)] += sum;
    ++state.receipt.items;

    state.tape.print("СЕКЦИЯ " + formatNumber(static_cast<std::uint64_t>(section), 2));
    state.tape.print(formatSum(static_cast<std::uint64_t>(price)) + " X " +
                     quantityText(static_cast<std::uint64_t>(quantity)) + " = " + formatSum(sum));
    return AnswerBuilder(kRegisterItem, device_error::None)
        .byte(state.mode.byte())
        .bcd(sum, 5)
        .bcd(state.receipt.sum, 5)
        .reply(kQuickCommandUs + 2 * kPrintLineUs);
}

// Data: flags, payment type (1 byte: 1 cash, 2 credit, 3 container, 4 card), sum paid (5 bytes).
// A sum of zero pays the receipt exactly; cash above the receipt's sum gives change.
CommandReply closeReceipt(RegisterState& state, const CommandRequest& request) {
    if (request.data.size() < 7) return plainAnswer(state, kCloseReceipt, kWrongLength);
    const std::int64_t paymentType = readBcd(request.data, 1, 1);
    const std::int64_t paidSum = readBcd(request.data, 2, 5);
    if (paymentType < 0 || paidSum < 0) return plainAnswer(state, kCloseReceipt, kWrongFormat);
    if (!state.receipt.isOpen())
        return plainAnswer(state, kCloseReceipt, device_error::ReceiptClosed);
    if (paymentType < 1 || paymentType > kPaymentTypeCount) {
        return plainAnswer(state, kCloseReceipt, kWrongPaymentType);
    }
    const std::uint64_t total = state.receipt.sum;
    const std::uint64_t paid = paidSum == 0 ? total : static_cast<std::uint64_t>(paidSum);
    if (paid < total) return plainAnswer(state, kCloseReceipt, kPaymentsBelowSum);
    if (paymentType != 1 && paid > total) return plainAnswer(state, kCloseReceipt, kNonCashOverSum);
    if (const std::uint8_t failure = state.printer.failure()) {
        return plainAnswer(state, kCloseReceipt, failure);
    }

    const DateTime now = state.clock.now(request.nowUs);
    const std::size_t before = state.tape.lines().size();
    state.tape.print("ИТОГ =" + formatSum(total));
    state.tape.print(std::string(kPaymentNames[paymentType - 1]) + " =" + formatSum(paid));
    if (paid > total) state.tape.print("СДАЧА =" + formatSum(paid - total));
    state.tape.print(formatDate(now) + " " + formatTime(now) + "  ЧЕК " +
                     formatNumber(state.receipt.number, 4));
    const auto printed = state.tape.lines().size() - before;

    // Only sales count in the shift's sales; the other kinds are carried but not summed here.
    if (state.receipt.kind == ReceiptKind::Sale) {
        ++state.totals.sales;
        state.totals.salesSum += total;
        state.totals.grandTotal += total;
        for (int i = 0; i < kSectionCount; ++i) {
            state.totals.sectionSums[static_cast<std::size_t>(i)] +=
                state.receipt.sectionSums[static_cast<std::size_t>(i)];
        }
    }
    recordEklzDocument(state, now, state.receipt.number, state.receipt.kind, total);
    state.receipt.kind = ReceiptKind::Closed;
    state.receipt.sum = 0;
    state.receipt.items = 0;
    state.receipt.sectionSums.fill(0);
    state.receipt.number = nextNumber(state.receipt.number);
    state.mode.submode = 0;
    return plainAnswer(state, kCloseReceipt, device_error::None,
                       kModeChangeUs + printed * kPrintLineUs);
}

// Prints the shift's totals, writes them into the fiscal memory, clears them and closes the
// shift. A closed shift has nothing to clear.
CommandReply shiftClosingReport(RegisterState& state, const CommandRequest& request) {
    if (state.receipt.isOpen()) {
        return plainAnswer(state, kShiftClosingReport, device_error::ReceiptOpen);
    }
    if (!state.shift.open) return plainAnswer(state, kShiftClosingReport, kAlreadyCleared);
    if (const std::uint8_t failure = state.printer.failure()) {
        return plainAnswer(state, kShiftClosingReport, failure);
    }

    const DateTime now = state.clock.now(request.nowUs);
    const std::uint16_t shift = state.shift.current();
    auto& tape = state.tape;
    printHeaderLines(state);
    tape.print("СУТОЧНЫЙ ОТЧЕТ С ГАШЕНИЕМ");
    tape.print("СМЕНА " + formatNumber(shift, 4) + "  " + formatDate(now) + " " + formatTime(now));
    tape.print("ПРОДАЖ: " + std::to_string(state.totals.sales) +
               "  СУММА =" + formatSum(state.totals.salesSum));
    for (int i = 0; i < kSectionCount; ++i) {
        const std::uint64_t sum = state.totals.sectionSums[static_cast<std::size_t>(i)];
        if (sum != 0) {
            tape.print("СЕКЦИЯ " + formatNumber(static_cast<std::uint64_t>(i + 1), 2) + " =" +
                       formatSum(sum));
        }
    }
    tape.print("АННУЛИРОВАНО: " + std::to_string(state.totals.cancelled) +
               "  СУММА =" + formatSum(state.totals.cancelledSum));
    tape.print("НЕОБНУЛЯЕМЫЙ ИТОГ =" + formatSum(state.totals.grandTotal));
    tape.print("СМЕНА ЗАКРЫТА");

    state.fiscalMemory.push_back({shift, now, state.totals.salesSum});
    const std::uint64_t grandTotal = state.totals.grandTotal;
    state.totals = ShiftTotals{};
    state.totals.grandTotal = grandTotal;
    state.shift.open = false;
    state.shift.lastClosed = shift;
    return plainAnswer(state, kShiftClosingReport, device_error::None, kShiftReportWorkUs);
}

// Data: day, month, year within the century. A date before the register's own or more than a
// day after it is taken only when the same date arrives twice in a row (0x16 the first time).
CommandReply setDate(RegisterState& state, const CommandRequest& request) {
    if (request.data.size() < 3) return plainAnswer(state, kSetDate, kWrongLength);
    const DateTime now = state.clock.now(request.nowUs);
    DateTime wanted = now;
    wanted.day = static_cast<int>(readBcd(request.data, 0, 1));
    wanted.month = static_cast<int>(readBcd(request.data, 1, 1));
    const std::int64_t year = readBcd(request.data, 2, 1);
    wanted.year = year < 0 ? -1 : 2000 + static_cast<int>(year);
    if (!isValid(wanted)) {
        state.dateEntry.confirmationPending = false;
        return plainAnswer(state, kSetDate, kWrongDate);
    }

    const std::int64_t daysAhead = (toSeconds(wanted) - toSeconds(now)) / kSecondsPerDay;
    const bool needsConfirmation = daysAhead < 0 || daysAhead > kDateStepWithoutConfirmationDays;
    const bool confirms =
        state.dateEntry.confirmationPending && state.dateEntry.pending.year == wanted.year &&
        state.dateEntry.pending.month == wanted.month && state.dateEntry.pending.day == wanted.day;
    if (needsConfirmation && !confirms) {
        state.dateEntry.confirmationPending = true;
        state.dateEntry.pending = wanted;
        return plainAnswer(state, kSetDate, device_error::DateConfirmationNeeded);
    }
    state.dateEntry.confirmationPending = false;
    state.clock.set(wanted, request.nowUs);
    return plainAnswer(state, kSetDate, device_error::None);
}

// Data: hours, minutes, seconds. The date stays.
CommandReply setTime(RegisterState& state, const CommandRequest& request) {
    if (request.data.size() < 3) return plainAnswer(state, kSetTime, kWrongLength);
    DateTime wanted = state.clock.now(request.nowUs);
    wanted.hour = static_cast<int>(readBcd(request.data, 0, 1));
    wanted.minute = static_cast<int>(readBcd(request.data, 1, 1));
    wanted.second = static_cast<int>(readBcd(request.data, 2, 1));
    if (!isValid(wanted)) return plainAnswer(state, kSetTime, kWrongTime);
    state.clock.set(wanted, request.nowUs);
    return plainAnswer(state, kSetTime, device_error::None);
}

}  // namespace

void registerSalesCommands(CommandTable& table) {
    table.add({kOpenReceipt, "open receipt", inModes({ModeRegistration}), openReceipt});
    table.add({kRegisterItem, "register item", inModes({ModeRegistration}), registerItem});
    table.add({kCloseReceipt, "close receipt", inModes({ModeRegistration}), closeReceipt});
    table.add(
        {kShiftClosingReport, "report with clearing", inModes({ModeZReports}), shiftClosingReport});
    table.add({kSetDate, "set date", kAnyMode, setDate});
    table.add({kSetTime, "set time", kAnyMode, setTime});
}

}  // namespace ptk::sim
