#pragma once

#include <cstdint>

#include "sim/register_state.h"

namespace ptk::sim {

// The longest an EKLZ operation may work: the program waits two minutes for its answer.
inline constexpr std::uint64_t kLongestEklzOperationUs = 120'000'000;

// The kind of a document as the EKLZ files it (bits 0-1 of its flags): 0 sale, 1 purchase,
// 2 sale return, 3 purchase return; an annulment counts as the kind it annuls.
std::uint8_t eklzDocumentType(ReceiptKind kind);

// Files a closed receipt on the control tape of an activated EKLZ whose archive is open, under the
// next КПК number; an EKLZ that is not taking documents files nothing.
void recordEklzDocument(RegisterState& state, const DateTime& at, std::uint16_t receiptNumber,
                        ReceiptKind kind, std::uint64_t total);

}  // namespace ptk::sim
