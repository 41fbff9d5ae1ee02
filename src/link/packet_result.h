#pragma once

#include <cstdint>

namespace ptk {

// The packet driver's own result codes and those of the calls made through it; their texts are in
// DriverResultTable. DeviceError stands for a code of the register's own, carried beside it.
enum class DriverCode : std::int32_t {
    DeviceError = -1,
    Done = 0,
    OutOfMemory = 0x0E,
    CannotOpenFile = 0x11,
    FileWriteFailed = 0x12,
    FileReadFailed = 0x13,
    LibraryNotFound = 0x21,
    NotImplemented = 0x24,
    InterfaceFailed = 0x28,
    BadParameter = 0xA0,
    BadDate = 0xA1,
    PortUnavailable = 0xC1,
    PortError = 0xC2,
    NoLink = 0xC4,
    NoAnswer = 0xC5,
    NotAcknowledged = 0xC6,
    MessageTooLong = 0xCA,
    AnswerTooLong = 0xCB,
    ChecksumMismatch = 0xCC,
    PrinterFault = 0xD1,
    NoPaper = 0xD2,
    FiscalMemoryFault = 0xDA,
    EklzFault = 0xDB,
    NoDataToSend = 0xDF,
    BufferTooSmall = 0x101,
    NotFound = 0x194,
    Unknown = 0xFFFF,
    ConfirmationNeeded = 0x1001,
    ShiftTooLong = 0x1002,
    WrongPassword = 0x1003,
    NotInThisMode = 0x1004,
    Stopped = 0x1005,
};

// The result of a packet transaction: a driver code, or DeviceError with the register's code. A
// plain value without text.
struct PacketResult {
    DriverCode code = DriverCode::Done;
    std::uint8_t deviceCode = 0;  // with DriverCode::DeviceError only

    static constexpr PacketResult device(std::uint8_t registerCode) {
        return {DriverCode::DeviceError, registerCode};
    }
    constexpr bool succeeded() const { return code == DriverCode::Done; }
    constexpr bool isDeviceError() const { return code == DriverCode::DeviceError; }
    bool operator==(const PacketResult&) const = default;
};

}  // namespace ptk
