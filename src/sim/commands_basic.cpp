// The commands every register model knows: the probe, the two status requests, leaving the
// current mode and cancelling the open receipt.

#include "sim/answer.h"
#include "sim/command_table.h"
#include "sim/device_errors.h"
#include "sim/tape_text.h"

namespace ptk::sim {

namespace {

constexpr std::uint8_t kProbe = 0xE0;
constexpr std::uint8_t kShortStatus = 0x45;
constexpr std::uint8_t kState = 0x3F;
constexpr std::uint8_t kStateAnswerType = 0x44;  // 'D'
constexpr std::uint8_t kLeaveMode = 0x52;
constexpr std::uint8_t kCancelReceipt = 0x59;

// Answer: type, error, 1 when the register takes codes unshifted (0 when they arrive reduced by
// 0x2E), the model number.
CommandReply probe(RegisterState& state, const CommandRequest&) {
    if (!state.link.knowsProbe) return plainAnswer(state, kProbe, device_error::ModelCannot);
    return AnswerBuilder(kProbe, device_error::None)
        .byte(state.link.unshiftedCodes ? 1 : 0)
        .byte(state.identity.modelNumber)
        .reply(kQuickCommandUs);
}

// Answer: type, mode byte, printer flags, register flags. There is no error code: byte 1 is the
// mode byte the program reads.
CommandReply shortStatus(RegisterState& state, const CommandRequest&) {
    return AnswerBuilder(kShortStatus)
        .byte(state.mode.byte())
        .byte(state.printer.flags())
        .byte(state.flagsByte())
        .reply(kQuickCommandUs);
}

// The full device state report; byte 0 is 'D' for a good answer and byte 1 the cashier.
CommandReply deviceState(RegisterState& state, const CommandRequest& request) {
    const DateTime now = state.clock.now(request.nowUs);
    return AnswerBuilder(kStateAnswerType)
        .bcd(state.identity.cashier, 1)
        .bcd(state.identity.hallNumber, 1)
        .dateYearFirst(now)
        .time(now)
        .byte(state.flagsByte())
        .bcd(state.identity.serialNumber, 4)
        .byte(0)
        .le16(state.identity.version)
        .byte(state.mode.byte())
        .bcd(state.receipt.number, 2)
        .bcd(state.shift.lastClosed, 2)
        .byte(static_cast<std::uint8_t>(state.receipt.kind))
        .bcd(state.receipt.sum, 5)
        .byte(state.identity.decimalPoint)
        .byte(state.identity.portNumber)
        .reply(kQuickCommandUs);
}

std::uint8_t openReceiptError(ReceiptKind kind) {
    switch (kind) {
        case ReceiptKind::Return:
        case ReceiptKind::PurchaseReturn:
            return device_error::ReturnReceiptOpen;
        case ReceiptKind::Annulment:
        case ReceiptKind::PurchaseAnnulment:
            return device_error::AnnulmentReceiptOpen;
        default:
            return device_error::SaleReceiptOpen;
    }
}

// Back to the selection mode. An open receipt must be closed or cancelled first; a report the
// register is still printing is broken off.
CommandReply leaveMode(RegisterState& state, const CommandRequest&) {
    if (state.receipt.isOpen()) {
        return plainAnswer(state, kLeaveMode, openReceiptError(state.receipt.kind));
    }
    std::uint64_t duration = kModeChangeUs;
    if (state.background.active) {
        state.background.active = false;
        state.tape.print("ОТЧЕТ ПРЕРВАН");
        duration += kPrintLineUs;
    }
    state.mode.set(ModeSelection);
    return plainAnswer(state, kLeaveMode, device_error::None, duration);
}

// Cancels the open receipt and prints the cancellation; the receipt's number is used up.
CommandReply cancelReceipt(RegisterState& state, const CommandRequest& request) {
    if (!state.receipt.isOpen()) {
        return plainAnswer(state, kCancelReceipt, device_error::ReceiptClosed);
    }
    if (const std::uint8_t failure = state.printer.failure()) {
        return plainAnswer(state, kCancelReceipt, failure);
    }
    const DateTime now = state.clock.now(request.nowUs);
    state.tape.print("ЧЕК " + formatNumber(state.receipt.number, 4) + " АННУЛИРОВАН");
    state.tape.print("СУММА: " + formatSum(state.receipt.sum));
    state.tape.print(formatDate(now) + " " + formatTime(now));
    ++state.totals.cancelled;
    state.totals.cancelledSum += state.receipt.sum;
    state.receipt.kind = ReceiptKind::Closed;
    state.receipt.sum = 0;
    state.receipt.items = 0;
    state.receipt.number =
        static_cast<std::uint16_t>(state.receipt.number >= 9999 ? 1 : state.receipt.number + 1);
    state.mode.submode = 0;
    return plainAnswer(state, kCancelReceipt, device_error::None, kModeChangeUs + 3 * kPrintLineUs);
}

}  // namespace

void registerBasicCommands(CommandTable& table) {
    table.add({kProbe, "probe", kAnyMode, probe});
    table.add({kShortStatus, "short status", kAnyMode, shortStatus});
    table.add({kState, "state", kAnyMode, deviceState});
    table.add({kLeaveMode, "leave mode", kAnyMode, leaveMode});
    table.add({kCancelReceipt, "cancel receipt", inModes({ModeRegistration}), cancelReceipt});
}

}  // namespace ptk::sim
