#pragma once

#include <string_view>

namespace ptk {

enum class MessageIcon { Error, Question, Information, Warning };

// Which window owns a message box. Application means the box belongs to the program as a whole
// (it appears over whatever window is active).
enum class BoxOwner {
    Application,
    MainFr,
    Config,
    Help,
    DateFR,
    FiskPam,
    RegComm,
    RegInf,
    SostEKLZ,
    EKLZ,
    Chek,
    Gash,
    AvarReport,
    SostFR,
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
                             BoxOwner owner = BoxOwner::Application) = 0;
    // A "Вопрос" box with Yes and No; true only for Yes.
    virtual bool askQuestion(std::string_view text, BoxOwner owner = BoxOwner::Application) = 0;
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
