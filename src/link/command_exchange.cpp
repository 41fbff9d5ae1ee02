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

int CommandExchange::SendCommand(const CommandCall& call) {
    return transact(call, Rules::General);
}

int CommandExchange::SendFormCommand(const CommandCall& call) {
    return transact(call, Rules::Form);
}

CommandExchange::Step CommandExchange::askForLine(const Deadlines& t, bool form,
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
            return (got || form) ? Step::Handover : Step::Finish;
        }
    }
    return Step::Finish;
}

CommandExchange::Step CommandExchange::sendFrame(const CommandCall& call, bool form,
                                                 LinkStatus& status, std::uint8_t& codeAsSent) {
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

bool CommandExchange::takeAnswer(const CommandCall& call, bool form, std::uint8_t callerCode,
                                 std::uint8_t codeAsSent, LinkStatus& status,
                                 std::uint8_t& errorCode) {
    for (int attempt = 1;; ++attempt) {
        clear(RxBuffer);
        bool complete = false;
        const bool frame = channel_.ReadFrameWithDeadline(
            RxBuffer.data(), RxBuffer.size(), call.answerLength, call.deadlines.tAnswer, complete);
        if (!form && RxBuffer[0] != STX) {
            status = LinkStatus::NoAnswer;
            return false;
        }
        if (!(frame && complete) && !call.acceptShortAnswer) {
            if (form || !isNoMoreDataCode(codeAsSent)) {
                status = LinkStatus::NoAnswer;
                return false;
            }
            status = LinkStatus::Fine;  // the end of a data stream may come short
        }
        const bool intact = checksumMatches(RxBuffer.data(), RxBuffer.size());
        if (!form || call.unstuffAnswer) {
            unstuffFrame(RxBuffer.data(), RxBuffer.size());
            AnswerCopy = RxBuffer;
        }
        errorCode = extractErrorCode(call, callerCode, form);
        if (call.reportSuccessOnAnswer) channel_.frontEnd().setResultText(kNoErrors);
        clear(TxBuffer);
        TxBuffer[0] = intact ? ACK : NAK;
        if (!channel_.WriteWithDeadline(TxBuffer.data(), 1, call.deadlines.tAnswer)) {
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

int CommandExchange::classify(const CommandCall& call, bool form, std::uint8_t callerCode,
                              std::uint8_t codeAsSent, std::uint8_t errorCode, bool closed,
                              bool& deviceError) {
    if (call.errorCode == ErrorCodeRule::None) return closed ? 1 : 0;
    if (!form && callerCode == 0x84 && errorCode == 0x18) {
        return static_cast<int>(ExchangeResult::NoMoreData);
    }
    const bool probe = form ? call.unknownProbeGives22 : codeAsSent == kProbeCode;
    if (probe && isUnknownCommandCode(errorCode)) {
        return static_cast<int>(ExchangeResult::UnknownCommand);
    }
    if (!form && errorCode == 0x18 && isNoMoreDataCode(codeAsSent)) return 0;
    if (errors_.ErrorText(errorCode, true)) return 1;
    deviceError = true;
    return 0;
}

int CommandExchange::transact(const CommandCall& call, Rules rules) {
    const bool form = rules == Rules::Form;
    const std::uint8_t callerCode = call.messageLength > 2 ? call.message[2] : 0;
    std::uint8_t codeAsSent = callerCode;
    LinkStatus status = LinkStatus::Fine;
    int result = 0;
    bool deviceError = false;

    Step next = askForLine(call.deadlines, form, status);
    if (next == Step::Frame) next = sendFrame(call, form, status, codeAsSent);
    if (next == Step::Handover) {
        std::uint8_t errorCode = 0;
        if (!handOverLine(call.deadlines)) {
            status = LinkStatus::NoAnswer;
        } else if (takeAnswer(call, form, callerCode, codeAsSent, status, errorCode)) {
            // The register's closing byte. Read aside, so that RxBuffer keeps the answer.
            clear(work_);
            const bool closed = channel_.ReadWithDeadline(work_.data(), 1, call.deadlines.tEot);
            result = classify(call, form, callerCode, codeAsSent, errorCode, closed, deviceError);
        }
    }

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
            result = 0;
            break;
        case LinkStatus::NoAnswer:
            tell(kNoAnswer);
            result = 0;
            break;
        case LinkStatus::Checksum:
            tell(kChecksumFailure);
            result = static_cast<int>(ExchangeResult::ChecksumError);
            break;
    }
    if (deviceError) result = form ? 0 : static_cast<int>(ExchangeResult::DeviceError);
    return result;
}

std::uint8_t CommandExchange::extractErrorCode(const CommandCall& call, std::uint8_t callerCode,
                                               bool form) const {
    // Answer byte k lies at position k + 1, after the STX.
    ErrorCodeRule rule = call.errorCode;
    if (!form && rule != ErrorCodeRule::None) {
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
