#include "settings/settings_files.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <fstream>
#include <system_error>

#include "settings/atomic_file.h"

namespace ptk {
namespace {

// A settings file is never more than one short line; a file of junk is not read to its end.
constexpr std::size_t kReadLimit = 4096;

struct FileWord {
    std::string word;
    // Not a value at all: a word longer than a setting may be, or a file that cannot be read.
    bool unusable = false;
};

bool isBlank(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// The first whitespace-delimited word of the file.
FileWord readFirstWord(const std::filesystem::path& path) {
    FileWord result;
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        result.unusable = true;
        return result;
    }
    char c = 0;
    std::size_t read = 0;
    while (read < kReadLimit && file.get(c)) {
        ++read;
        if (isBlank(c)) {
            if (!result.word.empty()) break;
            continue;
        }
        if (result.word.size() == kSettingWordLimit) {
            result.unusable = true;
            break;
        }
        result.word.push_back(c);
    }
    // A file this program writes always holds at least its line feed; an empty one was cut short
    // (or is no file at all, as a directory of that name), and its "empty value" means nothing.
    if (read == 0 || file.bad()) result.unusable = true;
    return result;
}

const char* fileNameOf(Setting which) {
    switch (which) {
        case Setting::Port:
            return "num_port.ini";
        case Setting::Baud:
            return "baude_fr.ini";
        case Setting::Password:
            return "pass_fr.ini";
    }
    return "";
}

std::string_view defaultOf(Setting which) {
    switch (which) {
        case Setting::Port:
            return kDefaultPortName;
        case Setting::Baud:
            return kDefaultBaudName;
        case Setting::Password:
            return kDefaultLinkPassword;
    }
    return {};
}

void refuse(Session& session, const std::string& text) {
    session.frontEnd.showMessage(MessageIcon::Error, kErrorCaption, text);
}

void takePort(Session& session, const FileWord& value) {
    const std::optional<int> index = value.unusable ? std::nullopt : portIndexOf(value.word);
    if (!index) {
        refuse(session, std::string("В файле num_port.ini неверное имя порта: допустимы имена от "
                                    "COM1 до COM256. Оставлен порт COM") +
                            std::to_string(session.channel.currentPort() + 1) + ".");
        return;
    }
    session.portName = value.word;
    session.channel.setCurrentPort(*index);
}

void takeBaud(Session& session, const FileWord& value) {
    const std::optional<int> index = value.unusable ? std::nullopt : baudIndexOf(value.word);
    if (!index) {
        refuse(session, std::string("В файле baude_fr.ini неизвестная скорость обмена. "
                                    "Оставлена скорость ") +
                            std::to_string(BaudTable[session.BaudIndex]) + ".");
        // The name follows the rate kept, so that the settings window shows the rate the line
        // really runs at (before any file was taken the name is still empty) and applying it
        // unchanged keeps that rate.
        session.baudName = kBaudNames[static_cast<std::size_t>(session.BaudIndex)];
        return;
    }
    session.baudName = value.word;
    session.BaudIndex = *index;
}

void takePassword(Session& session, const FileWord& value) {
    if (value.unusable || !isValidLinkPassword(value.word)) {
        refuse(session, std::string("В файле pass_fr.ini неверный пароль на связь: допустимо не "
                                    "более 4 цифр. Используется пароль ") +
                            std::string(kDefaultLinkPassword) + ".");
        session.LinkPassword = kDefaultLinkPassword;
        return;
    }
    session.LinkPassword = value.word;
}

const std::string& valueOf(const Session& session, Setting which) {
    switch (which) {
        case Setting::Port:
            return session.portName;
        case Setting::Baud:
            return session.baudName;
        case Setting::Password:
            break;
    }
    return session.LinkPassword;
}

}  // namespace

std::optional<int> portIndexOf(std::string_view portName) {
    constexpr std::string_view kPrefix = "COM";
    if (portName.size() <= kPrefix.size() || portName.substr(0, kPrefix.size()) != kPrefix) {
        return std::nullopt;
    }
    const std::string_view digits = portName.substr(kPrefix.size());
    if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    int number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (error != std::errc{} || end != digits.data() + digits.size()) return std::nullopt;
    if (number < 1 || number > kPortCount) return std::nullopt;
    return number - 1;
}

std::optional<int> baudIndexOf(std::string_view baudName) {
    const auto found = std::find(kBaudNames.begin(), kBaudNames.end(), baudName);
    if (found == kBaudNames.end()) return std::nullopt;
    return static_cast<int>(found - kBaudNames.begin());
}

bool isValidLinkPassword(std::string_view text) {
    return text.size() <= kLinkPasswordDigits &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::filesystem::path SettingsFiles::pathOf(Setting which) const {
    return directory_ / fileNameOf(which);
}

void SettingsFiles::LoadSetting(Session& session, Setting which) const {
    const std::filesystem::path path = pathOf(which);
    std::error_code error;
    FileWord value;
    if (!std::filesystem::exists(path, error) && !error) {
        value.word = defaultOf(which);
    } else {
        // A file that is there but cannot be read counts as a bad value, not as a missing one.
        value = readFirstWord(path);
    }
    switch (which) {
        case Setting::Port:
            takePort(session, value);
            break;
        case Setting::Baud:
            takeBaud(session, value);
            break;
        case Setting::Password:
            takePassword(session, value);
            break;
    }
}

bool SettingsFiles::SaveSetting(Session& session, Setting which) const {
    const std::string content = valueOf(session, which) + "\n";
    if (replaceFileAtomically(pathOf(which), content)) return true;
    refuse(session, std::string("Не удалось записать файл ") + fileNameOf(which) +
                        ". Файл оставлен без изменений.");
    return false;
}

void SettingsFiles::loadAll(Session& session) const {
    for (const Setting which : kAllSettings) LoadSetting(session, which);
}

bool SettingsFiles::saveAll(Session& session) const {
    bool saved = true;
    for (const Setting which : kAllSettings) saved = SaveSetting(session, which) && saved;
    return saved;
}

}  // namespace ptk
