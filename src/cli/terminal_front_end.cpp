#include "cli/terminal_front_end.h"

namespace ptk::cli {

void TerminalFrontEnd::showMessage(MessageIcon, std::string_view caption, std::string_view text,
                                   OwnerHandle) {
    tell(caption, std::string(text));
}

bool TerminalFrontEnd::askQuestion(std::string_view text, OwnerHandle) {
    tell(kQuestionCaption, std::string(text) + " - answered No");
    return false;
}

void TerminalFrontEnd::tell(std::string_view caption, std::string text) {
    messages_.line("ptk-cli: " + std::string(caption) + ": " + text);
    told_.push_back(std::move(text));
}

}  // namespace ptk::cli
