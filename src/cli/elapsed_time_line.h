#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "cli/message_stream.h"

namespace ptk::cli {

// While a report runs, a progress line "LABEL: M:SS (Ctrl+C stops it)" on standard error, renewed
// every second by a thread of its own, so it goes on while the exchange waits. Shown only when
// standard error is a terminal: a log file or a pipe gets no such line. Removed when the object
// goes.
class ElapsedTimeLine {
public:
    ElapsedTimeLine(MessageStream& messages, std::string label, bool shown);
    ~ElapsedTimeLine();

    ElapsedTimeLine(const ElapsedTimeLine&) = delete;
    ElapsedTimeLine& operator=(const ElapsedTimeLine&) = delete;

private:
    void run();

    MessageStream& messages_;
    const std::string label_;
    const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::mutex mutex_;
    std::condition_variable wake_;
    bool finished_ = false;
    std::thread ticker_;
};

}  // namespace ptk::cli
