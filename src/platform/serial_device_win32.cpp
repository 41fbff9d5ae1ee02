// The Win32 serial backend: a COM port opened for overlapped I/O, with one auto-reset event that
// every request of the port uses.
#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>
#include <memory>
#include <utility>

#include "platform/port_names.h"
#include "platform/serial_device.h"
#include "platform/system_error.h"

namespace ptk::platform {
namespace {

// Closes a kernel handle once; INVALID_HANDLE_VALUE and null both mean "nothing to close".
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE handle) : handle_(handle) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            reset();
            handle_ = std::exchange(other.handle_, nullptr);
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    bool valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }
    void reset() {
        if (valid()) CloseHandle(handle_);
        handle_ = nullptr;
    }

private:
    HANDLE handle_ = nullptr;
};

// Slack on top of the time the driver's own time-outs allow a request. The driver ends every
// request itself; this bound only keeps a driver that never completes one from hanging us.
constexpr DWORD kCompletionSlackMs = 1000;
// Bound for a request that the time-outs let wait without end (all zero, or only an interval
// time-out, which starts with the first byte). The link always sets time-outs that end every
// request, so this only guards a caller that did not.
constexpr DWORD kOpenEndedCapMs = 5000;

DWORD withSlack(ULONGLONG driverMs) {
    // Stays below INFINITE, which would turn the bound off.
    return static_cast<DWORD>(std::min<ULONGLONG>(driverMs, MAXDWORD - 1 - kCompletionSlackMs)) +
           kCompletionSlackMs;
}

// How long the driver may take over a read of count bytes, by the rules of COMMTIMEOUTS.
DWORD readBoundMs(const COMMTIMEOUTS& t, DWORD count) {
    if (t.ReadIntervalTimeout == MAXDWORD) {
        // Returns at once with what is there.
        if (t.ReadTotalTimeoutMultiplier == 0 && t.ReadTotalTimeoutConstant == 0) {
            return withSlack(0);
        }
        // Returns with the first byte, or after the constant.
        if (t.ReadTotalTimeoutMultiplier == MAXDWORD) return withSlack(t.ReadTotalTimeoutConstant);
    }
    const ULONGLONG total =
        ULONGLONG{t.ReadTotalTimeoutMultiplier} * count + t.ReadTotalTimeoutConstant;
    if (total == 0) return kOpenEndedCapMs;
    return withSlack(total);
}

DWORD writeBoundMs(const COMMTIMEOUTS& t, DWORD count) {
    const ULONGLONG total =
        ULONGLONG{t.WriteTotalTimeoutMultiplier} * count + t.WriteTotalTimeoutConstant;
    // Zero write time-outs let the driver take as long as the line needs; a 256-byte queue at
    // 9600 baud drains in well under a second, so a few seconds cover any honest write.
    if (total == 0) return kOpenEndedCapMs;
    return withSlack(total);
}

class Win32SerialDevice final : public SerialDevice {
public:
    Win32SerialDevice(UniqueHandle port, UniqueHandle event)
        : port_(std::move(port)), event_(std::move(event)) {
        // Start from what the driver holds, so that reads and writes are bounded sensibly even
        // before the caller sets time-outs of its own.
        if (!GetCommTimeouts(port_.get(), &timeouts_)) timeouts_ = COMMTIMEOUTS{};
    }

    ~Win32SerialDevice() override {
        // Nothing may still write into our OVERLAPPED records once they are gone.
        CancelIo(port_.get());
    }

    bool setupQueues(std::uint32_t inputBytes, std::uint32_t outputBytes) override {
        return SetupComm(port_.get(), inputBytes, outputBytes) != FALSE;
    }

    bool configureLine(std::uint32_t baudRate) override {
        DCB dcb{};
        dcb.DCBlength = sizeof(dcb);
        if (!GetCommState(port_.get(), &dcb)) return false;
        dcb.BaudRate = baudRate;
        dcb.ByteSize = 8;
        dcb.Parity = NOPARITY;
        dcb.StopBits = ONESTOPBIT;
        dcb.fBinary = 1;
        dcb.fParity = 0;
        dcb.fOutxCtsFlow = 0;
        dcb.fOutxDsrFlow = 0;
        dcb.fDsrSensitivity = 0;
        dcb.fTXContinueOnXoff = 0;
        dcb.fOutX = 0;
        dcb.fInX = 0;
        dcb.fErrorChar = 0;
        dcb.fNull = 0;
        dcb.fAbortOnError = 0;
        dcb.fDtrControl = DTR_CONTROL_DISABLE;
        dcb.fRtsControl = RTS_CONTROL_DISABLE;
        // The driver drops DTR and RTS as part of this call where the device has them; nothing
        // here asks for the modem lines, so a device without them configures all the same.
        return SetCommState(port_.get(), &dcb) != FALSE;
    }

