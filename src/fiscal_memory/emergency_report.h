#pragma once

#include <cstdint>

#include "link/exchange_result.h"
#include "link/front_end.h"

namespace ptk {
class Session;
}

namespace ptk::fiscal_memory {

inline constexpr std::uint8_t kEmergencyReportCode = 0x60;
// The register answers once it has started printing; it may take its time to get there.
inline constexpr std::uint32_t kEmergencyReportAnswerStartMs = 10000;
// The watch asks for the short status this long after the last answer.
inline constexpr std::uint32_t kWatchIntervalMs = 100;

// Mode bytes of the short status that the watch tells apart.
inline constexpr std::uint8_t kPrintingReportMode = 0x25;    // fiscal memory, printing a report
inline constexpr std::uint8_t kFiscalMemoryIdleMode = 0x05;  // fiscal memory, waiting

// Starts the emergency fiscal-memory report (command 0x60, no data); the register prints it on
// its own afterwards. A failure has shown its message.
ExchangeResult EmergencyReport(Session& session);

// What the watch needs from the window that runs it.
class EmergencyReportWatcher {
public:
    virtual ~EmergencyReportWatcher() = default;
    // Lets ms pass before the next status request. The window waits in its event loop, so that it
    // repaints and takes the stop button meanwhile. False once the program is quitting.
    virtual bool pause(std::uint32_t ms) = 0;
    // The stop is being carried out: the stop button goes off before the mode is left.
    virtual void stopTaken() = 0;
    // The window that owns the watch's boxes.
    virtual OwnerHandle boxOwner() const = 0;
};

// How a run of the report ended.
enum class EmergencyEnding {
    CommandFailed,  // the report command failed; its message has been shown
    StatusFailed,   // a status request failed; only its link message has been shown
    Quitting,       // the program is ending; nothing shown
    Printed,        // the register finished with no printer fault; nothing shown
    NoPaper,        // finished; "Нет бумаги!"
    NoPrinterLink,  // finished; "Нет связи с принтером!"
    CoverOpen,      // finished; "Открыта крышка ПУ!"
    NoRoll,         // finished; "Нет рулона!"
    BrokenOff,  // the register left the report in another mode; "Снятие отчета прервалось!"
    Interrupted,  // stopped by the user and the mode left; "Прервано пользователем!"
    StopAfterEnd,    // stopped by the user when the register had already finished; nothing
    ModeExitFailed,  // stopped by the user, the mode exit failed; only its message shown
};

// The report from start to end, on the user-interface thread: clears StopRequested, sends the
// report command and, when the register took it, watches the register with the short status
// every kWatchIntervalMs until it no longer prints. A stop request (Session::StopRequested, set by
// the stop button) is looked at before each turn: the turn's status request then tells whether
// the register still prints, and only then is the mode left to break the report off. Every
// ending's message is shown here, owned by the watcher's window. StopRequested is cleared again
// at the end.
EmergencyEnding RunEmergencyReport(Session& session, EmergencyReportWatcher& watcher);

}  // namespace ptk::fiscal_memory
