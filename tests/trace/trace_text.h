#pragma once

#include <sstream>
#include <string>
#include <vector>

namespace ptk::testing {

// The lines of a trace file after its opening line, each without its time: "pc>reg 05 (ENQ)".
inline std::vector<std::string> traceLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    std::getline(in, line);  // the opening line names the wall-clock time
    while (std::getline(in, line)) {
        const std::size_t time = line.find_first_not_of(' ');
        const std::size_t after = line.find(' ', time);
        lines.push_back(after == std::string::npos ? "" : line.substr(after + 1));
    }
    return lines;
}

}  // namespace ptk::testing