    bool setTimeouts(const CommTimeouts& timeouts) override {
        COMMTIMEOUTS t{};
        if (!GetCommTimeouts(port_.get(), &t)) return false;
        t.ReadIntervalTimeout = timeouts.readIntervalMs;
        t.ReadTotalTimeoutMultiplier = timeouts.readTotalMultiplierMs;
        t.ReadTotalTimeoutConstant = timeouts.readTotalConstantMs;
        t.WriteTotalTimeoutMultiplier = timeouts.writeTotalMultiplierMs;
        t.WriteTotalTimeoutConstant = timeouts.writeTotalConstantMs;
        if (!SetCommTimeouts(port_.get(), &t)) return false;
        timeouts_ = t;
        return true;
    }

    bool clearErrors(QueueCounts* counts) override {
        DWORD errors = 0;
        COMSTAT status{};
        if (!ClearCommError(port_.get(), &errors, &status)) return false;
        if (counts != nullptr) {
            counts->output = status.cbOutQue;
            // A byte that waitForInput took off the line is still waiting to be read.
            counts->input = status.cbInQue + (heldByte_ ? 1 : 0);
        }
        return true;
    }

    bool purge(unsigned purgeFlags) override {
        if (purgeFlags & PurgeRxClear) heldByte_ = false;
        DWORD flags = 0;
        if (purgeFlags & PurgeTxAbort) flags |= PURGE_TXABORT;
        if (purgeFlags & PurgeRxAbort) flags |= PURGE_RXABORT;
        if (purgeFlags & PurgeTxClear) flags |= PURGE_TXCLEAR;
        if (purgeFlags & PurgeRxClear) flags |= PURGE_RXCLEAR;
        return PurgeComm(port_.get(), flags) != FALSE;
    }

    bool write(const std::uint8_t* data, std::size_t count, std::size_t& written) override {
        written = 0;
        if (count == 0) return true;
        const DWORD length = static_cast<DWORD>(std::min<std::size_t>(count, MAXDWORD));
        OVERLAPPED overlapped{};
        overlapped.hEvent = event_.get();
        DWORD transferred = 0;
        const bool done = WriteFile(port_.get(), data, length, nullptr, &overlapped) != FALSE;
        if (!done && GetLastError() != ERROR_IO_PENDING) return false;
        const DWORD error =
            complete(overlapped, done, writeBoundMs(timeouts_, length), transferred);
        written = transferred;
        return error == ERROR_SUCCESS && written == count;
    }

    ReadOutcome readByte(std::uint8_t& byte) override {
        if (failed_) return ReadOutcome::Failed;
        if (heldByte_) {
            heldByte_ = false;
            byte = held_;
            return ReadOutcome::Byte;
        }
        return readOne(byte, timeouts_);
    }

