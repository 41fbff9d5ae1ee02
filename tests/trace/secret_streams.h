#pragma once

// Streams of bytes on the line as either program meets them, for the trace's secrets: frames cut
// short and sent again, junk, answers early or late, the two directions interleaved anywhere,
// read and written in pieces of any size. Everything but the secrets is drawn from structure, so
// two runs that differ only in the secrets' seed must give the same trace. Used by the property
// test and by the fuzz target.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "link/frame.h"
#include "support/scratch_directory.h"
#include "trace/exchange_trace.h"
#include "trace_text.h"

namespace ptk::testing {

using Bytes = std::vector<std::uint8_t>;
// The next number of the stream's structure.
using Structure = std::function<std::uint32_t()>;

inline Bytes concat(Bytes head, const Bytes& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

inline const Bytes kPasswordField = {0x03, 0x00, 0x1E, 0x01};
inline const Bytes kRnmAndInn = {0x00, 0x00, 0x12, 0x34, 0x56, 0x00, 0x07, 0x70, 0x12, 0x34, 0x56};

// One call on the trace.
struct Step {
    enum What { Sent, Received, WriteFailed, Silence, Discarded } what;
    Bytes bytes;
};

// The line bytes of a frame in units: STX, each message byte (a stuffed one with its DLE), ETX,
// the checksum. A cut or a split falls between units, so it falls alike whatever the secrets.
inline std::vector<Bytes> frameUnits(const Bytes& message) {
    std::vector<Bytes> units{{control::STX}};
    std::uint8_t checksum = control::ETX;
    for (std::uint8_t byte : message) {
        if (byte == control::DLE || byte == control::ETX) {
            units.push_back({control::DLE, byte});
            checksum ^= control::DLE;
        } else {
            units.push_back({byte});
        }
        checksum ^= byte;
    }
    units.push_back({control::ETX});
    units.push_back({checksum});
    return units;
}

// Secret bytes: packed digits, the control bytes among them often.
struct Secrets {
    std::mt19937 random;
    Bytes next(std::size_t count) {
        static constexpr std::uint8_t kOften[] = {0x02, 0x03, 0x10, 0x04, 0x05, 0x06, 0x15, 0x46};
        Bytes bytes(count);
        for (std::uint8_t& byte : bytes) {
            byte = random() % 2 ? kOften[random() % 8]
                                : static_cast<std::uint8_t>((random() % 10) << 4 | random() % 10);
        }
        return bytes;
    }
};

inline Bytes publicBytes(Structure& structure, std::size_t count) {
    static constexpr std::uint8_t kOften[] = {0x02, 0x03, 0x10, 0x05, 0x06, 0x15, 0x46, 0x56};
    Bytes bytes(count);
    for (std::uint8_t& byte : bytes) {
        byte = structure() % 2 ? kOften[structure() % 8] : static_cast<std::uint8_t>(structure());
    }
    return bytes;
}

// A message of either kind, now and then one that carries a password.
inline Bytes message(bool command, Structure& structure, Secrets& secrets) {
    const Bytes password = secrets.next(4);
    if (command) {
        switch (structure() % 6) {
            case 0:
                return concat(
                    {0x73, 0x01, structure() % 2 ? std::uint8_t{0x56} : std::uint8_t{0x28}, 0x04},
                    password);
            case 1:
                return concat(concat({0x73, 0x01, 0x62}, kRnmAndInn), password);
            case 2:
                return concat(concat({0x73, 0x01, 0x50}, kPasswordField), password);
            case 3:
                return concat({0x73, 0x01, 0x46}, kPasswordField);
            default:
                return publicBytes(structure, 1 + structure() % 12);
        }
    }
    switch (structure() % 4) {
        case 0:
            return concat({structure() % 2 ? std::uint8_t{0x46} : std::uint8_t{0x18}, 0x00},
                          password);
        default:
            return publicBytes(structure, 1 + structure() % 12);
    }
}

// One direction's part of a stream, in units; an empty unit stands for a failed write.
inline std::vector<Bytes> directionUnits(bool command, bool writtenByProgram, Structure& structure,
                                         Secrets& secrets) {
    std::vector<Bytes> units;
    const auto add = [&units](const std::vector<Bytes>& more) {
        units.insert(units.end(), more.begin(), more.end());
    };
    const int pieces = 1 + static_cast<int>(structure() % 6);
    for (int piece = 0; piece < pieces; ++piece) {
        const std::vector<Bytes> frame = frameUnits(message(command, structure, secrets));
        switch (structure() % 5) {
            case 0: {  // cut short anywhere, even before its checksum, then sent again whole
                const std::size_t cut = 1 + structure() % (frame.size() - 1);
                add(std::vector<Bytes>(frame.begin(), frame.begin() + static_cast<long>(cut)));
                if (writtenByProgram) units.push_back({});
                add(frame);
                break;
            }
            case 1:  // junk
                for (std::uint8_t byte : publicBytes(structure, 1 + structure() % 6)) {
                    units.push_back({byte});
                }
                break;
            case 2:
                units.push_back({static_cast<std::uint8_t>(structure() % 2 ? 0x04 : 0x06)});
                break;
            default:
                add(frame);
        }
    }
    return units;
}

inline std::vector<Step> randomStream(trace::Role role, Structure& structure, unsigned secretSeed) {
    Secrets secrets{std::mt19937(secretSeed)};
    const bool computer = role == trace::Role::Computer;
    const std::vector<Bytes> commands = directionUnits(true, computer, structure, secrets);
    const std::vector<Bytes> answers = directionUnits(false, !computer, structure, secrets);
    // Interleaved unit by unit: answers may come early, late, or inside a command frame.
    std::vector<Step> steps;
    std::size_t c = 0, a = 0;
    while (c < commands.size() || a < answers.size()) {
        const bool command = a == answers.size() || (c < commands.size() && structure() % 2);
        const Bytes& unit = command ? commands[c++] : answers[a++];
        const bool sent = command == computer;
        if (unit.empty()) {
            steps.push_back({Step::WriteFailed, {}});
            continue;
        }
        const Step::What what = sent ? Step::Sent : Step::Received;
        if (steps.empty() || steps.back().what != what || structure() % 3 == 0) {
            steps.push_back({what, {}});
        }
        steps.back().bytes.insert(steps.back().bytes.end(), unit.begin(), unit.end());
        if (structure() % 40 == 0)
            steps.push_back({structure() % 2 ? Step::Silence : Step::Discarded, {}});
    }
    return steps;
}

inline std::vector<std::string> tracedLines(trace::Role role, const std::vector<Step>& steps) {
    // A file of its own each time: a trace file may not be removable at once (Windows).
    static const ScratchDirectory directory;
    static unsigned traces = 0;
    const std::string name = "trace" + std::to_string(++traces);
    const std::string path = (directory.path() / name).string();
    std::uint64_t nowUs = 0;
    {
        std::string error;
        auto trace = trace::ExchangeTrace::open(
            path, role, "test", [&] { return nowUs += 10; }, error);
        if (!trace) return {error};
        for (const Step& step : steps) {
            switch (step.what) {
                case Step::Sent:
                    trace->sent(step.bytes.data(), step.bytes.size());
                    break;
                case Step::Received:
                    trace->received(step.bytes.data(), step.bytes.size());
                    break;
                case Step::WriteFailed:
                    trace->writeFailed();
                    break;
                case Step::Silence:
                    trace->silence();
                    break;
                case Step::Discarded:
                    trace->inputDiscarded();
                    break;
            }
        }
    }
    std::vector<std::string> lines = traceLines(directory.read(name));
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    return lines;
}

}  // namespace ptk::testing
