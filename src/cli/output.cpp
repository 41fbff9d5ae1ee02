#include "cli/output.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

namespace ptk::cli {
namespace {

QString utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

const char* statusName(CommandStatus status) {
    switch (status) {
        case CommandStatus::Success:
            return "success";
        case CommandStatus::DeviceError:
            return "device-error";
        case CommandStatus::NoLink:
            return "no-link";
        case CommandStatus::Stopped:
            return "stopped";
    }
    return "";
}

void writeLine(std::FILE* out, std::string_view line) {
    std::fwrite(line.data(), 1, line.size(), out);
    std::fputc('\n', out);
}

}  // namespace

void writeText(std::FILE* out, const CommandOutcome& outcome) {
    if (!outcome.resultText.empty()) writeLine(out, outcome.resultText);
    for (const std::string& line : outcome.lines) writeLine(out, line);
    std::fflush(out);
}

void writeJson(std::FILE* out, std::string_view command, const CommandOutcome& outcome) {
    QJsonObject fields;
    for (const auto& [name, value] : outcome.fields) fields.insert(utf8(name), utf8(value));
    QJsonObject object;
    object.insert(QStringLiteral("command"), utf8(command));
    object.insert(QStringLiteral("status"), QString::fromLatin1(statusName(outcome.status)));
    object.insert(QStringLiteral("code"),
                  outcome.resultCode ? QJsonValue(*outcome.resultCode) : QJsonValue());
    object.insert(QStringLiteral("text"), utf8(outcome.resultText));
    object.insert(QStringLiteral("message"), utf8(outcome.message));
    object.insert(QStringLiteral("fields"), fields);
    writeLine(out, QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString());
    std::fflush(out);
}

}  // namespace ptk::cli
