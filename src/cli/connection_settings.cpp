#include "cli/connection_settings.h"

namespace ptk::cli {

void takeConnectionSettings(Session& session, const ConnectionOverrides& overrides,
                            const SettingsFiles& files) {
    // The command line checked its values with the same rules as the files.
    if (overrides.portName) {
        session.portName = *overrides.portName;
        session.channel.setCurrentPort(portIndexOf(session.portName).value_or(0));
    } else {
        files.LoadSetting(session, Setting::Port);
    }
    if (overrides.baudName) {
        session.baudName = *overrides.baudName;
        session.BaudIndex = baudIndexOf(session.baudName).value_or(0);
    } else {
        files.LoadSetting(session, Setting::Baud);
    }
    if (overrides.linkPassword) {
        session.LinkPassword = *overrides.linkPassword;
    } else {
        files.LoadSetting(session, Setting::Password);
    }
}

}  // namespace ptk::cli
