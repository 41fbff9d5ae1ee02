#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "sim/frame_receiver.h"
#include "sim/register_engine.h"

namespace ptk::sim::testing {

using Bytes = std::vector<std::uint8_t>;

// Feeds the engine directly, byte by byte as a computer would, and collects what it sends.
struct EngineProbe {
    RegisterEngine engine;

    std::vector<TimedByte> feed(std::uint64_t atUs, const Bytes& bytes) {
        engine.receive(bytes.data(), bytes.size(), atUs);
        return engine.takeOutput();
    }
    // A frame with the register's link password, the code and the data.
    static Bytes commandFrame(std::uint8_t code, std::initializer_list<std::uint8_t> data = {}) {
        Bytes message{0x73, 0x01, code};
        message.insert(message.end(), data.begin(), data.end());
        return buildFrame(message);
    }
    static Bytes values(const std::vector<TimedByte>& bytes) {
        Bytes plain;
        for (const TimedByte& byte : bytes) plain.push_back(byte.value);
        return plain;
    }

    // Runs ENQ, frame and EOT at atUs and returns the time the register's ENQ goes out.
    std::uint64_t handOver(std::uint64_t atUs, const Bytes& frame) {
        feed(atUs, {control::ENQ});
        feed(atUs + 10'000, frame);
        const auto enq = feed(atUs + 20'000, {control::EOT});
        return enq.empty() ? 0 : enq.front().atUs;
    }

    // A whole exchange; returns the answer message the register sent (un-stuffed).
    Bytes exchange(std::uint64_t atUs, const Bytes& frame) {
        const std::uint64_t enqAt = handOver(atUs, frame);
        const auto sent = feed(enqAt + 1'000, {control::ACK});
        Bytes answerFrame = values(sent);
        feed(sent.back().atUs + 1'000, {control::ACK});
        return unstuff(answerFrame);
    }

    // The message between STX and the closing ETX, escapes removed (written apart from the
    // engine's own receiver on purpose).
    static Bytes unstuff(const Bytes& frame) {
        Bytes message;
        for (std::size_t i = 1; i + 1 < frame.size(); ++i) {
            if (frame[i] == control::DLE) {
                message.push_back(frame[++i]);
            } else if (frame[i] == control::ETX) {
                break;
            } else {
                message.push_back(frame[i]);
            }
        }
        return message;
    }
};

}  // namespace ptk::sim::testing
