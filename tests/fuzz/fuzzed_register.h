#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "link/command_exchange.h"
#include "link/session.h"
#include "platform/memory_line.h"
#include "support/recording_front_end.h"

namespace ptk::fuzz {

// The register's side of the line played from the fuzzer's bytes, in virtual time: every write of
// the program is answered by the next piece of the input, after a delay the input chooses: a
// control byte, a whole frame (its checksum right or spoiled), loose bytes, silence, or the line
// pulled out. Loose bytes never hold an STX, so every frame the program can take began with one
// of the whole frames, which goodFrames keeps.
class FuzzedRegister final : public platform::LinePeer {
public:
    FuzzedRegister(FuzzedDataProvider& input, platform::MemoryLine& line)
        : input_(input), line_(line) {
        line.attach(this);
    }
    ~FuzzedRegister() override { line_.attach(nullptr); }

    void onReceived(const std::uint8_t*, std::size_t, std::uint64_t nowUs) override {
        if (input_.remaining_bytes() == 0) return;
        const auto choice = input_.ConsumeIntegral<std::uint8_t>();
        // Up to 12 s: past every wait but the long reports'. Pieces never overlap on the line.
        const std::uint64_t atUs =
            std::max<std::uint64_t>(nowUs + (choice >> 3) * 400'000ULL, lineFreeUs_);
        switch (choice & 7) {
            case 0: {
                static constexpr std::uint8_t kControl[] = {control::ACK, control::NAK,
                                                            control::ENQ, control::EOT};
                const std::uint8_t byte = kControl[input_.ConsumeIntegral<std::uint8_t>() % 4];
                send(atUs, &byte, 1, 0);
                break;
            }
            case 1:
            case 2: {
                const auto message = input_.ConsumeBytes<std::uint8_t>(
                    input_.ConsumeIntegralInRange<std::size_t>(0, 100));
                std::vector<std::uint8_t> frame(kBufferSize * 2);
                frame.resize(
                    buildFrame(message.data(), message.size(), frame.data(), frame.size()));
                if (frame.empty()) break;
                if (choice & 1) goodFrames.push_back(message);
                if (!(choice & 1)) frame.back() ^= 0x5A;
                send(atUs, frame.data(), frame.size(), choice & 0x80 ? 3000 : 87);
                break;
            }
            case 3: {
                auto bytes = input_.ConsumeBytes<std::uint8_t>(
                    input_.ConsumeIntegralInRange<std::size_t>(0, 16));
                for (std::uint8_t& byte : bytes) byte = byte == control::STX ? 0x00 : byte;
                send(atUs, bytes.data(), bytes.size(), 87);
                break;
            }
            case 4:
                if (choice & 0x40) line_.hangUp();
                break;
            default:
                break;  // silence
        }
    }

    // The messages of the frames sent with a right checksum.
    std::vector<std::vector<std::uint8_t>> goodFrames;

private:
    void send(std::uint64_t atUs, const std::uint8_t* bytes, std::size_t count,
              std::uint64_t gapUs) {
        line_.send(atUs, bytes, count, gapUs);
        lineFreeUs_ = atUs + count * gapUs + 1;
    }

    FuzzedDataProvider& input_;
    platform::MemoryLine& line_;
    std::uint64_t lineFreeUs_ = 0;
};

// A session on an in-memory line in virtual time, COM9 open at 115200 baud.
struct FuzzedLine {
    explicit FuzzedLine(FuzzedDataProvider& input) : peer(input, line) {
        session.channel.OpenPort(kPort);
        session.channel.ConfigurePort(kPort, 4);
    }
    static constexpr int kPort = 8;
    platform::VirtualClock clock;
    platform::MemoryLine line{clock};
    FuzzedRegister peer;
    testing::RecordingFrontEnd frontEnd;
    platform::MemoryLineOpener opener{line, kPort};
    Session session{frontEnd, clock, opener};
};

// Stops the run, and the fuzzer keeps the input, when a property does not hold.
#define FUZZ_CHECK(condition)                                                                     \
    do {                                                                                          \
        if (!(condition)) {                                                                       \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                         \
        }                                                                                         \
    } while (false)

// Whether the answer in AnswerCopy (STX, message, ETX, checksum, un-stuffed) is one of the frames
// the register sent whole.
inline bool isGoodFrame(const std::vector<std::vector<std::uint8_t>>& good,
                        const std::uint8_t* message, std::size_t length) {
    for (const auto& frame : good) {
        if (frame.size() == length && std::equal(frame.begin(), frame.end(), message)) return true;
    }
    return false;
}

}  // namespace ptk::fuzz
