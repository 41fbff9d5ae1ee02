#pragma once

namespace ptk::platform {

// Lets what the program prints before its window opens (--help, --version, a refused command
// line) reach the console it was started from. A Windows GUI program is given no console of its
// own, so its standard output leads nowhere unless a file or a pipe was handed to it; output that
// already goes somewhere stays there. Elsewhere there is nothing to do.
void reachStartingConsole();

}  // namespace ptk::platform
