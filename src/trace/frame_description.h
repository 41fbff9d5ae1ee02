#pragma once

#include <cstdint>

#include "link/transaction_observer.h"
#include "trace/frame_tracker.h"
#include "trace/line_buffer.h"

namespace ptk::trace {

// The decoded lines of the trace, the part after the time and the direction. Secret bytes are
// written as "**" here too.

// "command 0x45 short status, link password 73 01, no data"; a shifted code shows how the
// register reads it: "command 0x17 (read as 0x45 short status), ...".
void describeCommand(LineBuffer& line, const Frame& frame, bool codesShifted);

// "answer to 0x52 leave mode: 52 9C 00, error 9C - Необходимо провести гашение."; the error code
// is taken where the program takes it for that command. commandCode is the code, as read, of the
// command answered, or -1 when the trace did not see it.
void describeAnswer(LineBuffer& line, const Frame& frame, int commandCode);

// ", read in 2 parts" when reads ran out pauses times inside the frame; nothing for none.
void describePauses(LineBuffer& line, int pauses);

// "frame broken off after 12 bytes of its message" (counted without the stuffing, which would
// tell how many secret bytes needed it).
void describeBrokenFrame(LineBuffer& line, std::size_t messageBytes);

// "end of 0x45 short status: result 1 (done)": the result by the number the exchange has always
// been known by (1 done, 0 failed, 2 no more data, 3 checksum wrong, 4 device error, 22 command
// unknown); the windows' variant counts a device error as failed.
void describeExchangeResult(LineBuffer& line, std::uint8_t code, ExchangeResult result,
                            ExchangeRules rules);
// "end of 0x46 read table field (packet driver): result 0 (done)".
void describePacketResult(LineBuffer& line, std::uint8_t code, PacketResult result);

}  // namespace ptk::trace
