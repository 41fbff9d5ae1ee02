#pragma once

#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "link/front_end.h"

namespace ptk::testing {

// A front end that remembers everything the core showed, in order, and answers questions from a
// script (No when the script has run out).
class RecordingFrontEnd final : public FrontEnd {
public:
    struct Box {
        MessageIcon icon;
        std::string caption;
        std::string text;
        OwnerHandle owner;
        bool operator==(const Box&) const = default;
    };

    void setResultText(std::string_view text) override {
        resultText = text;
        resultHistory.emplace_back(text);
    }
    void showMessage(MessageIcon icon, std::string_view caption, std::string_view text,
                     OwnerHandle owner) override {
        boxes.push_back({icon, std::string(caption), std::string(text), owner});
    }
    bool askQuestion(std::string_view text, OwnerHandle) override {
        questions.emplace_back(text);
        if (answers.empty()) return false;
        const bool yes = answers.front();
        answers.pop_front();
        return yes;
    }
    void beep() override { ++beeps; }
    bool pumpMessages() override {
        ++pumps;
        if (quitAfterPumps >= 0 && pumps > quitAfterPumps) return false;
        return true;
    }

    // The texts of the boxes shown, in order.
    std::vector<std::string> boxTexts() const {
        std::vector<std::string> texts;
        for (const auto& box : boxes) texts.push_back(box.text);
        return texts;
    }
    void clear() {
        boxes.clear();
        questions.clear();
        resultHistory.clear();
        resultText.clear();
        beeps = 0;
    }

    std::string resultText;
    std::vector<std::string> resultHistory;
    std::vector<Box> boxes;
    std::vector<std::string> questions;
    std::deque<bool> answers;
    int beeps = 0;
    long pumps = 0;
    long quitAfterPumps = -1;  // pumpMessages answers false once it was called more often
};

}  // namespace ptk::testing
