// The words for a port that did not open: Russian for the inspector's box, English for the traces.

#include "platform/serial_device.h"
#include "platform/port_names.h"

namespace ptk::platform {
namespace {

std::string_view reasonForInspector(PortOpenFailure failure) {
    switch (failure) {
        case PortOpenFailure::NotThere:
            return "Устройства нет: адаптер не подключён, или выбран не тот порт.";
        case PortOpenFailure::Busy:
            return "Порт занят другой программой.";
        case PortOpenFailure::NoPermission:
            return "Нет прав на доступ к порту. Добавьте пользователя в группу dialout:\n"
                   "    sudo usermod -aG dialout $USER\n"
                   "и войдите в систему заново.";
        case PortOpenFailure::NotSerial:
            return "Это не последовательный порт.";
        case PortOpenFailure::NoDevice:
        case PortOpenFailure::Other:
        case PortOpenFailure::None:
            break;
    }
    return {};
}

std::string_view reasonForTrace(PortOpenFailure failure) {
    switch (failure) {
        case PortOpenFailure::NoDevice:
            return "no such port";
        case PortOpenFailure::NotThere:
            return "not there";
        case PortOpenFailure::Busy:
            return "busy (held by another program)";
        case PortOpenFailure::NoPermission:
            return "no permission (the user is not in the dialout group)";
        case PortOpenFailure::NotSerial:
            return "not a serial port";
        case PortOpenFailure::Other:
        case PortOpenFailure::None:
            break;
    }
    return {};
}

}  // namespace

std::string portOpenFailureText(int portIndex, const PortOpenReport& report) {
    if (report.failure == PortOpenFailure::NoDevice) {
        return "У порта " + portName(portIndex) + " нет устройства.";
    }
    if (report.device.empty()) return {};
    std::string text = portName(portIndex) + " — это " + report.device + ".";
    const std::string_view reason = reasonForInspector(report.failure);
    if (!reason.empty()) {
        text.append("\n").append(reason);
    } else if (!report.systemText.empty()) {
        text.append("\nСистема ответила: ").append(report.systemText);
    }
    return text;
}

std::string portTraceName(int portIndex, const PortOpenReport& report) {
    std::string text = portName(portIndex);
    if (!report.device.empty()) text.append(" (").append(report.device).append(")");
    return text;
}

std::string portTraceReason(const PortOpenReport& report) {
    const std::string_view reason = reasonForTrace(report.failure);
    return std::string(reason.empty() ? std::string_view(report.systemText) : reason);
}

}  // namespace ptk::platform
