#include "sim/sim_options.h"

#include <charconv>
#include <cstdint>
#include <sstream>
#include <string_view>
#include <utility>

#include "platform/codepage.h"
#include "sim/commands_eklz.h"
#include "sim/commands_fiscal_memory.h"

namespace ptk::sim {

namespace {

// ---- value parsers -------------------------------------------------------------------------

// Decimal, or hexadecimal with 0x.
bool parseNumber(std::string_view text, std::uint64_t max, std::uint64_t& out) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    if (text.empty()) return false;
    std::uint64_t value = 0;
    const auto [end, problem] =
        std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (problem != std::errc() || end != text.data() + text.size() || value > max) return false;
    out = value;
    return true;
}

template <typename T>
bool parseInto(std::string_view text, std::uint64_t max, T& out) {
    std::uint64_t value = 0;
    if (!parseNumber(text, max, value)) return false;
    out = static_cast<T>(value);
    return true;
}

// Up to maxDigits decimal digits (numbers that travel as BCD digits).
bool parseDigits(std::string_view text, std::size_t maxDigits, std::uint64_t& out) {
    if (text.empty() || text.size() > maxDigits) return false;
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    out = value;
    return true;
}

// The longest wait an option may ask for, unless it has a limit of its own.
constexpr std::uint64_t kHourUs = 3'600'000'000;

// Seconds with fractions, as microseconds up to maxUs.
bool parseSeconds(std::string_view text, std::uint64_t maxUs, std::uint64_t& out) {
    const std::string seconds(text);
    std::size_t used = 0;
    double value = 0;
    try {
        value = std::stod(seconds, &used);
    } catch (...) {
        return false;
    }
    if (seconds.empty() || used != seconds.size() || !(value >= 0) || value * 1e6 > maxUs) {
        return false;
    }
    out = static_cast<std::uint64_t>(value * 1e6);
    return true;
}

// A count of fault occurrences: a number or "always".
bool parseCount(std::string_view text, int& out) {
    if (text == "always") {
        out = kAlways;
        return true;
    }
    return parseInto(text, 1'000'000, out);
}

// Splits "a:b[:c]" at the colons.
std::vector<std::string_view> splitColons(std::string_view text) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t colon = text.find(':', start);
        parts.push_back(text.substr(start, colon - start));
        if (colon == std::string_view::npos) return parts;
        start = colon + 1;
    }
}

bool parseFixed(std::string_view text, std::size_t at, std::size_t width, int& out) {
    if (at + width > text.size()) return false;
    std::uint64_t value = 0;
    if (!parseDigits(text.substr(at, width), width, value)) return false;
    out = static_cast<int>(value);
    return true;
}

// "YYYY-MM-DD".
bool parseDate(std::string_view text, DateTime& out) {
    DateTime value{};
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
    if (!parseFixed(text, 0, 4, value.year) || !parseFixed(text, 5, 2, value.month) ||
        !parseFixed(text, 8, 2, value.day)) {
        return false;
    }
    if (!isValid(value)) return false;
    out = value;
    return true;
}

// "YYYY-MM-DD HH:MM:SS" or with a 'T' between date and time.
bool parseDateTime(std::string_view text, DateTime& out) {
    DateTime value{};
    if (text.size() != 19 || (text[10] != ' ' && text[10] != 'T') || text[13] != ':' ||
        text[16] != ':') {
        return false;
    }
    if (!parseDate(text.substr(0, 10), value) || !parseFixed(text, 11, 2, value.hour) ||
        !parseFixed(text, 14, 2, value.minute) || !parseFixed(text, 17, 2, value.second)) {
        return false;
    }
    if (!isValid(value)) return false;
    out = value;
    return true;
}

// Hexadecimal digits, two per byte ("0A02" gives 0x0A 0x02).
bool parseHexBytes(std::string_view text, std::string& out) {
    if (text.size() % 2 != 0) return false;
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        std::uint8_t byte = 0;
        const auto [end, problem] = std::from_chars(text.data() + i, text.data() + i + 2, byte, 16);
        if (problem != std::errc() || end != text.data() + i + 2) return false;
        bytes += static_cast<char>(byte);
    }
    out = std::move(bytes);
    return true;
}

