#include "fiscal_memory/header_lines.h"

#include <algorithm>

#include "fiscal_memory/header_markup.h"
#include "link/packet_command.h"
#include "platform/codepage.h"

namespace ptk {

using namespace packet_result;

namespace {

constexpr std::size_t kAddressSize = 4;  // table, row (two bytes, high first), field

using LineBytes = std::array<std::uint8_t, kHeaderLineLimit>;

// The data of a table-field command for line: the field's address, then the field's bytes.
struct HeaderFieldData {
    std::array<std::uint8_t, kAddressSize + kHeaderLineLimit> bytes{};
    std::size_t size = 0;
};

// The field's address alone: what a read sends.
HeaderFieldData fieldAddress(int line) {
    HeaderFieldData data;
    data.bytes[0] = kHeaderTable;
    data.bytes[1] = 0x00;
    data.bytes[2] = static_cast<std::uint8_t>(1 + line);
    data.bytes[3] = kHeaderField;
    data.size = kAddressSize;
    return data;
}

// The address and the field's new bytes: what a write sends. An empty field still travels with
// one byte, 0x00.
HeaderFieldData fieldWithValue(int line, const std::uint8_t* value, std::size_t count) {
    HeaderFieldData data = fieldAddress(line);
    if (count == 0) {
        data.bytes[data.size++] = 0x00;
        return data;
    }
    count = std::min(count, kHeaderLineLimit);
    std::copy_n(value, count, data.bytes.begin() + kAddressSize);
    data.size += count;
    return data;
}

bool validLine(int line) {
    return line >= 0 && line < kHeaderLineCount;
}

// The reason a fault gives, or the packet's, in the inspector's words.
std::string_view faultReason(HeaderTextFault fault) {
    switch (fault) {
        case HeaderTextFault::ControlCharacter:
            return "перевод строки, табуляция или нулевой байт в тексте недопустимы";
        case HeaderTextFault::BadMarkup:
            return "ошибка в разметке (\\ или ~ в конце строки, {IMG номер:смещение} без номера "
                   "или без закрывающей скобки)";
        case HeaderTextFault::TooManyBytes:
            return "она длиннее 90 байт";
        case HeaderTextFault::TooLongToReadBack:
            return "прочитанная обратно, она заняла бы больше 90 знаков";
        case HeaderTextFault::None:
            break;
    }
    return "вместе с адресом поля она не помещается в пакет обмена (90 байт)";
}

// Encodes line's text into bytes (room for a whole line) and checks that its write command fits
// a packet. A driver result; fault, when given, tells why the text did not encode (None when it
// did and only the packet is too small).
PacketResult encodeLine(const Session& session, int line, const std::string& text,
                        std::uint8_t* bytes, std::size_t& count, HeaderTextFault* fault = nullptr) {
    const std::string oem = platform::utf8ToCp866(text);
    count = kHeaderLineLimit;
    const HeaderTextFault encoded = EncodeHeaderText(oem, bytes, &count);
    if (fault) *fault = encoded;
    if (encoded != HeaderTextFault::None) return HeaderTextResult(encoded);
    const HeaderFieldData data = fieldWithValue(line, bytes, count);
    const std::string_view password(session.LinkPassword.data(),
                                    std::min<std::size_t>(session.LinkPassword.size(), 4));
    return PacketExchange::checkMessageFits(password, kWriteTableFieldCode, data.bytes.data(),
                                            data.size);
}

}  // namespace

PacketResult ReadHeaderLine(Session& session, int line, std::uint8_t* bytes, std::size_t* length) {
    if (!validLine(line)) return BadParameter;
    const HeaderFieldData data = fieldAddress(line);
    // Type byte and error code before the line.
    std::array<std::uint8_t, kHeaderLineLimit + 2> answer{};
    std::size_t answerLength = answer.size();
    const PacketResult result = PacketCommand(session, kReadTableFieldCode, data.bytes.data(),
                                              data.size, answer.data(), &answerLength);
    if (result != Done) return result;
    const std::size_t count = answerLength - 2;
    if (count > *length) return BufferTooSmall;
    std::copy_n(answer.begin() + 2, count, bytes);
    *length = count;
    return Done;
}

PacketResult WriteHeaderLine(Session& session, int line, const std::uint8_t* bytes,
                             std::size_t count) {
    if (!validLine(line)) return BadParameter;
    if (count > kHeaderLineLimit) return BufferTooSmall;
    const HeaderFieldData data = fieldWithValue(line, bytes, count);
    std::array<std::uint8_t, kHeaderLineLimit> answer{};
    std::size_t answerLength = answer.size();
    return PacketCommand(session, kWriteTableFieldCode, data.bytes.data(), data.size, answer.data(),
                         &answerLength);
}

PacketResult ReadHeaderLines(Session& session, HeaderLineTexts& texts) {
    for (int line = 0; line < kHeaderLineCount; ++line) {
        LineBytes bytes{};
        std::size_t count = bytes.size();
        if (const PacketResult r = ReadHeaderLine(session, line, bytes.data(), &count); r != Done) {
            return r;
        }
        std::array<char, kHeaderLineLimit> text{};
        std::size_t length = text.size();
        if (const PacketResult r = HeaderDeviceToText(bytes.data(), count, text.data(), &length);
            r != Done) {
            return r;
        }
        texts[static_cast<std::size_t>(line)] =
            platform::cp866ToUtf8(std::string_view(text.data(), length));
    }
    return Done;
}

PacketResult WriteHeaderLines(Session& session, const HeaderLineTexts& texts) {
    // Every line is encoded, and its message checked against the packet's limit, before the
    // first goes out: a fault in line 3 must not leave the register with new lines 1 and 2.
    std::array<LineBytes, kHeaderLineCount> encoded{};
    std::array<std::size_t, kHeaderLineCount> counts{};
    for (int line = 0; line < kHeaderLineCount; ++line) {
        const auto index = static_cast<std::size_t>(line);
        if (const PacketResult r =
                encodeLine(session, line, texts[index], encoded[index].data(), counts[index]);
            r != Done) {
            return r;
        }
    }
    for (int line = 0; line < kHeaderLineCount; ++line) {
        const auto index = static_cast<std::size_t>(line);
        if (const PacketResult r =
                WriteHeaderLine(session, line, encoded[index].data(), counts[index]);
            r != Done) {
            return r;
        }
    }
    return Done;
}

UnwritableHeaderLine FindUnwritableHeaderLine(const Session& session,
                                              const HeaderLineTexts& texts) {
    for (int line = 0; line < kHeaderLineCount; ++line) {
        LineBytes bytes{};
        std::size_t count = 0;
        HeaderTextFault fault = HeaderTextFault::None;
        if (encodeLine(session, line, texts[static_cast<std::size_t>(line)], bytes.data(), count,
                       &fault) == Done) {
            continue;
        }
        return {line, std::string(faultReason(fault))};
    }
    return {};
}

bool CheckHeaderLinesWritable(Session& session, const HeaderLineTexts& texts, OwnerHandle owner) {
    const UnwritableHeaderLine found = FindUnwritableHeaderLine(session, texts);
    if (found.line < 0) return true;
    session.frontEnd.showMessage(MessageIcon::Error, kErrorCaption,
                                 "Строка " + std::to_string(found.line + 1) +
                                     " наименования не может быть записана в ПТК: " + found.reason +
                                     ".",
                                 owner);
    return false;
}

void WarnOfUnwritableHeaderLines(Session& session, const HeaderLineTexts& texts,
                                 OwnerHandle owner) {
    const UnwritableHeaderLine found = FindUnwritableHeaderLine(session, texts);
    if (found.line < 0) return;
    session.frontEnd.showMessage(MessageIcon::Warning, kWarningCaption,
                                 "Строка " + std::to_string(found.line + 1) +
                                     " наименования, прочитанная из ПТК, не может быть записана "
                                     "обратно: " +
                                     found.reason + ". Исправьте её перед регистрацией.",
                                 owner);
}

}  // namespace ptk
