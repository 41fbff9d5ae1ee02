#include "sim/header_print.h"

#include "platform/codepage.h"

namespace ptk::sim {

namespace {

constexpr char kPrefix = 0x09;
constexpr char kPicture = 0x0A;
constexpr std::size_t kPictureSize = 4;

}  // namespace

std::string headerTapeLine(std::string_view bytes) {
    std::string text;
    std::string picture;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char byte = bytes[i];
        if (byte == '\0') break;
        if (byte == kPrefix) continue;
        if (byte == kPicture) {
            if (bytes.size() - i >= kPictureSize) {
                const auto number = static_cast<unsigned char>(bytes[i + 1]);
                const unsigned offset = static_cast<unsigned char>(bytes[i + 2]) * 256u +
                                        static_cast<unsigned char>(bytes[i + 3]);
                picture = "[картинка " + std::to_string(number) + ", смещение " +
                          std::to_string(offset) + "]";
            }
            break;
        }
        text += byte;
    }
    return platform::cp866ToUtf8(text) + picture;
}

void printHeaderLines(RegisterState& state) {
    for (const std::string& line : state.tables.headerLines) {
        const std::string printed = headerTapeLine(line);
        if (!printed.empty()) state.tape.print(printed);
    }
}

}  // namespace ptk::sim
