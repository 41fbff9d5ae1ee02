#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

#include "sim/register_engine.h"

namespace ptk::sim {

// ptk-sim's log on its standard output: one line per command with its answer, per printed tape
// line and, when asked, per line event. Every line is flushed at once, so that whoever reads the
// output (a person, a test) sees it as it happens.
class SimLog {
public:
    SimLog(std::FILE* out, std::function<std::uint64_t()> nowUs)
        : out_(out), nowUs_(std::move(nowUs)) {}

    void command(const CommandRecord& record);
    void tape(const std::string& line);
    void lineEvent(std::uint64_t atUs, std::string_view text);
    void info(std::string_view text);

    // "0x45 short status: 73 01 45 -> 45 00 00 00 (20 ms)"; a shifted code shows both forms,
    // a refused one its error.
    static std::string describe(const CommandRecord& record);

private:
    void write(std::uint64_t atUs, std::string_view kind, std::string_view text);

    std::FILE* out_;
    std::function<std::uint64_t()> nowUs_;
};

}  // namespace ptk::sim
