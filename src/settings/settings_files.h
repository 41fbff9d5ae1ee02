#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "link/session.h"

namespace ptk {

// The three connection settings, numbered as the settings window numbers them.
enum class Setting { Port = 1, Baud = 2, Password = 3 };
inline constexpr std::array<Setting, 3> kAllSettings = {Setting::Port, Setting::Baud,
                                                        Setting::Password};

// The baud names in the order of BaudTable.
inline constexpr std::array<std::string_view, 5> kBaudNames = {"CBR_9600", "CBR_19200", "CBR_38400",
                                                               "CBR_57600", "CBR_115200"};

// A value in a settings file is one word of at most this many characters.
inline constexpr std::size_t kSettingWordLimit = 10;
inline constexpr std::size_t kLinkPasswordDigits = 4;

inline constexpr std::string_view kDefaultPortName = "COM1";
inline constexpr std::string_view kDefaultBaudName = "CBR_115200";
inline constexpr std::string_view kDefaultLinkPassword = "7301";

// The port index (0 for COM1) of a name "COMn" with n from 1 to 256; nothing for any other text.
std::optional<int> portIndexOf(std::string_view portName);
// The index into BaudTable of an exact baud name; nothing for any other text.
std::optional<int> baudIndexOf(std::string_view baudName);
// Up to four decimal digits; the empty text is a valid (all-zero) password.
bool isValidLinkPassword(std::string_view text);

// The three one-line settings files num_port.ini, baude_fr.ini and pass_fr.ini in one
// directory (the working directory in the program, a scratch directory in the tests).
//
// A value is the first whitespace-delimited word of its file. A missing file gives the default
// and is not created. A value that cannot be right (a port outside COM1-COM256, a password that is
// not up to four digits, an unknown baud name, a word longer than ten characters, a file that is
// empty or cannot be read) is refused with a message box; the port and the baud rate then stay as
// they were, the password falls back to the default, so no unchecked value ever reaches the line.
class SettingsFiles {
public:
    explicit SettingsFiles(std::filesystem::path directory = {})
        : directory_(std::move(directory)) {}

    std::filesystem::path pathOf(Setting which) const;

    // File -> session. Only reads.
    void LoadSetting(Session& session, Setting which) const;
    // Session -> file, replacing the file atomically (a temporary file renamed over it), so a
    // crash or a full disk leaves the old file whole. A failure is told in a box; false then.
    bool SaveSetting(Session& session, Setting which) const;

    void loadAll(Session& session) const;
    bool saveAll(Session& session) const;

private:
    std::filesystem::path directory_;
};

}  // namespace ptk
