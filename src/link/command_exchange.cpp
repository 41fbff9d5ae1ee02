#include "link/command_exchange.h"

#include <algorithm>

namespace ptk {
namespace {

using namespace control;

constexpr std::string_view kNoLink = "Нет связи!";
constexpr std::string_view kNoAnswer = "Нет ответа!";
constexpr std::string_view kChecksumFailure = "Ошибка контрольной суммы!";
constexpr std::string_view kNoErrors = "00 - Ошибок нет. Команда выполнена.";

constexpr int kLineRequestTries = 5;
constexpr int kFrameTriesGeneral = 100;
constexpr int kFrameTriesForm = 5;
constexpr int kSilentFrameTry = 5;  // the try at which silence or a failed write gives up
constexpr int kAnswerRepeats = 6;   // the first answer and five repeats after a NAK

bool isNoMoreDataCode(std::uint8_t code) {
    return code == 0x7B || code == 0x7C || code == 0x7D;
}
bool isUnknownCommandCode(std::uint8_t code) {
    return code == 0x7A || code == 0x46;
}

void clear(LinkBuffer& buffer) {
    buffer.fill(0);
}

}  // namespace

ExchangeResult CommandExchange::SendCommand(const CommandCall& call) {
    return transact(call, ExchangeRules::General);
}

ExchangeResult CommandExchange::SendFormCommand(const CommandCall& call) {
    return transact(call, ExchangeRules::Form);
}

CommandExchange::Step CommandExchange::askForLine(const Deadlines& t, ExchangeRules rules,
                                                  LinkStatus& status) {
    for (int attempt = 1; attempt <= kLineRequestTries; ++attempt) {
        clear(TxBuffer);
        TxBuffer[0] = ENQ;
        const bool wrote = channel_.WriteWithDeadline(TxBuffer.data(), 1, t.tControl);
        if (!wrote && attempt == kLineRequestTries) {
            status = LinkStatus::NoLink;
            return Step::Finish;
        }
        clear(RxBuffer);
        const bool got = channel_.ReadWithDeadline(RxBuffer.data(), 1, t.tEnqAck);
        if (got && RxBuffer[0] == ACK) return Step::Frame;
        if (attempt == kLineRequestTries) {
            status = LinkStatus::NoLink;
            // The form variant goes on to ask for an answer even from a silent register.
            return (got || rules == ExchangeRules::Form) ? Step::Handover : Step::Finish;
        }
    }
    return Step::Finish;
}

CommandExchange::Step CommandExchange::sendFrame(const CommandCall& call, ExchangeRules rules,
                                                 LinkStatus& status, std::uint8_t& codeAsSent) {
    const bool form = rules == ExchangeRules::Form;
    const std::size_t length = std::min(call.messageLength, work_.size());
    clear(work_);
    std::copy_n(call.message, length, work_.begin());
    if (length > 2 && work_[2] != kProbeCode && DirectCodes == 0) {
        work_[2] = static_cast<std::uint8_t>(work_[2] - CodeShift);
    }
    codeAsSent = work_[2];
    clear(TxBuffer);
    const std::size_t frameLength =
        buildFrame(work_.data(), length, TxBuffer.data(), TxBuffer.size());
    if (frameLength == 0) {
        status = LinkStatus::NoLink;  // a message too long for the line never goes out
        return Step::Finish;
    }
    // A register that refuses the frame gets it again and again; a silent one gives up early.
    const int tries = form ? kFrameTriesForm : kFrameTriesGeneral;
    for (int attempt = 1; attempt <= tries; ++attempt) {
        const bool wrote =
            channel_.WriteWithDeadline(TxBuffer.data(), frameLength, call.deadlines.tFrame);
        if (!wrote && attempt == kSilentFrameTry) {
            status = LinkStatus::NoLink;
            return Step::Finish;
        }
        clear(RxBuffer);
        const bool got = channel_.ReadWithDeadline(RxBuffer.data(), 1, call.deadlines.tFrameAck);
        if (got && RxBuffer[0] == ACK) return Step::Handover;
        if (form && attempt == tries) {
            status = LinkStatus::NoLink;
            return Step::Handover;
        }
        if (!form && got && attempt == tries) {
            status = LinkStatus::NoLink;
            return Step::Handover;
        }
        if (!form && !got && attempt == kSilentFrameTry) {
            status = LinkStatus::NoLink;
            return Step::Finish;
        }
    }
    return Step::Handover;
}

bool CommandExchange::handOverLine(const Deadlines& t) {
    clear(TxBuffer);
    TxBuffer[0] = EOT;
    if (!channel_.WriteWithDeadline(TxBuffer.data(), 1, t.tEot)) return false;
    // The register's request to send; the time it takes is the time the command takes.
    clear(RxBuffer);
    if (!channel_.ReadWithDeadline(RxBuffer.data(), 1, t.tAnswerStart)) return false;
    clear(TxBuffer);
    TxBuffer[0] = ACK;
    if (!channel_.WriteWithDeadline(TxBuffer.data(), 1, t.tControl)) return false;
    channel_.clock().sleepMs(t.pauseMs);
    return true;
}

bool CommandExchange::takeAnswer(const CommandCall& call, ExchangeRules rules,
                                 std::uint8_t callerCode, std::uint8_t codeAsSent,
                                 LinkStatus& status, std::uint8_t& errorCode) {
    const bool form = rules == ExchangeRules::Form;
    for (int attempt = 1;; ++attempt) {
        clear(RxBuffer);
        bool complete = false;
        const bool frame = channel_.ReadFrameWithDeadline(
            RxBuffer.data(), RxBuffer.size(), call.answerLength, call.deadlines.tAnswer, complete);
        if (!form && RxBuffer[0] != STX) {
            status = LinkStatus::NoAnswer;
            return false;
        }
        if (!(frame && complete) && call.shortAnswer == ShortAnswer::Refused) {
            if (form || !isNoMoreDataCode(codeAsSent)) {
                status = LinkStatus::NoAnswer;
                return false;
            }
            status = LinkStatus::Fine;  // the end of a data stream may come short
        }
        const bool intact = checksumMatches(RxBuffer.data(), RxBuffer.size());
        if (!form || call.answerKept == AnswerKept::Unstuffed) {
            unstuffFrame(RxBuffer.data(), RxBuffer.size());
            AnswerCopy = RxBuffer;
        }
        errorCode = extractErrorCode(call, callerCode, rules);
        if (call.resultField == ResultFieldText::NoErrorsOnAnswer) {
            channel_.frontEnd().setResultText(kNoErrors);
        }
        clear(TxBuffer);
        TxBuffer[0] = intact ? ACK : NAK;
        if (!channel_.WriteWithDeadline(TxBuffer.data(), 1, call.deadlines.tAnswerAck)) {
            status = LinkStatus::NoAnswer;
            return false;
        }
        if (intact) return true;
        if (attempt == kAnswerRepeats) {
            status = LinkStatus::Checksum;
            return false;
        }
    }
}

ExchangeResult CommandExchange::classify(const CommandCall& call, ExchangeRules rules,
                                         std::uint8_t callerCode, std::uint8_t codeAsSent,
                                         std::uint8_t errorCode, Closing closing) {
    const bool form = rules == ExchangeRules::Form;
    if (call.errorCode == ErrorCodeRule::None) {
        return closing == Closing::Arrived ? ExchangeResult::done() : ExchangeResult{};
    }
    if (!form && callerCode == 0x84 && errorCode == 0x18) return {ExchangeOutcome::NoMoreData};
    const bool probe =
        form ? call.unknownCommand == UnknownCommandAnswer::IsAResult : codeAsSent == kProbeCode;
    if (probe && isUnknownCommandCode(errorCode)) {
        return {ExchangeOutcome::UnknownCommand, errorCode};
    }
    if (!form && errorCode == 0x18 && isNoMoreDataCode(codeAsSent)) return {};
    errors_.ErrorText(errorCode);
    return isSuccessCode(errorCode) ? ExchangeResult::done()
                                    : ExchangeResult::deviceError(errorCode);
}

ExchangeResult CommandExchange::transact(const CommandCall& call, ExchangeRules rules) {
    const SerialChannel::Transaction onTheLine(channel_);
    const std::uint8_t callerCode = call.messageLength > 2 ? call.message[2] : 0;
    std::uint8_t codeAsSent = callerCode;
    LinkStatus status = LinkStatus::Fine;
    ExchangeResult result;

    Step next = askForLine(call.deadlines, rules, status);
    if (next == Step::Frame) next = sendFrame(call, rules, status, codeAsSent);
    if (next == Step::Handover) {
        std::uint8_t errorCode = 0;
        if (!handOverLine(call.deadlines)) {
            status = LinkStatus::NoAnswer;
        } else if (takeAnswer(call, rules, callerCode, codeAsSent, status, errorCode)) {
            // The register's closing byte. Read aside, so that RxBuffer keeps the answer.
            clear(work_);
            const Closing closing = channel_.ReadWithDeadline(work_.data(), 1, call.deadlines.tEot)
                                        ? Closing::Arrived
                                        : Closing::Missing;
            result = classify(call, rules, callerCode, codeAsSent, errorCode, closing);
        }
    }
    // The register's refusal stands even when the line failed around it: it is what the register
    // said, and its message has been shown.
    const ExchangeResult answered = result;

    // Each link failure is told once, in the link's own words; one that a stop request caused is
    // not told at all: the program is about to end, and a box raised from a worker thread would
    // wait on the user-interface thread.
    const bool stopped = channel_.stopRequested();
    const auto tell = [this, stopped](std::string_view text) {
        if (!stopped) channel_.frontEnd().showMessage(MessageIcon::Error, kErrorCaption, text);
    };
    switch (status) {
        case LinkStatus::Fine:
            break;
        case LinkStatus::NoLink:
            tell(kNoLink);
            result = {};
            break;
        case LinkStatus::NoAnswer:
            tell(kNoAnswer);
            result = {};
            break;
        case LinkStatus::Checksum:
            tell(kChecksumFailure);
            result = {ExchangeOutcome::ChecksumWrong};
            break;
    }
    if (answered.outcome == ExchangeOutcome::DeviceError) result = answered;
    channel_.reportExchangeEnd(callerCode, result, rules);
    return result;
}

std::uint8_t CommandExchange::extractErrorCode(const CommandCall& call, std::uint8_t callerCode,
                                               ExchangeRules rules) const {
    // Answer byte k lies at position k + 1, after the STX.
    ErrorCodeRule rule = call.errorCode;
    if (rules == ExchangeRules::General && rule != ErrorCodeRule::None) {
        rule = callerCode == 0x3F   ? ErrorCodeRule::StateAnswer
               : callerCode == 0xA5 ? ErrorCodeRule::AnswerByte0
                                    : ErrorCodeRule::AnswerByte1;
    }
    switch (rule) {
        case ErrorCodeRule::None:
            return 0;
        case ErrorCodeRule::AnswerByte0:
            return RxBuffer[1];
        case ErrorCodeRule::StateAnswer:
            return RxBuffer[1] == 0x44 ? std::uint8_t{0} : RxBuffer[2];
        case ErrorCodeRule::AnswerByte1:
            break;
    }
    return RxBuffer[2];
}

}  // namespace ptk
