#pragma once

#include <string_view>

namespace ptk {

enum class MessageIcon { Error, Question, Information, Warning };

// The window a message box belongs to, as the front end knows it: the core passes it on and never
// looks inside. The empty handle is the program as a whole, whose boxes appear over whatever
// window is active.
class OwnerHandle {
public:
    constexpr OwnerHandle() = default;
    // Made by the front end from what stands for a window there.
    explicit constexpr OwnerHandle(const void* window) : window_(window) {}
    constexpr const void* window() const { return window_; }
    bool operator==(const OwnerHandle&) const = default;

private:
    const void* window_ = nullptr;
};

// Everything the core needs from the screen. The core never sees a window; the Qt front end
// implements this for the program and a recording fake implements it for the tests. Calls may come
// from a worker thread; the implementation carries them out on the user-interface thread.
class FrontEnd {
public:
    virtual ~FrontEnd() = default;

    // The main window's read-only result field, ed_rezult.
    virtual void setResultText(std::string_view text) = 0;
    // A box with one OK button.
    virtual void showMessage(MessageIcon icon, std::string_view caption, std::string_view text,
                             OwnerHandle owner = {}) = 0;
    // A "Вопрос" box with Yes and No; true only for Yes.
    virtual bool askQuestion(std::string_view text, OwnerHandle owner = {}) = 0;
    // The standard beep for a refused key.
    virtual void beep() = 0;
    // Handles at most one pending window message of the calling thread; false once the program is
    // quitting.
    virtual bool pumpMessages() = 0;
};

// The caption of link failure and device error boxes.
inline constexpr std::string_view kErrorCaption = "Ошибка";
inline constexpr std::string_view kQuestionCaption = "Вопрос";
inline constexpr std::string_view kInformationCaption = "Информация";
inline constexpr std::string_view kWarningCaption = "Предупреждение";

}  // namespace ptk
