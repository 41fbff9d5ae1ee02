#pragma once

#include <functional>
#include <string>

#include "device/clock_commands.h"
#include "fiscal_memory/header_lines.h"
#include "link/front_end.h"

namespace ptk {
class Session;
}

namespace ptk::fiscal_memory {

// The requisites of a registration as the inspector typed them, UTF-8.
struct Requisites {
    std::string registrationNumber;  // ed_RegNum
    std::string taxpayerNumber;      // ed_INN
    std::string newPassword;         // ed_PassNew
    HeaderLineTexts headerLines;     // ed_Name1 to ed_Name4
    bool operator==(const Requisites&) const = default;
};

// What a click on "Регистрация" came to before anything went out.
enum class RegistrationCheck {
    Refused,         // a requisite is missing or wrong: its message has been shown
    NameMissing,     // the first header line is empty (its message shown): its edit takes the caret
    RepeatPassword,  // stage 1 passed: the warning shown, the new password to be typed once more
    Declined,        // the question was answered No
    Ready,           // the registration goes out now
};

// What sending a registration came to.
enum class RegistrationSent {
    NothingSent,    // a header line cannot be written (its message shown): nothing went out
    DateToConfirm,  // the register wants the date entered again (the warning shown)
    Stopped,        // a step before the registration failed: its message shown, no 0x62 sent
    Sent,           // the registration (0x62) went out; its result is in the result field
};

// The fiscalisation or re-registration as the fiscal-memory form runs it, without the form: the
// two stages of its checks with the new password typed twice, the question, and then the date and
// time, the header lines in mode 4, the way back to mode 5 and the registration itself. Since a
// fiscalisation cannot be undone, the registration goes out only when every step before it went
// through: the clock set, both mode changes confirmed by an intact answer, the lines written.
//
// When the register wants the date entered again, the next click repeats only the sending, and
// only with the requisites the checks passed; requisites changed meanwhile are checked again.
class RegistrationFlow {
public:
    // Boxes and the question belong to owner (the form).
    RegistrationFlow(Session& session, OwnerHandle owner) : session_(session), owner_(owner) {}

    // Each opening of the form: back at stage 1, no date to repeat, and the password of the mode
    // entry to come back into mode 5 with.
    void restart(std::string accessPassword);

    // Stage 1 checks the requisites, stage 2 the new password typed again; stage 3 sends.
    int stage() const { return stage_; }
    // The tag of "Регистрация": 22 while the register waits for the date to be entered again.
    int dateRepeatTag() const { return dateRepeatTag_; }
    const std::string& firstPasswordEntry() const { return firstPasswordEntry_; }

    // What a click decides: the checks of its stage and the question, or, when only the date is
    // to be repeated, nothing. The checks write the requisites back as they go (the numbers
    // filled with zeros, the new password cleared for its repeat), and show each change through
    // shown before they tell anything more, as the form's edits show it.
    using RequisitesShown = std::function<void(const Requisites&)>;
    RegistrationCheck check(Requisites& requisites, const RequisitesShown& shown);

    // After Ready, before anything goes out: whether all four header lines can be written (an
    // error box names the first that cannot). Nothing is sent, the clock included, otherwise.
    bool linesWritable(const Requisites& requisites);
    // Then the registration with the date and time the form shows. Back at stage 1 afterwards.
    RegistrationSent send(const Requisites& requisites, const DeviceDate& date,
                          const DeviceTime& time);

private:
    RegistrationCheck checkRequisites(Requisites& requisites, const RequisitesShown& shown);
    bool refuse(const char* text);

    Session& session_;
    OwnerHandle owner_;
    std::string accessPassword_;
    int stage_ = 1;
    int dateRepeatTag_ = 0;
    std::string firstPasswordEntry_;
    // What the last confirmed registration checked, for a click that only repeats its date.
    Requisites validated_;
};

}  // namespace ptk::fiscal_memory
