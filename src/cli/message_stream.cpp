#include "cli/message_stream.h"

#include <string>

namespace ptk::cli {

void MessageStream::line(std::string_view text) {
    const std::lock_guard lock(mutex_);
    clearProgressLocked();
    std::fwrite(text.data(), 1, text.size(), stream_);
    std::fputc('\n', stream_);
    std::fflush(stream_);
}

void MessageStream::progress(std::string_view text) {
    const std::lock_guard lock(mutex_);
    clearProgressLocked();
    std::fwrite(text.data(), 1, text.size(), stream_);
    std::fflush(stream_);
    progressWidth_ = text.size();
}

void MessageStream::clearProgress() {
    const std::lock_guard lock(mutex_);
    clearProgressLocked();
    std::fflush(stream_);
}

void MessageStream::clearProgressLocked() {
    if (progressWidth_ == 0) return;
    // Blanks over the old text rather than an escape sequence: every console understands them.
    const std::string blank(progressWidth_, ' ');
    std::fprintf(stream_, "\r%s\r", blank.c_str());
    progressWidth_ = 0;
}

}  // namespace ptk::cli
