#pragma once

#include <optional>
#include <ostream>

#include "link/exchange_result.h"
#include "link/packet_result.h"

namespace ptk {

// How a failed comparison prints a result.
inline void PrintTo(const ExchangeResult& result, std::ostream* out) {
    static constexpr const char* kNames[] = {"Failed",        "Done",        "NoMoreData",
                                             "ChecksumWrong", "DeviceError", "UnknownCommand"};
    *out << kNames[static_cast<int>(result.outcome)];
    if (result.deviceCode != 0) *out << " 0x" << std::hex << int{result.deviceCode} << std::dec;
}
inline void PrintTo(DriverCode code, std::ostream* out) {
    *out << "DriverCode 0x" << std::hex << static_cast<int>(code) << std::dec;
}
inline void PrintTo(const PacketResult& result, std::ostream* out) {
    PrintTo(result.code, out);
    if (result.isDeviceError()) *out << " 0x" << std::hex << int{result.deviceCode} << std::dec;
}

namespace testing {

// The results the tests expect most often.
inline constexpr ExchangeResult kDone = ExchangeResult::done();
inline constexpr ExchangeResult kFailed{};
inline constexpr ExchangeResult kChecksumWrong{ExchangeOutcome::ChecksumWrong};
constexpr ExchangeResult refused(std::uint8_t code) {
    return ExchangeResult::deviceError(code);
}
// A failure the windows' variant tells with one message: the link failed, or the register
// refused (its own message).
constexpr bool failedOrRefused(const ExchangeResult& result) {
    return result.outcome == ExchangeOutcome::Failed ||
           result.outcome == ExchangeOutcome::DeviceError;
}
constexpr bool failedOrRefused(const std::optional<ExchangeResult>& result) {
    return result && failedOrRefused(*result);
}
constexpr bool unknownCommand(const ExchangeResult& result) {
    return result.outcome == ExchangeOutcome::UnknownCommand;
}

}  // namespace testing
}  // namespace ptk
