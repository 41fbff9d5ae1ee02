#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/date_time.h"
#include "sim/paper_tape.h"

namespace ptk::sim {

// Everything the simulated register remembers. Plain data with factory values: tests and ptk-sim
// set any field directly before (or between) exchanges; command handlers read and change it.
// Numbers that travel as packed BCD are kept as plain integers and packed when answered.

// Register modes, the low half of the mode byte.
enum Mode : std::uint8_t {
    ModeSelection = 0,
    ModeRegistration = 1,
    ModeXReports = 2,
    ModeZReports = 3,
    ModeProgramming = 4,
    ModeFiscalMemory = 5,
    ModeEklz = 6,
    ModeAdditional = 7,
};

struct ModeState {
    std::uint8_t mode = ModeSelection;
    std::uint8_t submode = 0;

    // The mode byte of the status answers: submode in the high half, mode in the low half.
    std::uint8_t byte() const {
        return static_cast<std::uint8_t>(((submode & 0x0F) << 4) | (mode & 0x0F));
    }
    void set(std::uint8_t newMode, std::uint8_t newSubmode = 0) {
        mode = newMode;
        submode = newSubmode;
    }
};

// How this register model talks on the line.
struct LinkSettings {
    // The link password every command frame must carry in its first two bytes ("7301").
    std::array<std::uint8_t, 2> password{0x73, 0x01};
    // A model that does not know the probe 0xE0 answers it with 0x7A.
    bool knowsProbe = true;
    // Answer byte 2 of the probe. A model that expects shifted codes (false) adds 0x2E back to
    // every code but 0xE0 before it interprets it.
    bool unshiftedCodes = true;
};

// Packs up to four decimal digits the way the program sends its link password: first digit in
// the high half of byte 0, missing digits as zero halves. False for anything but 0-4 digits.
bool packLinkPassword(std::string_view digits, std::array<std::uint8_t, 2>& out);

// Access passwords of the modes, 8 decimal digits each, indexed by mode (index 0 unused). The
// password of mode 4 (programming) is also table 3, row 30, field 1.
struct Passwords {
    std::array<std::uint32_t, 8> access{0,        11111111, 22222222, 33333333,
                                        44444444, 55555555, 66666666, 77777777};
};

struct Identity {
    std::uint32_t serialNumber = 123456;  // 8 digits; 0 = not programmed yet
    std::uint16_t version = 258;
    std::uint8_t modelNumber = 1;  // probe answer byte 3
    std::uint8_t cashier = 1;      // 2 digits
    std::uint8_t hallNumber = 1;   // 2 digits
    std::uint8_t portNumber = 1;
    std::uint8_t decimalPoint = 2;
};

struct Hardware {
    bool cashDrawerOpen = false;
    bool batteryLow = false;
};

// The printer's four flags as the short status reports them.
struct Printer {
    bool paperOut = false;
    bool linkLost = false;
    bool coverOpen = false;
    bool noRoll = false;

    std::uint8_t flags() const {
        return static_cast<std::uint8_t>((paperOut ? 0x01 : 0) | (linkLost ? 0x02 : 0) |
                                         (coverOpen ? 0x04 : 0) | (noRoll ? 0x08 : 0));
    }
    // The error a command that prints meets, or 0 when the printer is ready.
    std::uint8_t failure() const;
};

// A fiscalisation or re-registration as the fiscal memory keeps it.
struct RegistrationRecord {
    std::uint64_t rnm = 0;
    std::uint64_t inn = 0;
    std::uint16_t firstShift = 0;  // the first shift under this registration
    DateTime at{};
};

// Fiscalisation data (data register 27).
struct FiscalData {
    bool fiscalised = false;
    std::uint64_t inn = 0;           // ИНН, 12 digits
    std::uint64_t rnm = 0;           // РНМ, 10 digits
    std::uint16_t initialShift = 0;  // the first shift after (re-)registration, 4 digits
    DateTime registeredOn{2000, 1, 1, 0, 0, 0};  // date of fiscalisation or re-registration
    int reRegistrations = 0;                     // at most 4
    // The fiscal memory's registrations, oldest first (its shifts are RegisterState's).
    std::vector<RegistrationRecord> registrations;
    // How long the register prints a fiscal-memory report before it answers.
    std::uint64_t reportDurationUs = 5'000'000;
};

// One record of the fiscal memory, written by every shift-closing report.
struct ShiftRecord {
    std::uint16_t shift = 0;
    DateTime closedAt{};
    std::uint64_t salesSum = 0;  // kopecks
};

// One document on the EKLZ's control tape.
struct ControlTapeEntry {
    std::uint64_t kpk = 0;
    DateTime at{};
    std::uint16_t shift = 0;
    std::uint16_t receipt = 0;
    std::uint8_t documentType = 0;  // 0 sale, 1 purchase, 2 sale return, 3 purchase return
    std::uint64_t total = 0;        // kopecks
};

// The EKLZ (data registers 26 and 28, and the EKLZ state answer). The document fields of that
// answer (total, type, open) come from the current receipt and its shift fields from the shift.
struct EklzState {
    std::uint64_t number = 1234567890;  // 10 digits
    bool activated = false;
    int activationNumber = 0;  // data register 26, byte 2
    int activationsLeft = 50;  // data register 26, byte 3
    bool archiveOpen = true;
    bool reportInProgress = false;
    bool fatalError = false;
    std::uint64_t lastKpk = 0;  // 10 digits
    DateTime lastOperation{};
    std::vector<ControlTapeEntry> controlTape;
    // The EKLZ operations of the inspector (activation, its totals, archive closing, reports and
    // requests): how long each works while it prints, at most two minutes; whether this EKLZ may
    // be activated in this register (D0 when not); the first shift it holds and when it was
    // activated (an activation sets both). It holds the shifts from firstShift to the open one
    // (or the last closed one) and the days from its activation to today.
    std::uint64_t operationUs = 3'000'000;
    bool activationPossible = true;
    std::uint16_t firstShift = 1;
    DateTime activatedOn{2013, 1, 1, 9, 0, 0};
};

struct ShiftState {
    bool open = false;
    std::uint16_t lastClosed = 0;  // number of the last closed shift, 4 digits
    DateTime openedAt{};

