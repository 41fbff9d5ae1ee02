#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "link/bcd.h"
#include "link/error_text.h"
#include "link/frame.h"
#include "link/serial_channel.h"

namespace ptk {

inline constexpr std::size_t kBufferSize = 260;
using LinkBuffer = std::array<std::uint8_t, kBufferSize>;

inline constexpr std::uint8_t CodeShift = 0x2E;
inline constexpr std::uint8_t kProbeCode = 0xE0;

// The deadlines of one transaction, in milliseconds, with the values most operations use.
struct Deadlines {
    std::uint32_t tControl = 500;
    std::uint32_t tEnqAck = 500;
    std::uint32_t tFrame = 2000;
    std::uint32_t tFrameAck = 500;
    std::uint32_t tEot = 500;
    std::uint32_t tAnswerStart = 10000;
    std::uint32_t tAnswer = 500;
    std::uint32_t pauseMs = 200;
};

// Where the device error code of an answer is found.
enum class ErrorCodeRule {
    None,         // no code is examined; the result says whether the closing byte arrived
    AnswerByte1,  // answer byte 1
    StateAnswer,  // 0 when answer byte 0 is 0x44 ('D'), otherwise answer byte 1
    AnswerByte0,  // answer byte 0 (command 0xA5)
};

// One command transaction. The message is borrowed: keep the MessageBuilder it points into alive
// until the call returns (a temporary builder dies at the end of the statement that made it).
struct CommandCall {
    const std::uint8_t* message = nullptr;  // password, code, data
    std::size_t messageLength = 0;
    bool acceptShortAnswer = false;
    std::size_t answerLength = 6;  // logical bytes, STX included
    ErrorCodeRule errorCode = ErrorCodeRule::AnswerByte1;
    Deadlines deadlines{};
    // Form variant only: un-stuff the answer and copy it into AnswerCopy (operations that read
    // data beyond the error code); otherwise the code is taken from RxBuffer as received.
    bool unstuffAnswer = true;
    // Form variant only: a 0x7A or 0x46 answer to 0xE0 gives 22 without a message.
    bool unknownProbeGives22 = false;
    // Form variant only: put "00 - Ошибок нет. Команда выполнена." into the result field as soon
    // as the answer frame has been taken (the status requests that judge the answer themselves).
    bool reportSuccessOnAnswer = false;
};

enum class ExchangeResult : int {
    Failure = 0,
    Success = 1,
    NoMoreData = 2,
    ChecksumError = 3,
    DeviceError = 4,
    UnknownCommand = 22,
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
                               bool acceptShortAnswer) {
    CommandCall call;
    call.message = message.data();
    call.messageLength = message.size();
    call.answerLength = answerLength;
    call.acceptShortAnswer = acceptShortAnswer;
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

    // The general rules: results 0, 1, 2, 3, 4 and 22.
    int SendCommand(const CommandCall& call);
    // The variant the windows use: five tries a step, a device error gives 0.
    int SendFormCommand(const CommandCall& call);

    LinkBuffer TxBuffer{};
    LinkBuffer RxBuffer{};
    LinkBuffer AnswerCopy{};
    int DirectCodes = 1;

    SerialChannel& channel() { return channel_; }

private:
    enum class LinkStatus { Fine = 0, NoLink = 1, NoAnswer = 2, Checksum = 3 };
    enum class Rules { General, Form };
    enum class Step { Frame, Handover, Finish };

    int transact(const CommandCall& call, Rules rules);
    Step askForLine(const Deadlines& t, bool form, LinkStatus& status);
    Step sendFrame(const CommandCall& call, bool form, LinkStatus& status,
                   std::uint8_t& codeAsSent);
    bool handOverLine(const Deadlines& t);
    bool takeAnswer(const CommandCall& call, bool form, std::uint8_t callerCode,
                    std::uint8_t codeAsSent, LinkStatus& status, std::uint8_t& errorCode);
    int classify(const CommandCall& call, bool form, std::uint8_t callerCode,
                 std::uint8_t codeAsSent, std::uint8_t errorCode, bool closed, bool& deviceError);
    std::uint8_t extractErrorCode(const CommandCall& call, std::uint8_t callerCode,
                                  bool form) const;

    SerialChannel& channel_;
    ErrorReporter& errors_;
    LinkBuffer work_{};
};

}  // namespace ptk
