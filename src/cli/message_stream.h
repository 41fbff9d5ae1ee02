#pragma once

#include <cstdio>
#include <mutex>
#include <string_view>

namespace ptk::cli {

// Standard error as ptk-cli writes to it: whole message lines, and at most one progress line that
// is rewritten in place and cleared before a message, so the two never run into each other.
// Safe to use from two threads.
class MessageStream {
public:
    explicit MessageStream(std::FILE* stream) : stream_(stream) {}

    void line(std::string_view text);
    void progress(std::string_view text);
    void clearProgress();

private:
    void clearProgressLocked();

    std::mutex mutex_;
    std::FILE* stream_;
    std::size_t progressWidth_ = 0;  // characters of the progress line shown, 0 for none
};

}  // namespace ptk::cli
