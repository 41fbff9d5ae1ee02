#include "platform/console.h"

namespace ptk::platform {

// A POSIX program always writes to whatever it was started with.
void reachStartingConsole() {}

}  // namespace ptk::platform
