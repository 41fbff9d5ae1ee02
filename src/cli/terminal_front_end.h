#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "cli/message_stream.h"
#include "link/front_end.h"

namespace ptk::cli {

// What the core asks of the screen, answered without a person, since nobody may be there to
// answer: the result field is kept for the output, a box becomes a line on standard error, a
// question is answered No and said so on standard error.
class TerminalFrontEnd final : public FrontEnd {
public:
    explicit TerminalFrontEnd(MessageStream& messages) : messages_(messages) {}

    void setResultText(std::string_view text) override { resultText_ = text; }
    void showMessage(MessageIcon icon, std::string_view caption, std::string_view text,
                     OwnerHandle owner) override;
    bool askQuestion(std::string_view text, OwnerHandle owner) override;
    void beep() override {}
    // There are no window messages; a stop request reaches the exchange through its stop signal.
    bool pumpMessages() override { return true; }

    const std::string& resultText() const { return resultText_; }
    // The text of the last box or question, empty when there was none.
    std::string lastMessage() const { return told_.empty() ? std::string() : told_.back(); }

private:
    void tell(std::string_view caption, std::string text);

    MessageStream& messages_;
    std::string resultText_;
    std::vector<std::string> told_;
};

}  // namespace ptk::cli