// "ROW:VALUE": header line ROW (1-4) as parse makes it from VALUE, at most 90 bytes.
template <typename Parse>
bool setHeaderLine(SimSettings& s, std::string_view v, Parse parse) {
    const std::size_t colon = v.find(':');
    std::uint64_t row = 0;
    if (colon == std::string_view::npos || !parseNumber(v.substr(0, colon), 4, row) || row < 1) {
        return false;
    }
    std::string bytes;
    if (!parse(v.substr(colon + 1), bytes) || bytes.size() > 90) return false;
    s.state.tables.headerLines[row - 1] = std::move(bytes);
    return true;
}

// A comma-separated list of printer faults by the names of their options, as the bits of the
// short status's printer flags.
bool parsePrinterFaults(std::string_view text, std::uint8_t& out) {
    constexpr std::pair<std::string_view, std::uint8_t> kFaults[] = {
        {"paper-out", 0x01}, {"no-printer-link", 0x02}, {"cover-open", 0x04}, {"no-roll", 0x08}};
    std::uint8_t flags = 0;
    for (;;) {
        const std::size_t comma = text.find(',');
        const std::string_view name = text.substr(0, comma);
        bool known = false;
        for (const auto& [faultName, bit] : kFaults) {
            if (name != faultName) continue;
            flags = static_cast<std::uint8_t>(flags | bit);
            known = true;
        }
        if (!known) return false;
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    out = flags;
    return true;
}

// ---- the options ---------------------------------------------------------------------------

using Apply = bool (*)(SimSettings&, std::string_view);

struct OptionSpec {
    std::string_view name;   // "--link"; an empty name starts a group in the help text
    std::string_view value;  // value placeholder, empty for a flag
    std::string_view help;
    Apply apply;
};

bool flag(bool& target, bool value) {
    target = value;
    return true;
}

const OptionSpec kOptions[] = {
    {"", "", "The line", nullptr},
    {"--link", "COMn", "serve the register as ./COMn in the working directory (default COM1)",
     [](SimSettings& s, std::string_view v) {
         std::uint64_t number = 0;
         if (v.size() < 4 || v.substr(0, 3) != "COM" || !parseDigits(v.substr(3), 3, number) ||
             number < 1 || number > 256) {
             return false;
         }
         s.linkName = std::string(v);
         return true;
     }},
    {"--baud", "RATE", "line speed for the timing of answer frames (default 115200)",
     [](SimSettings& s, std::string_view v) {
         return parseInto(v, 4'000'000, s.engine.baud) && s.engine.baud >= 300;
     }},
    {"--trace", "FILE",
     "append a trace of every byte on the line, each frame decoded and passwords written as **, "
     "to FILE (a new file is readable by its owner only)",
     [](SimSettings& s, std::string_view v) {
         if (v.empty()) return false;
         s.tracePath = std::string(v);
         return true;
     }},
    {"--trace-line", "", "also log the line's events: refused frames, repeats, silences",
     [](SimSettings& s, std::string_view) { return flag(s.traceLine, true); }},
    {"--hang-up-after", "N",
     "close the line and stop once N commands were answered, as soon as the computer hands over "
     "the next (a USB adapter pulled out while the register works)",
     [](SimSettings& s, std::string_view v) {
         std::uint64_t count = 0;
         if (!parseInto(v, 1'000'000, count)) return false;
         s.hangUpAfter = count;
         return true;
     }},

    {"", "", "The register", nullptr},
    {"--link-password", "DIGITS", "link password every command must carry, 0-4 digits (7301)",
     [](SimSettings& s, std::string_view v) { return packLinkPassword(v, s.state.link.password); }},
    {"--access-password", "MODE:DIGITS",
     "access password (8 digits) of mode 1-7; mode 4's is also table 3 row 30 field 1, read with "
     "0x46 (modes 0 and 4) and written with 0x50 (mode 4)",
     [](SimSettings& s, std::string_view v) {
         const auto parts = splitColons(v);
         std::uint64_t mode = 0, password = 0;
         if (parts.size() != 2 || !parseNumber(parts[0], 7, mode) || mode < 1 ||
             !parseDigits(parts[1], 8, password)) {
             return false;
         }
         s.state.passwords.access[mode] = static_cast<std::uint32_t>(password);
         return true;
     }},
    {"--mode", "BYTE", "mode byte: submode in the high half, mode in the low (0x00)",
     [](SimSettings& s, std::string_view v) {
         std::uint8_t byte = 0;
         if (!parseInto(v, 0xFF, byte) || (byte & 0x0F) > 7) return false;
         s.state.mode.set(byte & 0x0F, static_cast<std::uint8_t>(byte >> 4));
         return true;
     }},
    {"--unshifted-codes", "", "probe answer byte 2 = 1: codes arrive as they are (default)",
     [](SimSettings& s, std::string_view) { return flag(s.state.link.unshiftedCodes, true); }},
    {"--shifted-codes", "", "probe answer byte 2 = 0: codes other than 0xE0 arrive reduced by 0x2E",
     [](SimSettings& s, std::string_view) { return flag(s.state.link.unshiftedCodes, false); }},
    {"--no-probe", "", "a model that does not know the probe 0xE0 (answers 0x7A)",
     [](SimSettings& s, std::string_view) { return flag(s.state.link.knowsProbe, false); }},
    {"--serial", "DIGITS", "serial number, up to 8 digits; 0 = not programmed (00123456)",
     [](SimSettings& s, std::string_view v) {
         std::uint64_t serial = 0;
         if (!parseDigits(v, 8, serial)) return false;
         s.state.identity.serialNumber = static_cast<std::uint32_t>(serial);
         return true;
     }},
    {"--register-version", "N", "version number of the register's software (258)",
     [](SimSettings& s, std::string_view v) {
         return parseInto(v, 0xFFFF, s.state.identity.version);
     }},
    {"--model", "N", "model number, probe answer byte 3 (1)",
     [](SimSettings& s, std::string_view v) {
         return parseInto(v, 0xFF, s.state.identity.modelNumber);
     }},
    {"--cashier", "N", "cashier number, 0-99 (1)",
     [](SimSettings& s, std::string_view v) { return parseInto(v, 99, s.state.identity.cashier); }},
    {"--hall", "N", "number of the register in the hall, 0-99 (1)",
     [](SimSettings& s, std::string_view v) {
         return parseInto(v, 99, s.state.identity.hallNumber);
     }},
    {"--port-number", "N", "port number the state report shows (1)",
     [](SimSettings& s, std::string_view v) {
         return parseInto(v, 0xFF, s.state.identity.portNumber);
     }},
    {"--decimal-point", "N", "position of the decimal point (2)",
     [](SimSettings& s, std::string_view v) {
         return parseInto(v, 0xFF, s.state.identity.decimalPoint);
     }},
    {"--clock", "'YYYY-MM-DD HH:MM:SS'", "the register's clock at start (default: this computer's)",
     [](SimSettings& s, std::string_view v) {
         if (!parseDateTime(v, s.state.clock.reading)) return false;
         s.clockFromSystem = false;
         return true;
     }},
    {"--fiscalised", "", "the register is fiscalised",
     [](SimSettings& s, std::string_view) { return flag(s.state.fiscal.fiscalised, true); }},
    {"--inn", "DIGITS", "taxpayer number, up to 12 digits",
     [](SimSettings& s, std::string_view v) { return parseDigits(v, 12, s.state.fiscal.inn); }},
    {"--rnm", "DIGITS", "registration number, up to 10 digits",
     [](SimSettings& s, std::string_view v) { return parseDigits(v, 10, s.state.fiscal.rnm); }},
    {"--initial-shift", "N", "first shift after the registration, up to 4 digits",
     [](SimSettings& s, std::string_view v) {
         std::uint64_t n = 0;
         if (!parseDigits(v, 4, n)) return false;
         s.state.fiscal.initialShift = static_cast<std::uint16_t>(n);
         return true;
     }},
    {"--registered-on", "YYYY-MM-DD", "date of fiscalisation or re-registration",
     [](SimSettings& s, std::string_view v) { return parseDate(v, s.state.fiscal.registeredOn); }},
    {"--no-serial", "", "no serial number programmed yet (as --serial 0)",
     [](SimSettings& s, std::string_view) {
         s.state.identity.serialNumber = 0;
         return true;
     }},
    {"--not-fiscalised", "",
     "not fiscalised yet: no registration data and no registrations in the fiscal memory "
     "(the default)",
     [](SimSettings& s, std::string_view) {
         const std::uint64_t reportDurationUs = s.state.fiscal.reportDurationUs;
         s.state.fiscal = FiscalData{};
         s.state.fiscal.reportDurationUs = reportDurationUs;
         return true;
     }},
    {"--fiscal-memory", "N:FIRST:LAST",
     "fiscalised on FIRST (YYYY-MM-DD) with the --rnm and --inn given before, and shifts 1 to N "
     "closed on days from FIRST to LAST in the fiscal memory",
     [](SimSettings& s, std::string_view v) {
         const auto parts = splitColons(v);
         std::uint64_t shifts = 0;
         DateTime first{}, last{};
         return parts.size() == 3 && parseDigits(parts[0], 4, shifts) &&
                parseDate(parts[1], first) && parseDate(parts[2], last) &&
                fillFiscalMemory(s.state, static_cast<int>(shifts), first, last);
     }},
    {"--report-seconds", "SECONDS",
     "how long a fiscal-memory report (0x65, 0x66) prints before the register answers, "
     "fractions allowed, up to 3600 (5)",
     [](SimSettings& s, std::string_view v) {
         return parseSeconds(v, kHourUs, s.state.fiscal.reportDurationUs);
     }},
    {"--shift-open", "", "a shift is open",
     [](SimSettings& s, std::string_view) { return flag(s.state.shift.open, true); }},
    {"--last-shift", "N", "number of the last closed shift, up to 4 digits (0)",
     [](SimSettings& s, std::string_view v) {
         std::uint64_t n = 0;
         if (!parseDigits(v, 4, n)) return false;
         s.state.shift.lastClosed = static_cast<std::uint16_t>(n);
         return true;
     }},
    {"--receipt-number", "N", "number of the current receipt, 1-9999 (1)",
     [](SimSettings& s, std::string_view v) {
         std::uint64_t n = 0;
         if (!parseDigits(v, 4, n) || n == 0) return false;
         s.state.receipt.number = static_cast<std::uint16_t>(n);
         return true;
     }},
    {"--receipt-state", "N",
     "receipt state 0-6: closed, sale, return, annulment, purchase, purchase return, "
     "purchase annulment (0)",
     [](SimSettings& s, std::string_view v) {
         std::uint8_t n = 0;
         if (!parseInto(v, 6, n)) return false;
         s.state.receipt.kind = static_cast<ReceiptKind>(n);
         return true;
     }},
    {"--receipt-sum", "KOPECKS", "sum of the open receipt, up to 10 digits",
     [](SimSettings& s, std::string_view v) { return parseDigits(v, 10, s.state.receipt.sum); }},
    {"--cash-drawer-open", "", "the cash drawer is open",
     [](SimSettings& s, std::string_view) { return flag(s.state.hardware.cashDrawerOpen, true); }},
    {"--battery-low", "", "the battery is low",
     [](SimSettings& s, std::string_view) { return flag(s.state.hardware.batteryLow, true); }},
    {"--eklz-number", "DIGITS", "number of the EKLZ, up to 10 digits (1234567890)",
     [](SimSettings& s, std::string_view v) { return parseDigits(v, 10, s.state.eklz.number); }},
    {"--eklz-activated", "", "the EKLZ is activated",
     [](SimSettings& s, std::string_view) { return flag(s.state.eklz.activated, true); }},
    {"--eklz-activation", "N", "number of the current EKLZ activation (0)",
     [](SimSettings& s, std::string_view v) {
         return parseInto(v, 99, s.state.eklz.activationNumber);
     }},
    {"--eklz-activations-left", "N", "EKLZ activations left (50)",
     [](SimSettings& s, std::string_view v) {
         return parseInto(v, 99, s.state.eklz.activationsLeft);
     }},
    {"--eklz-last-kpk", "DIGITS", "last КПК number of the EKLZ, up to 10 digits (0)",
     [](SimSettings& s, std::string_view v) { return parseDigits(v, 10, s.state.eklz.lastKpk); }},
    {"--eklz-last-operation", "'YYYY-MM-DD HH:MM:SS'", "date and time of the EKLZ's last operation",
     [](SimSettings& s, std::string_view v) {
         return parseDateTime(v, s.state.eklz.lastOperation);
     }},
    {"--eklz-archive-closed", "", "the EKLZ archive is closed",
     [](SimSettings& s, std::string_view) { return flag(s.state.eklz.archiveOpen, false); }},
    {"--eklz-fatal-error", "", "the EKLZ reports an unrecoverable error",
     [](SimSettings& s, std::string_view) { return flag(s.state.eklz.fatalError, true); }},
    {"--eklz-first-shift", "N", "first shift the EKLZ holds, up to 4 digits (1; set by activation)",
     [](SimSettings& s, std::string_view v) {
         std::uint64_t n = 0;
         if (!parseDigits(v, 4, n)) return false;
         s.state.eklz.firstShift = static_cast<std::uint16_t>(n);
         return true;
     }},
    {"--eklz-activation-refused", "", "this EKLZ cannot be activated in this register (answers D0)",
     [](SimSettings& s, std::string_view) { return flag(s.state.eklz.activationPossible, false); }},
    {"--eklz-time", "SECONDS",
     "how long each EKLZ activation, totals, archive closing, report or request works while it "
     "prints, 0-120, fractions allowed (3)",
     [](SimSettings& s, std::string_view v) {
         return parseSeconds(v, kLongestEklzOperationUs, s.state.eklz.operationUs);
     }},
    {"--header", "ROW:TEXT",
     "header line 1-4 (table 6, field 1), UTF-8 text, up to 90 characters; read with 0x46 and "
     "written with 0x50 in mode 4",
     [](SimSettings& s, std::string_view v) {
         return setHeaderLine(s, v, [](std::string_view text, std::string& bytes) {
             bytes = platform::utf8ToCp866(text);
             return true;
         });
     }},
    {"--header-bytes", "ROW:HEX",
     "header line 1-4 as the register's bytes in hexadecimal, for picture elements (0A, number, "
     "offset high, low) and the prefix byte 09: --header-bytes 2:0A020064",
     [](SimSettings& s, std::string_view v) { return setHeaderLine(s, v, parseHexBytes); }},

    {"", "", "Printer faults", nullptr},
    {"--paper-out", "", "no paper",
     [](SimSettings& s, std::string_view) { return flag(s.state.printer.paperOut, true); }},
    {"--no-printer-link", "", "no link to the printer",
     [](SimSettings& s, std::string_view) { return flag(s.state.printer.linkLost, true); }},
    {"--cover-open", "", "the printer cover is open",
     [](SimSettings& s, std::string_view) { return flag(s.state.printer.coverOpen, true); }},
    {"--no-roll", "", "no paper roll",
     [](SimSettings& s, std::string_view) { return flag(s.state.printer.noRoll, true); }},

    {"", "", "The emergency report (0x60)", nullptr},
    {"--emergency-report-time", "SECONDS",
     "how long the register prints it, in mode byte 0x25, fractions allowed (3)",
     [](SimSettings& s, std::string_view v) {
         return parseSeconds(v, kHourUs, s.state.emergencyReport.printUs);
     }},
    {"--emergency-report-ends-with", "FAULTS",
     "printer faults it runs into, shown when it ends: a comma-separated list of paper-out, "
     "no-printer-link, cover-open, no-roll",
     [](SimSettings& s, std::string_view v) {
         return parsePrinterFaults(v, s.state.emergencyReport.printerFlagsAtEnd);
     }},
    {"--emergency-report-ends-in", "BYTE",
     "mode byte it leaves the register in; other than 0x05 it broke the report off (0x05)",
     [](SimSettings& s, std::string_view v) {
         std::uint8_t byte = 0;
         if (!parseInto(v, 0xFF, byte) || (byte & 0x0F) > 7) return false;
         s.state.emergencyReport.modeByteAtEnd = byte;
         return true;
     }},

    {"", "", "Line faults (N: how many times, a number or 'always'; default 1 where optional)",
     nullptr},
    {"--nak", "N", "refuse the next N command frames with NAK",
     [](SimSettings& s, std::string_view v) { return parseCount(v, s.faults.nakFrames); }},
    {"--bad-checksum", "N",
     "send the next N answer frames (repeats included) with a wrong checksum",
     [](SimSettings& s, std::string_view v) { return parseCount(v, s.faults.badChecksumAnswers); }},
    {"--silent", "STEP[:N]",
     "lose the register's bytes at STEP: enq-ack (ACK to the line request), frame-ack (ACK/NAK to "
     "the command frame), answer-enq (ENQ after the command), answer-frame, eot (closing EOT)",
     [](SimSettings& s, std::string_view v) {
         const auto parts = splitColons(v);
         SilentStep step{};
         int count = 1;
         if (parts.size() > 2 || !parseSilentStep(parts[0], step)) return false;
         if (parts.size() == 2 && !parseCount(parts[1], count)) return false;
         s.faults.silentAt(step) = count;
         return true;
     }},
    {"--delay-answer", "SECONDS[:N]",
     "work SECONDS longer (fractions allowed) before asking to answer, for the next N answers",
     [](SimSettings& s, std::string_view v) {
         const auto parts = splitColons(v);
         std::uint64_t delayUs = 0;
         int count = 1;
         if (parts.size() > 2 || !parseSeconds(parts[0], kHourUs, delayUs)) return false;
         if (parts.size() == 2 && !parseCount(parts[1], count)) return false;
         s.faults.answerDelayUs = delayUs;
         s.faults.delayedAnswers = count;
         return true;
     }},
    {"--pause-in-frame", "K:MS[:N]",
     "stop MS milliseconds inside the next N answer frames after their K-th byte (STX is byte 1)",
     [](SimSettings& s, std::string_view v) {
         const auto parts = splitColons(v);
         std::uint64_t after = 0, ms = 0;
         int count = 1;
         if (parts.size() < 2 || parts.size() > 3 || !parseNumber(parts[0], 300, after) ||
             after < 1 || !parseNumber(parts[1], 3'600'000, ms)) {
             return false;
         }
         if (parts.size() == 3 && !parseCount(parts[2], count)) return false;
         s.faults.pauseAfterByte = after;
         s.faults.pauseUs = ms * 1000;
         s.faults.framePauses = count;
         return true;
     }},
    {"--error", "CODE:ERR[:N]",
     "answer command CODE (as the register reads it) with error ERR instead of carrying it out, "
     "N times; may be repeated",
     [](SimSettings& s, std::string_view v) {
         const auto parts = splitColons(v);
         FaultPlan::InjectedError error;
         if (parts.size() < 2 || parts.size() > 3 || !parseInto(parts[0], 0xFF, error.code) ||
             !parseInto(parts[1], 0xFF, error.error)) {
             return false;
         }
         if (parts.size() == 3 && !parseCount(parts[2], error.count)) return false;
         s.faults.errors.push_back(error);
         return true;
     }},

    {"", "", "Other", nullptr},
    {"--help", "", "show this text",
     [](SimSettings& s, std::string_view) { return flag(s.showHelp, true); }},
    {"--version", "", "show the program's version",
     [](SimSettings& s, std::string_view) { return flag(s.showVersion, true); }},
};

constexpr std::size_t kHelpIndent = 28;
constexpr std::size_t kHelpWidth = 100;

// The help of one option, broken into lines at blanks and indented under the first.
std::string wrapped(std::string_view help) {
    std::string text;
    std::size_t column = kHelpIndent;
    while (!help.empty()) {
        const std::size_t blank = help.find(' ');
        const std::string_view word = help.substr(0, blank);
        help = blank == std::string_view::npos ? std::string_view() : help.substr(blank + 1);
        if (column > kHelpIndent && column + 1 + word.size() > kHelpWidth) {
            text += '\n';
            text.append(kHelpIndent, ' ');
            column = kHelpIndent;
        } else if (column > kHelpIndent) {
            text += ' ';
            ++column;
        }
        text += word;
        column += word.size();
    }
    return text;
}

const OptionSpec* findOption(std::string_view name) {
    for (const OptionSpec& option : kOptions) {
        if (!option.name.empty() && option.name == name) return &option;
    }
    return nullptr;
}

}  // namespace

