#include "sim/sim_log.h"

namespace ptk::sim {

namespace {

constexpr std::size_t kMostBytesShown = 64;

std::string hexByte(std::uint8_t byte) {
    char text[8];
    std::snprintf(text, sizeof text, "%02X", byte);
    return text;
}

std::string hexBytes(const std::vector<std::uint8_t>& bytes) {
    std::string text;
    for (std::size_t i = 0; i < bytes.size() && i < kMostBytesShown; ++i) {
        if (i > 0) text += ' ';
        text += hexByte(bytes[i]);
    }
    if (bytes.size() > kMostBytesShown) text += " ...";
    return text;
}

// Byte 1 of an answer is its error code, except in the short status (the mode byte) and in a
// good state answer (type 'D', byte 1 the cashier).
bool carriesErrorCode(const CommandRecord& record) {
    if (record.answer.size() < 2) return false;
    if (record.answer[0] == 0x44 && record.code == 0x3F) return false;
    return !(record.code == 0x45 && record.answer[0] == 0x45 && record.answer.size() > 3);
}

}  // namespace

std::string SimLog::describe(const CommandRecord& record) {
    std::string text = "0x" + hexByte(record.receivedCode);
    if (record.receivedCode != record.code) text += " (read as 0x" + hexByte(record.code) + ")";
    text += " ";
    text += record.name.empty() ? std::string_view("unknown command") : record.name;
    text += ": " + hexBytes(record.message) + " -> " + hexBytes(record.answer);
    if (carriesErrorCode(record) && record.answer[1] != 0) {
        text += " [error 0x" + hexByte(record.answer[1]) + "]";
    }
    text += " (" + std::to_string(record.durationUs / 1000) + " ms)";
    return text;
}

void SimLog::command(const CommandRecord& record) {
    write(record.atUs, "command", describe(record));
}

void SimLog::tape(const std::string& line) {
    write(nowUs_(), "tape", line);
}

void SimLog::lineEvent(std::uint64_t atUs, std::string_view text) {
    write(atUs, "line", text);
}

void SimLog::info(std::string_view text) {
    write(nowUs_(), "ptk-sim", text);
}

void SimLog::write(std::uint64_t atUs, std::string_view kind, std::string_view text) {
    std::fprintf(out_, "[%6llu.%03llu] %-7.*s| %.*s\n",
                 static_cast<unsigned long long>(atUs / 1'000'000),
                 static_cast<unsigned long long>(atUs / 1000 % 1000), static_cast<int>(kind.size()),
                 kind.data(), static_cast<int>(text.size()), text.data());
    std::fflush(out_);
}

}  // namespace ptk::sim
