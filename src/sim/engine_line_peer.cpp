#include "sim/engine_line_peer.h"

namespace ptk::sim {

EngineLinePeer::EngineLinePeer(RegisterEngine& engine, platform::MemoryLine& line)
    : engine_(engine), line_(line) {
    line_.attach(this);
}

EngineLinePeer::~EngineLinePeer() {
    line_.attach(nullptr);
}

void EngineLinePeer::onReceived(const std::uint8_t* data, std::size_t count, std::uint64_t nowUs) {
    engine_.receive(data, count, nowUs);
    for (const TimedByte& byte : engine_.takeOutput()) line_.send(byte.atUs, &byte.value, 1);
}

}  // namespace ptk::sim
