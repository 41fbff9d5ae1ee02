#include "device/clock_commands.h"

#include "link/bcd.h"
#include "link/session.h"

namespace ptk {
namespace {

std::array<std::uint8_t, 3> packTriple(int first, int second, int third) {
    std::array<std::uint8_t, 3> data{};
    packDecimal(static_cast<std::uint64_t>(first % 100), &data[0], 1);
    packDecimal(static_cast<std::uint64_t>(second % 100), &data[1], 1);
    packDecimal(static_cast<std::uint64_t>(third % 100), &data[2], 1);
    return data;
}

ExchangeResult sendClockCommand(Session& session, std::uint8_t code,
                                const std::array<std::uint8_t, 3>& data) {
    auto message = session.message(code);
    message.bytes(data.data(), data.size());
    return session.exchange.SendFormCommand(commandCall(message, 6, ShortAnswer::Refused));
}

}  // namespace

std::array<std::uint8_t, 3> buildDateData(const DeviceDate& date) {
    return packTriple(date.day, date.month, date.year);
}

std::array<std::uint8_t, 3> buildTimeData(const DeviceTime& time) {
    return packTriple(time.hours, time.minutes, time.seconds);
}

ExchangeResult SetDeviceDate(Session& session, const DeviceDate& date) {
    return sendClockCommand(session, kSetDateCode, buildDateData(date));
}

ExchangeResult SetDeviceTime(Session& session, const DeviceTime& time) {
    return sendClockCommand(session, kSetTimeCode, buildTimeData(time));
}

ClockSetting SetDeviceClock(Session& session, const DeviceDate& date, const DeviceTime& time) {
    ClockSetting setting;
    setting.date = SetDeviceDate(session, date);
    if (setting.date.succeeded() || setting.date.outcome == ExchangeOutcome::ChecksumWrong) {
        setting.time = SetDeviceTime(session, time);
    }
    return setting;
}

void tellDateAgain(FrontEnd& frontEnd) {
    frontEnd.showMessage(MessageIcon::Warning, kWarningCaption, kDateAgainWarning);
}

}  // namespace ptk
