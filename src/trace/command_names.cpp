#include "trace/command_names.h"

#include <array>
#include <utility>

#include "link/command_exchange.h"

namespace ptk::trace {
namespace {

constexpr std::array<std::pair<std::uint8_t, std::string_view>, 30> kNames = {{
    {0x3F, "state"},
    {0x45, "short status"},
    {0x46, "read table field"},
    {0x48, "register item"},
    {0x4A, "close receipt"},
    {0x4B, "set time"},
    {0x50, "write table field"},
    {0x52, "leave mode"},
    {0x56, "enter mode"},
    {0x59, "cancel receipt"},
    {0x5A, "Z report"},
    {0x60, "emergency fiscal memory report"},
    {0x61, "program serial number"},
    {0x62, "fiscal registration"},
    {0x63, "fiscal memory ranges"},
    {0x64, "set date"},
    {0x65, "fiscal memory report by dates"},
    {0x66, "fiscal memory report by shifts"},
    {0x91, "read data register"},
    {0x92, "open receipt"},
    {0xA6, "EKLZ activation"},
    {0xA7, "EKLZ archive closing"},
    {0xA8, "EKLZ activation totals"},
    {0xA9, "EKLZ shift totals"},
    {0xAA, "EKLZ control tape of a shift"},
    {0xAB, "EKLZ document by KPK number"},
    {0xAC, "EKLZ report by dates"},
    {0xAD, "EKLZ report by shifts"},
    {0xAE, "EKLZ state"},
    {0xE0, "probe"},
}};

}  // namespace

std::string_view commandName(std::uint8_t code) {
    for (const auto& [known, name] : kNames) {
        if (known == code) return name;
    }
    return {};
}

std::uint8_t codeAsRead(std::uint8_t codeSent, bool codesShifted) {
    if (!codesShifted || codeSent == kProbeCode) return codeSent;
    return static_cast<std::uint8_t>(codeSent + CodeShift);
}

}  // namespace ptk::trace
