#include "pty_register.h"

#include <poll.h>
#include <unistd.h>

#include "link/command_exchange.h"

namespace ptk::bench {

using namespace control;

PtyRegister::PtyRegister(const std::string& linkName, std::vector<std::uint8_t> answer) {
    answerFrame_.resize(kBufferSize);
    answerFrame_.resize(
        buildFrame(answer.data(), answer.size(), answerFrame_.data(), answerFrame_.size()));
    linked_ = terminal_.isOpen() && terminal_.linkAs(linkName);
    if (ready()) thread_ = std::thread([this] { serve(); });
}

PtyRegister::~PtyRegister() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
}

std::size_t PtyRegister::wireBytesPerExchange() const {
    // ENQ ACK, a frame of 6 bytes and its ACK, EOT, ENQ ACK, the answer and its ACK, EOT.
    return 2 + 6 + 1 + 1 + 2 + answerFrame_.size() + 1 + 1;
}

void PtyRegister::serve() {
    enum class State { Idle, InFrame, AwaitAck, AwaitReply } state = State::Idle;
    bool escaped = false;
    bool checksumNext = false;
    const int fd = terminal_.masterFd();
    const auto reply = [fd](const std::uint8_t* bytes, std::size_t count) {
        while (count > 0) {
            const ssize_t n = ::write(fd, bytes, count);
            if (n <= 0) return;
            bytes += n;
            count -= static_cast<std::size_t>(n);
        }
    };
    const auto replyByte = [&](std::uint8_t byte) { reply(&byte, 1); };
    std::uint8_t buffer[512];
    while (!stop_) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0) continue;
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        for (ssize_t i = 0; i < n; ++i) {
            const std::uint8_t byte = buffer[i];
            if (state == State::InFrame) {
                if (checksumNext) {
                    state = State::Idle;
                    replyByte(ACK);
                } else if (escaped) {
                    escaped = false;
                } else if (byte == DLE) {
                    escaped = true;
                } else if (byte == ETX) {
                    checksumNext = true;
                }
            } else if (state == State::AwaitAck && byte == ACK) {
                state = State::AwaitReply;
                reply(answerFrame_.data(), answerFrame_.size());
            } else if (state == State::AwaitReply && byte == ACK) {
                state = State::Idle;
                replyByte(EOT);
            } else if (byte == ENQ) {
                state = State::Idle;
                replyByte(ACK);
            } else if (byte == STX) {
                state = State::InFrame;
                escaped = checksumNext = false;
            } else if (byte == EOT) {
                state = State::AwaitAck;
                replyByte(ENQ);
            }
        }
    }
}

}  // namespace ptk::bench