bool parseSimOptions(const std::vector<std::string>& args, SimSettings& settings,
                     std::string& error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view arg = args[i];
        std::string_view value;
        bool hasValue = false;
        const std::size_t equals = arg.find('=');
        if (arg.starts_with("--") && equals != std::string_view::npos) {
            value = arg.substr(equals + 1);
            arg = arg.substr(0, equals);
            hasValue = true;
        }
        const OptionSpec* option = findOption(arg);
        if (!option) {
            error = "unknown option " + std::string(arg) + " (see --help)";
            return false;
        }
        if (option->value.empty()) {
            if (hasValue) {
                error = std::string(arg) + " takes no value";
                return false;
            }
        } else if (!hasValue) {
            if (i + 1 >= args.size()) {
                error = std::string(arg) + " needs a value: " + std::string(option->value);
                return false;
            }
            value = args[++i];
        }
        if (!option->apply(settings, value)) {
            // Appended piece by piece: GCC 12 at -O3 warns falsely (-Wrestrict) on the chained
            // operator+ form.
            error = "bad value for ";
            error.append(arg).append(": '").append(value).append("' (expected ");
            error.append(option->value).append(")");
            return false;
        }
    }
    return true;
}

std::string simHelpText() {
    std::ostringstream text;
    text << "Usage: ptk-sim [options]\n\n"
            "A simulated cash register (\"ПТК\") for ptk-inspector. It serves the register on a\n"
            "pseudo-terminal linked as ./COMn in the working directory (on Windows, on the serial\n"
            "port COMn), so that a program opening COMn there talks to it. It prints each command\n"
            "it carries out with its answer, and every line it prints on its paper tape, to its\n"
            "standard output. It runs until it is interrupted (Ctrl+C or SIGTERM).\n";
    for (const OptionSpec& option : kOptions) {
        if (option.name.empty()) {
            text << "\n" << option.help << ":\n";
            continue;
        }
        // Streamed piece by piece: GCC 12 at -O3 warns falsely (-Wrestrict) on operator+ of a
        // literal and a temporary string.
        text << "  " << option.name;
        std::size_t width = 2 + option.name.size();
        if (!option.value.empty()) {
            text << ' ' << option.value;
            width += 1 + option.value.size();
        }
        if (width < kHelpIndent) {
            text << std::string(kHelpIndent - width, ' ');
        } else {
            text << "\n" << std::string(kHelpIndent, ' ');
        }
        text << wrapped(option.help) << "\n";
    }
    text
        << "\nNumbers may be written in hexadecimal with 0x. Options take their value as the next\n"
           "argument or after '=' (--link=COM9).\n\n"
           "Example: ptk-sim --link COM9 --mode 0x01 --serial 00123456 --nak 2 --error 0x52:0x9C\n";
    return text.str();
}

}  // namespace ptk::sim
