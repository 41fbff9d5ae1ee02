#pragma once

#include <string>
#include <string_view>

#include "cli/command_outcome.h"
#include "link/exchange_result.h"
#include "link/packet_result.h"

namespace ptk {
class Session;
}

namespace ptk::cli {

inline constexpr std::string_view kStoppedMessage = "stopped by the user";

// What a transaction's result means to a script. A stop request of the user's outweighs the
// failure it caused: the waits ended because they were told to.
CommandOutcome outcomeOf(const Session& session, ExchangeResult result);
CommandOutcome outcomeOf(const Session& session, PacketResult result);

// Enters the command's mode with the access password for as long as it lives, and leaves it again
// however the command went, so no script leaves the register locked in a service mode. After a
// stop request nothing more is sent: the user wants the line free now.
class ModeVisit {
public:
    ModeVisit(Session& session, int mode, const std::string& accessPassword);
    ~ModeVisit();
    ModeVisit(const ModeVisit&) = delete;
    ModeVisit& operator=(const ModeVisit&) = delete;

    // How the entry went: Done when the command may go ahead.
    ExchangeResult entry() const { return entry_; }

private:
    Session& session_;
    ExchangeResult entry_;
};

}  // namespace ptk::cli
