#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "link/bcd.h"
#include "link/error_text.h"
#include "link/exchange_result.h"
#include "link/frame.h"
#include "link/serial_channel.h"

namespace ptk {

inline constexpr std::size_t kBufferSize = 260;
using LinkBuffer = std::array<std::uint8_t, kBufferSize>;

inline constexpr std::uint8_t CodeShift = 0x2E;
inline constexpr std::uint8_t kProbeCode = 0xE0;

// How command codes go out: as written, or reduced by CodeShift for a register that expects them
// so (the probe, 0xE0, always goes out as written).
enum class CodeSet : std::uint8_t { Shifted, AsWritten };

// The deadlines of one transaction, in milliseconds, with the values most operations use.
struct Deadlines {
    std::uint32_t tControl = 500;
    std::uint32_t tEnqAck = 500;
    std::uint32_t tFrame = 2000;
    std::uint32_t tFrameAck = 500;
    std::uint32_t tEot = 500;
    std::uint32_t tAnswerStart = 10000;
    std::uint32_t tAnswer = 500;     // reading the answer frame
    std::uint32_t tAnswerAck = 500;  // writing the ACK or NAK for it
    std::uint32_t pauseMs = 200;
};

// Where the device error code of an answer is found.
enum class ErrorCodeRule {
    None,         // no code is examined; the result says whether the closing byte arrived
    AnswerByte1,  // answer byte 1
    StateAnswer,  // 0 when answer byte 0 is 0x44 ('D'), otherwise answer byte 1
    AnswerByte0,  // answer byte 0 (command 0xA5)
};

// Whether an answer shorter than the answer length is taken (the register may cut it short).
enum class ShortAnswer : std::uint8_t { Refused, Taken };
// Form variant: what becomes of the answer. Un-stuffed and copied into AnswerCopy (operations that
// read data beyond the error code), or left in RxBuffer as received, the code read from there.
enum class AnswerKept : std::uint8_t { Unstuffed, AsReceived };
// Form variant: how a 0x7A or 0x46 answer counts. As a device error with its message, or (the
// probe) as ExchangeOutcome::UnknownCommand without a message.
enum class UnknownCommandAnswer : std::uint8_t { IsAnError, IsAResult };
// Form variant: what the result field shows. The message of the answer's error code, or "00 -
// Ошибок нет. Команда выполнена." as soon as the answer frame has been taken (the status requests
// that judge the answer themselves).
enum class ResultFieldText : std::uint8_t { OfTheErrorCode, NoErrorsOnAnswer };

// One command transaction. The message is borrowed: keep the MessageBuilder it points into alive
// until the call returns (a temporary builder dies at the end of the statement that made it).
struct CommandCall {
    const std::uint8_t* message = nullptr;  // password, code, data
    std::size_t messageLength = 0;
    ShortAnswer shortAnswer = ShortAnswer::Refused;
    std::size_t answerLength = 6;  // logical bytes, STX included
    ErrorCodeRule errorCode = ErrorCodeRule::AnswerByte1;
    Deadlines deadlines{};
    AnswerKept answerKept = AnswerKept::Unstuffed;
    UnknownCommandAnswer unknownCommand = UnknownCommandAnswer::IsAnError;
    ResultFieldText resultField = ResultFieldText::OfTheErrorCode;
};

// Builds command messages: the two packed link password bytes, the code, the data.
class MessageBuilder {
public:
    MessageBuilder(const std::string& linkPassword, std::uint8_t code);
    MessageBuilder& byte(std::uint8_t value);
    MessageBuilder& bytes(const std::uint8_t* data, std::size_t count);
    const std::uint8_t* data() const { return message_.data(); }
    std::size_t size() const { return length_; }

private:
    std::array<std::uint8_t, 128> message_{};
    std::size_t length_ = 0;
};

// A call of message with the usual deadlines, the error code taken from answer byte 1. The call
// borrows the message: the builder must outlive it.
inline CommandCall commandCall(const MessageBuilder& message, std::size_t answerLength,
                               ShortAnswer shortAnswer) {
    CommandCall call;
    call.message = message.data();
    call.messageLength = message.size();
    call.answerLength = answerLength;
    call.shortAnswer = shortAnswer;
    return call;
}

// The two bytes that open every command message: the link password's digits packed, missing
// digits as zero halves (an empty password gives 0x00 0x00).
std::array<std::uint8_t, 2> packLinkPassword(std::string_view linkPassword);

// The command transaction with the register: line request, framed command, handover, framed
// answer, checksum, acknowledgement, and the classification of the answer's error code.
class CommandExchange {
public:
    CommandExchange(SerialChannel& channel, ErrorReporter& errors)
        : channel_(channel), errors_(errors) {}

    // The general rules: the outcome follows from the code as sent (end of data, the probe).
    ExchangeResult SendCommand(const CommandCall& call);
    // The variant the windows use: five tries a step, the answer rules the call names.
    ExchangeResult SendFormCommand(const CommandCall& call);

    // The answer of the last transaction, un-stuffed, STX at position 0 (so answer byte k at
    // position k + 1); places the answer did not fill read 0. A form-variant call that keeps the
    // answer as received leaves the one before it here.
    const LinkBuffer& answer() const { return AnswerCopy; }
    // The bytes of the last read of the last transaction, as they arrived (un-stuffed when the
    // call kept its answer so).
    const LinkBuffer& received() const { return RxBuffer; }

    CodeSet codeSet() const { return DirectCodes == 0 ? CodeSet::Shifted : CodeSet::AsWritten; }
    void setCodeSet(CodeSet codeSet) { DirectCodes = codeSet == CodeSet::AsWritten ? 1 : 0; }

    SerialChannel& channel() { return channel_; }

private:
    enum class LinkStatus { Fine = 0, NoLink = 1, NoAnswer = 2, Checksum = 3 };
    enum class Step { Frame, Handover, Finish };
    // Whether the register's closing byte arrived.
    enum class Closing { Arrived, Missing };

    ExchangeResult transact(const CommandCall& call, ExchangeRules rules);
    Step askForLine(const Deadlines& t, ExchangeRules rules, LinkStatus& status);
    Step sendFrame(const CommandCall& call, ExchangeRules rules, LinkStatus& status,
                   std::uint8_t& codeAsSent);
    bool handOverLine(const Deadlines& t);
    bool takeAnswer(const CommandCall& call, ExchangeRules rules, std::uint8_t callerCode,
                    std::uint8_t codeAsSent, LinkStatus& status, std::uint8_t& errorCode);
    ExchangeResult classify(const CommandCall& call, ExchangeRules rules, std::uint8_t callerCode,
                            std::uint8_t codeAsSent, std::uint8_t errorCode, Closing closing);
    std::uint8_t extractErrorCode(const CommandCall& call, std::uint8_t callerCode,
                                  ExchangeRules rules) const;

    SerialChannel& channel_;
    ErrorReporter& errors_;
    LinkBuffer TxBuffer{};
    LinkBuffer RxBuffer{};
    LinkBuffer AnswerCopy{};
    int DirectCodes = 1;
    LinkBuffer work_{};
};

}  // namespace ptk
