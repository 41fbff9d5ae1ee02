#include "sim/register_engine.h"

#include <algorithm>
#include <string>

#include "sim/answer.h"
#include "sim/device_errors.h"

namespace ptk::sim {

namespace {

constexpr std::uint8_t kProbeCode = 0xE0;
constexpr std::uint8_t kCodeShift = 0x2E;
// Added to a frame's checksum when a fault asks for a wrong one.
constexpr std::uint8_t kChecksumSpoiler = 0x5A;

std::uint64_t wireTimeUs(std::uint32_t baud) {
    if (baud == 0) baud = 115200;
    return (10'000'000ull + baud - 1) / baud;
}

}  // namespace

RegisterEngine::RegisterEngine(RegisterState state, EngineOptions options)
    : state_(std::move(state)),
      options_(options),
      commands_(makeCommandTable()),
      byteTimeUs_(wireTimeUs(options.baud)) {}

void RegisterEngine::receive(const std::uint8_t* data, std::size_t count, std::uint64_t nowUs) {
    advance(nowUs);
    for (std::size_t i = 0; i < count; ++i) takeByte(data[i], nowUs);
}

void RegisterEngine::advance(std::uint64_t nowUs) {
    if (phase_ == Phase::Working && nowUs >= waitEndsUs_) {
        // The ENQ went out at waitEndsUs_; from then on the register waits for the line.
        phase_ = Phase::AwaitLineGrant;
        waitEndsUs_ += options_.replyTimeoutUs;
    }
    if (receiver_.active() && nowUs - lastInputUs_ >= options_.interByteTimeoutUs) {
        receiver_.reset();
        note(nowUs, "frame stalled: dropped");
    }
    if (discarding_ && nowUs - lastInputUs_ >= options_.interByteTimeoutUs) discarding_ = false;
    const bool waiting = phase_ == Phase::AwaitFrame || phase_ == Phase::AwaitEot ||
                         phase_ == Phase::AwaitLineGrant || phase_ == Phase::AwaitAnswerReply;
    if (waiting && !receiver_.active() && nowUs >= waitEndsUs_) {
        if (phase_ == Phase::AwaitLineGrant || phase_ == Phase::AwaitAnswerReply) {
            note(waitEndsUs_, "no reply from the computer: answer dropped");
        } else {
            note(waitEndsUs_, "no command from the computer: idle");
        }
        phase_ = Phase::Idle;
    }
}

std::vector<TimedByte> RegisterEngine::takeOutput() {
    std::vector<TimedByte> taken;
    taken.swap(output_);
    return taken;
}

void RegisterEngine::takeByte(std::uint8_t byte, std::uint64_t nowUs) {
    const std::uint64_t previousInputUs = lastInputUs_;
    lastInputUs_ = nowUs;
    if (phase_ == Phase::Working) {
        ++ignoredWhileWorking_;
        return;
    }
    if (ignoredWhileWorking_ > 0) {
        note(nowUs, std::to_string(ignoredWhileWorking_) + " byte(s) ignored while working");
        ignoredWhileWorking_ = 0;
    }
    if (discarding_) {
        if (nowUs - previousInputUs < options_.interByteTimeoutUs) return;
        discarding_ = false;
    }
    if (receiver_.active()) {
        switch (receiver_.feed(byte)) {
            case FrameReceiver::Outcome::Pending:
                return;
            case FrameReceiver::Outcome::Complete:
                onFrameComplete(nowUs);
                return;
            case FrameReceiver::Outcome::Overflow:
                note(nowUs, "frame too long: dropped");
                discarding_ = true;
                return;
        }
    }
    switch (byte) {
        case control::ENQ:
            startOver(nowUs);
            return;
        case control::STX:
            if (phase_ == Phase::AwaitFrame || phase_ == Phase::AwaitEot) receiver_.start();
            return;
        case control::EOT:
            if (phase_ == Phase::AwaitEot) {
                onEot(nowUs);
            } else if (phase_ == Phase::AwaitFrame) {
                note(nowUs, "EOT without an accepted command: idle");
                phase_ = Phase::Idle;
            }
            return;
        case control::ACK:
            if (phase_ == Phase::AwaitLineGrant) {
                sendAnswerFrame(nowUs, false);
            } else if (phase_ == Phase::AwaitAnswerReply) {
                sendControl(control::EOT, nowUs, SilentStep::Closing);
                phase_ = Phase::Idle;
            }
            return;
        case control::NAK:
            if (phase_ == Phase::AwaitAnswerReply) {
                if (answerRepeats_ >= options_.maxAnswerRepeats) {
                    note(nowUs, "answer refused too often: dropped");
                    phase_ = Phase::Idle;
                } else {
                    ++answerRepeats_;
                    note(nowUs, "answer refused (NAK): sent again");
                    sendAnswerFrame(nowUs, true);
                }
            }
            return;
        default:
            return;
    }
}

void RegisterEngine::startOver(std::uint64_t nowUs) {
    if (phase_ == Phase::AwaitEot || phase_ == Phase::AwaitLineGrant ||
        phase_ == Phase::AwaitAnswerReply) {
        note(nowUs, "computer started over");
    }
    receiver_.reset();
    sendControl(control::ACK, nowUs, SilentStep::LineAck);
    phase_ = Phase::AwaitFrame;
    waitEndsUs_ = lineFreeAtUs_ + options_.replyTimeoutUs;
}

void RegisterEngine::onFrameComplete(std::uint64_t nowUs) {
    if (!receiver_.checksumMatches()) {
        note(nowUs, "command frame with a wrong checksum: NAK");
        sendControl(control::NAK, nowUs, SilentStep::FrameReply);
        phase_ = Phase::AwaitFrame;
    } else if (consumeFault(faults_.nakFrames)) {
        note(nowUs, "command frame refused on request: NAK");
        sendControl(control::NAK, nowUs, SilentStep::FrameReply);
        phase_ = Phase::AwaitFrame;
    } else {
        command_ = receiver_.message();
        sendControl(control::ACK, nowUs, SilentStep::FrameReply);
        phase_ = Phase::AwaitEot;
    }
    waitEndsUs_ = lineFreeAtUs_ + options_.replyTimeoutUs;
}

void RegisterEngine::onEot(std::uint64_t nowUs) {
    CommandRecord record;
    record.atUs = nowUs;
    CommandReply reply = carryOut(command_, nowUs, record);
    std::uint64_t duration = reply.durationUs;
    if (consumeFault(faults_.delayedAnswers)) duration += faults_.answerDelayUs;
    record.answer = reply.answer;
    record.durationUs = duration;
    ++commandsCarriedOut_;
    if (commandObserver_) commandObserver_(record);

    answerFrame_ = buildFrame(reply.answer);
    answerRepeats_ = 0;
    const std::uint64_t enqAtUs =
        std::max(nowUs + options_.replyLatencyUs + duration, lineFreeAtUs_);
    scheduleControl(control::ENQ, enqAtUs, SilentStep::AnswerRequest);
    phase_ = Phase::Working;
    waitEndsUs_ = enqAtUs;
}

CommandReply RegisterEngine::carryOut(const std::vector<std::uint8_t>& message, std::uint64_t nowUs,
                                      CommandRecord& record) {
    state_.settle(nowUs);
    record.message = message;
    // A model that expects shifted codes adds the shift back to every code but the probe.
    const auto interpret = [this](std::uint8_t received) {
        const bool shifted = !state_.link.unshiftedCodes && received != kProbeCode;
        return static_cast<std::uint8_t>(shifted ? received + kCodeShift : received);
    };
    // A packet client may leave the link password out. A message whose first two bytes are the
    // password carries it; otherwise one whose first byte is a command the register knows is
    // that command without a password; anything else has a wrong password. (A message without
    // password whose code and first data byte happen to equal the password is read as one with.)
    const auto& password = state_.link.password;
    const bool withPassword =
        message.size() >= 3 && message[0] == password[0] && message[1] == password[1];
    const bool withoutPassword =
        !withPassword && !message.empty() && commands_.find(interpret(message[0])) != nullptr;
    if (!withPassword && !withoutPassword && message.size() < 3) {
        note(nowUs, "command frame without a code");
        return plainAnswer(state_, 0, device_error::UnknownCommand);
    }
    const std::size_t codeAt = withoutPassword ? 0 : 2;
    const std::uint8_t received = message[codeAt];
    const std::uint8_t code = interpret(received);
    record.receivedCode = received;
    record.code = code;
    const CommandSpec* command = commands_.find(code);
    if (command) record.name = command->name;
    if (!withPassword && !withoutPassword) {
        return plainAnswer(state_, code, device_error::WrongPassword);
    }
    for (auto it = faults_.errors.begin(); it != faults_.errors.end(); ++it) {
        if (it->code != code || !consumeFault(it->count)) continue;
        const std::uint8_t error = it->error;
        if (it->count == 0) faults_.errors.erase(it);
        return plainAnswer(state_, code, error);
    }
    if (!command || !command->handler)
        return plainAnswer(state_, code, device_error::UnknownCommand);
    if (((command->modes >> (state_.mode.mode & 0x07)) & 1u) == 0) {
        return plainAnswer(state_, code, device_error::NotInThisMode);
    }
    const std::span<const std::uint8_t> data(message.data() + codeAt + 1,
                                             message.size() - codeAt - 1);
    CommandReply reply = command->handler(state_, CommandRequest{code, data, nowUs});
    if (reply.answer.empty()) reply.answer.push_back(code);  // a frame needs at least its type
    return reply;
}

void RegisterEngine::sendAnswerFrame(std::uint64_t nowUs, bool repeat) {
    std::vector<std::uint8_t> frame = answerFrame_;
    if (consumeFault(faults_.badChecksumAnswers)) {
        frame.back() = static_cast<std::uint8_t>(frame.back() ^ kChecksumSpoiler);
        note(nowUs, "answer frame sent with a wrong checksum on request");
    }
    std::size_t pauseAfter = 0;
    std::uint64_t pauseUs = 0;
    if (consumeFault(faults_.framePauses)) {
        pauseAfter = faults_.pauseAfterByte;
        pauseUs = faults_.pauseUs;
    }
    const std::uint64_t startUs = replyTime(nowUs);
    if (consumeFault(faults_.silentAt(SilentStep::AnswerFrame))) {
        note(nowUs,
             repeat ? "repeated answer frame lost on request" : "answer frame lost on request");
        lineFreeAtUs_ = startUs + frame.size() * byteTimeUs_;
    } else {
        schedule(frame, startUs, pauseAfter, pauseUs);
    }
    phase_ = Phase::AwaitAnswerReply;
    waitEndsUs_ = lineFreeAtUs_ + options_.replyTimeoutUs;
}

void RegisterEngine::sendControl(std::uint8_t byte, std::uint64_t nowUs, SilentStep step) {
    scheduleControl(byte, replyTime(nowUs), step);
}

void RegisterEngine::scheduleControl(std::uint8_t byte, std::uint64_t atUs, SilentStep step) {
    if (consumeFault(faults_.silentAt(step))) {
        note(atUs, std::string("silent on request at ") + std::string(silentStepName(step)));
        return;
    }
    schedule({byte}, atUs, 0, 0);
}

void RegisterEngine::schedule(const std::vector<std::uint8_t>& bytes, std::uint64_t startUs,
                              std::size_t pauseAfter, std::uint64_t pauseUs) {
    std::uint64_t atUs = std::max(startUs, lineFreeAtUs_);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (pauseAfter > 0 && i == pauseAfter) atUs += pauseUs;
        output_.push_back({atUs, bytes[i]});
        atUs += byteTimeUs_;
    }
    lineFreeAtUs_ = atUs;
}

std::uint64_t RegisterEngine::replyTime(std::uint64_t nowUs) const {
    return std::max(nowUs + options_.replyLatencyUs, lineFreeAtUs_);
}

void RegisterEngine::note(std::uint64_t atUs, std::string_view text) {
    if (linkObserver_) linkObserver_(atUs, text);
}

}  // namespace ptk::sim
