#pragma once

#include <cstdint>

namespace ptk {

// How a transaction's result reads.
enum class ResultKind {
    Exchange,  // the command exchange: 1 done, 0 failed, 2 no more data, 3 checksum, 4, 22
    Driver,    // the packet driver: 0 done, a driver result code, or a negative device error
};

// Hears the end of every transaction with the register (ptk-inspector's --trace). Called on the
// thread that ran the transaction, after its last byte; must not allocate or throw.
class TransactionObserver {
public:
    virtual ~TransactionObserver() = default;
    // code: the command code as the caller gave it, before any code shift.
    virtual void transactionEnded(std::uint8_t code, int result, ResultKind kind) noexcept = 0;
};

}  // namespace ptk
