#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/memory_line.h"
#include "sim/register_engine.h"

namespace ptk::sim {

// Puts the engine at the far end of an in-memory line: what the program writes goes to the
// engine at the line's virtual time, and what the engine answers is scheduled on the line at the
// engine's times. Attaches itself for its lifetime.
class EngineLinePeer final : public platform::LinePeer {
public:
    EngineLinePeer(RegisterEngine& engine, platform::MemoryLine& line);
    ~EngineLinePeer() override;
    EngineLinePeer(const EngineLinePeer&) = delete;
    EngineLinePeer& operator=(const EngineLinePeer&) = delete;

    void onReceived(const std::uint8_t* data, std::size_t count, std::uint64_t nowUs) override;

private:
    RegisterEngine& engine_;
    platform::MemoryLine& line_;
};

}  // namespace ptk::sim
