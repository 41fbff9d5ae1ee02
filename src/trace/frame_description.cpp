#include "trace/frame_description.h"

#include <string_view>

#include "link/error_text.h"
#include "trace/command_names.h"

namespace ptk::trace {
namespace {

constexpr std::uint8_t kState = 0x3F;
constexpr std::uint8_t kStateAnswerType = 0x44;  // 'D': a good state answer
constexpr std::uint8_t kShortStatus = 0x45;
constexpr std::uint8_t kErrorInByte0 = 0xA5;

void bytes(LineBuffer& line, const Frame& frame, std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to && i < frame.length; ++i) {
        if (i > from) line.character(' ');
        if (frame.secret[i]) {
            line.text("**");
        } else {
            line.hexByte(frame.message[i]);
        }
    }
}

void named(LineBuffer& line, std::uint8_t code) {
    line.code(code);
    const std::string_view name = commandName(code);
    if (!name.empty()) line.character(' ').text(name);
}

// Whether the message opens with the code in hexadecimal, as every defined code's does ("9C -
// ...", "Be - ..."); an unknown code's message does not.
bool beginsWithCode(std::string_view message, std::uint8_t code) {
    constexpr std::string_view kDigits = "0123456789ABCDEF";
    const auto upper = [](char c) {
        return c >= 'a' && c <= 'f' ? static_cast<char>(c - 'a' + 'A') : c;
    };
    return message.size() >= 2 && upper(message[0]) == kDigits[code >> 4] &&
           upper(message[1]) == kDigits[code & 0x0F];
}

void deviceError(LineBuffer& line, std::uint8_t code) {
    const std::string_view message = deviceErrorMessage(code);
    line.text("error ");
    if (!beginsWithCode(message, code)) line.hexByte(code).text(" - ");
    line.text(message);
}

// The checksum of a frame with secrets is theirs too: whether it matched would tell something of
// them, so it is not told.
void checksumVerdict(LineBuffer& line, const Frame& frame) {
    if (!frame.checksumRight && !frame.carriesSecret) line.text(", checksum wrong");
}

struct NumberedResult {
    int number;
    std::string_view text;
};

NumberedResult numbered(ExchangeResult result, ExchangeRules rules) {
    switch (result.outcome) {
        case ExchangeOutcome::Failed:
            break;
        case ExchangeOutcome::Done:
            return {1, "done"};
        case ExchangeOutcome::NoMoreData:
            return {2, "no more data"};
        case ExchangeOutcome::ChecksumWrong:
            return {3, "checksum wrong"};
        case ExchangeOutcome::DeviceError:
            if (rules == ExchangeRules::General) return {4, "device error"};
            break;
        case ExchangeOutcome::UnknownCommand:
            return {22, "command unknown to the register"};
    }
    return {0, "failed"};
}

void driverResult(LineBuffer& line, PacketResult result) {
    if (result.succeeded()) {
        line.text("0 (done)");
        return;
    }
    if (result.isDeviceError()) {
        line.text("device ");
        deviceError(line, result.deviceCode);
        return;
    }
    line.hex(static_cast<std::uint32_t>(result.code))
        .text(" (")
        .text(driverResultMessage(result.code))
        .character(')');
}

}  // namespace

void describeCommand(LineBuffer& line, const Frame& frame, bool codesShifted) {
    if (frame.length < 3) {
        line.text("frame without a command code: ");
        bytes(line, frame, 0, frame.length);
        checksumVerdict(line, frame);
        return;
    }
    const std::uint8_t sent = frame.message[2];
    const std::uint8_t read = codeAsRead(sent, codesShifted);
    const bool known = !commandName(read).empty();
    line.text("command ");
    if (read != sent) {
        line.code(sent).text(" (read as ");
        named(line, read);
        line.text(known ? ")" : ", unknown)");
    } else {
        named(line, sent);
        if (!known) line.text(" (unknown)");
    }
    line.text(", link password ");
    bytes(line, frame, 0, 2);
    if (frame.length == 3) {
        line.text(", no data");
    } else {
        line.text(", data ");
        bytes(line, frame, 3, frame.length);
    }
    checksumVerdict(line, frame);
}

void describeAnswer(LineBuffer& line, const Frame& frame, int commandCode) {
    if (commandCode >= 0) {
        line.text("answer to ");
        named(line, static_cast<std::uint8_t>(commandCode));
    } else {
        line.text("answer");
    }
    if (frame.length == 0) {
        line.text(": empty");
        checksumVerdict(line, frame);
        return;
    }
    line.text(": ");
    bytes(line, frame, 0, frame.length);
    const std::uint8_t* message = frame.message.data();
    if (commandCode == kShortStatus && frame.length >= 2) {
        // The short status has no error code: byte 1 is the register's mode byte.
        line.text(", mode byte ").code(message[1]);
    } else if (commandCode == kState && message[0] == kStateAnswerType) {
        line.text(", state answer, ");
        deviceError(line, 0);
    } else if (commandCode == kErrorInByte0) {
        line.text(", ");
        deviceError(line, message[0]);
    } else if (frame.length >= 2 && !frame.secret[1]) {
        line.text(", ");
        deviceError(line, message[1]);
    }
    checksumVerdict(line, frame);
}

void describeBrokenFrame(LineBuffer& line, std::size_t messageBytes) {
    line.text("frame broken off after ").number(messageBytes).text(" bytes of its message");
}

void describePauses(LineBuffer& line, int pauses) {
    if (pauses > 0)
        line.text(", read in ").number(static_cast<std::uint64_t>(pauses) + 1).text(" parts");
}

void describeExchangeResult(LineBuffer& line, std::uint8_t code, ExchangeResult result,
                            ExchangeRules rules) {
    const NumberedResult shown = numbered(result, rules);
    line.text("end of ");
    named(line, code);
    line.text(": result ").number(static_cast<std::uint64_t>(shown.number));
    line.text(" (").text(shown.text).character(')');
}

void describePacketResult(LineBuffer& line, std::uint8_t code, PacketResult result) {
    line.text("end of ");
    named(line, code);
    line.text(" (packet driver): result ");
    driverResult(line, result);
}

}  // namespace ptk::trace
