#include "cli/elapsed_time_line.h"

#include <cstdio>

namespace ptk::cli {

ElapsedTimeLine::ElapsedTimeLine(MessageStream& messages, std::string label, bool shown)
    : messages_(messages), label_(std::move(label)) {
    if (shown) ticker_ = std::thread([this] { run(); });
}

ElapsedTimeLine::~ElapsedTimeLine() {
    if (!ticker_.joinable()) return;
    {
        const std::lock_guard lock(mutex_);
        finished_ = true;
    }
    wake_.notify_one();
    ticker_.join();
    messages_.clearProgress();
}

void ElapsedTimeLine::run() {
    std::unique_lock lock(mutex_);
    for (auto next = start_;; next += std::chrono::seconds(1)) {
        if (wake_.wait_until(lock, next, [this] { return finished_; })) return;
        const auto seconds =
            std::chrono::duration_cast<std::chrono::seconds>(next - start_).count();
        char elapsed[32];
        std::snprintf(elapsed, sizeof elapsed, "%lld:%02lld", static_cast<long long>(seconds / 60),
                      static_cast<long long>(seconds % 60));
        messages_.progress(label_ + ": " + elapsed + " (Ctrl+C stops it)");
    }
}

}  // namespace ptk::cli