    std::uint16_t current() const { return static_cast<std::uint16_t>(lastClosed + 1); }
};

// Counters of the current shift, cleared by the shift-closing report, and the grand total.
struct ShiftTotals {
    std::uint32_t sales = 0;
    std::uint64_t salesSum = 0;  // kopecks
    std::uint32_t cancelled = 0;
    std::uint64_t cancelledSum = 0;               // kopecks
    std::array<std::uint64_t, 16> sectionSums{};  // kopecks by section 1..16 (index 0 = section 1)
    std::uint64_t grandTotal = 0;                 // all sales ever, never cleared
};

// The receipt state of the state answer.
enum class ReceiptKind : std::uint8_t {
    Closed = 0,
    Sale = 1,
    Return = 2,
    Annulment = 3,
    Purchase = 4,
    PurchaseReturn = 5,
    PurchaseAnnulment = 6,
};

struct Receipt {
    ReceiptKind kind = ReceiptKind::Closed;
    std::uint16_t number = 1;  // the current (next) receipt number, 4 digits
    std::uint64_t sum = 0;     // kopecks, 10 digits
    int items = 0;
    std::array<std::uint64_t, 16> sectionSums{};  // this receipt's items by section 1..16

    bool isOpen() const { return kind != ReceiptKind::Closed; }
};

// The register refuses a date far from its clock until the same date is sent again.
struct DateEntry {
    bool confirmationPending = false;
    DateTime pending{};
};

// Table 6, rows 1 to 4, field 1: the header lines, as the register holds them (bytes in the OEM
// code page, with picture elements). Table 3, row 30, field 1 is Passwords::access[4].
struct Tables {
    std::array<std::string, 4> headerLines{
        "\x8C\x80\x83\x80\x87\x88\x8D",                                      // МАГАЗИН
        "\x84\x8E\x81\x90\x8E\x20\x8F\x8E\x86\x80\x8B\x8E\x82\x80\x92\x9C",  // ДОБРО ПОЖАЛОВАТЬ
        "",
        "",
    };
};

// A report the register goes on printing after it has answered (the emergency report): until
// busyUntilUs it shows submodeWhileBusy, then submodeAfter (and modeAfter, when set). Its lines
// go onto the tape evenly spread from startedUs to busyUntilUs; when it ends, the printer shows
// the faults of printerFlagsAfter (Printer::flags bits) it ran into.
struct BackgroundPrint {
    bool active = false;
    std::uint64_t busyUntilUs = 0;
    std::uint8_t submodeWhileBusy = 0;
    std::uint8_t submodeAfter = 0;
    std::optional<std::uint8_t> modeAfter;
    std::uint64_t startedUs = 0;
    std::vector<std::string> lines;
    std::size_t linesPrinted = 0;
    std::uint8_t printerFlagsAfter = 0;
};

// How the emergency report goes: how long the register prints it, the printer faults it ends
// with (Printer::flags bits) and the mode byte it is left in (0x05: the fiscal-memory mode
// waiting for a command; anything else means the register broke the report off itself).
struct EmergencyReportPlan {
    std::uint64_t printUs = 3'000'000;
    std::uint8_t printerFlagsAtEnd = 0;
    std::uint8_t modeByteAtEnd = 0x05;
};

struct RegisterState {
    ModeState mode;
    LinkSettings link;
    Passwords passwords;
    Identity identity;
    RegisterClock clock;
    Hardware hardware;
    Printer printer;
    FiscalData fiscal;
    EklzState eklz;
    ShiftState shift;
    ShiftTotals totals;
    Receipt receipt;
    DateEntry dateEntry;
    Tables tables;
    BackgroundPrint background;
    EmergencyReportPlan emergencyReport;
    std::vector<ShiftRecord> fiscalMemory;
    PaperTape tape;

    // Answer byte 9 of the state answer: fiscalised, shift open, drawer open, cover open,
    // battery low.
    std::uint8_t flagsByte() const;
    // Brings time-driven state up to nowUs (a background report that has finished).
    void settle(std::uint64_t nowUs);
};

}  // namespace ptk::sim
