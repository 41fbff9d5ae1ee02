#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "link/front_end.h"

namespace ptk::wine {

// A front end for a console program: every text the core shows goes to standard output, marked
// by what it is, and each box is counted so that the caller can tell a clean run from one that
// showed the inspector a failure. Questions are answered No.
class ConsoleFrontEnd final : public FrontEnd {
public:
    void setResultText(std::string_view text) override {
        resultText.assign(text);
        if (!text.empty()) std::printf("  result field: %.*s\n", int(text.size()), text.data());
    }
    void showMessage(MessageIcon, std::string_view caption, std::string_view text,
                     OwnerHandle) override {
        ++boxes;
        std::printf("  box [%.*s]: %.*s\n", int(caption.size()), caption.data(), int(text.size()),
                    text.data());
    }
    bool askQuestion(std::string_view text, OwnerHandle) override {
        std::printf("  question (answered No): %.*s\n", int(text.size()), text.data());
        return false;
    }
    void beep() override {}
    bool pumpMessages() override { return true; }

    std::string resultText;
    int boxes = 0;
};

}  // namespace ptk::wine
