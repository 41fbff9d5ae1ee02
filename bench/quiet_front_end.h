#pragma once

#include <cstdio>
#include <string_view>

#include "link/front_end.h"

namespace ptk::bench {

// A front end for benchmarks: boxes go to standard error (they mean something went wrong),
// questions are answered No, and the program never quits.
class QuietFrontEnd final : public FrontEnd {
public:
    void setResultText(std::string_view) override {}
    void showMessage(MessageIcon, std::string_view, std::string_view text, OwnerHandle) override {
        std::fprintf(stderr, "box: %.*s\n", static_cast<int>(text.size()), text.data());
    }
    bool askQuestion(std::string_view, OwnerHandle) override { return false; }
    void beep() override {}
    bool pumpMessages() override { return true; }
};

}  // namespace ptk::bench