    bool waitForInput(std::uint32_t maxMs) override {
        if (heldByte_ || failed_) return true;
        DWORD errors = 0;
        COMSTAT status{};
        // A device that was pulled out refuses even this: the read that follows tells.
        if (!ClearCommError(port_.get(), &errors, &status)) {
            failed_ = true;
            return true;
        }
        if (status.cbInQue > 0) return true;
        if (maxMs == 0) return false;

        // A one-byte read whose only time-out is maxMs sleeps in the driver until a byte comes
        // or the time is up. The byte it takes is held for the next readByte, so none is lost.
        const DWORD start = GetTickCount();
        COMMTIMEOUTS waiting = timeouts_;
        waiting.ReadIntervalTimeout = 0;
        waiting.ReadTotalTimeoutMultiplier = 0;
        waiting.ReadTotalTimeoutConstant = maxMs;
        if (SetCommTimeouts(port_.get(), &waiting)) {
            std::uint8_t byte = 0;
            const ReadOutcome outcome = readOne(byte, waiting);
            SetCommTimeouts(port_.get(), &timeouts_);
            if (outcome == ReadOutcome::Byte) {
                held_ = byte;
                heldByte_ = true;
                return true;
            }
            if (outcome == ReadOutcome::Failed) {
                failed_ = true;
                return true;
            }
        }
        // A device in error ends every read at once; answering at once would let an idle wait
        // spin, so the wait is served in full.
        const DWORD spent = GetTickCount() - start;
        if (spent < maxMs) Sleep(maxMs - spent);
        return false;
    }

private:
    // Waits for an overlapped request to end and returns its error code (ERROR_SUCCESS when it
    // succeeded); transferred holds what the driver reports either way. A request the driver
    // already ended needs no wait on the event.
    DWORD complete(OVERLAPPED& overlapped, bool alreadyDone, DWORD boundMs, DWORD& transferred) {
        transferred = 0;
        if (!alreadyDone && WaitForSingleObject(event_.get(), boundMs) != WAIT_OBJECT_0) {
            // The driver did not end the request in time: take it back before the record on our
            // stack goes away.
            CancelIo(port_.get());
            GetOverlappedResult(port_.get(), &overlapped, &transferred, TRUE);
            return ERROR_OPERATION_ABORTED;
        }
        // Waiting here returns at once for an ended request.
        if (!GetOverlappedResult(port_.get(), &overlapped, &transferred, TRUE))
            return GetLastError();
        return ERROR_SUCCESS;
    }

    ReadOutcome readOne(std::uint8_t& byte, const COMMTIMEOUTS& timeouts) {
        OVERLAPPED overlapped{};
        overlapped.hEvent = event_.get();
        DWORD transferred = 0;
        const bool done = ReadFile(port_.get(), &byte, 1, nullptr, &overlapped) != FALSE;
        if (!done) {
            const DWORD error = GetLastError();
            // Some drivers end an idle read at once with a time-out instead of queueing it.
            if (error == ERROR_TIMEOUT) return ReadOutcome::NoByte;
            if (error != ERROR_IO_PENDING) return ReadOutcome::Failed;
        }
        const DWORD error = complete(overlapped, done, readBoundMs(timeouts, 1), transferred);
        // A read time-out completes either with 0 bytes or, on some drivers, with ERROR_TIMEOUT;
        // both only say that no byte came.
        if (error == ERROR_TIMEOUT) return ReadOutcome::NoByte;
        if (error != ERROR_SUCCESS) return ReadOutcome::Failed;
        return transferred == 1 ? ReadOutcome::Byte : ReadOutcome::NoByte;
    }

    bool hungUp() override {
        DWORD errors = 0;
        COMSTAT status{};
        return failed_ || !ClearCommError(port_.get(), &errors, &status);
    }

    UniqueHandle port_;
    UniqueHandle event_;
    COMMTIMEOUTS timeouts_{};
    bool failed_ = false;  // a read failed: the device is gone until the port is opened again
    bool heldByte_ = false;
    std::uint8_t held_ = 0;
};

// Why an open failed, by the system's error code. A port another program holds is refused as
// access denied, since it was opened with no sharing.
PortOpenFailure failureOf(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return PortOpenFailure::NotThere;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
            return PortOpenFailure::Busy;
        default:
            return PortOpenFailure::Other;
    }
}

std::unique_ptr<SerialDevice> refused(PortOpenReport* report) {
    const DWORD error = GetLastError();
    if (report) {
        report->failure = failureOf(error);
        report->systemText = lastSystemErrorText();
    }
    return nullptr;
}

}  // namespace

std::unique_ptr<SerialDevice> SystemSerialOpener::open(int portIndex, PortOpenReport* report) {
    const std::string path = portDevicePath(portIndex);
    if (report)
        *report = {path, path.empty() ? PortOpenFailure::NoDevice : PortOpenFailure::None, {}};
    if (path.empty()) return nullptr;
    // Share mode 0: the port is ours alone while it is open.
    UniqueHandle port(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr));
    if (!port.valid()) return refused(report);
    UniqueHandle event(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    if (!event.valid()) return refused(report);
    return std::make_unique<Win32SerialDevice>(std::move(port), std::move(event));
}

}  // namespace ptk::platform
