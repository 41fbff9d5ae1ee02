#pragma once

#include <cstdint>

#include "link/exchange_result.h"
#include "link/packet_result.h"

namespace ptk {

// Hears the end of every transaction with the register (ptk-inspector's --trace). Called on the
// thread that ran the transaction, after its last byte; must not allocate or throw. code: the
// command code as the caller gave it, before any code shift.
class TransactionObserver {
public:
    virtual ~TransactionObserver() = default;
    // A command exchange, with the rules it followed.
    virtual void exchangeEnded(std::uint8_t code, ExchangeResult result,
                               ExchangeRules rules) noexcept = 0;
    // A packet transaction, its result as the caller sees it.
    virtual void packetEnded(std::uint8_t code, PacketResult result) noexcept = 0;
};

}  // namespace ptk
