#include "device/table_field.h"

#include <algorithm>

#include "link/bcd.h"

namespace ptk {
namespace {

constexpr std::size_t kTableFieldAnswerLength = 80;
constexpr std::uint32_t kTableFieldPauseMs = 100;
// Answer byte 2, the field's first byte, after the STX of the answer kept.
constexpr std::size_t kValuePosition = 3;
constexpr std::size_t kPasswordBytes = 4;

}  // namespace

TableFieldReply ReadTableField(Session& session, TableField field) {
    MessageBuilder message = session.message(kReadTableFieldCode);
    message.byte(field.table)
        .byte(static_cast<std::uint8_t>(field.row >> 8))
        .byte(static_cast<std::uint8_t>(field.row & 0xFF))
        .byte(field.field);
    CommandCall call = commandCall(message, kTableFieldAnswerLength, ShortAnswer::Taken);
    call.deadlines.pauseMs = kTableFieldPauseMs;
    TableFieldReply reply;
    reply.result = session.exchange.SendCommand(call);
    const auto& answer = session.exchange.answer();
    std::copy_n(answer.begin() + kValuePosition, reply.value.size(), reply.value.begin());
    return reply;
}

std::string passwordFromTableField(const TableFieldValue& value) {
    std::string password;
    for (std::size_t i = 0; i < kPasswordBytes; ++i) {
        const int pair = BcdToBinary(value[i]);
        if (pair < 10) password += '0';
        password += std::to_string(pair);
    }
    return password;
}

}  // namespace ptk
