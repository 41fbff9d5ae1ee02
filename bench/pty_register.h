#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "platform/pseudo_terminal.h"

namespace ptk::bench {

// A register that answers at once, in real time, on the master side of a pseudo-terminal that
// is linked as ./COMn: just enough of the register's side of the exchange to time the program's.
class PtyRegister {
public:
    PtyRegister(const std::string& linkName, std::vector<std::uint8_t> answer);
    ~PtyRegister();
    PtyRegister(const PtyRegister&) = delete;
    PtyRegister& operator=(const PtyRegister&) = delete;

    bool ready() const { return terminal_.isOpen() && linked_; }
    // Bytes both sides put on the wire for one exchange.
    std::size_t wireBytesPerExchange() const;

private:
    void serve();

    platform::PseudoTerminal terminal_;
    bool linked_ = false;
    std::vector<std::uint8_t> answerFrame_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace ptk::bench
