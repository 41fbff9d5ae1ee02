#pragma once

#include "cli/command_line.h"
#include "link/session.h"
#include "settings/settings_files.h"

namespace ptk::cli {

// The connection settings for this run: each from the command line when it was given there,
// otherwise from its settings file, read by the same code as in ptk-inspector (a missing file
// gives the default, a bad value is refused with a message). A setting given on the command line
// leaves its file unread, so a broken file that is not used draws no message. Nothing is written.
void takeConnectionSettings(Session& session, const ConnectionOverrides& overrides,
                            const SettingsFiles& files);

}  // namespace ptk::cli
